// The graphics device for the whole run: made once for the game window with the fixed camera,
// the one light and the default drawing state every frame starts from; released last at exit.
#pragma once

#include "platform/softgpu/softgpu.h"

namespace graphics {

struct Renderer {
    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
    ~Renderer() { release(); }

    // Releases the device, then the interface; either may be empty.
    void release();

    softgpu::IDirect3D8* direct3d = nullptr;
    softgpu::IDirect3DDevice8* device = nullptr;
};

// Creates the device presenting to window (windowed: the window's 640 x 480 client area;
// otherwise 800 x 600 full screen) and sets the camera, projection, light and default states.
// True when ready; false after telling the player under "Loading Error".
bool initDevice(Renderer& renderer, softgpu::PresentSink* window, int windowed);

// The back-buffer format for full screen: 16-bit if the adapter takes it, else the desktop's,
// else D3DFMT_UNKNOWN (and device creation then fails).
softgpu::D3DFORMAT pickFullScreenFormat(Renderer& renderer);

} // namespace graphics
