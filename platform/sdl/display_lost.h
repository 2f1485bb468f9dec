// Watching the connection to the display, so that losing it ends the game through the handler
// set with setDisplayLostHandler: on X11 from Xlib's own report, watched once SDL's video has
// started; on Wayland from SDL's quit event, which the window hands over.
#pragma once

struct SDL_Window;

namespace platform {

void watchDisplayConnection();

// SDL reports a Wayland compositor that went away as a quit event, as it does a signal or the
// desktop's request to quit. When the window's connection to the display has failed, this
// ends the game as a lost display does; otherwise it returns and the quit closes the window.
void endGameIfDisplayLost(SDL_Window* window);

} // namespace platform
