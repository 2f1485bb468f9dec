// Where the game's window sits in its frame. The window procedure itself is World::windowProc,
// defined in window_proc.cpp.
#pragma once

#include "platform/window.h"

namespace shell {

// The rectangle of the 640 x 480 frame that the window shows.
constexpr platform::FrameRect windowRegion{100, 40, 540, 440};

} // namespace shell
