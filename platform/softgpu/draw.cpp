// DrawPrimitive: reads the stream, transforms and lights the vertices, assembles triangles
// (lists, strips, fans), culls by screen winding, clips what needs it and rasterises.
#include "platform/softgpu/clipper.h"
#include "platform/softgpu/device_state.h"
#include "platform/softgpu/fixed_point.h"
#include "platform/softgpu/rasteriser.h"
#include "platform/softgpu/vertex_processing.h"

#include <iterator>
#include <vector>

namespace softgpu {

namespace {

// The viewport: x = (x/w + 1) * width/2, y = (1 - y/w) * height/2, snapped to 1/256 pixel.
ScreenVertex project(const ClipVertex& v, int width, int height) {
    const double inverseW = 1.0 / v.w;
    const double x = (v.x * inverseW + 1.0) * (width * 0.5);
    const double y = (1.0 - v.y * inverseW) * (height * 0.5);
    return ScreenVertex{static_cast<std::int32_t>(roundToInt64(x * subpixelScale)),
                        static_cast<std::int32_t>(roundToInt64(y * subpixelScale)),
                        static_cast<float>(inverseW),
                        v.u,
                        v.v,
                        v.r,
                        v.g,
                        v.b,
                        v.a};
}

class TriangleDrawer {
public:
    TriangleDrawer(DeviceState& state, const std::vector<ClipVertex>& clip,
                   const PixelState& pixels)
        : state_(state), clip_(clip), pixels_(pixels),
          cullMode_(state.renderState(D3DRS_CULLMODE)) {
        codes_.resize(clip.size());
        screen_.resize(clip.size());
        for (std::size_t i = 0; i < clip.size(); ++i) {
            codes_[i] = clipCodes(clip[i]);
            if (codes_[i] == 0) screen_[i] = project(clip[i], state.width, state.height);
        }
    }

    // The triangle of vertices i0, i1, i2 in the order that decides its winding.
    void draw(std::size_t i0, std::size_t i1, std::size_t i2) {
        const unsigned outside = codes_[i0] | codes_[i1] | codes_[i2];
        if (outside == 0) {
            if (!culled(doubledArea(screen_[i0], screen_[i1], screen_[i2]))) {
                rasterise(screen_[i0], screen_[i1], screen_[i2]);
            }
            return;
        }
        // Wholly outside one plane: nothing of it can show.
        if ((codes_[i0] & codes_[i1] & codes_[i2]) != 0) return;
        ClipVertex polygon[maxClippedVertices];
        const int count = clipTriangle(clip_[i0], clip_[i1], clip_[i2], outside, polygon);
        if (count < 3) return;
        ScreenVertex projected[maxClippedVertices];
        for (int i = 0; i < count; ++i)
            projected[i] = project(polygon[i], state_.width, state_.height);
        // The cut polygon keeps the triangle's winding; judge it as a whole so that thin
        // pieces rounded to the other winding are not culled on their own.
        std::int64_t area = 0;
        for (int i = 1; i + 1 < count; ++i)
            area += doubledArea(projected[0], projected[i], projected[i + 1]);
        if (culled(area)) return;
        for (int i = 1; i + 1 < count; ++i) rasterise(projected[0], projected[i], projected[i + 1]);
    }

private:
    bool culled(std::int64_t area) const {
        if (area == 0) return true;
        if (cullMode_ == D3DCULL_CCW) return area < 0;
        if (cullMode_ == D3DCULL_CW) return area > 0;
        return false;
    }

    void rasterise(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
        const std::uint64_t covered = rasteriseTriangle(a, b, c, pixels_);
        state_.stats.pixelsShaded += covered;
        ++state_.stats.trianglesDrawn;
        if (pixels_.saving != nullptr) {
            pixels_.saving->pixelsCovered += covered;
            ++pixels_.saving->triangles;
        }
    }

