// Watching the connection to the display, so that losing it ends the game through the handler
// set with setDisplayLostHandler. Used by openDisplay once SDL's video has started.
#pragma once

namespace platform {

void watchDisplayConnection();

} // namespace platform
