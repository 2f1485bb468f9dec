#include "platform/sdl/x11_hints.h"

#include <cstdlib>
#include <cstring>

// Xlib comes last and alone: its macros (None, True, Status...) stay out of the other files.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace platform {

namespace {

// An X connection for the length of one question.
class Connection {
public:
    Connection() : display(XOpenDisplay(nullptr)) {}
    ~Connection() {
        if (display) XCloseDisplay(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ::Display* display;
};

// The handler found before ours: Xlib's own unless someone set another.
XErrorHandler handlerBefore = nullptr;

// SDL ends its wait for events by sending an event to the game's window on a connection of its
// own. When that window goes away at the same moment (the game closing while it waits for the
// desktop, minimised), the server refuses the send with BadWindow. Nothing is lost: the wait it
// meant to end is over. Xlib's own handler would end the game there, before it has finished.
int onXError(::Display* display, XErrorEvent* report) {
    if (report->error_code == BadWindow && report->request_code == X_SendEvent) return 0;
    return handlerBefore ? handlerBefore(display, report) : 0;
}

} // namespace

void passSendsToGoneWindows() {
    const XErrorHandler before = XSetErrorHandler(onXError);
    if (before != onXError) handlerBefore = before;
}

void announceMotifHints() {
    Connection x;
    // The name lives on in the server after this connection closes, as long as the game's own
    // connection is open.
    if (x.display) XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
}

float x11DesktopDotsPerInch() {
    Connection x;
    const char* resources = x.display ? XResourceManagerString(x.display) : nullptr;
    if (!resources) return 0.0f;
    // Lines of "name:<tabs or spaces>value"; the one named exactly Xft.dpi.
    for (const char* line = resources; *line;) {
        const char* end = std::strchr(line, '\n');
        if (std::strncmp(line, "Xft.dpi:", 8) == 0) {
            const float value = std::strtof(line + 8, nullptr);
            return value > 0.0f ? value : 0.0f;
        }
        if (!end) break;
        line = end + 1;
    }
    return 0.0f;
}

float x11ScreenDotsPerInch() {
    Connection x;
    if (!x.display) return 0.0f;
    const int screen = DefaultScreen(x.display);
    const int millimetres = DisplayWidthMM(x.display, screen);
    if (millimetres <= 0) return 0.0f;
    return static_cast<float>(DisplayWidth(x.display, screen)) * 25.4f /
           static_cast<float>(millimetres);
}

} // namespace platform
