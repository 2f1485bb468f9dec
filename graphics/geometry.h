// The two vertex buffers of the game, made once at scene set-up: the quad every flat picture
// is drawn with, and the ball sphere.
#pragma once

#include "game/types.h"
#include "graphics/com_holder.h"
#include "graphics/vertices.h"
#include "platform/softgpu/softgpu.h"

#include <cstdint>

namespace graphics {

// The game's shared records.
using game::Material;
using game::Matrix4;
using game::Vec3;

struct QuadBuffer {
    // Fills vertexBuffer with the four quad vertices. Returns the failure of the first device
    // call that fails, else the final unlock's result.
    HRESULT create(softgpu::IDirect3DDevice8* device);
    void release() { vertexBuffer.release(); }

    ComHolder<softgpu::IDirect3DVertexBuffer8> vertexBuffer;
};

struct BallMesh {
    // Fills vertexBuffer with the sphere and resets ballPlacement (the ball's world matrix,
    // which the game moves) to no rotation and no translation. Returns 0, or E_FAIL when the
    // buffer cannot be made; vertexCount is 544 either way.
    HRESULT create(softgpu::IDirect3DDevice8* device, Matrix4& ballPlacement);
    void release() { vertexBuffer.release(); }

    ComHolder<softgpu::IDirect3DVertexBuffer8> vertexBuffer;
    std::int32_t vertexCount = 0;
};

} // namespace graphics
