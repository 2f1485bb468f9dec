// The device: its states with their initial values, the resources it makes, Clear, the scene
// brackets and Present. Drawing itself is in draw.cpp.
#include "platform/softgpu/adapter_options.h"
#include "platform/softgpu/device_state.h"
#include "platform/softgpu/vertex_processing.h"

#include <algorithm>

namespace softgpu {

namespace {

constexpr D3DMATRIX identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr UINT maxTextureEdge = 2048;
constexpr UINT maxVertexBufferLength = 64u << 20;

bool isPowerOfTwo(UINT value) {
    return value != 0 && (value & (value - 1)) == 0;
}

template <class Interface>
void replaceHeld(Interface*& held, Interface* replacement) {
    if (replacement != nullptr) replacement->AddRef();
    if (held != nullptr) held->Release();
    held = replacement;
}

} // namespace

DeviceState::DeviceState(PresentSink* presentSink, int bufferWidth, int bufferHeight)
    : world(identity), view(identity), projection(identity), sink(presentSink), width(bufferWidth),
      height(bufferHeight),
      backBuffer(static_cast<std::size_t>(bufferWidth) * bufferHeight, 0xFF000000u) {
    // The platform's initial states, for those the device knows.
    renderStates[D3DRS_ZENABLE] = FALSE; // no depth buffer is ever made
    renderStates[D3DRS_FILLMODE] = 3;    // solid
    renderStates[D3DRS_SHADEMODE] = 2;   // Gouraud
    renderStates[D3DRS_ZWRITEENABLE] = TRUE;
    renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
    renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    renderStates[D3DRS_ALPHAREF] = 0;
    renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRS_ALPHABLENDENABLE] = FALSE;
    renderStates[D3DRS_LIGHTING] = TRUE;
    renderStates[D3DRS_AMBIENT] = 0;
    renderStates[D3DRS_COLORVERTEX] = TRUE;
    for (DWORD stage = 0; stage < stageCount; ++stage) {
        auto& states = stageStates[stage];
        states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        states[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        states[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        states[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        states[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        states[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    }
}

IDirect3DDevice8::IDirect3DDevice8(IDirect3D8* direct3d, PresentSink* sink, int width, int height)
    : direct3d_(direct3d), state_(std::make_unique<DeviceState>(sink, width, height)) {
    direct3d_->AddRef();
}

IDirect3DDevice8::~IDirect3DDevice8() {
    replaceHeld<IDirect3DVertexBuffer8>(state_->stream, nullptr);
    for (IDirect3DTexture8*& texture : state_->textures)
        replaceHeld<IDirect3DTexture8>(texture, nullptr);
    direct3d_->Release();
}

HRESULT IDirect3DDevice8::GetDeviceCaps(D3DCAPS8* caps) {
    return direct3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, caps);
}

HRESULT IDirect3DDevice8::GetDirect3D(IDirect3D8** direct3d) {
    if (direct3d == nullptr) return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

namespace {

D3DMATRIX* transformSlot(DeviceState& state, D3DTRANSFORMSTATETYPE which) {
    switch (which) {
    case D3DTS_WORLD:
        return &state.world;
    case D3DTS_VIEW:
        return &state.view;
    case D3DTS_PROJECTION:
        return &state.projection;
    default:
        return nullptr;
    }
}

} // namespace

HRESULT IDirect3DDevice8::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(*state_, state);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(*state_, state);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetLight(DWORD index, const D3DLIGHT8* light) {
    if (light == nullptr || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) {
        return D3DERR_INVALIDCALL;
    }
    state_->lights[index].light = *light;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetLight(DWORD index, D3DLIGHT8* light) {
    const auto found = state_->lights.find(index);
    if (light == nullptr || found == state_->lights.end()) return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::LightEnable(DWORD index, BOOL enable) {
    auto found = state_->lights.find(index);
    if (found == state_->lights.end()) {
        // Enabling a light never set makes the default one: white, shining along +z.
        LightSlot slot;
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
        slot.light.Direction = D3DVECTOR{0, 0, 1};
        found = state_->lights.emplace(index, slot).first;
    }
    found->second.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetLightEnable(DWORD index, BOOL* enable) {
    const auto found = state_->lights.find(index);
    if (enable == nullptr || found == state_->lights.end()) return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetMaterial(const D3DMATERIAL8* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    state_->material = *material;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= DeviceState::renderStateCount) return D3DERR_INVALIDCALL;
    // Blending is off or additive: the source factor is ONE, the destination ZERO or ONE.
    if (state == D3DRS_SRCBLEND && value != D3DBLEND_ONE) return D3DERR_INVALIDCALL;
    if (state == D3DRS_DESTBLEND && value != D3DBLEND_ZERO && value != D3DBLEND_ONE) {
        return D3DERR_INVALIDCALL;
    }
    state_->renderStates[state] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= DeviceState::renderStateCount || value == nullptr) return D3DERR_INVALIDCALL;
    *value = state_->renderStates[state];
    return D3D_OK;
}

namespace {

// The one way the device combines texture and colour: stage 0 takes the texture's colour times
// the diffuse colour (at stage 0 the current colour is the diffuse one) and the texture's
// alpha, and every later stage is off.
bool combinesAsDrawn(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    const bool diffuse = value == D3DTA_DIFFUSE || value == D3DTA_CURRENT;
    switch (type) {
    case D3DTSS_COLOROP:
        return value == (stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE);
    case D3DTSS_ALPHAOP:
        return value == (stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE);
    case D3DTSS_COLORARG1:
    case D3DTSS_ALPHAARG1:
        return stage != 0 || value == D3DTA_TEXTURE;
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG2:
        return stage != 0 || diffuse;
    default:
        return true;
    }
}

} // namespace

HRESULT IDirect3DDevice8::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                               DWORD value) {
    if (stage >= DeviceState::stageCount || type >= DeviceState::stageStateCount) {
        return D3DERR_INVALIDCALL;
    }
    // Texture coordinates always wrap, which for power-of-two textures is a mask.
    if ((type == D3DTSS_ADDRESSU || type == D3DTSS_ADDRESSV) && value != D3DTADDRESS_WRAP) {
        return D3DERR_INVALIDCALL;
    }
    if (!combinesAsDrawn(stage, type, value)) return D3DERR_INVALIDCALL;
    state_->stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                               DWORD* value) {
    if (stage >= DeviceState::stageCount || type >= DeviceState::stageStateCount ||
        value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_->stageStates[stage][type];
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetVertexShader(DWORD fvf) {
    if (vertexSize(fvf) == 0) return D3DERR_INVALIDCALL;
    state_->fvf = fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData,
                                          UINT stride) {
    if (streamNumber != 0) return D3DERR_INVALIDCALL;
    replaceHeld(state_->stream, streamData);
    state_->streamStride = stride;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
    if (stage >= DeviceState::stageCount) return D3DERR_INVALIDCALL;
    replaceHeld(state_->textures[stage], texture);
    return D3D_OK;
}

HRESULT IDirect3DDevice8::GetTexture(DWORD stage, IDirect3DTexture8** texture) {
    if (stage >= DeviceState::stageCount || texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = state_->textures[stage];
    if (*texture != nullptr) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT IDirect3DDevice8::CreateVertexBuffer(UINT length, DWORD /*usage*/, DWORD fvf,
                                             D3DPOOL /*pool*/,
                                             IDirect3DVertexBuffer8** vertexBuffer) {
    if (vertexBuffer == nullptr) return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (length == 0) return D3DERR_INVALIDCALL;
    if (adapterOptions().vertexBufferCreationFails || length > maxVertexBufferLength) {
        return E_OUTOFMEMORY;
    }
    *vertexBuffer = new IDirect3DVertexBuffer8(length, fvf);
    return D3D_OK;
}

HRESULT IDirect3DDevice8::CreateTexture(UINT width, UINT height, UINT levels, DWORD /*usage*/,
                                        D3DFORMAT format, D3DPOOL /*pool*/,
                                        IDirect3DTexture8** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height) || width > maxTextureEdge ||
        height > maxTextureEdge || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)) {
        return D3DERR_INVALIDCALL;
    }
    UINT fullChain = 1;
    while ((std::max(width, height) >> (fullChain - 1)) > 1) ++fullChain;
    if (levels > fullChain) return D3DERR_INVALIDCALL;
    if (adapterOptions().textureCreationFails) return E_OUTOFMEMORY;
    *texture = new IDirect3DTexture8(width, height, levels == 0 ? fullChain : levels, format);
    return D3D_OK;
}

HRESULT IDirect3DDevice8::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                                float /*z*/, DWORD /*stencil*/) {
    // There is no depth or stencil buffer to clear.
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) return D3DERR_INVALIDCALL;
    if (count > 0 && rects == nullptr) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_TARGET) == 0) return D3D_OK;
    DeviceState& state = *state_;
    const std::uint32_t pixel = color | 0xFF000000u;
    const D3DRECT whole{0, 0, state.width, state.height};
    const DWORD rectCount = count == 0 ? 1 : count;
    for (DWORD i = 0; i < rectCount; ++i) {
        const D3DRECT& rect = count == 0 ? whole : rects[i];
        const int left = std::max(0, rect.x1), right = std::min(state.width, rect.x2);
        const int top = std::max(0, rect.y1), bottom = std::min(state.height, rect.y2);
        for (int y = top; y < bottom; ++y) {
            std::uint32_t* row =
                state.backBuffer.data() + static_cast<std::ptrdiff_t>(y) * state.width;
            std::fill(row + left, row + std::max(right, left), pixel);
        }
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice8::BeginScene() {
    if (state_->inScene) return D3DERR_INVALIDCALL;
    state_->inScene = true;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::EndScene() {
    if (!state_->inScene) return D3DERR_INVALIDCALL;
    state_->inScene = false;
    return D3D_OK;
}

HRESULT IDirect3DDevice8::Present(const RECT* /*sourceRect*/, const RECT* /*destRect*/,
                                  PresentSink* destWindowOverride, const void* /*dirtyRegion*/) {
    PresentSink* sink = destWindowOverride != nullptr ? destWindowOverride : state_->sink;
    if (sink != nullptr) sink->present(backBuffer());
    state_->drawCache.endFrame();
    return D3D_OK;
}

FrameView IDirect3DDevice8::backBuffer() const {
    return FrameView{state_->backBuffer.data(), state_->width, state_->height, state_->width * 4};
}

const RenderStats& IDirect3DDevice8::stats() const {
    return state_->stats;
}

void IDirect3DDevice8::resetStats() {
    state_->stats = RenderStats{};
}

void IDirect3DDevice8::reuseUnchangedDraws(bool enabled) {
    state_->reuseDraws = enabled;
    state_->drawCache.clear();
}

} // namespace softgpu
