// The game's window on SDL's video: a borderless window covering just the visible rectangle of
// the 640 x 480 frame, its events translated into the game's messages, its surface filled from
// the device's back buffer.
#include "platform/escape_key.h"
#include "platform/message_box.h"
#include "platform/posix/process.h"
#include "platform/resources.h"
#include "platform/sdl/display_lost.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/window_scale.h"
#include "platform/sdl/x11_hints.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr int frameWidth = 640;
constexpr int frameHeight = 480;

// Window pixels to frame pixels at a whole-number scale, rounding toward minus infinity so the
// pixels left of or above the window stay outside it.
int unscale(int value, int scale) {
    return value >= 0 ? value / scale : -((-value + scale - 1) / scale);
}

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
    // `requestedScale` 0 leaves the scale to the screen's resolution.
    SdlWindow(SDL_Rect screen, int requestedScale, WindowProcedure& procedure, SdlPointer& pointer)
        : Window(procedure), screen(screen), scale(requestedScale), pointer(pointer) {
        pointer.window = this;
    }

    // Puts the window on the desktop, hidden, covering the region WM_CREATE chose, every pixel
    // of the frame a scale x scale block. Made at its final place and size: a window moved
    // before it is first shown is misplaced by SDL under a reparenting window manager, and its
    // first drag then jumps.
    bool realize(const std::string& title, std::string& error) {
        if (scale <= 0)
            scale = scaleForScreen(screenDotsPerInch(), screen.w, screen.h, region.width(),
                                   region.height());
        frame = centredFrame(screen.w, screen.h, frameWidth * scale, frameHeight * scale);
        frame.x += screen.x;
        frame.y += screen.y;
        handle =
            SDL_CreateWindow(title.c_str(), frame.x + region.left * scale,
                             frame.y + region.top * scale, region.width() * scale,
                             region.height() * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
        if (!handle) {
            error = SDL_GetError();
            return false;
        }
        // A driver that gives the window no surface would leave the game running unseen.
        if (!SDL_GetWindowSurface(handle)) {
            const std::string why = SDL_GetError();
            error = "SDL's video driver gives the window no surface to draw the game on" +
                    (why.empty() ? std::string() : ": " + why);
            return false;
        }
        setWindowIcon(handle);
        // SDL asks on every left press, before it queues the press, whether the window should
        // move: only the caption rule knows.
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
        SDL_SetWindowSize(handle, region.width() * scale, region.height() * scale);
        SDL_SetWindowPosition(handle, frame.x + region.left * scale, frame.y + region.top * scale);
    }

    // The device draws only the part of its picture the window shows.
    softgpu::RECT shownRect() const override {
        return {region.left, region.top, region.right, region.bottom};
    }

    // Read from the key events the queue has just taken in, so a tap between frames counts.
    bool escapeDown() override { return handle && escape.poll(); }

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
        last = {unscale(x, scale) + region.left, unscale(y, scale) + region.top};
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
        if (!surface) {
            // Said once; the game then ends rather than run on unseen.
            if (!surfaceLost) {
                std::fprintf(stderr, "hopla: the game's window lost its surface: %s\n",
                             SDL_GetError());
                postMessage(WM_CLOSE, 0, 0);
            }
            surfaceLost = true;
            return;
        }
        const int width =
            std::min({region.width(), surface->w / scale, pictureWidth - region.left});
        const int height =
            std::min({region.height(), surface->h / scale, pictureHeight - region.top});
        if (width <= 0 || height <= 0) return;
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
        const auto* source = reinterpret_cast<const std::uint8_t*>(pixels) +
                             static_cast<std::ptrdiff_t>(region.top) * pitchBytes +
                             static_cast<std::ptrdiff_t>(region.left) * 4;
        auto* target = static_cast<std::uint8_t*>(surface->pixels);
        if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
            // The surface's rows are laid out as the back buffer's: one copy per row, or each
            // pixel as a block at a larger scale.
            enlargePixels(source, pitchBytes, width, height, scale, target, surface->pitch);
        } else if (scale == 1) {
            SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, source, pitchBytes,
                              surface->format->format, target, surface->pitch);
        } else {
            const int scaledPitch = width * scale * 4;
            scaled.resize(static_cast<std::size_t>(scaledPitch) * height * scale);
            enlargePixels(source, pitchBytes, width, height, scale, scaled.data(), scaledPitch);
            SDL_ConvertPixels(width * scale, height * scale, SDL_PIXELFORMAT_RGB888, scaled.data(),
                              scaledPitch, surface->format->format, target, surface->pitch);
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurface(handle);
    }

    // The events stay in SDL's queue for nextDesktopMessage. A hang-up is caught outside that
    // queue and does not end SDL's wait, so a wait is kept short enough to hear it soon.
    void waitForDesktop(std::uint32_t ms) override {
        constexpr std::uint32_t longestWaitMs = 100;
        SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min(ms, longestWaitMs)));
    }

    int refreshRate() override {
        const int display = handle ? SDL_GetWindowDisplayIndex(handle) : 0;
        SDL_DisplayMode mode;
        if (SDL_GetCurrentDisplayMode(std::max(display, 0), &mode) != 0) return 0;
        return mode.refresh_rate;
    }

