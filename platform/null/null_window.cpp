#include "platform/null/null_window.h"

namespace platform {

NullWindow::NullWindow(WindowProcedure& procedure, PointerSource& pointerSource)
    : Window(procedure), pointer(pointerSource) {}

void NullWindow::queueButton(UINT message) {
    const ClientPoint at = pointer.clientPointer();
    desktop.push_back({nullptr, message, 0, makePointParam(at.x, at.y)});
}

void NullWindow::queueMessage(UINT message) {
    desktop.push_back({nullptr, message, 0, 0});
}

bool NullWindow::nextDesktopMessage(Message& message) {
    if (desktop.empty()) return false;
    message = desktop.front();
    desktop.pop_front();
    return true;
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
