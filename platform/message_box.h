// Start-up failures are told to the player in a message box with an OK button. The caption and
// text always go to stderr too; the window layer adds a real box, tests capture the calls.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Prints "caption: text" on stderr, then hands both to the installed presenter, if any.
void showMessageBox(std::string_view caption, std::string_view text);

using MessageBoxPresenter = std::function<void(std::string_view caption, std::string_view text)>;

// Replaces the presenter and returns the previous one (empty when there was none).
MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter presenter);

} // namespace platform
