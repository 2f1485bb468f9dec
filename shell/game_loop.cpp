#include "shell/game_loop.h"

#include <cstdio>

using namespace platform;

namespace shell {

std::unique_ptr<Window> openGameWindow(Program& program, Display& display, std::string& error) {
    std::unique_ptr<Window> window = display.createWindow(windowTitle, program.windowProc, error);
    if (!window) return nullptr;
    program.state.windowed = 1;

    // Closing the window leaves the quit message waiting, so the loop ends before any frame.
    if (!initDevice(program.renderer, window.get(), 1) || !loadScene(program.stage))
        window->sendMessage(WM_CLOSE, 0, 0);

    window->showCursor(false); // the game draws its own pointer
    window->showWindow();
    window->updateWindow();
    return window;
}

Turn runTurn(Program& program, Window& window) {
    Message message;
    if (window.peekMessage(message)) {
        if (message.message == WM_QUIT) return Turn::over;
        window.dispatchMessage(message);
        return Turn::message;
    }
    if (window.escapeDown()) window.sendMessage(WM_CLOSE, 0, 0);
    updateFrame(program.core);
    drawFrame(program.stage);
    return Turn::frame;
}

int runMessageLoop(Program& program, Window& window) {
    while (runTurn(program, window) != Turn::over) {
    }
    return 0;
}

int runGame(Program& program, Display& display) {
    std::string error;
    const std::unique_ptr<Window> window = openGameWindow(program, display, error);
    if (!window) {
        std::fprintf(stderr, "hopla: the game's window could not be made: %s\n", error.c_str());
        return 1;
    }
    // A game that could not start has failed, whoever watches: its set-up closed the window.
    const bool started = !window->destroyed();
    const int status = runMessageLoop(program, *window);
    return started ? status : 1;
}

} // namespace shell
