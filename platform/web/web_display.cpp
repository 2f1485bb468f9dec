#include "platform/web/web_display.h"

#include "platform/escape_key.h"
#include "platform/web/canvas_picture.h"
#include "platform/web/input_queue.h"
#include "platform/web/page_bindings.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstring>

namespace platform::web {

namespace {

constexpr const char* canvasTarget = "#canvas";

// The game's close button, whose touch target is larger than the button (setCloseButton).
FrameRect closeButton;
// Half the side of a comfortable touch target, in CSS pixels.
constexpr double touchReach = 22.0;

class PageTicks final : public TickSource {
public:
    // Milliseconds since the page opened, wrapping round at 32 bits like the desktop's count.
    std::uint32_t tickCount() override {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
    }
};

class PagePointer final : public PointerSource {
public:
    explicit PagePointer(InputQueue& input) : input(input) {}
    ClientPoint clientPointer() override { return input.poll(); }

private:
    InputQueue& input;
};

class PageWindow final : public Window {
public:
    PageWindow(WindowProcedure& procedure, InputQueue& input, EscapeKey& escape)
        : Window(procedure), input(input), escape(escape) {}

    void setRegion(const FrameRect& shown) override { region = shown; }
    bool escapeDown() override { return escape.poll(); }
    // The page runs a turn per display refresh, and none while it is hidden: the page's own
    // loop never waits here.
    void waitForDesktop(std::uint32_t) override {}
    int refreshRate() override { return 0; }
    // Only the region reaches the canvas, so the device need draw nothing else.
    softgpu::RECT shownRect() const override {
        return {region.left, region.top, region.right, region.bottom};
    }

    // Puts the visible part of the device's picture on the canvas. Only the rectangle round the
    // pixels that changed since the last frame is put: while the ball rests or flies, that is the
    // ball and a number or two, and the browser then copies and paints a small part of the canvas.
    void present(const softgpu::FrameView& picture) override {
        if (!picture.pixels || region.width() <= 0 || region.height() <= 0 || region.left < 0 ||
            region.top < 0 || region.right > picture.width || region.bottom > picture.height)
            return;
        const FrameRect changed = canvas.take(picture, region);
        if (changed.width() <= 0) return;
        hopla_present(reinterpret_cast<const std::uint8_t*>(canvas.pixels()), region.width(),
                      region.height(), changed.left, changed.top, changed.width(),
                      changed.height());
    }

protected:
    bool nextDesktopMessage(Message& message) override {
        UINT button = 0;
        ClientPoint at;
        if (!input.next(button, at)) return false;
        message = {nullptr, button, 0, makePointParam(at.x, at.y)};
        return true;
    }
    // A page has no window to move: a press on a drag strip only keeps the game from it.
    void startWindowMove() override {}
    void applyCursor(bool visible) override { hopla_set_cursor_visible(visible ? 1 : 0); }
    void showOnDesktop() override {}
    void removeFromDesktop() override {}

private:
    InputQueue& input;
    EscapeKey& escape;
    FrameRect region{0, 0, 640, 480};
    // The shown picture as the canvas takes it; the page keeps a view of it from frame to frame.
    CanvasPicture canvas;
};

class PageDisplay final : public Display {
public:
    PageDisplay() : pagePointer(input) { listen(this); }
    ~PageDisplay() override { listen(nullptr); }

    TickSource& ticks() override { return pageTicks; }
    PointerSource& pointer() override { return pagePointer; }
    std::unique_ptr<Window> createWindow(const std::string&, WindowProcedure& procedure,
                                         std::string&) override {
        auto window = std::make_unique<PageWindow>(procedure, input, escape);
        window->sendMessage(WM_CREATE, 0, 0);
        return window;
    }

private:
    // Canvas pixels are the visible rectangle's; the game's client pixels are the frame's.
    static ClientPoint clientPoint(long clientX, long clientY) {
        int point[2] = {0, 0};
        hopla_canvas_point(clientX, clientY, point);
        return {point[0] + 100, point[1] + 40};
    }

    static EM_BOOL onMouse(int type, const EmscriptenMouseEvent* event, void* data) {
        auto& display = *static_cast<PageDisplay*>(data);
        const ClientPoint at = clientPoint(event->clientX, event->clientY);
        display.input.move(at);
        if (type == EMSCRIPTEN_EVENT_MOUSEDOWN && event->button == 0) {
            display.input.button(WM_LBUTTONDOWN, at);
            return EM_TRUE; // no text selection or dragging of the canvas
        }
        if (type == EMSCRIPTEN_EVENT_MOUSEUP && event->button == 0)
            display.input.button(WM_LBUTTONUP, at);
        return EM_FALSE;
    }

