// The window procedure's message table and the loop's turns, on a window and desktop made of
// scripts and logs: the desktop's messages come from a list, what the window does is noted.
#include "shell/game_loop.h"
#include "shell/window_proc.h"

#include <gtest/gtest.h>

#include <deque>

using namespace platform;

namespace {

// What the fake desktop holds and notes: its messages come from a list, every step is logged.
struct Desk {
    bool note(const char* step, bool succeeds = true) {
        log.push_back(step);
        return succeeds;
    }
    std::vector<std::string> log;
    std::deque<Message> desktop; // handed out one per peekMessage while the window stands
    int escapeAfterFrames = -1;  // ESC is down once that many more turns have passed; -1: never
    FrameRect region{0, 0, 640, 480};
    bool cursorVisible = true;
};

class FakeWindow final : public Window {
public:
    FakeWindow(WindowProcedure procedure, Desk& desk) : Window(std::move(procedure)), desk(desk) {}
    void setRegion(const FrameRect& visible) override {
        desk.region = visible;
        desk.note("region");
    }
    bool escapeDown() override {
        return desk.escapeAfterFrames >= 0 && desk.escapeAfterFrames-- == 0;
    }
    ClientPoint clientPointer() override { return {}; }
    void presentFrame(const std::uint32_t*, int, int, int) override {}

protected:
    bool nextDesktopMessage(Message& message) override {
        if (desk.desktop.empty()) return false;
        message = desk.desktop.front();
        desk.desktop.pop_front();
        return true;
    }
    void applyCursor(bool visible) override { desk.cursorVisible = visible; }
    void showOnDesktop() override { desk.note("show"); }
    void removeFromDesktop() override { desk.note("removed"); }

private:
    Desk& desk;
};

// The desktop and the program's steps, which note themselves on the desk.
struct ShellRig final : Desk, Display {
    ShellRig() {
        shell.kick = [this] { note("kick"); };
        shell.updateFrame = [this] { note("update"); };
        shell.drawFrame = [this] { note("draw"); };
        shell.presentAgain = [this] { note("paint"); };
        shell.initDevice = [this](Window&) { return note("initDevice", deviceWorks); };
        shell.loadScene = [this] { return note("loadScene", sceneLoads); };
    }
    TickSource& ticks() override { return clock; }
    PointerSource& pointer() override { return pointerSource; }
    std::unique_ptr<Window> createWindow(const std::string&, WindowProcedure procedure,
                                         std::string& error) override {
        if (refuse) {
            error = "refused";
            return nullptr;
        }
        auto window = std::make_unique<FakeWindow>(std::move(procedure), *this);
        window->sendMessage(WM_CREATE, 0, 0);
        return window;
    }
    // The window on its own, as after creation, without running the loop.
    Window& makeWindow() {
        std::string error;
        shell.mainWindow = createWindow(
            windowTitle,
            [this](Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
                return windowProc(shell, window, message, wParam, lParam);
            },
            error);
        log.clear();
        return *shell.mainWindow;
    }

    GameState state;
    Shell shell{state};
    ManualTickSource clock;
    ManualPointerSource pointerSource;
    bool refuse = false;
    bool deviceWorks = true;
    bool sceneLoads = true;
};

const Message leftPress{nullptr, WM_LBUTTONDOWN, 1, makePointParam(320, 372)};
const Message rightRelease{nullptr, WM_RBUTTONUP, 0, makePointParam(320, 372)};

TEST(WindowProc, CreateShowsOnlyTheInnerRectangleWhenWindowed) {
    ShellRig rig;
    rig.makeWindow();
    const FrameRect& region = rig.region;
    EXPECT_TRUE(region.left == 100 && region.top == 40 && region.right == 540 &&
                region.bottom == 440);
    ShellRig fullFrame;
    fullFrame.state.windowed = 0;
    fullFrame.makeWindow();
    EXPECT_EQ(fullFrame.region.width(), 640); // no region: the whole frame shows
}

TEST(WindowProc, ButtonsAndHitTestFollowThePointersZone) {
    ShellRig rig;
    Window& window = rig.makeWindow();
    Message message;
    for (int zone : {zoneNone, zoneDragStrip, zoneCloseButton}) {
        SCOPED_TRACE(zone);
        rig.state.pointerZone = zone;
        EXPECT_EQ(window.sendMessage(WM_LBUTTONDOWN, 1, makePointParam(10, 10)), 0); // kicks
        // A right release toggles the counter (on, off, on); a right press is not in the table.
        window.sendMessage(WM_RBUTTONUP, 0, 0);
        window.sendMessage(516, 0, 0);
        EXPECT_EQ(rig.state.showFps, zone == zoneDragStrip ? 0 : 1);
        // Only on a drag strip is the window's frame hit, and the system pointer hidden again.
        EXPECT_EQ(window.sendMessage(WM_NCHITTEST, 0, 0),
                  zone == zoneDragStrip ? HTCAPTION : HTCLIENT);
        // A left release on the close button posts WM_DESTROY, which posts the quit message;
        // the window itself stays.
        window.sendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(window.peekMessage(message), zone == zoneCloseButton);
    }
    EXPECT_EQ(rig.log, (std::vector<std::string>{"kick", "kick", "kick"}));
    rig.state.pointerZone = zoneDragStrip;
    window.sendMessage(WM_NCHITTEST, 0, 0);
    EXPECT_EQ(window.showCursor(true), -1); // every caption answer hides once more
    EXPECT_FALSE(rig.cursorVisible);
    EXPECT_EQ(message.message, WM_DESTROY);
    EXPECT_EQ(message.window, &window);
    window.dispatchMessage(message);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window.destroyed());
}

