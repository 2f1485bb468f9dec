// The game's window procedure and the program steps it and the message loop drive.
#pragma once

#include "game/game_state.h"
#include "platform/window.h"

#include <functional>
#include <memory>

// What the window procedure and the loop work on: the game's state and the program's steps.
// main binds the steps to the program's objects; tests bind them to fakes.
struct Shell {
    explicit Shell(GameState& gameState) : state(gameState) {}

    GameState& state;
    std::function<void()> kick; // the left-button press
    std::function<void()> updateFrame;
    std::function<void()> drawFrame;
    // Presents the last drawn picture again, when the graphics device exists.
    std::function<void()> presentAgain;
    // The graphics set-up for that window and the scene loading; each reports success, after
    // telling the player about a failure.
    std::function<bool(platform::Window&)> initDevice;
    std::function<bool()> loadScene;
    std::unique_ptr<platform::Window> mainWindow;
};

// The rectangle of the 640 x 480 frame that the window shows.
constexpr platform::FrameRect windowRegion{100, 40, 540, 440};

// Handles one message for the game's window; its result is the message's result.
platform::LRESULT windowProc(Shell& shell, platform::Window& window, platform::UINT message,
                             platform::WPARAM wParam, platform::LPARAM lParam);
