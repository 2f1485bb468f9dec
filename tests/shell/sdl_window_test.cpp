// The SDL window on SDL's dummy video driver: placement, the picture it shows and the messages
// it makes of SDL's events. The pointer needs a real desktop: the end-to-end tests watch it.
#include "platform/window.h"
#include "shell/window_proc.h"
#include "shell/world.h"

#include <gtest/gtest.h>
#include <SDL.h>

#include <csignal>
#include <vector>

using namespace game;
using namespace platform;

namespace {

SDL_Event windowEvent(std::uint32_t type, std::uint8_t detail, int x = 0, int y = 0,
                      std::uint32_t windowId = 1) {
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

// The window stands where the inner rectangle of the centred 640 x 480 frame, enlarged by
// scale, would be, and is that rectangle's size.
void expectPlacedAtScale(SDL_Window* handle, int scale) {
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    SDL_Rect placed;
    SDL_GetWindowPosition(handle, &placed.x, &placed.y);
    SDL_GetWindowSize(handle, &placed.w, &placed.h);
    EXPECT_EQ(placed.x, screen.x + (screen.w - 640 * scale) / 2 + 100 * scale);
    EXPECT_EQ(placed.y, screen.y + (screen.h - 480 * scale) / 2 + 40 * scale);
    EXPECT_TRUE(placed.w == 440 * scale && placed.h == 400 * scale)
        << placed.w << " x " << placed.h;
}

// A 640 x 480 picture whose every pixel holds its own index, shown on the window.
void presentNumberedPicture(Window& window) {
    std::vector<std::uint32_t> picture(640 * 480);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i);
    window.present({picture.data(), 640, 480, 640 * 4});
}

// The colour of window pixel (x, y) of the window's surface, as 0xRRGGBB.
std::uint32_t shownAt(SDL_Surface* surface, int x, int y) {
    std::uint8_t rgb[3];
    SDL_GetRGB(static_cast<const std::uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x],
               surface->format, &rgb[0], &rgb[1], &rgb[2]);
    return std::uint32_t(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
}

TEST(SdlWindow, CoversTheCentredFramesInnerRectangleAndTranslatesEvents) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy"); // draws into memory: no desktop needed
    std::string error;
    const std::unique_ptr<Display> display = openDisplay(error);
    ASSERT_TRUE(display) << error;
    shell::World world(display->ticks(), display->pointer(), {});
    GameState& state = world.state;
    const std::unique_ptr<Window> window = display->createWindow("Hopla-Game", world, error);
    SDL_Window* handle = SDL_GetWindowFromID(1);
    ASSERT_TRUE(window && handle) << error;
    EXPECT_STREQ(SDL_GetWindowTitle(handle), "Hopla-Game");
    EXPECT_TRUE(SDL_GetWindowFlags(handle) & SDL_WINDOW_BORDERLESS);
    expectPlacedAtScale(handle, 1);

    // The window shows columns 100 to 539 and rows 40 to 439 of the picture.
    presentNumberedPicture(*window);
    SDL_Surface* surface = SDL_GetWindowSurface(handle);
    ASSERT_NE(surface, nullptr);
    for (const auto& [x, y] : {std::pair{0, 0}, {439, 0}, {0, 399}, {439, 399}})
        EXPECT_EQ(shownAt(surface, x, y), std::uint32_t((y + 40) * 640 + x + 100))
            << x << ", " << y;

    Message message;
    while (window->peekMessage(message)) {
    } // whatever creating the window left behind
    // Over a drag strip the right release belongs to the window's frame and toggles nothing.
    state.pointerZone = zoneDragStrip;
    SDL_Event onStrip = windowEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 220, 10);
    SDL_PushEvent(&onStrip);
    EXPECT_FALSE(window->peekMessage(message));

    state.pointerZone = zoneNone;
    SDL_Event events[] = {windowEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5),
                          windowEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 220, 332),
                          windowEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0),
                          windowEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 439, 399),
                          windowEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED),
                          windowEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), // the desktop's
                          windowEvent(SDL_QUIT, 0)}; // what SIGINT and SIGTERM become
    for (SDL_Event& event : events) SDL_PushEvent(&event);
    const std::vector<std::pair<UINT, LPARAM>> expected{{WM_LBUTTONDOWN, makePointParam(320, 372)},
                                                        {WM_LBUTTONUP, makePointParam(100, 40)},
                                                        {WM_RBUTTONUP, makePointParam(539, 439)},
                                                        {WM_PAINT, 0},
                                                        {WM_CLOSE, 0},
                                                        {WM_CLOSE, 0}};
    for (const auto& [number, point] : expected) {
        ASSERT_TRUE(window->peekMessage(message));
        EXPECT_TRUE(message.message == number && message.lParam == point) << message.message;
        EXPECT_EQ(message.window, window.get());
    }
    // A closed terminal's hang-up is a close request too, not the end of the process.
    std::raise(SIGHUP);
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_CLOSE);
    // WM_CLOSE ends the game as ESC does: the window goes, the quit message waits.
    window->sendMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(SDL_GetWindowFromID(1), nullptr);
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
}

TEST(SdlWindow, AtScaleTwoEveryFramePixelIsABlockAndClicksComeBackToTheFrame) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    std::string error;
    const std::unique_ptr<Display> display = openDisplay(error, 2);
    ASSERT_TRUE(display) << error;
    struct ShowsTheGameRegion final : WindowProcedure {
        LRESULT windowProc(Window& target, UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_CREATE) target.setRegion(shell::windowRegion);
            return target.defWindowProc(message, wParam, lParam);
        }
    } procedure;
    const std::unique_ptr<Window> window = display->createWindow("Hopla-Game", procedure, error);
    ASSERT_TRUE(window) << error;
    SDL_Window* handle = nullptr;
    for (std::uint32_t id = 1; id < 100 && !handle; ++id) handle = SDL_GetWindowFromID(id);
    ASSERT_NE(handle, nullptr);
    const std::uint32_t id = SDL_GetWindowID(handle);
    // The doubled 1280 x 960 frame is centred; the window covers its doubled inner part.
    expectPlacedAtScale(handle, 2);

    presentNumberedPicture(*window);
    SDL_Surface* surface = SDL_GetWindowSurface(handle);
    ASSERT_NE(surface, nullptr);
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {2, 0}, {879, 0}, {0, 799}, {879, 799}})
        EXPECT_EQ(shownAt(surface, x, y), std::uint32_t((y / 2 + 40) * 640 + x / 2 + 100))
            << x << ", " << y;

    Message message;
    while (window->peekMessage(message)) {
    }
    SDL_Event events[] = {windowEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 440, 665, id),
                          windowEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 879, 799, id)};
    for (SDL_Event& event : events) SDL_PushEvent(&event);
    for (const LPARAM point : {makePointParam(320, 372), makePointParam(539, 439)}) {
        ASSERT_TRUE(window->peekMessage(message));
        EXPECT_EQ(message.lParam, point) << message.message;
    }
}

} // namespace
