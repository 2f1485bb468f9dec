// The window procedure's message table, the start-up and the loop's turns, on the real game
// run by the null window driver: what the desktop hands on comes from a queue, what the window
// and the game do is read back from them.
#include "audio/sound_setup.h"
#include "platform/null/null_sound.h"
#include "platform/softgpu/adapter_options.h"
#include "platform/softgpu/softgpu.h"
#include "platform/sound_device.h"
#include "shell/headless_program.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace game;
using namespace platform;

namespace {

// The game started on the null driver, its window and state at hand.
class Started : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(started); }
    shell::HeadlessProgram headless;
    const bool started = headless.start();
    Window* window = headless.gameWindow.get();
    GameState& state = headless.program.state;
    Message message;
};
using WindowProc = Started;
using CaptionRule = Started;

TEST_F(WindowProc, ButtonsAndHitTestFollowThePointersZone) {
    int kicks = 0;
    for (int zone : {zoneNone, zoneDragStrip, zoneCloseButton}) {
        SCOPED_TRACE(zone);
        state.pointerZone = zone;
        state.pointerOverBall = 1; // as the last frame found it
        EXPECT_EQ(window->sendMessage(WM_LBUTTONDOWN, 1, makePointParam(10, 10)), 0);
        EXPECT_EQ(headless.program.scores.score, ++kicks);
        // A right release toggles the counter (on, off, on); a right press is not in the table.
        window->sendMessage(WM_RBUTTONUP, 0, 0);
        window->sendMessage(516, 0, 0);
        EXPECT_EQ(state.showFps, zone == zoneDragStrip ? 0 : 1);
        // Only on a drag strip is the window's frame hit, and the system pointer hidden again.
        EXPECT_EQ(window->sendMessage(WM_NCHITTEST, 0, 0),
                  zone == zoneDragStrip ? HTCAPTION : HTCLIENT);
        // A left release on the close button posts WM_DESTROY, which posts the quit message;
        // the window itself stays.
        window->sendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(window->peekMessage(message), zone == zoneCloseButton);
    }
    EXPECT_EQ(window->showCursor(true), -1); // every caption answer hid it once more
    EXPECT_FALSE(headless.window().cursorVisible);
    EXPECT_EQ(message.message, WM_DESTROY);
    EXPECT_EQ(message.window, window);
    window->dispatchMessage(message);
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window->destroyed());
}

// The caption rule on what the null driver reports: a left press on a drag strip moves the
// window, and neither it nor its release reaches the game; a right release there is the
// frame's. Each press decides anew, so a release the window manager kept does not linger.
TEST_F(CaptionRule, APressOnAStripAndItsReleaseBelongToTheWindow) {
    state.pointerZone = zoneDragStrip;
    headless.press(); // and the window manager keeps its release
    headless.rightRelease();
    EXPECT_FALSE(window->peekMessage(message));

    state.pointerZone = zoneNone;
    headless.pointAt(300, 200);
    headless.press();
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_TRUE(message.message == WM_LBUTTONDOWN && message.lParam == makePointParam(300, 200));
    state.pointerZone = zoneDragStrip; // a press elsewhere keeps its release, wherever it falls
    headless.release();
    headless.rightRelease();
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_LBUTTONUP);
    EXPECT_FALSE(window->peekMessage(message));

    headless.press();
    EXPECT_FALSE(window->peekMessage(message));
    state.pointerZone = zoneCloseButton; // a drag let go over the close button ends nothing
    headless.release();
    EXPECT_FALSE(window->peekMessage(message));
    EXPECT_EQ(headless.window().windowMoves, 2);
}

TEST_F(WindowProc, CloseDestroysOnceAndPaintPresentsAgain) {
    const int presents = headless.pictures().presentCount();
    window->sendMessage(WM_PAINT, 0, 0);
    EXPECT_EQ(headless.pictures().presentCount(), presents + 1);
    EXPECT_EQ(headless.program.clock.frameCount, 0) << "nothing is drawn";
    window->postMessage(WM_PAINT, 0, 0); // posted: waits for its turn, then finds no window
    window->sendMessage(WM_CLOSE, 0, 0);
    EXPECT_TRUE(headless.window().removed);
    window->sendMessage(WM_CLOSE, 0, 0);
    window->sendMessage(WM_PAINT, 0, 0); // a destroyed window hears nothing
    headless.press();                    // nor does the desktop hand it anything
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_PAINT);
    window->dispatchMessage(message);
    ASSERT_TRUE(window->peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(window->peekMessage(message));
    EXPECT_EQ(headless.pictures().presentCount(), presents + 1);
}

