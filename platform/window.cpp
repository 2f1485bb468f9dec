#include "platform/window.h"

#include <utility>

namespace platform {

bool Window::peekMessage(Message& message) {
    if (!posted.empty()) {
        message = posted.front();
        posted.pop_front();
        return true;
    }
    if (state != State::alive) return false;
    Message reported;
    while (nextDesktopMessage(reported)) {
        if (belongsToFrame(reported)) continue;
        reported.window = this;
        message = reported;
        return true;
    }
    return false;
}

bool Window::belongsToFrame(const Message& reported) {
    switch (reported.message) {
    case WM_LBUTTONDOWN:
        return pressOnCaption(reported.lParam);
    case WM_LBUTTONUP:
        return std::exchange(captionHeld, false);
    case WM_RBUTTONUP:
        return onCaption(reported.lParam);
    default:
        return false;
    }
}

bool Window::pressOnCaption(LPARAM point) {
    // Every press decides anew: a release the window manager kept for itself after a move
    // leaves nothing held that could swallow a later one.
    captionHeld = onCaption(point);
    if (captionHeld) startWindowMove();
    return captionHeld;
}

bool Window::onCaption(LPARAM point) {
    return sendMessage(WM_NCHITTEST, 0, point) == HTCAPTION;
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
