// The per-pixel half of drawing: what a triangle's pixels get (texture coordinates, colour),
// texture stage 0 (colour = texture x diffuse, alpha = texture alpha: the only combination the
// device takes), the alpha test and blending into the back buffer, one span at a time.
#pragma once

#include "platform/softgpu/device_state.h"
#include "platform/softgpu/sampler.h"
#include "platform/softgpu/span_kernels.h"

#include <array>

namespace softgpu {

// A vertex on the screen: position snapped to 1/256 pixel, 1/w, and the attributes.
struct ScreenVertex {
    std::int32_t x, y;
    float q;    // 1 / w
    float u, v; // texture coordinates
    float r, g, b, a;
};

// Blending off, or additive (ONE, ONE): the two set-ups the device offers.
enum class BlendMode { Replace, Add };

struct SavedDraw;

// The device states that decide what happens to a pixel, gathered once per draw.
struct PixelState {
    const SpanKernels* kernels = nullptr;
    std::uint32_t* target = nullptr; // top-left pixel of the back buffer
    int pitch = 0;                   // in pixels
    int width = 0, height = 0;       // of the back buffer
    // The pixels drawn: the part of the back buffer the sink shows, cut to the buffer.
    int shownLeft = 0, shownTop = 0, shownRight = 0, shownBottom = 0;
    // Where the shaded colours of this draw are kept to be drawn again, or null.
    SavedDraw* saving = nullptr;
    bool textured = false;
    TextureView texture;
    DWORD magFilter = D3DTEXF_POINT;
    DWORD minFilter = D3DTEXF_POINT;
    // When the test passes exactly the alphas from here up (0..256; 0 when it is off), or -1,
    // and then the table says which alphas pass.
    int minAlpha = -1;
    std::array<bool, 256> alphaPasses{};
    BlendMode blend = BlendMode::Replace;
};

PixelState makePixelState(DeviceState& state);

// A quantity that varies linearly over the screen: value(x, y) = atOrigin + dx * x + dy * y.
struct Plane {
    double atOrigin = 0, dx = 0, dy = 0;
    double at(double x, double y) const { return atOrigin + dx * x + dy * y; }
};

// How the attributes of one triangle vary over its pixels.
struct TriangleShading {
    bool perspective = false; // s and t are divided by q per pixel
    bool bilinear = false;
    Plane q, s, t; // s, t in 1/256 texel (times q when perspective)
    bool flatColour = false;
    std::uint32_t flat = 0xFFFFFFFFu;
    Plane r, g, b, a; // 0..255
};

// Sets the planes up from the three vertices (any winding, not all in a line).
TriangleShading prepareTriangle(const PixelState& pixels, const ScreenVertex& v0,
                                const ScreenVertex& v1, const ScreenVertex& v2);

// Shades the pixels xBegin..xEnd-1 of row y, of a span that starts at spanBegin (left of the
// shown part, the span goes on unshaded). Runs of pixels start from spanBegin whatever is
// shown, so each pixel is worked out exactly as when the whole span is drawn.
void shadeSpan(const PixelState& pixels, const TriangleShading& shading, int y, int spanBegin,
               int xBegin, int xEnd);

// The alpha test and blending of count shaded colours into row y from x on. Colours known to be
// all opaque (alpha 255) are copied as they are where they replace and all pass.
void writeSpan(const PixelState& pixels, const std::uint32_t* colours, int count, int x, int y,
               bool allOpaque = false);

} // namespace softgpu
