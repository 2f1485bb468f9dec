// The game's one window and its message queue, as the single game thread sees them: messages
// posted, sent and reported by the desktop, the window procedure, ESC and the picture. The
// drivers (platform/sdl, platform/web, platform/null) only translate what their desktop reports.
#pragma once

#include "platform/pointer_source.h"
#include "platform/softgpu/softgpu.h"
#include "platform/tick_source.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace platform {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Window messages, with the numbers the game's message table uses.
constexpr UINT WM_CREATE = 1;
constexpr UINT WM_DESTROY = 2;
constexpr UINT WM_PAINT = 15;
constexpr UINT WM_CLOSE = 0x10;
constexpr UINT WM_QUIT = 0x12;
constexpr UINT WM_NCHITTEST = 132;
constexpr UINT WM_LBUTTONDOWN = 513;
constexpr UINT WM_LBUTTONUP = 514;
constexpr UINT WM_RBUTTONUP = 517;

// Answers to WM_NCHITTEST: the point is in the client area, or on a caption (drags the window).
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;

// Two 16-bit coordinates in one parameter, x in the low half, as button messages carry them.
constexpr LPARAM makePointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

class Window;

struct Message {
    Window* window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What a window calls with each of its messages. The game implements it once: its window
// procedure; the window holds a reference, so the procedure outlives the window.
class WindowProcedure {
public:
    virtual LRESULT windowProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~WindowProcedure() = default;
};

// A rectangle of the window's frame: left and top inclusive, right and bottom exclusive.
struct FrameRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct FramePosition {
    int x = 0;
    int y = 0;
};

// Where a frame of that size goes to sit centred on a screen of that size; integer halves,
// rounded toward zero, so a screen smaller than the frame gives a negative position.
constexpr FramePosition centredFrame(int screenWidth, int screenHeight, int frameWidth,
                                     int frameHeight) {
    return {(screenWidth - frameWidth) / 2, (screenHeight - frameHeight) / 2};
}

// The window: its queue, the calls to its procedure and the caption rule are kept here; the
// desktop's part of the work is left to the driver's subclass. It is also where the graphics
// device presents its pictures: the visible part of each frame goes on the window.
//
// The caption rule: a left press where the window procedure answers HTCAPTION belongs to the
// window, not the game (it moves the window), and so does its release; a right release there
// is the frame's too. The procedure is asked as the press arrives, so on the zones the last
// frame found.
class Window : public softgpu::PresentSink {
public:
    explicit Window(WindowProcedure& procedure) : procedure(procedure) {}
    ~Window() override = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Takes at most one message without waiting: a posted one first, else the next message the
    // desktop reports that the caption rule leaves to the game. False when nothing is waiting.
    bool peekMessage(Message& message);
    LRESULT dispatchMessage(const Message& message);
    // Calls the window procedure now, unless the window was destroyed.
    LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void postMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void postQuitMessage(int exitCode);
    // What the window does with a message its procedure leaves alone: WM_CLOSE destroys the
    // window, WM_NCHITTEST answers HTCLIENT, everything else answers 0.
    LRESULT defWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends WM_DESTROY once, then takes the window off the desktop.
    void destroy();
    bool destroyed() const { return state == State::destroyed; }

    // Hides (count below 0) or shows the system pointer over the window; every call moves a
    // display count by one, as the desktop keeps it. Returns the new count.
    int showCursor(bool show);
    // Shows the window, then paints it once (UpdateWindow).
    void showWindow();
    void updateWindow();

    // The window shows only this rectangle of its 640 x 480 frame.
    virtual void setRegion(const FrameRect& region) = 0;
    // ESC held down at this moment.
    virtual bool escapeDown() = 0;

    // Whether the player can see the window: not while the desktop keeps it minimised or
    // hidden, as the driver last reported.
    bool inSight() const { return sighted; }
    // Waits until the desktop has something to report, or for at most `ms` milliseconds; it
    // may return sooner. Reports are taken by peekMessage, not here.
    virtual void waitForDesktop(std::uint32_t ms) = 0;
    // The display's refresh rate in hertz; 0 when the desktop does not say.
    virtual int refreshRate() = 0;

protected:
    // The next thing the desktop reports, translated and nothing more: a button message
    // (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP) with the client point where it happened in
    // lParam, a close request (WM_CLOSE) or an exposure (WM_PAINT). False when nothing waits.
    virtual bool nextDesktopMessage(Message& message) = 0;
    // A left press has just gone to the window's caption: move the window with the pointer.
    virtual void startWindowMove() = 0;
    // The caption rule for a left press at that client point (makePointParam): true when the
    // press belongs to the window, whose move has then started, and neither the press nor its
    // release will reach the game. peekMessage asks it of every reported press; a driver whose
    // desktop must know at the press itself (SDL's hit test) may ask first.
    bool pressOnCaption(LPARAM point);
    virtual void applyCursor(bool visible) = 0;
    virtual void showOnDesktop() = 0;
    virtual void removeFromDesktop() = 0;
    // What the desktop has just done with the window: minimised or hidden it (false), or
    // shown, restored or exposed it (true).
    void reportSight(bool seen) { sighted = seen; }

private:
    // Whether the caption rule keeps a reported message from the game.
    bool belongsToFrame(const Message& reported);
    bool onCaption(LPARAM point);

    WindowProcedure& procedure;
    std::deque<Message> posted;
    bool captionHeld = false; // the last left press went to the caption
    int cursorCount = 0;
    bool sighted = true; // shown by the game before its loop starts
    enum class State { alive, destroying, destroyed } state = State::alive;
};

// The desktop the game runs on: its clock, its pointer and the game's window.
class Display {
public:
    virtual ~Display() = default;
    virtual TickSource& ticks() = 0;
    // The pointer in client pixels of the game's window (0, 0 before the window exists).
    virtual PointerSource& pointer() = 0;
    // Creates the game's hidden borderless window: a 640 x 480 frame centred on the screen,
    // with that title and the icon resource. Its procedure receives WM_CREATE before this
    // returns. Empty, with the reason in `error`, when the desktop refuses.
    virtual std::unique_ptr<Window>
    createWindow(const std::string& title, WindowProcedure& procedure, std::string& error) = 0;
};

} // namespace platform
