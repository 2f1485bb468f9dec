// The entry point's work once the program's objects exist: the window with the graphics and
// scene set-up, then the loop, one waiting message or one frame per turn.
//
// The turn never waits, so any host can drive it. The desktop calls it in a loop until the game
// is over (runMessageLoop), which rests while no one can see the window and, when asked, keeps
// the frames to the display's refresh. A host that gets a callback per display refresh calls it
// until a turn runs a frame or ends the game: that handles every waiting message, then draws
// one frame, and returns to the host.
#pragma once

#include "platform/window.h"
#include "shell/program.h"

#include <memory>
#include <string>

namespace shell {

// The window's title, which desktops show and the end-to-end tests look for.
constexpr const char* windowTitle = "Hopla-Game";

// Creates the game's window with the program's procedure, sets up the device (presenting to
// that window) and the scene, closing the window when either fails (the failed step has told
// the player, and the quit message now waits), hides the system pointer and shows the window.
// Empty, with the reason in error, when the desktop would not make the window.
std::unique_ptr<platform::Window> openGameWindow(Program& program, platform::Display& display,
                                                 std::string& error);

enum class Turn {
    message, // a waiting message was handled
    frame,   // none was waiting: ESC was polled and one frame updated, drawn and presented
    over,    // the quit message was taken: the game has ended
};

// One turn of the loop. The frame still runs when ESC has just closed the window; the quit
// message that closing left ends the game on a later turn.
Turn runTurn(Program& program, platform::Window& window);

// Turns until the game is over. Returns 0. While the window is out of sight (minimised or
// hidden) no frame runs: the loop handles messages as they come and waits for the desktop in
// between. With syncToRefresh the frames are paced to the display's refresh rate (60 Hz when
// the desktop does not say): after each frame the loop handles messages as they come until the
// next refresh is due. Without it, a turn that finds no message runs a frame at once.
int runMessageLoop(Program& program, platform::Window& window, bool syncToRefresh = false);

// openGameWindow, then the loop. Returns 0 when the loop ends after a game, 1 when the
// desktop would not make the window or the device or the scene could not be set up.
int runGame(Program& program, platform::Display& display, bool syncToRefresh = false);

} // namespace shell
