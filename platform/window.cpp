#include "platform/window.h"

namespace platform {

bool Window::peekMessage(Message& message) {
    if (!posted.empty()) {
        message = posted.front();
        posted.pop_front();
        return true;
    }
    if (state != State::alive) return false;
    Message translated;
    if (!nextDesktopMessage(translated)) return false;
    translated.window = this;
    message = translated;
    return true;
}

LRESULT Window::dispatchMessage(const Message& message) {
    // The quit message belongs to no window and has nowhere to go.
    if (message.window != this || state == State::destroyed) return 0;
    return procedure.windowProc(*this, message.message, message.wParam, message.lParam);
}

LRESULT Window::sendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (state == State::destroyed) return 0;
    return procedure.windowProc(*this, message, wParam, lParam);
}

void Window::postMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    posted.push_back({this, message, wParam, lParam});
}

void Window::postQuitMessage(int exitCode) {
    posted.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT Window::defWindowProc(UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        destroy();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return 0;
    }
}

void Window::destroy() {
    // The procedure hears WM_DESTROY while the window still stands; a second WM_CLOSE sent
    // from there does not destroy it twice.
    if (state != State::alive) return;
    state = State::destroying;
    procedure.windowProc(*this, WM_DESTROY, 0, 0);
    state = State::destroyed;
    removeFromDesktop();
}

int Window::showCursor(bool show) {
    cursorCount += show ? 1 : -1;
    applyCursor(cursorCount >= 0);
    return cursorCount;
}

void Window::showWindow() {
    if (state == State::alive) showOnDesktop();
}

void Window::updateWindow() {
    sendMessage(WM_PAINT, 0, 0);
}

} // namespace platform
