// The adapter: what Direct3DCreate8 gives, its display mode, its format checks, its
// capabilities and the making of devices; plus the settings tests use to stage failures.
#include "platform/softgpu/adapter_options.h"
#include "platform/softgpu/softgpu.h"

#include <algorithm>

namespace softgpu {

namespace {

AdapterOptions& currentOptions() {
    static AdapterOptions options;
    return options;
}

constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;
// Large enough for any window, small enough that screen coordinates stay in fixed point.
constexpr UINT maxBufferEdge = 2048;

bool isRenderableFormat(D3DFORMAT format) {
    // Every back buffer is kept as 32-bit X8R8G8B8 whatever the format asked for: the game
    // only ever sees it through Present.
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_X1R5G5B5;
}

} // namespace

AdapterOptions setAdapterOptions(AdapterOptions options) {
    AdapterOptions previous = std::move(currentOptions());
    currentOptions() = std::move(options);
    return previous;
}

const AdapterOptions& adapterOptions() {
    return currentOptions();
}

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || currentOptions().direct3dUnavailable) return nullptr;
    return new IDirect3D8();
}

HRESULT IDirect3D8::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) return D3DERR_INVALIDCALL;
    if (currentOptions().displayModeFails) return D3DERR_NOTAVAILABLE;
    *mode = D3DDISPLAYMODE{1920, 1080, 60, currentOptions().displayFormat};
    return D3D_OK;
}

HRESULT IDirect3D8::CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) {
    if (adapter != D3DADAPTER_DEFAULT || checkType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    const AdapterOptions& options = currentOptions();
    bool accepted = false;
    if (windowed) {
        accepted = displayFormat == options.displayFormat && isRenderableFormat(backBufferFormat);
    } else {
        accepted = displayFormat == backBufferFormat &&
                   std::find(options.fullScreenFormats.begin(), options.fullScreenFormats.end(),
                             displayFormat) != options.fullScreenFormats.end();
    }
    return accepted ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT IDirect3D8::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) {
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL || caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const AdapterOptions& options = currentOptions();
    D3DCAPS8 result{};
    result.DeviceType = D3DDEVTYPE_HAL;
    result.AdapterOrdinal = D3DADAPTER_DEFAULT;
    result.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    // Only what the device does: the game's blending adds (ONE, ONE) or replaces (ONE, ZERO).
    result.SrcBlendCaps = D3DPBLENDCAPS_ONE;
    result.DestBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE;
    result.AlphaCmpCaps = options.alphaCmpCaps;
    result.TextureCaps = D3DPTEXTURECAPS_POW2;
    result.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                               D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    result.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
    result.MaxTextureWidth = 2048;
    result.MaxTextureHeight = 2048;
    result.VertexProcessingCaps = options.vertexProcessingCaps;
    result.MaxActiveLights = 8;
    result.MaxPrimitiveCount = 0xFFFFF;
    result.MaxVertexIndex = 0xFFFFF;
    result.MaxStreams = 1;
    result.MaxStreamStride = 256;
    *caps = result;
    return D3D_OK;
}

HRESULT IDirect3D8::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, PresentSink* focusWindow,
                                 DWORD /*behaviorFlags*/,
                                 D3DPRESENT_PARAMETERS* presentationParameters,
                                 IDirect3DDevice8** returnedDeviceInterface) {
    if (returnedDeviceInterface == nullptr) return D3DERR_INVALIDCALL;
    *returnedDeviceInterface = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL ||
        presentationParameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS& parameters = *presentationParameters;
    if (currentOptions().deviceCreationFails) return D3DERR_NOTAVAILABLE;
    if (!isRenderableFormat(parameters.BackBufferFormat)) return D3DERR_INVALIDCALL;
    if (!parameters.Windowed && CheckDeviceType(adapter, deviceType, parameters.BackBufferFormat,
                                                parameters.BackBufferFormat, FALSE) != D3D_OK) {
        return D3DERR_NOTAVAILABLE;
    }
    if (parameters.BackBufferWidth > maxBufferEdge || parameters.BackBufferHeight > maxBufferEdge) {
        return D3DERR_INVALIDCALL;
    }
    // A windowed device with 0 x 0 takes the window's client area, which is always 640 x 480.
    if (parameters.BackBufferWidth == 0) parameters.BackBufferWidth = defaultWidth;
    if (parameters.BackBufferHeight == 0) parameters.BackBufferHeight = defaultHeight;
    if (parameters.BackBufferCount == 0) parameters.BackBufferCount = 1;
    PresentSink* sink =
        parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : focusWindow;
    *returnedDeviceInterface =
        new IDirect3DDevice8(this, sink, static_cast<int>(parameters.BackBufferWidth),
                             static_cast<int>(parameters.BackBufferHeight));
    return D3D_OK;
}

} // namespace softgpu
