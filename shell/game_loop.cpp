#include "shell/game_loop.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

using namespace platform;

namespace shell {

namespace {

// How long a rest waits for the desktop before the loop looks again; any message ends it.
constexpr std::uint32_t restWaitMs = 1000;
// The refresh rate paced to when the desktop does not say.
constexpr int assumedRefreshHz = 60;

// When the next frame is due: at the display's next refresh. Counted in microseconds on a
// clock that does not wrap, so that 60 Hz gives 60 frames a second, not 59 or 62.
class RefreshPacer {
public:
    RefreshPacer(TickSource& ticks, int refreshHz)
        : ticks(ticks), lastTick(ticks.tickCount()),
          periodUs(std::max(1'000'000 / (refreshHz > 0 ? refreshHz : assumedRefreshHz), 1)) {}

    // Milliseconds until the next frame is due; 0 once it is.
    std::uint32_t msUntilDue() {
        const std::int64_t early = due - now();
        return early > 0 ? static_cast<std::uint32_t>((early + 999) / 1000) : 0;
    }

    // After a frame. A refresh that has passed already, or is passing now (after a slow frame,
    // or a rest), is let go, as a display lets a late picture wait for the next one: the game
    // does not hurry to catch up, and never draws two frames back to back.
    void framePresented() {
        const std::int64_t current = now();
        due += periodUs;
        if (due <= current) due += ((current - due) / periodUs + 1) * periodUs;
    }

private:
    std::int64_t now() {
        const std::uint32_t tick = ticks.tickCount();
        elapsedUs += std::int64_t{static_cast<std::uint32_t>(tick - lastTick)} * 1000;
        lastTick = tick;
        return elapsedUs;
    }

    TickSource& ticks;
    std::uint32_t lastTick;
    std::int64_t periodUs;
    std::int64_t elapsedUs = 0; // since the pacer was made
    std::int64_t due = 0;
};

// Takes one waiting message and hands it to the window; nothing when none waits.
std::optional<Turn> handleWaitingMessage(Window& window) {
    Message message;
    if (!window.peekMessage(message)) return std::nullopt;
    if (message.message == WM_QUIT) return Turn::over;
    window.dispatchMessage(message);
    return Turn::message;
}

} // namespace

std::unique_ptr<Window> openGameWindow(Program& program, Display& display, std::string& error) {
    std::unique_ptr<Window> window = display.createWindow(windowTitle, program.windowProc, error);
    if (!window) return nullptr;
    program.state.windowed = 1;

    // Closing the window leaves the quit message waiting, so the loop ends before any frame.
    if (!initDevice(program.renderer, window.get(), 1) || !loadScene(program.stage))
        window->sendMessage(WM_CLOSE, 0, 0);

    window->showCursor(false); // the game draws its own pointer
    window->showWindow();
    window->updateWindow();
    return window;
}

Turn runTurn(Program& program, Window& window) {
    if (const std::optional<Turn> turn = handleWaitingMessage(window)) return *turn;
    if (window.escapeDown()) window.sendMessage(WM_CLOSE, 0, 0);
    updateFrame(program.core);
    drawFrame(program.stage);
    return Turn::frame;
}

int runMessageLoop(Program& program, Window& window, bool syncToRefresh) {
    std::optional<RefreshPacer> pacer;
    if (syncToRefresh) pacer.emplace(program.clock.ticks, window.refreshRate());
    // Frames no one sees are not drawn. To the frame clock a rest is a stall, as a drag is:
    // after a long one the first frame moves nothing.
    const auto msBeforeFrame = [&]() -> std::uint32_t {
        if (!window.inSight()) return restWaitMs;
        return pacer ? pacer->msUntilDue() : 0;
    };
    for (;;) {
        if (msBeforeFrame() == 0) {
            const Turn turn = runTurn(program, window);
            if (turn == Turn::over) return 0;
            if (turn == Turn::frame && pacer) pacer->framePresented();
            continue;
        }
        if (const std::optional<Turn> turn = handleWaitingMessage(window)) {
            if (*turn == Turn::over) return 0;
            continue;
        }
        // Taking the desktop's reports may have brought the window back into sight.
        if (const std::uint32_t ms = msBeforeFrame(); ms > 0) window.waitForDesktop(ms);
    }
}

int runGame(Program& program, Display& display, bool syncToRefresh) {
    std::string error;
    const std::unique_ptr<Window> window = openGameWindow(program, display, error);
    if (!window) {
        std::fprintf(stderr, "hopla: the game's window could not be made: %s\n", error.c_str());
        return 1;
    }
    // A game that could not start has failed, whoever watches: its set-up closed the window.
    const bool started = !window->destroyed();
    const int status = runMessageLoop(program, *window, syncToRefresh);
    return started ? status : 1;
}

} // namespace shell
