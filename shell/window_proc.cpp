#include "shell/window_proc.h"

#include "shell/program.h"

using namespace platform;

namespace shell {

LRESULT GameWindowProc::windowProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    game::GameState& state = program.state;
    switch (message) {
    case WM_CREATE:
        if (state.windowed) window.setRegion(windowRegion);
        return 0;
    case WM_DESTROY:
        window.postQuitMessage(0);
        return 0;
    case WM_PAINT:
        // Nothing is drawn here: the loop draws every frame, paint only shows it again.
        if (program.renderer.device)
            program.renderer.device->Present(nullptr, nullptr, nullptr, nullptr);
        return 0;
    case WM_NCHITTEST: {
        const LRESULT answer = window.defWindowProc(message, wParam, lParam);
        if (answer == HTCLIENT && state.pointerZone == game::zoneDragStrip) {
            // The press becomes a drag of the window; the system pointer stays hidden on it.
            window.showCursor(false);
            return HTCAPTION;
        }
        return answer;
    }
    case WM_LBUTTONDOWN:
        kick(program.core);
        return 0;
    case WM_LBUTTONUP:
        // The window is not destroyed here; the posted WM_DESTROY only ends the loop.
        if (state.pointerZone == game::zoneCloseButton) window.postMessage(WM_DESTROY, 0, 0);
        return 0;
    case WM_RBUTTONUP:
        state.showFps = state.showFps == 0 ? 1 : 0;
        return 0;
    default:
        return window.defWindowProc(message, wParam, lParam);
    }
}

} // namespace shell
