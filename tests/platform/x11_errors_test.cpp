// Xlib's error reports once the game has opened its display: the one about an event sent to a
// window that is gone passes, every other still reaches the handler that was there before.
#include "platform/sdl/sdl_display.h"

#include <gtest/gtest.h>
#include <SDL.h>

// Last: Xlib's macros (None, True, Window...) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

int reportsPassedOn = 0;

int countReport(_XDisplay*, XErrorEvent*) {
    ++reportsPassedOn;
    return 0;
}

XErrorEvent report(unsigned char request, unsigned char error) {
    XErrorEvent event{};
    event.type = 0;
    event.request_code = request;
    event.error_code = error;
    return event;
}

// The game's display opened twice, as a game that starts again after a failure would: its
// handler must not come to stand in front of itself, which would pass every report in a loop.
TEST(XErrors, ASendToAGoneWindowPassesAndEveryOtherReportGoesOn) {
    XSetErrorHandler(countReport);
    for (int open = 0; open < 2; ++open) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy"); // SDL forgets its hints when it stops
        std::string error;
        ASSERT_NE(platform::openDisplay(error, 1), nullptr) << error;
    }
    const XErrorHandler game = XSetErrorHandler(countReport);
    ASSERT_NE(game, countReport) << "opening the display set no handler of its own";

    XErrorEvent sentToGoneWindow = report(X_SendEvent, BadWindow);
    game(nullptr, &sentToGoneWindow);
    EXPECT_EQ(reportsPassedOn, 0);

    for (XErrorEvent other : {report(X_MapWindow, BadWindow), report(X_SendEvent, BadValue),
                              report(X_PutImage, BadMatch)})
        game(nullptr, &other);
    EXPECT_EQ(reportsPassedOn, 3);
}

} // namespace
