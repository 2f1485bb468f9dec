// Shading a span in stages over short runs of pixels: texel coordinates, sampling, the
// diffuse colour, texture stage 0, then the alpha test and blending. Each stage is a tight
// loop of its own, chosen once per run, so the common cases pay for nothing they don't use.
#include "platform/softgpu/pixel_pipeline.h"

#include "platform/softgpu/draw_cache.h"
#include "platform/softgpu/fixed_point.h"
#include "platform/softgpu/span_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace softgpu {

namespace {

constexpr std::uint32_t opaqueTop = 0xFF000000u;

// x * y / 255, rounded to nearest, for bytes x and y.
inline std::uint32_t multiplyByte(std::uint32_t x, std::uint32_t y) {
    const std::uint32_t product = x * y + 128;
    return (product + (product >> 8)) >> 8;
}

inline std::uint32_t channel(std::uint32_t colour, int shift) {
    return (colour >> shift) & 0xFF;
}

inline std::uint32_t modulate(std::uint32_t a, std::uint32_t b) {
    return multiplyByte(channel(a, 24), channel(b, 24)) << 24 |
           multiplyByte(channel(a, 16), channel(b, 16)) << 16 |
           multiplyByte(channel(a, 8), channel(b, 8)) << 8 | multiplyByte(a & 0xFF, b & 0xFF);
}

bool alphaPasses(std::uint32_t alpha, std::uint32_t reference, DWORD function) {
    switch (function) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return alpha < reference;
    case D3DCMP_EQUAL:
        return alpha == reference;
    case D3DCMP_LESSEQUAL:
        return alpha <= reference;
    case D3DCMP_GREATER:
        return alpha > reference;
    case D3DCMP_NOTEQUAL:
        return alpha != reference;
    case D3DCMP_GREATEREQUAL:
        return alpha >= reference;
    default:
        return true;
    }
}

Plane planeThrough(const double (&x)[3], const double (&y)[3], double area, double a0, double a1,
                   double a2) {
    Plane plane;
    plane.dx = ((a1 - a0) * (y[2] - y[0]) - (a2 - a0) * (y[1] - y[0])) / area;
    plane.dy = ((a2 - a0) * (x[1] - x[0]) - (a1 - a0) * (x[2] - x[0])) / area;
    plane.atOrigin = a0 - plane.dx * x[0] - plane.dy * y[0];
    return plane;
}

