// The display going away under the game: on X11, Xlib's fatal I/O error handler saves what must
// survive and ends the game with status 1.
#include "platform/sdl/display_lost.h"

#include "platform/sdl/sdl_display.h"

#include <SDL.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

namespace platform {

namespace {

std::function<void()>& displayLostHandler() {
    static std::function<void()> handler;
    return handler;
}

// Xlib's type, declared here rather than through its header, whose macros would clash.
struct _XDisplay;
using XIOErrorHandler = int (*)(_XDisplay*);

// Xlib calls this when the X server goes away and ends the process when it returns; so the
// game ends here itself, once its handler has kept what must survive.
int onXConnectionLost(_XDisplay*) {
    if (displayLostHandler()) displayLostHandler()();
    std::fprintf(stderr, "hopla: the connection to the display was lost\n");
    std::_Exit(1);
}

} // namespace

void setDisplayLostHandler(std::function<void()> handler) {
    displayLostHandler() = std::move(handler);
}

// SDL loads Xlib itself when it runs on X11; the handler goes into that same library.
void watchDisplayConnection() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return;
    using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
    if (const auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")))
        set(onXConnectionLost);
    dlclose(xlib);
}

} // namespace platform
