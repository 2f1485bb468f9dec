// Helpers for the software device's tests and benchmark.
#include "tests/softgpu/test_support.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace softgpu::testing {

D3DMATRIX identityMatrix() {
    return D3DMATRIX{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

D3DMATRIX cameraView() {
    D3DMATRIX view = identityMatrix();
    view._41 = -320.0f;
    view._42 = -240.0f;
    view._43 = 940.0f;
    return view;
}

D3DMATRIX cameraProjection() {
    // Field of view 0.5 radian, aspect 4/3, near -1, far 1, as the game sets it.
    const float yScale = static_cast<float>(1.0 / std::tan(0.25));
    const float xScale = yScale / 1.3333334f;
    D3DMATRIX projection{};
    projection._11 = xScale;
    projection._22 = yScale;
    projection._33 = 0.5f;
    projection._34 = 1.0f;
    projection._43 = 0.5f;
    return projection;
}

D3DMATRIX placement(float sx, float sy, float x, float y, float z) {
    D3DMATRIX m{};
    m._11 = sx;
    m._22 = sy;
    m._33 = 1.0f;
    m._44 = 1.0f;
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

TestDevice::TestDevice() : direct3d(Direct3DCreate8(D3D_SDK_VERSION)) {
    if (direct3d.pointer == nullptr) throw std::runtime_error("no Direct3D");
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &sink,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                      device.out()))) {
        throw std::runtime_error("no device");
    }
    const D3DMATRIX view = cameraView();
    const D3DMATRIX projection = cameraProjection();
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    const QuadVertex vertices[4] = {
        {-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    quad = makeBuffer(vertices, sizeof vertices, D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, quad, sizeof(QuadVertex));
}

TestDevice::~TestDevice() {
    for (IDirect3DVertexBuffer8* buffer : buffers) buffer->Release();
    for (IDirect3DTexture8* texture : textures) texture->Release();
}

IDirect3DVertexBuffer8* TestDevice::makeBuffer(const void* vertices, UINT bytes, DWORD fvf) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    if (FAILED(device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer))) {
        throw std::runtime_error("no vertex buffer");
    }
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices, bytes);
    buffer->Unlock();
    buffers.push_back(buffer);
    return buffer;
}

IDirect3DTexture8* TestDevice::makeTexture(UINT width, UINT height,
                                           const std::function<std::uint32_t(int, int)>& texel) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     &texture))) {
        throw std::runtime_error("no texture");
    }
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                     static_cast<std::ptrdiff_t>(y) * locked.Pitch);
        for (UINT x = 0; x < width; ++x) row[x] = texel(static_cast<int>(x), static_cast<int>(y));
    }
    texture->UnlockRect(0);
    textures.push_back(texture);
    return texture;
}

void TestDevice::drawQuad(const D3DMATRIX& world, IDirect3DTexture8* texture) {
    device->SetTexture(0, texture);
    device->SetTransform(D3DTS_WORLD, &world);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void TestDevice::useGameStates(bool additive) {
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, additive ? TRUE : FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_ALPHAREF, 1);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
}

} // namespace softgpu::testing