std::uint32_t toByte(float value) {
    return static_cast<std::uint32_t>(std::lrint(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

CoordinateRun coordinateRun(const TriangleShading& shading, int x, int y) {
    return CoordinateRun{static_cast<float>(shading.q.at(x, y)),
                         static_cast<float>(shading.s.at(x, y)),
                         static_cast<float>(shading.t.at(x, y)),
                         static_cast<float>(shading.q.dx),
                         static_cast<float>(shading.s.dx),
                         static_cast<float>(shading.t.dx),
                         shading.perspective};
}

// The diffuse colours of the run's pixels first..count-1 (the run starting at x).
void diffuseColours(const TriangleShading& shading, int x, int y, int first, int count,
                    std::uint32_t* out) {
    auto start = [x, y](const Plane& plane) { return static_cast<float>(plane.at(x, y)); };
    const float r0 = start(shading.r), g0 = start(shading.g), b0 = start(shading.b),
                a0 = start(shading.a);
    const auto rStep = static_cast<float>(shading.r.dx), gStep = static_cast<float>(shading.g.dx),
               bStep = static_cast<float>(shading.b.dx), aStep = static_cast<float>(shading.a.dx);
    auto byte = [](float value) {
        return static_cast<std::uint32_t>(std::lrint(std::clamp(value, 0.0f, 255.0f)));
    };
    for (int i = first; i < count; ++i) {
        const auto step = static_cast<float>(i);
        out[i] = byte(a0 + step * aStep) << 24 | byte(r0 + step * rStep) << 16 |
                 byte(g0 + step * gStep) << 8 | byte(b0 + step * bStep);
    }
}

// Texture colour times diffuse colour, texture alpha.
void combineModulate(const SpanKernels& kernels, const std::uint32_t* diffuse, bool flat,
                     std::uint32_t* colours, int count) {
    if (flat) {
        // White leaves the texture as it is, which is how most pictures are drawn.
        if ((diffuse[0] & 0x00FFFFFFu) != 0x00FFFFFFu) {
            kernels.modulateFlat(diffuse[0], colours, count);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t texel = colours[i];
        colours[i] = (texel & opaqueTop) | (modulate(texel, diffuse[i]) & 0x00FFFFFFu);
    }
}

void writePixels(const PixelState& state, const std::uint32_t* colours, int count,
                 std::uint32_t* destination) {
    if (state.minAlpha >= 0) {
        const SpanKernels& kernels = *state.kernels;
        auto write = state.blend == BlendMode::Replace ? kernels.writeReplace : kernels.writeAdd;
        write(state.minAlpha, colours, count, destination);
        return;
    }
    const bool* passes = state.alphaPasses.data();
    for (int i = 0; i < count; ++i) {
        if (!passes[colours[i] >> 24]) continue;
        if (state.blend == BlendMode::Replace) {
            destination[i] = colours[i] | opaqueTop;
        } else {
            state.kernels->writeAdd(0, colours + i, 1, destination + i);
        }
    }
}

// The device takes no source factor but ONE and no destination factor but ZERO or ONE.
BlendMode blendMode(const DeviceState& device) {
    return device.renderState(D3DRS_ALPHABLENDENABLE) != 0 &&
                   device.renderState(D3DRS_DESTBLEND) == D3DBLEND_ONE
               ? BlendMode::Add
               : BlendMode::Replace;
}

} // namespace

PixelState makePixelState(DeviceState& device) {
    PixelState state;
    state.kernels = &activeKernels();
    state.target = device.backBuffer.data();
    state.pitch = device.width;
    state.width = device.width;
    state.height = device.height;
    const RECT shown =
        device.sink != nullptr ? device.sink->shownRect() : RECT{0, 0, device.width, device.height};
    state.shownLeft = std::clamp(shown.left, 0, device.width);
    state.shownRight = std::clamp(shown.right, state.shownLeft, device.width);
    state.shownTop = std::clamp(shown.top, 0, device.height);
    state.shownBottom = std::clamp(shown.bottom, state.shownTop, device.height);
    const IDirect3DTexture8* texture = device.textures[0];
    if (texture != nullptr) {
        state.textured = true;
        state.texture.texels = texture->texels();
        state.texture.width = static_cast<int>(texture->width());
        state.texture.height = static_cast<int>(texture->height());
        while ((1 << state.texture.widthShift) < state.texture.width) ++state.texture.widthShift;
        state.texture.opaque = texture->format() == D3DFMT_X8R8G8B8;
        if (!texture->isLocked()) {
            state.texture.repeatedTexels = texture->repeatedTexels();
            state.texture.repeated = IDirect3DTexture8::texelsRepeated;
        }
    }
    state.magFilter = device.stageState(D3DTSS_MAGFILTER);
    state.minFilter = device.stageState(D3DTSS_MINFILTER);

    state.blend = blendMode(device);
    // Most draws have no alpha test: every alpha passes, and the table is not needed.
    if (device.renderState(D3DRS_ALPHATESTENABLE) == 0) {
        state.minAlpha = 0;
        return state;
    }
    const std::uint32_t reference = device.renderState(D3DRS_ALPHAREF) & 0xFF;
    const DWORD function = device.renderState(D3DRS_ALPHAFUNC);
    for (std::uint32_t alpha = 0; alpha < 256; ++alpha) {
        state.alphaPasses[alpha] = alphaPasses(alpha, reference, function);
    }
    // Most tests keep the alphas from some value up: the fast writers take that threshold.
    const auto passing =
        static_cast<int>(std::count(state.alphaPasses.begin(), state.alphaPasses.end(), true));
    const bool upperRange = passing == 0 || state.alphaPasses[255];
    if (upperRange && std::all_of(state.alphaPasses.end() - passing, state.alphaPasses.end(),
                                  [](bool passes) { return passes; })) {
        state.minAlpha = 256 - passing;
    }
    return state;
}

TriangleShading prepareTriangle(const PixelState& pixels, const ScreenVertex& v0,
                                const ScreenVertex& v1, const ScreenVertex& v2) {
    const ScreenVertex* v[3] = {&v0, &v1, &v2};
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = v[i]->x / static_cast<double>(subpixelScale);
        y[i] = v[i]->y / static_cast<double>(subpixelScale);
    }
    const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    auto plane = [&](auto attribute) {
        return planeThrough(x, y, area, attribute(*v[0]), attribute(*v[1]), attribute(*v[2]));
    };

    TriangleShading shading;
    if (pixels.textured) {
        const double sScale = pixels.texture.width * static_cast<double>(1 << texelFractionBits);
        const double tScale = pixels.texture.height * static_cast<double>(1 << texelFractionBits);
        const double half = 0.5 * (1 << texelFractionBits);
        // Where w is the same at all three corners (every flat picture facing the camera)
        // the coordinates are affine on the screen and need no division per pixel.
        shading.perspective = !(v0.q == v1.q && v1.q == v2.q);
        if (shading.perspective) {
            shading.q = plane([](const ScreenVertex& p) { return double(p.q); });
            shading.s = plane([&](const ScreenVertex& p) { return double(p.u) * p.q * sScale; });
            shading.t = plane([&](const ScreenVertex& p) { return double(p.v) * p.q * tScale; });
        } else {
            shading.s = plane([&](const ScreenVertex& p) { return p.u * sScale - half; });
            shading.t = plane([&](const ScreenVertex& p) { return p.v * tScale - half; });
        }
        // Clearly more texels than pixels under the triangle: it is minified. A picture
        // drawn 1:1 counts as magnified, though the camera makes it a hair smaller.
        const double texelArea = std::abs((double(v1.u) - v0.u) * (double(v2.v) - v0.v) -
                                          (double(v2.u) - v0.u) * (double(v1.v) - v0.v)) *
                                 pixels.texture.width * pixels.texture.height;
        const DWORD filter =
            texelArea > 1.01 * std::abs(area) ? pixels.minFilter : pixels.magFilter;
        shading.bilinear = filter >= D3DTEXF_LINEAR;
    }

    shading.flatColour = v0.r == v1.r && v1.r == v2.r && v0.g == v1.g && v1.g == v2.g &&
                         v0.b == v1.b && v1.b == v2.b && v0.a == v1.a && v1.a == v2.a;
    if (shading.flatColour) {
        shading.flat = toByte(v0.a) << 24 | toByte(v0.r) << 16 | toByte(v0.g) << 8 | toByte(v0.b);
    } else {
        shading.r = plane([](const ScreenVertex& p) { return p.r * 255.0; });
        shading.g = plane([](const ScreenVertex& p) { return p.g * 255.0; });
        shading.b = plane([](const ScreenVertex& p) { return p.b * 255.0; });
        shading.a = plane([](const ScreenVertex& p) { return p.a * 255.0; });
    }
    return shading;
}

void shadeSpan(const PixelState& state, const TriangleShading& shading, int y, int spanBegin,
               int xBegin, int xEnd) {
    std::uint32_t* row = state.target + static_cast<std::ptrdiff_t>(y) * state.pitch;
    const SpanKernels& kernels = *state.kernels;
    std::int32_t s[maxRunLength], t[maxRunLength];
    std::uint32_t colours[maxRunLength], diffuse[maxRunLength];
    // The first run that reaches the shown part.
    const int skippedRuns = (xBegin - spanBegin) / maxRunLength;
    for (int x = spanBegin + skippedRuns * maxRunLength; x < xEnd; x += maxRunLength) {
        const int count = std::min(maxRunLength, xEnd - x);
        // The run's pixels before xBegin are not shown; whole groups of them are skipped.
        const int shownFrom = std::max(0, xBegin - x);
        const int first = shownFrom & ~(groupLength - 1);
        // Everything up to the writing works on whole groups of eight pixels; the few
        // beyond the span are worked out and never written.
        const int groups = wholeGroups(count);
        const int groupCount = groups - first;
        if (state.textured) {
            kernels.coordinates(coordinateRun(shading, x, y), first, groups, s, t);
            sampleSpan(kernels, state.texture, shading.bilinear, s + first, t + first, groupCount,
                       colours + first);
        } else {
            // No texture bound: the texture argument reads as opaque white.
            std::fill_n(colours + first, groupCount, 0xFFFFFFFFu);
        }
        if (shading.flatColour) {
            diffuse[0] = shading.flat;
        } else {
            diffuseColours(shading, x, y, first, groups, diffuse);
        }
        const std::uint32_t* runDiffuse = shading.flatColour ? diffuse : diffuse + first;
        combineModulate(kernels, runDiffuse, shading.flatColour, colours + first, groupCount);
        if (state.saving != nullptr) {
            state.saving->addRun(y, x + shownFrom, count - shownFrom, colours + shownFrom);
        }
        writePixels(state, colours + shownFrom, count - shownFrom, row + x + shownFrom);
    }
}

void writeSpan(const PixelState& state, const std::uint32_t* colours, int count, int x, int y,
               bool allOpaque) {
    std::uint32_t* destination = state.target + static_cast<std::ptrdiff_t>(y) * state.pitch + x;
    // Exactly what the replacing writer would write, without a test per pixel.
    if (allOpaque && state.blend == BlendMode::Replace && state.minAlpha >= 0 &&
        state.minAlpha <= 0xFF) {
        std::memcpy(destination, colours, static_cast<std::size_t>(count) * sizeof *colours);
        return;
    }
    writePixels(state, colours, count, destination);
}

} // namespace softgpu