protected:
    bool nextDesktopMessage(Message& message) override {
        if (takeHangup()) { // a closed terminal or a logout: close, as on SIGTERM
            message = {nullptr, WM_CLOSE, 0, 0};
            return true;
        }
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            holdWhileDragged();
            if (translate(event, message)) return true;
        }
        holdWhileDragged();
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
    // On X11: the desktop's own setting first, then the monitor's size as SDL reads it through
    // RandR, then the X screen's. Elsewhere 96: a Wayland compositor enlarges the window itself
    // on a high-DPI screen.
    static float screenDotsPerInch() {
        if (std::string(SDL_GetCurrentVideoDriver()) != "x11") return 96.0f;
        if (const float desktop = x11DesktopDotsPerInch(); desktop > 0.0f) return desktop;
        float monitor = 0.0f;
        if (SDL_GetDisplayDPI(0, nullptr, &monitor, nullptr) == 0 && monitor > 0.0f) return monitor;
        return x11ScreenDotsPerInch();
    }

    // SDL asks on a left press, in window pixels. A press the caption rule gives the window
    // becomes the window manager's move, and SDL never queues it.
    static SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* area, void* data) {
        auto* self = static_cast<SdlWindow*>(data);
        return self->pressOnCaption(self->clientParam(area->x, area->y)) ? SDL_HITTEST_DRAGGABLE
                                                                         : SDL_HITTEST_NORMAL;
    }

    // The window manager moves the window once the hit test answers; the game then waits for
    // the button to be let go.
    void startWindowMove() override { dragged = true; }

    // The game stands still while its window is dragged: the ball does not fly on while the
    // player's hand is busy moving the window, and the frame clock's stall rule picks up where
    // it stopped. So no message and no frame until the left button is up again. The window sees no
    // events during the move, so the button is read from the desktop's pointer state (a release or
    // a quit that reaches the queue ends the wait too). Without a window manager nothing moves, and
    // the game waits for the release all the same.
    void holdWhileDragged() {
        if (!dragged) return;
        dragged = false;
        for (;;) {
            SDL_PumpEvents();
            if ((SDL_GetGlobalMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) == 0) return;
            SDL_Event waiting;
            if (SDL_PeepEvents(&waiting, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) return;
            if (SDL_PeepEvents(&waiting, 1, SDL_PEEKEVENT, SDL_MOUSEBUTTONUP, SDL_MOUSEBUTTONUP) >
                    0 &&
                waiting.button.button == SDL_BUTTON_LEFT)
                return;
            SDL_Delay(5);
        }
    }

    bool ours(std::uint32_t windowId) const { return windowId == SDL_GetWindowID(handle); }

    void reportVisibility(std::uint8_t windowEvent) {
        switch (windowEvent) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            reportSight(false);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            reportSight(true);
            break;
        default:
            break;
        }
    }

    LPARAM clientParam(int x, int y) const {
        return makePointParam(unscale(x, scale) + region.left, unscale(y, scale) + region.top);
    }

    bool translate(const SDL_Event& event, Message& message) {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (!ours(event.button.windowID) || event.button.button != SDL_BUTTON_LEFT) break;
            message = {nullptr, WM_LBUTTONDOWN, 0, clientParam(event.button.x, event.button.y)};
            return true;
        case SDL_MOUSEBUTTONUP:
            if (!ours(event.button.windowID)) break;
            if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT)
                break;
            message = {nullptr,
                       event.button.button == SDL_BUTTON_LEFT ? WM_LBUTTONUP : WM_RBUTTONUP, 0,
                       clientParam(event.button.x, event.button.y)};
            return true;
        case SDL_QUIT: // SIGINT, SIGTERM, or the desktop closing the last window
            // Or the Wayland compositor gone, which ends the game here.
            endGameIfDisplayLost(handle);
            message = {nullptr, WM_CLOSE, 0, 0};
            return true;
        case SDL_WINDOWEVENT:
            if (!ours(event.window.windowID)) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                message = {nullptr, WM_CLOSE, 0, 0};
                return true;
            }
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                reportSight(true);
                message = {nullptr, WM_PAINT, 0, 0};
                return true;
            }
            reportVisibility(event.window.event);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE)
                escape.set(event.type == SDL_KEYDOWN);
            break;
        default:
            break;
        }
        return false;
    }

    SDL_Window* handle = nullptr;
    SDL_Rect screen;
    int scale;
    FramePosition frame;
    FrameRect region{0, 0, frameWidth, frameHeight};
    bool dragged = false;             // a press on a drag strip has just started a move
    bool surfaceLost = false;         // said so, and asked the game to end
    std::vector<std::uint8_t> scaled; // the enlarged picture, for a surface of another format
    ClientPoint last;
    EscapeKey escape;
    SdlPointer& pointer;
};

ClientPoint SdlPointer::clientPointer() {
    return window ? window->clientPointer() : ClientPoint{};
}

class SdlDisplay final : public Display {
public:
    explicit SdlDisplay(int scale) : scale(scale) {
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

    std::unique_ptr<Window> createWindow(const std::string& title, WindowProcedure& procedure,
                                         std::string& error) override {
        SDL_Rect screen{0, 0, frameWidth, frameHeight};
        SDL_GetDisplayBounds(0, &screen);
        auto window = std::make_unique<SdlWindow>(screen, scale, procedure, pointerSource);
        window->sendMessage(WM_CREATE, 0, 0);
        if (!window->realize(title, error)) return nullptr;
        return window;
    }

private:
    int scale;
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

} // namespace

std::unique_ptr<Display> openDisplay(std::string& error, int scale) {
    // The click that gives the window the focus reaches the game: the player's first click
    // on the ball kicks it, rather than being spent on the focus.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    passSendsToGoneWindows();
    if (!startVideo(error)) {
        SDL_Quit();
        return nullptr;
    }
    // On X11, plain shared-memory pictures: much faster for a whole window redrawn every frame
    // than a renderer with a streaming texture. Elsewhere (Wayland) SDL has no surface of its
    // own for a window, and the hint would take away the renderer it falls back on.
    if (std::string(SDL_GetCurrentVideoDriver()) == "x11") {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        announceMotifHints();
    }
    watchDisplayConnection();
    catchHangup();
    return std::make_unique<SdlDisplay>(scale);
}

} // namespace platform