    // The right button's release, and a long press on a touch screen: the browser asks for a
    // context menu. Its own timing is kept (on some desktops the menu comes with the press),
    // and every engine reports it alike, where a right button's release is not always told
    // apart from the left's.
    static void onContextMenu(void* data, int clientX, int clientY) {
        auto& display = *static_cast<PageDisplay*>(data);
        const ClientPoint at = clientPoint(clientX, clientY);
        display.input.move(at);
        display.input.button(WM_RBUTTONUP, at);
    }

    // Where a touch counts: a finger is broader than the close button, so a touch within a
    // comfortable square round the button's middle is on the button. The mouse keeps the
    // button's own size.
    static ClientPoint touchPoint(long clientX, long clientY) {
        const ClientPoint at = clientPoint(clientX, clientY);
        if (closeButton.width() <= 0 || closeButton.height() <= 0) return at;
        const ClientPoint middle{(closeButton.left + closeButton.right - 1) / 2,
                                 (closeButton.top + closeButton.bottom - 1) / 2};
        const double scale = hopla_canvas_css_scale();
        if (std::abs(at.x - middle.x) * scale <= touchReach &&
            std::abs(at.y - middle.y) * scale <= touchReach)
            return middle;
        return at;
    }

    // A touch is the pointer: it moves where the finger is, presses as it lands and releases
    // as it lifts. The canvas's touch-action keeps the page from scrolling or zooming. The
    // landing is left to the browser, which makes a long press of it (a context menu); the
    // lifting is taken, so that no mouse events or click are made of a tap.
    static EM_BOOL onTouch(int type, const EmscriptenTouchEvent* event, void* data) {
        auto& display = *static_cast<PageDisplay*>(data);
        for (int i = 0; i < event->numTouches; ++i) {
            const EmscriptenTouchPoint& touch = event->touches[i];
            if (!touch.isChanged) continue;
            const ClientPoint at = touchPoint(touch.clientX, touch.clientY);
            display.input.move(at);
            if (type == EMSCRIPTEN_EVENT_TOUCHSTART) display.input.button(WM_LBUTTONDOWN, at);
            if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL)
                display.input.button(WM_LBUTTONUP, at);
            break;
        }
        return type == EMSCRIPTEN_EVENT_TOUCHSTART ? EM_FALSE : EM_TRUE;
    }

    static EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void* data) {
        if (std::strcmp(event->key, "Escape") != 0) return EM_FALSE;
        static_cast<PageDisplay*>(data)->escape.set(type == EMSCRIPTEN_EVENT_KEYDOWN);
        return EM_TRUE;
    }

    // Registers the callbacks with this display as their data, or removes them (nullptr).
    static void listen(PageDisplay* display) {
        const auto mouse = display ? onMouse : nullptr;
        const auto touch = display ? onTouch : nullptr;
        const auto key = display ? onKey : nullptr;
        emscripten_set_mousedown_callback(canvasTarget, display, EM_TRUE, mouse);
        // Moves and releases count anywhere, as the desktop keeps following a pointer that
        // left the window; a context menu counts only over the canvas.
        emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, display, EM_TRUE,
                                          mouse);
        emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, display, EM_TRUE, mouse);
        hopla_listen_context_menu(display ? onContextMenu : nullptr, display);
        emscripten_set_touchstart_callback(canvasTarget, display, EM_TRUE, touch);
        emscripten_set_touchmove_callback(canvasTarget, display, EM_TRUE, touch);
        emscripten_set_touchend_callback(canvasTarget, display, EM_TRUE, touch);
        emscripten_set_touchcancel_callback(canvasTarget, display, EM_TRUE, touch);
        emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, display, EM_TRUE, key);
        emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, display, EM_TRUE, key);
    }

    InputQueue input;
    EscapeKey escape;
    PageTicks pageTicks;
    PagePointer pagePointer;
};

} // namespace

void setCloseButton(const FrameRect& button) {
    closeButton = button;
}

std::unique_ptr<Display> openPageDisplay() {
    return std::make_unique<PageDisplay>();
}

} // namespace platform::web