TEST(WindowProc, CloseDestroysOnceAndPaintPresentsAgain) {
    ShellRig rig;
    Window& window = rig.makeWindow();
    window.sendMessage(WM_PAINT, 0, 0);
    EXPECT_EQ(rig.log, std::vector<std::string>{"paint"}); // nothing is drawn
    rig.desktop = {leftPress}; // never handed out once the window is gone
    window.sendMessage(WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.destroyed());
    window.sendMessage(WM_CLOSE, 0, 0);
    window.sendMessage(WM_PAINT, 0, 0); // a destroyed window hears nothing
    EXPECT_EQ(rig.log, (std::vector<std::string>{"paint", "removed"}));
    Message message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window.peekMessage(message));
}

TEST(MessageQueue, PostedMessagesComeFirstAndOneAtATime) {
    ShellRig rig;
    Window& window = rig.makeWindow();
    rig.desktop = {leftPress, rightRelease};
    window.postMessage(WM_PAINT, 0, 0);
    Message message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_PAINT);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.message, WM_LBUTTONDOWN);
    EXPECT_EQ(message.window, &window); // the desktop's messages are addressed to the window
    EXPECT_EQ(rig.desktop.size(), 1u);
}

TEST(GameLoop, StartsInOrderThenRunsOneMessageOrOneFramePerTurn) {
    ShellRig rig;
    rig.desktop = {leftPress, rightRelease};
    rig.escapeAfterFrames = 2;
    EXPECT_EQ(winMain(rig.shell, rig), 0);
    const std::vector<std::string> expected{
        "region",  "initDevice", "loadScene", "show", "paint", // start-up, in order
        "kick",                                                // one message a turn...
        "update",  "draw",       "update",    "draw",          // ...then frames while none waits
        "removed", "update",     "draw"}; // ESC closes; that turn's frame still runs, then the end
    EXPECT_EQ(rig.log, expected);
    EXPECT_EQ(rig.state.showFps, 1);
    EXPECT_FALSE(rig.cursorVisible);
}

TEST(GameLoop, FailedStartUpClosesTheWindowRunsNoFrameAndFails) {
    ShellRig noDevice;
    noDevice.deviceWorks = false;
    EXPECT_EQ(winMain(noDevice.shell, noDevice), 1);
    EXPECT_EQ(noDevice.log, (std::vector<std::string>{"region", "initDevice", "removed"}));
    ShellRig noScene;
    noScene.sceneLoads = false;
    EXPECT_EQ(winMain(noScene.shell, noScene), 1);
    EXPECT_EQ(noScene.log,
              (std::vector<std::string>{"region", "initDevice", "loadScene", "removed"}));
    ShellRig noWindow;
    noWindow.refuse = true;
    EXPECT_NE(winMain(noWindow.shell, noWindow), 0);
    EXPECT_TRUE(noWindow.log.empty());
}

TEST(WindowPlacement, TheFrameIsCentredRoundingTowardZero) {
    EXPECT_EQ(centredFrame(599, 480, 640, 480).x, -20); // -41 / 2
}

} // namespace
