#include "platform/web/web_display.h"

#include "platform/web/input_queue.h"
#include "platform/web/page_bindings.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <vector>

namespace platform::web {

namespace {

constexpr const char* canvasTarget = "#canvas";

class PageTicks final : public TickSource {
public:
    // Milliseconds since the page opened, wrapping round at 32 bits like the desktop's count.
    std::uint32_t tickCount() override {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
    }
};

// ESC as the loop polls it: down now, or pressed since the last poll, so that a tap shorter
// than a frame still counts.
class EscapeKey {
public:
    void set(bool down) {
        held = down;
        if (down) pressed = true;
    }
    bool poll() {
        const bool down = held || pressed;
        pressed = false;
        return down;
    }

private:
    bool held = false;
    bool pressed = false;
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
    // Only the region reaches the canvas, so the device need draw nothing else.
    softgpu::RECT shownRect() const override {
        return {region.left, region.top, region.right, region.bottom};
    }

    // Puts the visible part of the device's picture on the canvas, through a buffer in the
    // canvas's byte order that the page shows as it is.
    void present(const softgpu::FrameView& picture) override {
        const int width = region.width();
        const int height = region.height();
        if (!picture.pixels || width <= 0 || height <= 0 || region.left < 0 || region.top < 0 ||
            region.right > picture.width || region.bottom > picture.height)
            return;
        canvasPixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        const auto* rows = reinterpret_cast<const std::uint8_t*>(picture.pixels);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                rows + static_cast<std::size_t>(region.top + y) *
                           static_cast<std::size_t>(picture.pitchBytes));
            toCanvasOrder(row + region.left,
                          canvasPixels.data() + static_cast<std::size_t>(y) * width, width);
        }
        hopla_present(reinterpret_cast<const std::uint8_t*>(canvasPixels.data()), width, height);
    }

    // X8R8G8B8 words are B, G, R, X in memory; the canvas wants R, G, B, A, with A opaque.
    // With SIMD128 four pixels are one byte shuffle.
    static void toCanvasOrder(const std::uint32_t* from, std::uint32_t* to, int count) {
        int i = 0;
#ifdef __wasm_simd128__
        using Bytes = std::uint8_t __attribute__((vector_size(16)));
        constexpr Bytes opaque = {255, 255, 255, 255, 255, 255, 255, 255,
                                  255, 255, 255, 255, 255, 255, 255, 255};
        for (; i + 4 <= count; i += 4) {
            Bytes pixels;
            std::memcpy(&pixels, from + i, sizeof pixels);
            const Bytes swapped = __builtin_shufflevector(pixels, opaque, 2, 1, 0, 16, 6, 5, 4, 16,
                                                          10, 9, 8, 16, 14, 13, 12, 16);
            std::memcpy(to + i, &swapped, sizeof swapped);
        }
#endif
        for (; i < count; ++i) {
            const std::uint32_t p = from[i];
            to[i] = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        }
    }

protected:
    bool nextDesktopMessage(Message& message) override {
        UINT button = 0;
        while (input.next(button)) {
            // A press on a drag strip belongs to the window's caption, as on the desktop: the
            // game never hears of it nor of its release, and a page has no window to move.
            if (button == WM_LBUTTONDOWN && onCaption()) {
                captionHeld = true;
                continue;
            }
            if (button == WM_LBUTTONUP && captionHeld) {
                captionHeld = false;
                continue;
            }
            if (button == WM_RBUTTONUP && onCaption()) continue;
            message.message = button;
            return true;
        }
        return false;
    }
    void applyCursor(bool visible) override { hopla_set_cursor_visible(visible ? 1 : 0); }
    void showOnDesktop() override {}
    void removeFromDesktop() override {}

private:
    bool onCaption() { return sendMessage(WM_NCHITTEST, 0, 0) == HTCAPTION; }

    InputQueue& input;
    EscapeKey& escape;
    FrameRect region{0, 0, 640, 480};
    // The shown picture as the canvas takes it; the page keeps a view of it from frame to frame.
    std::vector<std::uint32_t> canvasPixels;
    bool captionHeld = false;
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

    static EM_BOOL onRightRelease(int, const EmscriptenMouseEvent* event, void* data) {
        if (event->button != 2) return EM_FALSE;
        auto& display = *static_cast<PageDisplay*>(data);
        const ClientPoint at = clientPoint(event->clientX, event->clientY);
        display.input.move(at);
        display.input.button(WM_RBUTTONUP, at);
        return EM_TRUE;
    }

    // A touch is the pointer: it moves where the finger is, presses as it lands and releases
    // as it lifts. Taking the events keeps the page from scrolling, zooming or making mouse
    // events of them.
    static EM_BOOL onTouch(int type, const EmscriptenTouchEvent* event, void* data) {
        auto& display = *static_cast<PageDisplay*>(data);
        for (int i = 0; i < event->numTouches; ++i) {
            const EmscriptenTouchPoint& touch = event->touches[i];
            if (!touch.isChanged) continue;
            const ClientPoint at = clientPoint(touch.clientX, touch.clientY);
            display.input.move(at);
            if (type == EMSCRIPTEN_EVENT_TOUCHSTART) display.input.button(WM_LBUTTONDOWN, at);
            if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL)
                display.input.button(WM_LBUTTONUP, at);
            break;
        }
        return EM_TRUE;
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
        // left the window; a right release counts only over the canvas.
        emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, display, EM_TRUE,
                                          mouse);
        emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, display, EM_TRUE, mouse);
        emscripten_set_mouseup_callback(canvasTarget, display, EM_TRUE,
                                        display ? onRightRelease : nullptr);
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

std::unique_ptr<Display> openPageDisplay() {
    return std::make_unique<PageDisplay>();
}

} // namespace platform::web
