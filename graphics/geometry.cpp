#include "graphics/geometry.h"

#include <array>
#include <cstring>

namespace graphics {

using namespace softgpu;

HRESULT QuadBuffer::create(IDirect3DDevice8* device) {
    const HRESULT created = device->CreateVertexBuffer(sizeof quadVertices, 0, quadVertexFormat,
                                                       D3DPOOL_DEFAULT, &vertexBuffer.pointer);
    if (FAILED(created)) {
        vertexBuffer.pointer = nullptr;
        return created;
    }
    BYTE* data = nullptr;
    const HRESULT locked = vertexBuffer.pointer->Lock(0, sizeof quadVertices, &data, 0);
    if (FAILED(locked)) return locked;
    std::memcpy(data, quadVertices.data(), sizeof quadVertices);
    return vertexBuffer.pointer->Unlock();
}

HRESULT BallMesh::create(IDirect3DDevice8* device, Matrix4& ballPlacement) {
    vertexCount = ballVertexCount;
    std::array<BallVertex, ballVertexCount> vertices;
    constexpr UINT bytes = sizeof vertices;
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, ballVertexFormat,
                                          D3DPOOL_MANAGED, &vertexBuffer.pointer))) {
        vertexBuffer.pointer = nullptr;
        return E_FAIL;
    }
    BYTE* data = nullptr;
    if (SUCCEEDED(vertexBuffer.pointer->Lock(0, 0, &data, 0))) {
        buildBallVertices(vertices);
        std::memcpy(data, vertices.data(), bytes);
        vertexBuffer.pointer->Unlock();
    }
    ballPlacement._11 = 1.0f;
    ballPlacement._22 = 1.0f;
    ballPlacement._33 = 1.0f;
    ballPlacement._44 = 1.0f;
    ballPlacement._41 = 0.0f;
    ballPlacement._42 = 0.0f;
    ballPlacement._43 = 0.0f;
    return 0;
}

} // namespace graphics
