#include "shell/window_proc.h"

using namespace platform;

LRESULT windowProc(Shell& shell, Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (shell.state.windowed) window.setRegion(windowRegion);
        return 0;
    case WM_DESTROY:
        window.postQuitMessage(0);
        return 0;
    case WM_PAINT:
        // Nothing is drawn here: the loop draws every frame, paint only shows it again.
        if (shell.presentAgain) shell.presentAgain();
        return 0;
    case WM_NCHITTEST: {
        const LRESULT answer = window.defWindowProc(message, wParam, lParam);
        if (answer == HTCLIENT && shell.state.pointerZone == zoneDragStrip) {
            // The press becomes a drag of the window; the system pointer stays hidden on it.
            window.showCursor(false);
            return HTCAPTION;
        }
        return answer;
    }
    case WM_LBUTTONDOWN:
        // Judged on the pointer of the last frame, not on the message's coordinates.
        shell.kick();
        return 0;
    case WM_LBUTTONUP:
        // The window is not destroyed here; the posted WM_DESTROY only ends the loop.
        if (shell.state.pointerZone == zoneCloseButton) window.postMessage(WM_DESTROY, 0, 0);
        return 0;
    case WM_RBUTTONUP:
        shell.state.showFps = shell.state.showFps == 0 ? 1 : 0;
        return 0;
    default:
        return window.defWindowProc(message, wParam, lParam);
    }
}
