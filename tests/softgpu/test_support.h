// Helpers for the software device's tests and benchmark: a device on a memory sink, the
// game's camera, the unit quad, sprite placements and textures filled from a function.
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

D3DMATRIX identityMatrix();
// The game's fixed camera: eye (320, 240, -940) looking along +z, so the plane z = 0 shows
// x 0..640 and y 0..480 one unit to a pixel.
D3DMATRIX cameraView();
D3DMATRIX cameraProjection();
// A flat picture's world matrix: scale (sx, sy), then translation (x, y, z).
D3DMATRIX placement(float sx, float sy, float x, float y, float z = 0.0f);

struct QuadVertex {
    float x, y, z, u, v;
};
struct LitVertex {
    float x, y, z, nx, ny, nz, u, v;
};

// A device with a 640 x 480 back buffer presenting to sink, cleared to opaque black, with the
// game's camera and the quad vertex format bound, every other state as the device starts.
class TestDevice {
public:
    TestDevice();

    IDirect3DDevice8* operator->() const { return device.pointer; }
    IDirect3DDevice8* get() const { return device.pointer; }

    // A vertex buffer holding these vertices.
    IDirect3DVertexBuffer8* makeBuffer(const void* vertices, UINT bytes, DWORD fvf);
    // A width x height A8R8G8B8 texture whose texel (x, y) is texel(x, y).
    IDirect3DTexture8* makeTexture(UINT width, UINT height,
                                   const std::function<std::uint32_t(int, int)>& texel);
    // Draws the unit quad (corners +-1, u, v from 0 to 1) as a 2-triangle strip.
    void drawQuad(const D3DMATRIX& world, IDirect3DTexture8* texture);
    // The states the game draws every picture with: bilinear filtering, alpha test >= 1,
    // modulate, blending on or off (additive when on).
    void useGameStates(bool additive);

    std::uint32_t pixel(int x, int y) const { return device->backBuffer().at(x, y) & 0xFFFFFFu; }

    MemorySink sink;
    Held<IDirect3D8> direct3d;
    Held<IDirect3DDevice8> device;
    IDirect3DVertexBuffer8* quad = nullptr; // owned through buffers
    std::vector<IDirect3DVertexBuffer8*> buffers;
    std::vector<IDirect3DTexture8*> textures;
    ~TestDevice();
};

// Channel of a colour: 16 red, 8 green, 0 blue.
inline int channelOf(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

} // namespace softgpu::testing
