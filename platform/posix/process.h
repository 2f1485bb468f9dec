// How the game's process meets the session it runs in: the standard descriptors it must find
// open, a connection whose far end has gone, and the hang-up a closed terminal or a logout sends.
#pragma once

namespace platform {

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so that no file or socket
// the game opens later lands there: a display connection on descriptor 2 would receive every
// line the game writes to stderr. Call it first thing, before anything opens a file.
void openMissingStandardStreams();

// From now on a write to a socket or pipe whose other end has closed fails with EPIPE instead of
// raising SIGPIPE, whose default action would end the game on the spot with its best score
// unsaved. Such a write happens when the X server goes away while the game is sending it a
// picture: Xlib then sees the error and calls the display-lost handler, which saves and exits.
void ignoreBrokenPipes();

// From now on SIGHUP asks the game to close, as SIGINT and SIGTERM do, instead of killing it
// with its best score unsaved. A game started with SIGHUP ignored (nohup) keeps ignoring it.
void catchHangup();

// True once for each hang-up caught since the last call.
bool takeHangup();

} // namespace platform
