// Helpers for the software device's tests and benchmark: a device set up as the game sets one
// up, on a memory sink, with the game's unit quad and ball, and made-up textures.
#pragma once

#include "graphics/com_holder.h"
#include "graphics/math3d.h"
#include "graphics/renderer.h"
#include "graphics/scene.h"
#include "graphics/vertices.h"
#include "platform/softgpu/softgpu.h"

#include <deque>
#include <functional>
#include <type_traits>
#include <vector>

namespace softgpu::testing {

using graphics::QuadVertex;
using LitVertex = graphics::BallVertex; // with a normal

// A flat picture's world matrix: scale (sx, sy), then translation (x, y, z).
inline D3DMATRIX placement(float sx, float sy, float x, float y, float z = 0.0f) {
    return graphics::spritePlacement(sx, sy, x, y, z);
}

// Random opaque texels, the same for the same (x, y).
std::uint32_t randomTexel(int x, int y);

// A 640 x 480 windowed device made by the game's own set-up (camera, light, states), presenting
// to sink (or another), its back buffer black, the unit quad bound. The camera shows the
// plane z = 0 as x 0..640 and y 0..480 at 0.999914 pixels per unit about the centre.
class TestDevice {
public:
    // Presenting to presentTo instead of the device's own memory sink when given.
    explicit TestDevice(PresentSink* presentTo = nullptr);

    IDirect3DDevice8* operator->() const { return renderer.device; }

    // A vertex buffer holding these vertices.
    IDirect3DVertexBuffer8* makeBuffer(const void* vertices, UINT bytes, DWORD fvf);
    // A width x height A8R8G8B8 texture whose texel (x, y) is texel(x, y).
    IDirect3DTexture8* makeTexture(UINT width, UINT height,
                                   const std::function<std::uint32_t(int, int)>& texel);
    // Draws the unit quad (corners +-1, u, v from 0 to 1) as the game draws a picture.
    void drawQuad(const D3DMATRIX& world, IDirect3DTexture8* texture) {
        graphics::drawSprite(renderer.device, texture, world);
    }
    // Draws these vertices as one primitive of type, then binds the unit quad again.
    template <class Vertex = QuadVertex>
    HRESULT drawVertices(D3DPRIMITIVETYPE type, const std::vector<Vertex>& vertices,
                         IDirect3DTexture8* texture,
                         const D3DMATRIX& world = placement(1, 1, 0, 0)) {
        constexpr DWORD fvf = std::is_same_v<Vertex, LitVertex> ? graphics::ballVertexFormat
                                                                : graphics::quadVertexFormat;
        const auto count = static_cast<UINT>(vertices.size());
        IDirect3DDevice8* device = renderer.device;
        device->SetVertexShader(fvf);
        device->SetStreamSource(0, makeBuffer(vertices.data(), count * sizeof(Vertex), fvf),
                                sizeof(Vertex));
        device->SetTexture(0, texture);
        device->SetTransform(D3DTS_WORLD, &world);
        const HRESULT result =
            device->DrawPrimitive(type, 0, type == D3DPT_TRIANGLELIST ? count / 3 : count - 2);
        device->SetVertexShader(graphics::quadVertexFormat);
        device->SetStreamSource(0, quad, sizeof(QuadVertex));
        return result;
    }

    std::uint32_t pixel(int x, int y) const {
        return renderer.device->backBuffer().at(x, y) & 0xFFFFFFu;
    }
    // How many pixels of [x0, x1) x [y0, y1) pass test(x, y, pixel(x, y)).
    int countPixels(const std::function<bool(int, int, std::uint32_t)>& test, int x0 = 0,
                    int y0 = 0, int x1 = 640, int y1 = 480) const;

    MemorySink sink;
    graphics::Renderer renderer;
    IDirect3DVertexBuffer8* quad = nullptr; // held in buffers
    std::deque<graphics::ComHolder<IDirect3DVertexBuffer8>> buffers;
    std::deque<graphics::ComHolder<IDirect3DTexture8>> textures;
};

// The ways the game draws: opaque pictures facing the camera, opaque receding walls, tinted
// sprites added with transparent texels, and the lit ball added.
enum class DrawMode { OpaquePicture, RecedingWall, TintedSprite, LitBall };
constexpr DrawMode allDrawModes[] = {DrawMode::OpaquePicture, DrawMode::RecedingWall,
                                     DrawMode::TintedSprite, DrawMode::LitBall};
const char* drawModeName(DrawMode mode);

// Sets the device's states for mode and makes one draw with them; variant moves, scales and
// turns it, so that many variants cover many positions and sizes.
void drawInMode(TestDevice& device, DrawMode mode, IDirect3DTexture8* texture, int variant);

// A picture of random texels, every fifth one transparent black.
IDirect3DTexture8* makeSpeckledTexture(TestDevice& device, UINT edge);

} // namespace softgpu::testing
