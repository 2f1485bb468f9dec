#include "platform/message_box.h"

#include <cstdio>
#include <utility>

namespace platform {

namespace {
MessageBoxPresenter& presenter() {
    static MessageBoxPresenter current;
    return current;
}
} // namespace

void showMessageBox(std::string_view caption, std::string_view text) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    if (presenter()) presenter()(caption, text);
}

MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter next) {
    return std::exchange(presenter(), std::move(next));
}

} // namespace platform
