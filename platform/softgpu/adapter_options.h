// Failures and capabilities the adapter can be told to stage, so that tests take the game's
// graphics set-up down each of its failure paths. The adapter reads them; only tests set them:
// the game always runs on the adapter's own answers. The settings are read at each call, so a test
// sets them, runs the code under test and restores them (ScopedAdapterOptions).
#pragma once

#include "platform/softgpu/d3d8types.h"

#include <utility>
#include <vector>

namespace softgpu {

struct AdapterOptions {
    bool direct3dUnavailable = false;       // Direct3DCreate8 gives null
    bool deviceCreationFails = false;       // CreateDevice answers D3DERR_NOTAVAILABLE
    bool vertexBufferCreationFails = false; // CreateVertexBuffer answers E_OUTOFMEMORY
    bool textureCreationFails = false;      // CreateTexture answers E_OUTOFMEMORY
    bool lockFails = false;                 // vertex buffer Lock and texture LockRect fail
    bool displayModeFails = false;          // GetAdapterDisplayMode fails
    DWORD vertexProcessingCaps = D3DVTXPCAPS_DIRECTIONALLIGHTS;
    DWORD alphaCmpCaps = 0xFF; // every comparison
    D3DFORMAT displayFormat = D3DFMT_X8R8G8B8;
    // Formats CheckDeviceType accepts for full-screen display (display = back buffer format).
    std::vector<D3DFORMAT> fullScreenFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
};

// Replaces the adapter's settings and returns the previous ones.
AdapterOptions setAdapterOptions(AdapterOptions options);
const AdapterOptions& adapterOptions();

class ScopedAdapterOptions {
public:
    explicit ScopedAdapterOptions(AdapterOptions options)
        : previous_(setAdapterOptions(std::move(options))) {}
    ~ScopedAdapterOptions() { setAdapterOptions(std::move(previous_)); }
    ScopedAdapterOptions(const ScopedAdapterOptions&) = delete;
    ScopedAdapterOptions& operator=(const ScopedAdapterOptions&) = delete;

private:
    AdapterOptions previous_;
};

} // namespace softgpu
