// The whole game on the null window driver and the null sound device: the real start-up, the
// real window procedure and the real loop turns, on a clock and a pointer moved by the caller.
// The headless renderer, the tests and the benchmarks drive the game through it.
#pragma once

#include "platform/null/null_window.h"
#include "platform/sound_device.h"
#include "shell/game_loop.h"
#include "shell/program.h"

#include <cstdint>
#include <memory>

namespace shell {

class HeadlessProgram {
public:
    // The frame clock is made at startTick; the best score is kept in bestScoreStore (nowhere
    // without one). The sound starts on the null device unless a test installs another opener
    // before start.
    explicit HeadlessProgram(std::uint32_t startTick = 0,
                             platform::ScoreStore* bestScoreStore = nullptr);
    ~HeadlessProgram();
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    // The game's start-up. False when the window could not be made or a set-up step closed it.
    bool start();

    // Advances the clock, then runs turns until one runs a frame: the waiting messages are
    // handled first. False when the game ended instead, and ever after.
    bool frame(std::uint32_t ms = 16);

    // The pointer, and the buttons the desktop hands on (see NullWindow::queueButton).
    void pointAt(int x, int y) { display.pointerSource.position = {x, y}; }
    void press() { window().queueButton(platform::WM_LBUTTONDOWN); }
    void release() { window().queueButton(platform::WM_LBUTTONUP); }
    void rightRelease() { window().queueButton(platform::WM_RBUTTONUP); }
    // Puts the pointer just under the ball's centre as the player sees it, where a press kicks
    // the ball up once a frame has seen the pointer there.
    void aimAtBall();

    platform::NullWindow& window() { return *display.window; }
    // The last picture presented: the 640 x 480 back buffer, of which the window's region is
    // kept (all of it when the window shows the whole frame) and the rest reads 0.
    const softgpu::MemorySink& pictures() { return window().pictures; }

    platform::NullDisplay display;
    Program program;
    std::unique_ptr<platform::Window> gameWindow; // made by start

private:
    platform::SoundDeviceOpener previousOpener;
    bool over = false;
};

} // namespace shell
