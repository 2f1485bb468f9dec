// The desktop on SDL's video: the display the real program opens, and what it does when that
// display goes away under the game.
#pragma once

#include "platform/window.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

// Opens the desktop (SDL's video on X11, Wayland or KMSDRM; SDL's drivers that draw nowhere
// only when SDL_VIDEODRIVER names them): empty, with the reason in `error`, when there is none.
// While it is open, message boxes are shown on it and SIGINT, SIGTERM and SIGHUP arrive at
// the game's window as WM_CLOSE. `scale` makes the game's window that many times as large; 0
// leaves it to the screen's resolution.
std::unique_ptr<Display> openDisplay(std::string& error, int scale = 0);

// What to do, quickly, when the display goes away under the game (the X server or the Wayland
// compositor ends): the process ends right after the handler returns, with status 1, without
// leaving main.
void setDisplayLostHandler(std::function<void()> handler);

} // namespace platform
