// Helpers for the software device's tests and benchmark: a device on a memory sink with the
// game's camera, the unit quad, picture placements, the ball's strip and made-up textures.
#pragma once

#include "platform/softgpu/softgpu.h"

#include <functional>
#include <vector>

namespace softgpu::testing {

// Releases an interface when it goes out of scope.
template <class Interface>
struct Held {
    Interface* pointer = nullptr;
    Held() = default;
    explicit Held(Interface* p) : pointer(p) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (pointer != nullptr) pointer->Release();
    }
    Interface* operator->() const { return pointer; }
    Interface** out() { return &pointer; }
};

// A flat picture's world matrix: scale (sx, sy), then translation (x, y, z).
D3DMATRIX placement(float sx, float sy, float x, float y, float z = 0.0f);
inline D3DMATRIX identityMatrix() {
    return placement(1, 1, 0, 0);
}

struct QuadVertex {
    static constexpr DWORD fvf = D3DFVF_XYZ | D3DFVF_TEX1;
    float x, y, z, u, v;
};
struct LitVertex {
    static constexpr DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    float x, y, z, nx, ny, nz, u, v;
};

// The present parameters of a windowed device as the game asks for one.
D3DPRESENT_PARAMETERS windowedParameters();

// The game's ball about the origin: 16 bands of 17 vertex pairs from pole to pole, one strip
// of 542 triangles, with the texture wrapped once round it.
std::vector<LitVertex> ballStrip(float radius);

// A device with a 640 x 480 back buffer presenting to sink (or another), cleared to opaque black,
// lighting off, the unit quad bound, every other state as the device starts. The camera is the
// game's: the eye at (320, 240, -940) looks along +z, so the plane z = 0 shows x 0..640 and y
// 0..480 at 0.999914 pixels per unit about the centre.
class TestDevice {
public:
    // Presenting to presentTo instead of the device's own memory sink when given.
    explicit TestDevice(PresentSink* presentTo = nullptr);
    ~TestDevice();

    IDirect3DDevice8* operator->() const { return device.pointer; }
    IDirect3DDevice8* get() const { return device.pointer; }

    // A vertex buffer holding these vertices.
    IDirect3DVertexBuffer8* makeBuffer(const void* vertices, UINT bytes, DWORD fvf);
    // A width x height A8R8G8B8 texture whose texel (x, y) is texel(x, y).
    IDirect3DTexture8* makeTexture(UINT width, UINT height,
                                   const std::function<std::uint32_t(int, int)>& texel);
    // Draws the unit quad (corners +-1, u, v from 0 to 1) as a 2-triangle strip.
    void drawQuad(const D3DMATRIX& world, IDirect3DTexture8* texture);
    // Draws these vertices (the quad format unless told) as one primitive of type, then binds
    // the unit quad again.
    template <class Vertex = QuadVertex>
    HRESULT drawVertices(D3DPRIMITIVETYPE type, const std::vector<Vertex>& vertices,
                         IDirect3DTexture8* texture, const D3DMATRIX& world = identityMatrix()) {
        const auto count = static_cast<UINT>(vertices.size());
        device->SetVertexShader(Vertex::fvf);
        device->SetStreamSource(0, makeBuffer(vertices.data(), count * sizeof(Vertex), Vertex::fvf),
                                sizeof(Vertex));
        device->SetTexture(0, texture);
        device->SetTransform(D3DTS_WORLD, &world);
        const HRESULT result =
            device->DrawPrimitive(type, 0, type == D3DPT_TRIANGLELIST ? count / 3 : count - 2);
        device->SetVertexShader(QuadVertex::fvf);
        device->SetStreamSource(0, quad, sizeof(QuadVertex));
        return result;
    }
    // The states the game draws every picture with: bilinear filtering, alpha test >= 1,
    // modulate, blending on or off (additive when on).
    void useGameStates(bool additive);

    std::uint32_t pixel(int x, int y) const { return device->backBuffer().at(x, y) & 0xFFFFFFu; }
    // How many pixels of [x0, x1) x [y0, y1) pass test(x, y, pixel(x, y)).
    int countPixels(const std::function<bool(int, int, std::uint32_t)>& test, int x0 = 0,
                    int y0 = 0, int x1 = 640, int y1 = 480) const;

    MemorySink sink;
    Held<IDirect3D8> direct3d;
    Held<IDirect3DDevice8> device;
    IDirect3DVertexBuffer8* quad = nullptr; // owned through buffers
    std::vector<IDirect3DVertexBuffer8*> buffers;
    std::vector<IDirect3DTexture8*> textures;
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
