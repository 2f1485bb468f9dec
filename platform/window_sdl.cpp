// The game's window on SDL's video: a borderless window covering just the visible rectangle of
// the 640 x 480 frame, its events translated into the game's messages, its surface filled from
// the device's back buffer.
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/window.h"

#include <SDL.h>

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace platform {

namespace {

constexpr int frameWidth = 640;
constexpr int frameHeight = 480;
constexpr WPARAM leftButtonHeld = 1;

// The icon resource is a whole .bmp file. A missing or broken one leaves the desktop's default.
void setWindowIcon(SDL_Window* window) {
    const std::optional<Resource> icon = findResource(ResourceType::Icon, hoplaIconId);
    if (!icon || icon->size > static_cast<std::size_t>(INT32_MAX)) return;
    SDL_Surface* picture =
        SDL_LoadBMP_RW(SDL_RWFromConstMem(icon->bytes, static_cast<int>(icon->size)), 1);
    if (!picture) return;
    SDL_SetWindowIcon(window, picture);
    SDL_FreeSurface(picture);
}

class SdlTicks final : public TickSource {
public:
    std::uint32_t tickCount() override { return SDL_GetTicks(); }
};

class SdlWindow;

// Answers for whichever game window exists; the game asks before the window is made.
class SdlPointer final : public PointerSource {
public:
    ClientPoint clientPointer() override;
    SdlWindow* window = nullptr;
};

class SdlWindow final : public Window {
public:
    SdlWindow(FramePosition frame, WindowProcedure procedure, SdlPointer& pointer)
        : Window(std::move(procedure)), frame(frame), pointer(pointer) {
        pointer.window = this;
    }

    // Puts the window on the desktop, hidden, covering the region WM_CREATE chose. Made at its
    // final place and size: a window moved before it is first shown is misplaced by SDL under
    // a reparenting window manager, and its first drag then jumps.
    bool realize(const std::string& title, std::string& error) {
        handle = SDL_CreateWindow(title.c_str(), frame.x + region.left, frame.y + region.top,
                                  region.width(), region.height(),
                                  SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
        if (!handle) {
            error = SDL_GetError();
            return false;
        }
        setWindowIcon(handle);
        // Only the game's window procedure knows where the drag strips are; SDL asks it on
        // every left press, and a press on a strip never reaches the game.
        SDL_SetWindowHitTest(handle, &SdlWindow::hitTest, this);
        return true;
    }

    ~SdlWindow() override {
        pointer.window = nullptr;
        if (handle) SDL_DestroyWindow(handle);
    }

    void setRegion(const FrameRect& visible) override {
        region = visible;
        if (!handle) return;
        SDL_SetWindowSize(handle, region.width(), region.height());
        SDL_SetWindowPosition(handle, frame.x + region.left, frame.y + region.top);
    }

    // The device draws only the part of its picture the window shows.
    softgpu::RECT shownRect() const override {
        return {region.left, region.top, region.right, region.bottom};
    }

    bool escapeDown() override {
        if (!handle) return false;
        return SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0;
    }

    // The pointer in client pixels of the frame, also when it is outside the window.
    ClientPoint clientPointer() {
        if (!handle) return last;
        int x = 0;
        int y = 0;
        if (SDL_GetMouseFocus() == handle) {
            // Kept current by the motion events that the queue has just taken in.
            SDL_GetMouseState(&x, &y);
        } else {
            // Outside the window SDL only has the desktop's position; it refreshes that on raw
            // input, which covers a real pointer leaving the window.
            int windowX = 0;
            int windowY = 0;
            SDL_GetGlobalMouseState(&x, &y);
            SDL_GetWindowPosition(handle, &windowX, &windowY);
            x -= windowX;
            y -= windowY;
        }
        last = {x + region.left, y + region.top};
        return last;
    }

    // Puts the visible part of the device's picture on the window.
    void present(const softgpu::FrameView& picture) override {
        const std::uint32_t* pixels = picture.pixels;
        const int pictureWidth = picture.width;
        const int pictureHeight = picture.height;
        const int pitchBytes = picture.pitchBytes;
        if (!handle || !pixels) return;
        SDL_Surface* surface = SDL_GetWindowSurface(handle);
        if (!surface) return;
        const int width = std::min({region.width(), surface->w, pictureWidth - region.left});
        const int height = std::min({region.height(), surface->h, pictureHeight - region.top});
        if (width <= 0 || height <= 0) return;
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
        const auto* source = reinterpret_cast<const std::uint8_t*>(pixels) +
                             static_cast<std::ptrdiff_t>(region.top) * pitchBytes +
                             static_cast<std::ptrdiff_t>(region.left) * 4;
        auto* target = static_cast<std::uint8_t*>(surface->pixels);
        if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
            // The surface's rows are laid out as the back buffer's: one copy per row.
            for (int row = 0; row < height; ++row) {
                std::memcpy(target + static_cast<std::ptrdiff_t>(row) * surface->pitch,
                            source + static_cast<std::ptrdiff_t>(row) * pitchBytes,
                            static_cast<std::size_t>(width) * 4);
            }
        } else {
            SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, source, pitchBytes,
                              surface->format->format, target, surface->pitch);
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurface(handle);
    }

protected:
    bool nextDesktopMessage(Message& message) override {
        if (takeHangup()) { // a closed terminal or a logout: close, as on SIGTERM
            message = {nullptr, WM_CLOSE, 0, 0};
            return true;
        }
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (translate(event, message)) return true;
        }
        return false;
    }

    void applyCursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    void showOnDesktop() override {
        if (handle) SDL_ShowWindow(handle);
    }

    void removeFromDesktop() override {
        clientPointer(); // the last frame after ESC still asks where the pointer was
        SDL_DestroyWindow(handle);
        handle = nullptr;
    }

private:
    static SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* area, void* data) {
        auto* self = static_cast<SdlWindow*>(data);
        return self->onCaption(area->x, area->y) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
    }

    // Asks the window procedure whether the window pixel (x, y) is part of a caption.
    bool onCaption(int x, int y) {
        int windowX = 0;
        int windowY = 0;
        SDL_GetWindowPosition(handle, &windowX, &windowY);
        return sendMessage(WM_NCHITTEST, 0, makePointParam(x + windowX, y + windowY)) == HTCAPTION;
    }

    bool ours(std::uint32_t windowId) const { return windowId == SDL_GetWindowID(handle); }

    LPARAM clientParam(int x, int y) const {
        return makePointParam(x + region.left, y + region.top);
    }

    bool translate(const SDL_Event& event, Message& message) {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (!ours(event.button.windowID) || event.button.button != SDL_BUTTON_LEFT) break;
            message = {nullptr, WM_LBUTTONDOWN, leftButtonHeld,
                       clientParam(event.button.x, event.button.y)};
            return true;
        case SDL_MOUSEBUTTONUP:
            if (!ours(event.button.windowID)) break;
            if (event.button.button == SDL_BUTTON_LEFT) {
                message = {nullptr, WM_LBUTTONUP, 0, clientParam(event.button.x, event.button.y)};
                return true;
            }
            // A right release on a caption belongs to the window's frame, not to the game.
            if (event.button.button == SDL_BUTTON_RIGHT &&
                !onCaption(event.button.x, event.button.y)) {
                message = {nullptr, WM_RBUTTONUP, 0, clientParam(event.button.x, event.button.y)};
                return true;
            }
            break;
        case SDL_QUIT: // SIGINT, SIGTERM, or the desktop closing the last window
            message = {nullptr, WM_CLOSE, 0, 0};
            return true;
        case SDL_WINDOWEVENT:
            if (!ours(event.window.windowID)) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                message = {nullptr, WM_CLOSE, 0, 0};
                return true;
            }
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                message = {nullptr, WM_PAINT, 0, 0};
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

    SDL_Window* handle = nullptr;
    FramePosition frame;
    FrameRect region{0, 0, frameWidth, frameHeight};
    ClientPoint last;
    SdlPointer& pointer;
};

