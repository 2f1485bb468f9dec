#include "graphics/renderer.h"

#include "graphics/math3d.h"
#include "platform/message_box.h"

#include <cstring>

namespace graphics {

using namespace softgpu;

namespace {

constexpr const char* loadingErrorCaption = "Loading Error";

// The camera sees the plane z = 0 as the 640 x 480 picture, one unit one pixel, origin at the
// bottom-left corner.
constexpr Vec3 cameraEye{320.0f, 240.0f, -940.0f};
constexpr Vec3 cameraAt{320.0f, 240.0f, 0.0f};
constexpr Vec3 cameraUp{0.0f, 1.0f, 0.0f};
constexpr float fieldOfView = 0.5f;
constexpr float aspectRatio = 1.3333334f;
// A negative near plane keeps everything at a view depth of 1 or more inside the depth range.
constexpr float nearPlane = -1.0f;
constexpr float farPlane = 1.0f;

bool fullScreenAccepts(IDirect3D8* direct3d, D3DFORMAT format) {
    return SUCCEEDED(
        direct3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, format, FALSE));
}

} // namespace

void Renderer::release() {
    if (device) {
        device->Release();
        device = nullptr;
    }
    if (direct3d) {
        direct3d->Release();
        direct3d = nullptr;
    }
}

D3DFORMAT pickFullScreenFormat(Renderer& renderer) {
    if (fullScreenAccepts(renderer.direct3d, D3DFMT_R5G6B5)) return D3DFMT_R5G6B5;
    if (fullScreenAccepts(renderer.direct3d, D3DFMT_X1R5G5B5)) return D3DFMT_X1R5G5B5;
    D3DDISPLAYMODE mode{};
    if (SUCCEEDED(renderer.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) &&
        fullScreenAccepts(renderer.direct3d, mode.Format)) {
        return mode.Format;
    }
    return D3DFMT_UNKNOWN;
}

bool initDevice(Renderer& renderer, PresentSink* window, int windowed) {
    renderer.direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!renderer.direct3d) {
        platform::showMessageBox(loadingErrorCaption,
                                 "Problem initiating DirectX 8. Application will now terminate.");
        return false;
    }

    // Without the desktop's mode there is no format to make the back buffer in: that is a
    // device that cannot be made.
    D3DDISPLAYMODE displayMode{};
    const bool modeKnown =
        SUCCEEDED(renderer.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode));

    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    if (windowed) {
        parameters.Windowed = TRUE;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.BackBufferFormat = displayMode.Format;
    } else {
        parameters.Windowed = FALSE;
        parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.BackBufferCount = 1;
        parameters.hDeviceWindow = window;
        parameters.BackBufferFormat = pickFullScreenFormat(renderer);
    }
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.EnableAutoDepthStencil = FALSE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

    if (!modeKnown || FAILED(renderer.direct3d->CreateDevice(
                          D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                          D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &renderer.device))) {
        renderer.device = nullptr;
        platform::showMessageBox(
            loadingErrorCaption,
            "Problem creating DirectX 8 device. Application will now terminate.");
        return false;
    }
    IDirect3DDevice8* device = renderer.device;

    Matrix4 view;
    lookAtMatrix(&view, &cameraEye, &cameraAt, &cameraUp);
    device->SetTransform(D3DTS_VIEW, &view);
    Matrix4 projection;
    perspectiveMatrix(&projection, fieldOfView, aspectRatio, nearPlane, farPlane);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    D3DCAPS8 caps{};
    device->GetDeviceCaps(&caps);
    if (caps.VertexProcessingCaps & D3DVTXPCAPS_DIRECTIONALLIGHTS) {
        // One white light shining from the box toward the viewer.
        D3DLIGHT8 light;
        fillLight(&light, D3DLIGHT_DIRECTIONAL, 0.0f, 0.0f, -1.0f);
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
    } else {
        device->SetRenderState(D3DRS_AMBIENT, 0x40404040);
    }

    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    // Every blend of the game adds: the source factor stays ONE for the whole run.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    if (caps.AlphaCmpCaps & D3DPCMPCAPS_GREATEREQUAL) {
        // Texels of alpha 0, the black of every picture, are then not drawn at all.
        device->SetRenderState(D3DRS_ALPHAREF, 1);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    }
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    return true;
}

} // namespace graphics