TEST(GameLoop, StartsThenRunsOneMessageOrOneFramePerTurn) {
    shell::HeadlessProgram headless;
    ASSERT_TRUE(headless.start());
    EXPECT_EQ(headless.pictures().presentCount(), 1) << "shown once, before any frame";
    shell::Program& program = headless.program;
    Window& window = *headless.gameWindow;

    headless.rightRelease();
    headless.rightRelease();
    headless.window().queueMessage(WM_PAINT);
    using shell::Turn;
    EXPECT_EQ(shell::runTurn(program, window), Turn::message);
    EXPECT_EQ(program.state.showFps, 1) << "one message a turn";
    EXPECT_EQ(shell::runTurn(program, window), Turn::message);
    EXPECT_EQ(shell::runTurn(program, window), Turn::message);
    EXPECT_EQ(program.clock.frameCount, 0);
    EXPECT_EQ(shell::runTurn(program, window), Turn::frame) << "none waits: a frame";
    EXPECT_EQ(shell::runTurn(program, window), Turn::frame);
    EXPECT_EQ(program.clock.frameCount, 2);
    EXPECT_EQ(headless.pictures().presentCount(), 4);

    // ESC closes the window; that turn's frame still runs, then the quit message ends it all.
    headless.window().escapeHeld = true;
    EXPECT_EQ(shell::runTurn(program, window), Turn::frame);
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(program.clock.frameCount, 3);
    EXPECT_EQ(shell::runTurn(program, window), Turn::over);
}

// Out of sight the loop handles messages and waits instead of drawing. Paced, it draws one
// frame per refresh of the display (here 50 Hz) and handles a message that comes meanwhile at
// once, without losing the beat. The null window's waits move the clock.
TEST(GameLoop, RestsOutOfSightAndPacesFramesToTheRefresh) {
    shell::HeadlessProgram headless(5000);
    ASSERT_TRUE(headless.start());
    shell::Program& program = headless.program;
    NullWindow& window = headless.window();
    window.refreshHz = 50;
    window.reportSight(false); // minimised
    headless.rightRelease();
    int presents = headless.pictures().presentCount();
    std::vector<std::uint32_t> frameTicks;
    std::uint32_t lastWait = 0;
    window.onWait = [&](std::uint32_t ms) {
        if (!window.inSight()) {
            EXPECT_EQ(program.state.showFps, 1) << "the message was handled";
            EXPECT_EQ(headless.pictures().presentCount(), presents) << "no frame drawn unseen";
            headless.display.clock.advance(5000);
            window.reportSight(true);
            return;
        }
        if (headless.pictures().presentCount() != presents) {
            EXPECT_EQ(headless.pictures().presentCount(), ++presents) << "one frame per wait";
            frameTicks.push_back(program.clock.currentTick);
        } else {
            EXPECT_EQ(program.state.showFps, 0) << "the message came before the frame";
            EXPECT_EQ(ms, lastWait - 3);
        }
        lastWait = ms;
        if (frameTicks.size() == 20 && program.state.showFps == 1) {
            headless.display.clock.advance(3);
            headless.rightRelease();
        } else if (frameTicks.size() == 62) {
            window.queueMessage(WM_CLOSE);
        } else {
            headless.display.clock.advance(ms);
        }
    };
    EXPECT_EQ(shell::runMessageLoop(program, *headless.gameWindow, true), 0);
    ASSERT_EQ(frameTicks.size(), 62u);
    EXPECT_EQ(frameTicks[61] - frameTicks[1], 1200u) << "50 frames a second";
}

TEST(GameLoop, FailedStartUpClosesTheWindowRunsNoFrameAndFails) {
    for (const bool noDevice : {true, false}) {
        SCOPED_TRACE(noDevice ? "no graphics device" : "no sound device");
        softgpu::AdapterOptions failing;
        failing.deviceCreationFails = noDevice;
        softgpu::ScopedAdapterOptions scoped(failing);
        shell::HeadlessProgram headless;
        if (!noDevice) audio::setSoundDeviceOpener(openNoSoundDevice);
        EXPECT_FALSE(headless.start());
        // Asserted: on a window still standing, the loops below would never end.
        ASSERT_TRUE(headless.window().removed);
        // The scene is loaded only after the device was made.
        EXPECT_EQ(headless.program.scene.wallTexture.get() == nullptr, noDevice);
        EXPECT_EQ(shell::runMessageLoop(headless.program, *headless.gameWindow), 0);
        EXPECT_EQ(headless.program.clock.frameCount, 0);
        shell::HeadlessProgram whole; // the same start through the entry point's loop
        if (!noDevice) audio::setSoundDeviceOpener(openNoSoundDevice);
        EXPECT_EQ(shell::runGame(whole.program, whole.display), 1);
    }
    shell::HeadlessProgram noWindow;
    noWindow.display.refuseWindow = true;
    EXPECT_EQ(shell::runGame(noWindow.program, noWindow.display), 1);
}

} // namespace
