#include "shell/game_loop.h"

#include <cstdio>

using namespace platform;

int runMessageLoop(Shell& shell, Window& window) {
    Message message{};
    while (message.message != WM_QUIT) {
        if (window.peekMessage(message)) {
            window.dispatchMessage(message);
            continue;
        }
        // The frame still runs when ESC has just closed the window; the quit message it left
        // ends the loop on the next turn.
        if (window.escapeDown()) window.sendMessage(WM_CLOSE, 0, 0);
        shell.updateFrame();
        shell.drawFrame();
    }
    return 0;
}

int winMain(Shell& shell, Display& display) {
    std::string error;
    shell.mainWindow = display.createWindow(
        windowTitle,
        [&shell](Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
            return windowProc(shell, window, message, wParam, lParam);
        },
        error);
    if (!shell.mainWindow) {
        std::fprintf(stderr, "hopla: the game's window could not be made: %s\n", error.c_str());
        return 1;
    }
    Window& window = *shell.mainWindow;
    shell.state.windowed = 1;

    // A failed step has told the player; closing the window leaves the quit message waiting,
    // so the loop ends before any frame runs.
    const bool started = shell.initDevice(window) && shell.loadScene();
    if (!started) window.sendMessage(WM_CLOSE, 0, 0);

    window.showCursor(false); // the game draws its own pointer
    window.showWindow();
    window.updateWindow();
    const int status = runMessageLoop(shell, window);
    return started ? status : 1; // a game that could not start has failed, whoever watches
}
