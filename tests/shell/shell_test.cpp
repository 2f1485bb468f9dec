// The window procedure's message table and the loop's turns, on a fake window and desktop.
#include "shell/game_loop.h"
#include "shell/window_proc.h"
#include "tests/shell/fake_window.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

struct ShellRig {
    ShellRig() {
        shell.kick = [this] { log.push_back("kick"); };
        shell.updateFrame = [this] { log.push_back("update"); };
        shell.drawFrame = [this] { log.push_back("draw"); };
        shell.presentAgain = [this] { log.push_back("paint"); };
        shell.initDevice = [this](Window&) {
            log.push_back("initDevice");
            return deviceWorks;
        };
        shell.loadScene = [this] {
            log.push_back("loadScene");
            return sceneLoads;
        };
    }

    // The window on its own, as after creation, without running the loop.
    FakeWindow& makeWindow() {
        std::string error;
        shell.mainWindow = display.createWindow(
            windowTitle,
            [this](Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
                return windowProc(shell, window, message, wParam, lParam);
            },
            error);
        log.clear();
        return *display.made;
    }

    long count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }

    std::vector<std::string> log;
    GameState state;
    Shell shell{state};
    FakeDisplay display{log};
    bool deviceWorks = true;
    bool sceneLoads = true;
};

Message desktopMessage(UINT message) {
    return {nullptr, message, 0, makePointParam(320, 372)};
}

// Every message the desktop still holds goes through the procedure; the posted ones too.
void drain(Window& window) {
    Message message;
    while (window.peekMessage(message) && message.message != WM_QUIT)
        window.dispatchMessage(message);
}

} // namespace

TEST(WindowProc, CreateShowsOnlyTheInnerRectangleWhenWindowed) {
    ShellRig rig;
    FakeWindow& window = rig.makeWindow();
    EXPECT_EQ(window.region.left, 100);
    EXPECT_EQ(window.region.top, 40);
    EXPECT_EQ(window.region.right, 540);
    EXPECT_EQ(window.region.bottom, 440);
    EXPECT_EQ(rig.display.title, "Hopla-Game");

    ShellRig fullFrame;
    fullFrame.state.windowed = 0;
    EXPECT_EQ(fullFrame.makeWindow().region.width(), 640);
}

TEST(WindowProc, ButtonsKickCloseAndToggleTheCounter) {
    ShellRig rig;
    FakeWindow& window = rig.makeWindow();

    // A left press kicks whatever the zone; its result is 0 either way.
    for (int zone : {zoneNone, zoneDragStrip, zoneCloseButton}) {
        rig.state.pointerZone = zone;
        EXPECT_EQ(window.sendMessage(WM_LBUTTONDOWN, 1, makePointParam(10, 10)), 0);
    }
    EXPECT_EQ(rig.count("kick"), 3);

    // A right release toggles the counter; a press alone is not in the table.
    window.sendMessage(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(rig.state.showFps, 1);
    window.sendMessage(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(rig.state.showFps, 0);
    window.sendMessage(516 /* right press */, 0, 0);
    EXPECT_EQ(rig.state.showFps, 0);

    // A left release outside the close button posts nothing.
    Message message;
    for (int zone : {zoneNone, zoneDragStrip}) {
        rig.state.pointerZone = zone;
        window.sendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_FALSE(window.peekMessage(message));
    }
    // Over the close button it posts WM_DESTROY, which posts the quit message; the window
    // itself stays.
    rig.state.pointerZone = zoneCloseButton;
    window.sendMessage(WM_LBUTTONUP, 0, 0);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_DESTROY);
    EXPECT_EQ(message.window, &window);
    window.dispatchMessage(message);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window.destroyed());
    EXPECT_FALSE(window.removed);
}

TEST(WindowProc, HitTestMakesTheStripsACaptionAndKeepsThePointerHidden) {
    ShellRig rig;
    FakeWindow& window = rig.makeWindow();
    EXPECT_EQ(window.showCursor(false), -1);

    for (int zone : {zoneNone, zoneCloseButton}) {
        rig.state.pointerZone = zone;
        EXPECT_EQ(window.sendMessage(WM_NCHITTEST, 0, 0), HTCLIENT);
    }
    rig.state.pointerZone = zoneDragStrip;
    EXPECT_EQ(window.sendMessage(WM_NCHITTEST, 0, 0), HTCAPTION);
    EXPECT_EQ(window.sendMessage(WM_NCHITTEST, 0, 0), HTCAPTION);
    // Every caption answer hides once more: the count only goes down.
    EXPECT_EQ(window.showCursor(true), -2);
    EXPECT_FALSE(window.cursorVisible);
    EXPECT_EQ(rig.count("kick"), 0);
}

