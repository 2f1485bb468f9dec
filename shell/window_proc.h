// The game's window procedure: how the window's messages reach the game.
#pragma once

#include "platform/window.h"
#include "shell/world.h"

namespace shell {

// The rectangle of the 640 x 480 frame that the window shows.
constexpr platform::FrameRect windowRegion{100, 40, 540, 440};

// Handles one message for the game's window; its result is the message's result. Buttons are
// judged on the zones the last frame found, not on the message's coordinates.
platform::LRESULT windowProc(World& world, platform::Window& window, platform::UINT message,
                             platform::WPARAM wParam, platform::LPARAM lParam);

} // namespace shell
