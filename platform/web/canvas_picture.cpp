#include "platform/web/canvas_picture.h"

#include <algorithm>
#include <cstddef>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace platform::web {

namespace {

// The pixels [first, end) of a row round those that changed; empty (end <= first) when none did.
struct Span {
    int first, end;
};

// Writes a row in the canvas's order over its previous picture, and says where it differs.
// X8R8G8B8 words are B, G, R, X in memory; the canvas wants R, G, B, A, with A opaque. With
// SIMD128 four pixels are one byte shuffle, and sixteen are compared with the old ones at once:
// most of a picture is as it was, and only what changed is stored.
Span toCanvasOrder(const std::uint32_t* from, std::uint32_t* to, int count) {
    Span span{count, 0};
    int i = 0;
#ifdef __wasm_simd128__
    const auto canvasOrder = [](const std::uint32_t* pixels) {
        const v128_t words = wasm_v128_load(pixels);
        return wasm_v128_or(
            wasm_i8x16_shuffle(words, words, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15),
            wasm_i32x4_const_splat(static_cast<std::int32_t>(0xFF000000u)));
    };
    for (; i + 16 <= count; i += 16) {
        const v128_t a = canvasOrder(from + i), b = canvasOrder(from + i + 4);
        const v128_t c = canvasOrder(from + i + 8), d = canvasOrder(from + i + 12);
        const v128_t differences =
            wasm_v128_or(wasm_v128_or(wasm_v128_xor(a, wasm_v128_load(to + i)),
                                      wasm_v128_xor(b, wasm_v128_load(to + i + 4))),
                         wasm_v128_or(wasm_v128_xor(c, wasm_v128_load(to + i + 8)),
                                      wasm_v128_xor(d, wasm_v128_load(to + i + 12))));
        if (!wasm_v128_any_true(differences)) continue;
        span.first = std::min(span.first, i);
        span.end = i + 16;
        wasm_v128_store(to + i, a);
        wasm_v128_store(to + i + 4, b);
        wasm_v128_store(to + i + 8, c);
        wasm_v128_store(to + i + 12, d);
    }
#endif
    for (; i < count; ++i) {
        const std::uint32_t p = from[i];
        const std::uint32_t swapped =
            0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        if (swapped == to[i]) continue;
        span.first = std::min(span.first, i);
        span.end = i + 1;
        to[i] = swapped;
    }
    return span;
}

} // namespace

FrameRect CanvasPicture::take(const softgpu::FrameView& picture, const FrameRect& shown) {
    const int width = shown.width();
    const int height = shown.height();
    if (width != width_ || height != height_) {
        // Compared with no picture (zeros, never opaque), every pixel of the new one changed.
        pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        width_ = width;
        height_ = height;
    }
    FrameRect changed{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const Span span =
            toCanvasOrder(picture.row(shown.top + y) + shown.left,
                          pixels_.data() + static_cast<std::size_t>(y) * width, width);
        if (span.end <= span.first) continue;
        changed = {std::min(changed.left, span.first), std::min(changed.top, y),
                   std::max(changed.right, span.end), y + 1};
    }
    return changed.width() > 0 ? changed : FrameRect{};
}

} // namespace platform::web