    DeviceState& state_;
    const std::vector<ClipVertex>& clip_;
    PixelState pixels_;
    DWORD cullMode_;
    std::vector<unsigned> codes_;
    std::vector<ScreenVertex> screen_;
};

// What decides a draw's shaded colours besides its vertices.
DrawSettings drawSettings(const DeviceState& state, const PixelState& pixels,
                          D3DPRIMITIVETYPE primitiveType) {
    DrawSettings settings;
    if (state.textures[0] != nullptr) settings.textureContent = state.textures[0]->contentId();
    settings.primitiveType = primitiveType;
    settings.cullMode = state.renderState(D3DRS_CULLMODE);
    const D3DTEXTURESTAGESTATETYPE stages[] = {
        D3DTSS_ADDRESSU,  D3DTSS_ADDRESSV,  D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_COLOROP,
        D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAOP,   D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2};
    static_assert(std::size(stages) == std::size(DrawSettings{}.stageStates));
    for (std::size_t i = 0; i < std::size(stages); ++i) {
        settings.stageStates[i] = state.stageState(stages[i]);
    }
    settings.shown[0] = pixels.shownLeft;
    settings.shown[1] = pixels.shownTop;
    settings.shown[2] = pixels.shownRight;
    settings.shown[3] = pixels.shownBottom;
    settings.bufferWidth = static_cast<std::uint32_t>(state.width);
    settings.bufferHeight = static_cast<std::uint32_t>(state.height);
    return settings;
}

// Writes a saved draw's colours again, through this draw's alpha test and blending.
void drawAgain(DeviceState& state, const PixelState& pixels, const SavedDraw& saved) {
    for (const SavedRun& run : saved.runs) {
        writeSpan(pixels, saved.colours.data() + run.offset, run.count, run.x, run.y, saved.opaque);
    }
    state.stats.pixelsShaded += saved.pixelsCovered;
    state.stats.trianglesDrawn += saved.triangles;
    ++state.stats.drawsReused;
}

} // namespace

HRESULT IDirect3DDevice8::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                                        UINT primitiveCount) {
    DeviceState& state = *state_;
    std::uint64_t vertexCount = 0;
    switch (primitiveType) {
    case D3DPT_TRIANGLELIST:
        vertexCount = std::uint64_t{primitiveCount} * 3;
        break;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        vertexCount = std::uint64_t{primitiveCount} + 2;
        break;
    default:
        return D3DERR_INVALIDCALL;
    }
    const UINT size = vertexSize(state.fvf);
    if (state.stream == nullptr || size == 0 || state.streamStride < size) {
        return D3DERR_INVALIDCALL;
    }
    if (primitiveCount == 0) return D3D_OK;
    // Every vertex read must lie inside the buffer.
    const std::uint64_t lastByte =
        (std::uint64_t{startVertex} + vertexCount - 1) * state.streamStride + size;
    if (lastByte > state.stream->length()) return D3DERR_INVALIDCALL;

    ++state.stats.drawCalls;
    // The check above keeps vertexCount within the buffer's length, so it fits a size_t even
    // where that has 32 bits.
    std::vector<ClipVertex> clip(static_cast<std::size_t>(vertexCount));
    processVertices(state, state.stream->data() + std::uint64_t{startVertex} * state.streamStride,
                    state.streamStride, state.fvf, static_cast<UINT>(vertexCount), clip.data());
    PixelState pixels = makePixelState(state);
    // A texture being written may change under the same content id: such draws are not kept.
    const bool reusable =
        state.reuseDraws && (state.textures[0] == nullptr || !state.textures[0]->isLocked());
    if (reusable) {
        const DrawSettings settings = drawSettings(state, pixels, primitiveType);
        const std::uint64_t hash = DrawCache::hashOf(settings, clip);
        if (const SavedDraw* saved = state.drawCache.find(hash, settings, clip)) {
            drawAgain(state, pixels, *saved);
            return D3D_OK;
        }
        pixels.saving = state.drawCache.startSaving(hash, settings, clip);
    }
    TriangleDrawer drawer(state, clip, pixels);
    for (std::size_t k = 0; k < primitiveCount; ++k) {
        switch (primitiveType) {
        case D3DPT_TRIANGLELIST:
            drawer.draw(3 * k, 3 * k + 1, 3 * k + 2);
            break;
        case D3DPT_TRIANGLESTRIP:
            // Every second triangle of a strip runs the other way round; swapping its first
            // two vertices gives all of them the winding of the first.
            if (k % 2 == 0) {
                drawer.draw(k, k + 1, k + 2);
            } else {
                drawer.draw(k + 1, k, k + 2);
            }
            break;
        default:
            drawer.draw(0, k + 1, k + 2);
            break;
        }
    }
    return D3D_OK;
}

} // namespace softgpu
