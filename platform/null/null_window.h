// The null window driver: the game's window on no desktop, for the headless renderer, tests and
// benchmarks. Its desktop events are queued by the caller; its clock and pointer say what they
// are told; it notes the window moves asked of it and keeps the last picture presented.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <deque>
#include <functional>

namespace platform {

class NullWindow final : public Window {
public:
    NullWindow(WindowProcedure& procedure, PointerSource& pointer);

    // Queues a button message from the desktop at the pointer's current position:
    // WM_LBUTTONDOWN, WM_LBUTTONUP or WM_RBUTTONUP.
    void queueButton(UINT message);
    // Queues any other desktop message as it is (WM_CLOSE from the desktop, WM_PAINT).
    void queueMessage(UINT message);

    void setRegion(const FrameRect& visible) override { region = visible; }
    bool escapeDown() override { return escapeHeld; }
    // Keeps the shown part of the picture, as a window on the desktop shows it.
    void present(const softgpu::FrameView& frame) override {
        pictures.showOnly(shownRect());
        pictures.present(frame);
    }
    // The region, or the whole frame for a tool that wants all of the back buffer drawn.
    softgpu::RECT shownRect() const override {
        return showsWholeFrame
                   ? softgpu::RECT{0, 0, 640, 480}
                   : softgpu::RECT{region.left, region.top, region.right, region.bottom};
    }

    // Calls onWait, if set, which may move the clock or queue what the desktop reports; with
    // nothing to wait for, returns at once.
    void waitForDesktop(std::uint32_t ms) override {
        if (onWait) onWait(ms);
    }
    int refreshRate() override { return refreshHz; }
    // The desktop minimises or hides the window (false), or shows it again (true).
    using Window::reportSight;

    bool escapeHeld = false;
    FrameRect region{0, 0, 640, 480};
    bool showsWholeFrame = false;
    bool cursorVisible = true;
    bool shown = false;
    bool removed = false;
    int windowMoves = 0;          // left presses that went to the caption
    softgpu::MemorySink pictures; // every picture presented, the last one's shown part kept
    int refreshHz = 0;
    std::function<void(std::uint32_t ms)> onWait;

protected:
    bool nextDesktopMessage(Message& message) override;
    void startWindowMove() override { ++windowMoves; }
    void applyCursor(bool visible) override { cursorVisible = visible; }
    void showOnDesktop() override { shown = true; }
    void removeFromDesktop() override { removed = true; }

private:
    PointerSource& pointer;
    std::deque<Message> desktop;
};

// The desktop of the null driver: a clock and a pointer that the caller moves.
class NullDisplay final : public Display {
public:
    explicit NullDisplay(std::uint32_t startTick = 0) : clock(startTick) {}

    TickSource& ticks() override { return clock; }
    PointerSource& pointer() override { return pointerSource; }
    // Makes a NullWindow (sending it WM_CREATE); none, with a reason, when refuseWindow.
    std::unique_ptr<Window> createWindow(const std::string& title, WindowProcedure& procedure,
                                         std::string& error) override;

    ManualTickSource clock;
    ManualPointerSource pointerSource;
    bool refuseWindow = false;
    NullWindow* window = nullptr; // the window made last
};

} // namespace platform
