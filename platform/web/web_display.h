// The game's window in a web page: the canvas shows the visible 440 x 400 part of each frame,
// the page's mouse, touch and key events become the window's messages, and the clock is the
// page's. Only one exists at a time; it listens to the page from construction on.
#pragma once

#include "platform/window.h"

#include <memory>

namespace platform::web {

// Starts listening to the canvas (the element with id "canvas") and the page.
std::unique_ptr<Display> openPageDisplay();

// Where the game's close button is, in client pixels: a touch near it, within a square of 44
// CSS pixels round its middle, is reported at its middle.
void setCloseButton(const FrameRect& button);

} // namespace platform::web