TEST(WindowProc, CloseDestroysOnceAndPaintPresentsAgain) {
    ShellRig rig;
    FakeWindow& window = rig.makeWindow();
    window.sendMessage(WM_PAINT, 0, 0);
    EXPECT_EQ(rig.count("paint"), 1);
    EXPECT_EQ(rig.count("draw"), 0);

    window.sendMessage(WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.destroyed());
    EXPECT_TRUE(window.removed);
    window.sendMessage(WM_CLOSE, 0, 0);
    window.sendMessage(WM_PAINT, 0, 0); // a destroyed window hears nothing
    EXPECT_EQ(rig.count("removed"), 1);
    EXPECT_EQ(rig.count("paint"), 1);

    Message message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window.peekMessage(message));
}

TEST(MessageQueue, PostedMessagesComeFirstAndOneAtATime) {
    ShellRig rig;
    FakeWindow& window = rig.makeWindow();
    window.desktop = {desktopMessage(WM_LBUTTONDOWN), desktopMessage(WM_RBUTTONUP)};
    window.postMessage(WM_PAINT, 0, 0);

    Message message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_PAINT);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_LBUTTONDOWN);
    EXPECT_EQ(message.window, &window); // the desktop's messages are addressed to the window
    EXPECT_EQ(window.desktop.size(), 1u);
    drain(window);
    EXPECT_EQ(rig.state.showFps, 1);
}

TEST(GameLoop, StartsInOrderThenRunsOneMessageOrOneFramePerTurn) {
    ShellRig rig;
    rig.display.pendingDesktop = {desktopMessage(WM_LBUTTONDOWN), desktopMessage(WM_RBUTTONUP)};
    rig.display.escapeAfterFrames = 2;

    EXPECT_EQ(winMain(rig.shell, rig.display), 0);

    const std::vector<std::string> expected{
        "region",  "initDevice", "loadScene", "show", "paint", // start-up, in order
        "kick",                                                // one message a turn...
        "update",  "draw",       "update",    "draw",          // ...then frames while none waits
        "removed", "update",     "draw"}; // ESC closes; that turn's frame still runs, then the end
    EXPECT_EQ(rig.log, expected);
    EXPECT_EQ(rig.state.showFps, 1);
    EXPECT_FALSE(rig.display.made->cursorVisible);
    EXPECT_TRUE(rig.display.made->destroyed());
}

TEST(GameLoop, FailedStartUpClosesTheWindowAndRunsNoFrame) {
    ShellRig noDevice;
    noDevice.deviceWorks = false;
    EXPECT_EQ(winMain(noDevice.shell, noDevice.display), 0);
    EXPECT_EQ(noDevice.count("loadScene"), 0);

    ShellRig noScene;
    noScene.sceneLoads = false;
    EXPECT_EQ(winMain(noScene.shell, noScene.display), 0);
    EXPECT_EQ(noScene.count("loadScene"), 1);

    for (ShellRig* rig : {&noDevice, &noScene}) {
        EXPECT_EQ(rig->count("update"), 0);
        EXPECT_EQ(rig->count("draw"), 0);
        EXPECT_EQ(rig->count("show"), 0); // the closed window never appears
        EXPECT_EQ(rig->count("paint"), 0);
        EXPECT_TRUE(rig->display.made->removed);
    }
}

TEST(GameLoop, EndsAtOnceWhenTheWindowCannotBeMade) {
    ShellRig rig;
    rig.display.refuse = true;
    EXPECT_NE(winMain(rig.shell, rig.display), 0);
    EXPECT_TRUE(rig.log.empty());
}

TEST(WindowPlacement, TheFrameIsCentredRoundingTowardZero) {
    const FramePosition usual = centredFrame(1024, 768, 640, 480);
    EXPECT_EQ(usual.x, 192);
    EXPECT_EQ(usual.y, 144);
    const FramePosition narrow = centredFrame(599, 480, 640, 480);
    EXPECT_EQ(narrow.x, -20); // -41 / 2
    EXPECT_EQ(narrow.y, 0);
}
