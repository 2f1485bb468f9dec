// The SDL window on SDL's dummy video driver: placement, the picture it shows and the messages
// it makes of SDL's events. The pointer needs a real desktop: the end-to-end tests watch it.
#include "platform/sdl/sdl_display.h"
#include "shell/program.h"

#include <gtest/gtest.h>
#include <SDL.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

using namespace game;
using namespace platform;

namespace {

SDL_Event windowEvent(std::uint32_t windowId, std::uint32_t type, std::uint8_t detail, int x = 0,
                      int y = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_WINDOWEVENT) {
        event.window.windowID = windowId;
        event.window.event = detail;
    } else {
        event.button.windowID = windowId;
        event.button.button = detail;
        event.button.x = x;
        event.button.y = y;
    }
    return event;
}

// The game's window on SDL's dummy video driver, which draws into memory: no desktop needed.
struct DummyWindow {
    explicit DummyWindow(int scale) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        std::string error;
        display = openDisplay(error, scale);
        if (!display) throw std::runtime_error(error);
        program = std::make_unique<shell::Program>(display->ticks(), display->pointer(), nullptr);
        window = display->createWindow("Hopla-Game", program->windowProc, error);
        for (std::uint32_t id = 1; id < 100 && !handle; ++id) handle = SDL_GetWindowFromID(id);
        if (!window || !handle) throw std::runtime_error(error);
        Message message;
        while (window->peekMessage(message)) {
        } // whatever creating the window left behind
    }
    std::uint32_t id() const { return SDL_GetWindowID(handle); }

    std::unique_ptr<Display> display;
    std::unique_ptr<shell::Program> program;
    std::unique_ptr<Window> window;
    SDL_Window* handle = nullptr;
};

// The window stands where the inner rectangle of the centred 640 x 480 frame, enlarged by
// scale, would be, and is that rectangle's size; each frame pixel it shows is a scale x scale
// block at the corners and around the first pixel, and a click comes back to the frame pixel.
TEST(SdlWindow, CoversTheCentredFramesInnerRectangleAtEachScale) {
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        DummyWindow dummy(scale);
        SDL_Rect screen;
        ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
        SDL_Rect placed;
        SDL_GetWindowPosition(dummy.handle, &placed.x, &placed.y);
        SDL_GetWindowSize(dummy.handle, &placed.w, &placed.h);
        EXPECT_EQ(placed.x, screen.x + (screen.w - 640 * scale) / 2 + 100 * scale);
        EXPECT_EQ(placed.y, screen.y + (screen.h - 480 * scale) / 2 + 40 * scale);
        ASSERT_TRUE(placed.w == 440 * scale && placed.h == 400 * scale)
            << placed.w << " x " << placed.h;

        // A picture whose every pixel holds its own index.
        std::vector<std::uint32_t> picture(640 * 480);
        for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i);
        dummy.window->present({picture.data(), 640, 480, 640 * 4});
        SDL_Surface* surface = SDL_GetWindowSurface(dummy.handle);
        ASSERT_NE(surface, nullptr);
        const int right = placed.w - 1;
        const int bottom = placed.h - 1;
        for (const auto& [x, y] :
             {std::pair{0, 0}, {1, 1}, {2, 0}, {right, 0}, {0, bottom}, {right, bottom}}) {
            std::uint8_t rgb[3];
            SDL_GetRGB(
                static_cast<const std::uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x],
                surface->format, &rgb[0], &rgb[1], &rgb[2]);
            EXPECT_EQ(std::uint32_t(rgb[0] << 16 | rgb[1] << 8 | rgb[2]),
                      std::uint32_t((y / scale + 40) * 640 + x / scale + 100))
                << x << ", " << y;
        }

        SDL_Event click = windowEvent(dummy.id(), SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, right, 332);
        SDL_PushEvent(&click);
        Message message;
        ASSERT_TRUE(dummy.window->peekMessage(message));
        EXPECT_EQ(message.lParam, makePointParam(539, 332 / scale + 40));
    }
}

TEST(SdlWindow, TranslatesEventsIntoTheGamesMessages) {
    DummyWindow dummy(1);
    const std::uint32_t id = dummy.id();
    Window& window = *dummy.window;
    GameState& state = dummy.program->state;

    // On a drag strip a left press and its release, and a right release, belong to the window.
    Message message;
    state.pointerZone = zoneDragStrip;
    SDL_Event onStrip[] = {windowEvent(id, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 220, 10),
                           windowEvent(id, SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 220, 10),
                           windowEvent(id, SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 220, 10)};
    for (SDL_Event& event : onStrip) SDL_PushEvent(&event);
    EXPECT_FALSE(window.peekMessage(message));

    state.pointerZone = zoneNone;
    SDL_Event events[] = {windowEvent(id, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5),
                          windowEvent(id, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 220, 332),
                          windowEvent(id, SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0),
                          windowEvent(id, SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 439, 399),
                          windowEvent(id, SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED),
                          windowEvent(id, SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE)}; // the desktop's
    for (SDL_Event& event : events) SDL_PushEvent(&event);
    const std::vector<std::pair<UINT, LPARAM>> expected{{WM_LBUTTONDOWN, makePointParam(320, 372)},
                                                        {WM_LBUTTONUP, makePointParam(100, 40)},
                                                        {WM_RBUTTONUP, makePointParam(539, 439)},
                                                        {WM_PAINT, 0},
                                                        {WM_CLOSE, 0}};
    for (const auto& [number, point] : expected) {
        ASSERT_TRUE(window.peekMessage(message));
        EXPECT_TRUE(message.message == number && message.lParam == point) << message.message;
        EXPECT_EQ(message.window, &window);
    }
    // WM_CLOSE ends the game as ESC does: the window goes, the quit message waits.
    window.sendMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
}

// ESC as the loop polls it, once a frame, after every waiting event was taken in: held, it is
// down at every poll; a tap whose press and release both came between two frames counts at
// the next poll only; other keys are not ESC.
TEST(SdlWindow, EscapeTappedBetweenTwoFramesCounts) {
    DummyWindow dummy(1);
    Window& window = *dummy.window;
    const auto key = [](std::uint32_t type, SDL_Scancode scancode = SDL_SCANCODE_ESCAPE) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    };
    const auto idleTurnPoll = [&window] {
        Message message;
        EXPECT_FALSE(window.peekMessage(message)); // keys make no message
        return window.escapeDown();
    };
    key(SDL_KEYDOWN, SDL_SCANCODE_A);
    EXPECT_FALSE(idleTurnPoll());
    key(SDL_KEYDOWN);
    key(SDL_KEYUP);
    EXPECT_TRUE(idleTurnPoll());
    EXPECT_FALSE(idleTurnPoll());
    key(SDL_KEYDOWN);
    EXPECT_TRUE(idleTurnPoll());
    EXPECT_TRUE(idleTurnPoll());
    key(SDL_KEYUP);
    EXPECT_FALSE(idleTurnPoll());
}

} // namespace
