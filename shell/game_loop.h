// The entry point's work once the program's objects exist: the window, the graphics and scene
// set-up, then the message loop of one message or one frame per turn.
#pragma once

#include "platform/window.h"
#include "shell/window_proc.h"

// The window's title, which desktops show and the end-to-end tests look for.
constexpr const char* windowTitle = "Hopla-Game";

// Creates the window, sets up the device and the scene (closing the window when either
// fails), hides the system pointer, shows the window and runs the loop. Returns 0 when the
// loop ends after a game, 1 when the desktop would not make the window or the device or the
// scene could not be set up.
int winMain(Shell& shell, platform::Display& display);

// Turns until the quit message: a waiting message is dispatched, else ESC is polled and one
// frame is updated and drawn. Returns 0.
int runMessageLoop(Shell& shell, platform::Window& window);
