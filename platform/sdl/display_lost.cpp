// The display going away under the game, the X server or the Wayland compositor: the handler
// saves what must survive, and the game ends with status 1.
#include "platform/sdl/display_lost.h"

#include "platform/sdl/sdl_display.h"

#include <SDL.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

// Last: it brings Xlib's header, whose macros would clash with the headers above.
#include <SDL_syswm.h>

namespace platform {

namespace {

std::function<void()>& displayLostHandler() {
    static std::function<void()> handler;
    return handler;
}

// Xlib's handler type, declared here: SDL_syswm.h brings Xlib's header only where SDL was built
// for X11.
struct _XDisplay;
using XIOErrorHandler = int (*)(_XDisplay*);

// Ends the game on the spot, once the handler has kept what must survive: nothing more can be
// shown, and the program's objects are not let go one by one, which would save a second time.
[[noreturn]] void endGameForLostDisplay() {
    if (displayLostHandler()) displayLostHandler()();
    std::fprintf(stderr, "hopla: the connection to the display was lost\n");
    std::_Exit(1);
}

// Xlib calls this when the X server goes away and ends the process when it returns; so the
// game ends here itself.
int onXConnectionLost(_XDisplay*) {
    endGameForLostDisplay();
}

// libwayland keeps the error of a failed read or write on the connection: the compositor went
// away. SDL loads libwayland itself when it runs on Wayland; it is asked there.
bool waylandConnectionFailed(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
        return false;
    void* client = dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!client) return false;
    using GetError = int (*)(wl_display*);
    const auto getError = reinterpret_cast<GetError>(dlsym(client, "wl_display_get_error"));
    const bool failed = getError && getError(info.info.wl.display) != 0;
    dlclose(client);
    return failed;
}

} // namespace

void endGameIfDisplayLost(SDL_Window* window) {
    if (waylandConnectionFailed(window)) endGameForLostDisplay();
}

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
