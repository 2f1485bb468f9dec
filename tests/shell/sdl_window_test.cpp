// The SDL window on SDL's dummy video driver: placement, the picture it shows and the messages
// it makes of SDL's events. The pointer needs a real desktop: the end-to-end tests watch it.
#include "platform/window.h"
#include "shell/window_proc.h"

#include <gtest/gtest.h>
#include <SDL.h>

#include <vector>

using namespace platform;

namespace {

struct SdlRig {
    SdlRig() {
        // A window that draws into memory: these tests need no desktop.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        display = openDisplay(error);
        if (!display) return;
        window = display->createWindow(
            "Hopla-Game",
            [this](Window& target, UINT message, WPARAM wParam, LPARAM lParam) {
                return windowProc(shell, target, message, wParam, lParam);
            },
            error);
        if (window) handle = SDL_GetWindowFromID(1);
    }

    std::string error;
    GameState state;
    Shell shell{state};
    std::unique_ptr<Display> display;
    std::unique_ptr<Window> window;
    SDL_Window* handle = nullptr;
};

std::uint32_t pattern(int x, int y) {
    return static_cast<std::uint32_t>(x | (y << 12));
}

SDL_Event buttonEvent(std::uint32_t type, std::uint8_t button, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.windowID = 1;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

} // namespace

TEST(SdlWindow, CoversTheInnerRectangleOfTheCentredFrameAndShowsIt) {
    SdlRig rig;
    ASSERT_TRUE(rig.window) << rig.error;
    ASSERT_NE(rig.handle, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(rig.handle), "Hopla-Game");
    EXPECT_TRUE(SDL_GetWindowFlags(rig.handle) & SDL_WINDOW_BORDERLESS);

    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(rig.handle, &x, &y);
    SDL_GetWindowSize(rig.handle, &width, &height);
    EXPECT_EQ(width, 440);
    EXPECT_EQ(height, 400);
    EXPECT_EQ(x, screen.x + (screen.w - 640) / 2 + 100);
    EXPECT_EQ(y, screen.y + (screen.h - 480) / 2 + 40);

    // The window shows columns 100 to 539 and rows 40 to 439 of the picture.
    std::vector<std::uint32_t> picture(640 * 480);
    for (int row = 0; row < 480; ++row)
        for (int column = 0; column < 640; ++column)
            picture[row * 640 + column] = pattern(column, row);
    rig.window->presentFrame(picture.data(), 640, 480, 640 * 4);
    SDL_Surface* surface = SDL_GetWindowSurface(rig.handle);
    ASSERT_NE(surface, nullptr);
    const auto pixel = [surface](int column, int row) {
        std::uint32_t value = 0;
        SDL_GetRGB(
            static_cast<const std::uint32_t*>(surface->pixels)[row * surface->pitch / 4 + column],
            surface->format, reinterpret_cast<std::uint8_t*>(&value) + 2,
            reinterpret_cast<std::uint8_t*>(&value) + 1, reinterpret_cast<std::uint8_t*>(&value));
        return value;
    };
    EXPECT_EQ(pixel(0, 0), pattern(100, 40));
    EXPECT_EQ(pixel(439, 0), pattern(539, 40));
    EXPECT_EQ(pixel(0, 399), pattern(100, 439));
    EXPECT_EQ(pixel(439, 399), pattern(539, 439));
}

TEST(SdlWindow, TranslatesEventsIntoMessagesInFrameCoordinates) {
    SdlRig rig;
    ASSERT_TRUE(rig.window) << rig.error;
    Message message;
    while (rig.window->peekMessage(message)) {
    } // whatever creating the window left behind

    SDL_Event events[] = {buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5),
                          buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 220, 332),
                          buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0),
                          buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 439, 399)};
    for (SDL_Event& event : events) SDL_PushEvent(&event);
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.windowID = 1;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&exposed);
    SDL_Event closing = exposed; // the desktop's close button or menu
    closing.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&closing);
    SDL_Event quit{};
    quit.type = SDL_QUIT; // what SIGINT and SIGTERM become
    SDL_PushEvent(&quit);

    const std::vector<std::pair<UINT, LPARAM>> expected{{WM_LBUTTONDOWN, makePointParam(320, 372)},
                                                        {WM_LBUTTONUP, makePointParam(100, 40)},
                                                        {WM_RBUTTONUP, makePointParam(539, 439)},
                                                        {WM_PAINT, 0},
                                                        {WM_CLOSE, 0},
                                                        {WM_CLOSE, 0}};
    for (const auto& [number, point] : expected) {
        ASSERT_TRUE(rig.window->peekMessage(message));
        EXPECT_EQ(message.message, number);
        EXPECT_EQ(message.lParam, point);
        EXPECT_EQ(message.window, rig.window.get());
    }
    EXPECT_FALSE(rig.window->peekMessage(message));

    // Over a drag strip the right release belongs to the window's frame and toggles nothing.
    rig.state.pointerZone = zoneDragStrip;
    SDL_Event onStrip = buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 220, 10);
    SDL_PushEvent(&onStrip);
    EXPECT_FALSE(rig.window->peekMessage(message));

    // WM_CLOSE ends the game as ESC does: the window goes, the quit message waits.
    rig.window->sendMessage(WM_CLOSE, 0, 0);
    EXPECT_TRUE(rig.window->destroyed());
    EXPECT_EQ(SDL_GetWindowFromID(1), nullptr);
    ASSERT_TRUE(rig.window->peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
}