ClientPoint SdlPointer::clientPointer() {
    return window ? window->clientPointer() : ClientPoint{};
}

class SdlDisplay final : public Display {
public:
    SdlDisplay() {
        previousPresenter =
            setMessageBoxPresenter([](std::string_view caption, std::string_view text) {
                const std::string captionText(caption);
                const std::string bodyText(text);
                SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionText.c_str(),
                                         bodyText.c_str(), nullptr);
            });
    }

    ~SdlDisplay() override {
        setMessageBoxPresenter(std::move(previousPresenter));
        SDL_Quit();
    }

    TickSource& ticks() override { return tickSource; }
    PointerSource& pointer() override { return pointerSource; }

    std::unique_ptr<Window> createWindow(const std::string& title, WindowProcedure procedure,
                                         std::string& error) override {
        SDL_Rect screen{0, 0, frameWidth, frameHeight};
        SDL_GetDisplayBounds(0, &screen);
        FramePosition frame = centredFrame(screen.w, screen.h, frameWidth, frameHeight);
        frame.x += screen.x;
        frame.y += screen.y;
        auto window = std::make_unique<SdlWindow>(frame, std::move(procedure), pointerSource);
        window->sendMessage(WM_CREATE, 0, 0);
        if (!window->realize(title, error)) return nullptr;
        return window;
    }

private:
    SdlTicks tickSource;
    SdlPointer pointerSource;
    MessageBoxPresenter previousPresenter;
};

// Starts SDL's video on a driver that shows windows to the player. Left to itself SDL falls
// back to drivers that draw nowhere (offscreen, dummy), and the game would then run unseen and
// still write its best score; those run only when named in SDL_VIDEODRIVER, as the tests do.
bool startVideo(std::string& error) {
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (requested && *requested) {
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
        error = SDL_GetError();
        return false;
    }
    std::string reasons;
    const char* waylandDisplay = SDL_getenv("WAYLAND_DISPLAY");
    const char* x11Display = SDL_getenv("DISPLAY");
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string driver = SDL_GetVideoDriver(i);
        if (driver == "offscreen" || driver == "dummy" || driver == "evdev") continue;
        // Outside a Wayland session libwayland only prints its complaint on stderr.
        if (driver == "wayland" && !(waylandDisplay && *waylandDisplay)) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
        const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
        if (started) return true;
        reasons += (reasons.empty() ? "" : "; ") + std::string(SDL_GetError());
    }
    const bool noneSet = !(x11Display && *x11Display) && !(waylandDisplay && *waylandDisplay);
    error = noneSet ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : reasons;
    return false;
}

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

// SDL loads Xlib itself when it runs on X11; the handler goes into that same library.
void watchXConnection() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return;
    using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
    if (const auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")))
        set(onXConnectionLost);
    dlclose(xlib);
}

} // namespace

void setDisplayLostHandler(std::function<void()> handler) {
    displayLostHandler() = std::move(handler);
}

std::unique_ptr<Display> openDisplay(std::string& error) {
    if (!startVideo(error)) {
        SDL_Quit();
        return nullptr;
    }
    // Plain shared-memory pictures: much faster for a whole window redrawn every frame than a
    // renderer with a streaming texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    watchXConnection();
    catchHangup();
    return std::make_unique<SdlDisplay>();
}

} // namespace platform
