#include "platform/null/null_window.h"

#include <utility>

namespace platform {

NullWindow::NullWindow(WindowProcedure& procedure, PointerSource& pointerSource)
    : Window(procedure), pointer(pointerSource) {}

void NullWindow::queueButton(UINT message) {
    const ClientPoint at = pointer.clientPointer();
    desktop.push_back(
        {nullptr, message, message == WM_LBUTTONDOWN ? 1u : 0u, makePointParam(at.x, at.y)});
}

void NullWindow::queueMessage(UINT message) {
    desktop.push_back({nullptr, message, 0, 0});
}

bool NullWindow::nextDesktopMessage(Message& message) {
    while (!desktop.empty()) {
        const Message next = desktop.front();
        desktop.pop_front();
        // The desktop asks where the press falls when it arrives, on the last frame's zones.
        const bool onCaption = (next.message == WM_LBUTTONDOWN || next.message == WM_RBUTTONUP) &&
                               sendMessage(WM_NCHITTEST, 0, next.lParam) == HTCAPTION;
        if (next.message == WM_LBUTTONDOWN) dragging = onCaption;
        if (onCaption) continue;
        if (next.message == WM_LBUTTONUP && std::exchange(dragging, false)) continue;
        message = next;
        return true;
    }
    return false;
}

std::unique_ptr<Window> NullDisplay::createWindow(const std::string&, WindowProcedure& procedure,
                                                  std::string& error) {
    if (refuseWindow) {
        error = "the headless desktop was told to refuse the window";
        return nullptr;
    }
    auto made = std::make_unique<NullWindow>(procedure, pointerSource);
    window = made.get();
    made->sendMessage(WM_CREATE, 0, 0);
    return made;
}

} // namespace platform
