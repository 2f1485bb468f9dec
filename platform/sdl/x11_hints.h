// What the game asks of, and tells, an X server beyond what SDL does on its own, and the one
// error report of the server that the game can let pass.
#pragma once

namespace platform {

// SDL marks a borderless window for the window manager with the Motif hints property, but only
// when the X server already knows that property's name, which it does once some window manager
// has run. Making the name known before the window is created keeps the window borderless under
// a window manager that starts after the game. Does nothing when no X display can be opened.
void announceMotifHints();

// The resolution the desktop asks programs to draw for: its Xft.dpi setting, which desktops
// raise to scale programs up on high-DPI screens. 0 when it is not set.
float x11DesktopDotsPerInch();

// The resolution of the X screen from its size in pixels and in millimetres. 0 when unknown.
float x11ScreenDotsPerInch();

// Lets pass the server's report that an event was sent to a window that no longer exists, which
// Xlib would otherwise answer by ending the game with status 1; every other report goes on to
// the handler that was there before. Set before SDL starts its video, which keeps the handler
// it finds and puts it back when it stops. Needs no X server; setting it twice changes nothing.
void passSendsToGoneWindows();

} // namespace platform
