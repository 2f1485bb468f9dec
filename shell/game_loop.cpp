#include "shell/game_loop.h"

#include <cstdio>

using namespace platform;

namespace shell {

std::unique_ptr<Window> openGameWindow(World& world, Display& display, std::string& error) {
    std::unique_ptr<Window> window = display.createWindow(windowTitle, world, error);
    if (!window) return nullptr;
    world.state.windowed = 1;

    // Closing the window leaves the quit message waiting, so the loop ends before any frame.
    if (!initDevice(world.renderer, window.get(), 1) || !loadScene(world.stage))
        window->sendMessage(WM_CLOSE, 0, 0);

    window->showCursor(false); // the game draws its own pointer
    window->showWindow();
    window->updateWindow();
    return window;
}

Turn runTurn(World& world, Window& window) {
    Message message;
    if (window.peekMessage(message)) {
        if (message.message == WM_QUIT) return Turn::over;
        window.dispatchMessage(message);
        return Turn::message;
    }
    if (window.escapeDown()) window.sendMessage(WM_CLOSE, 0, 0);
    updateFrame(world.game);
    drawFrame(world.stage);
    return Turn::frame;
}

int runMessageLoop(World& world, Window& window) {
    while (runTurn(world, window) != Turn::over) {
    }
    return 0;
}

int winMain(World& world, Display& display) {
    std::string error;
    const std::unique_ptr<Window> window = openGameWindow(world, display, error);
    if (!window) {
        std::fprintf(stderr, "hopla: the game's window could not be made: %s\n", error.c_str());
        return 1;
    }
    // A game that could not start has failed, whoever watches: its set-up closed the window.
    const bool started = !window->destroyed();
    const int status = runMessageLoop(world, *window);
    return started ? status : 1;
}

} // namespace shell
