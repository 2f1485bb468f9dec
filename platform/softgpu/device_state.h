// Everything a software device remembers between calls: transforms, light, material, render
// and texture stage states, the bound stream and texture, and the back buffer itself.
#pragma once

#include "platform/softgpu/draw_cache.h"
#include "platform/softgpu/softgpu.h"

#include <array>
#include <map>
#include <vector>

namespace softgpu {

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

class DeviceState {
public:
    DeviceState(PresentSink* presentSink, int bufferWidth, int bufferHeight);

    static constexpr std::size_t renderStateCount = 256;
    static constexpr std::size_t stageStateCount = 32;
    static constexpr DWORD stageCount = 8;

    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATERIAL8 material{};
    std::map<DWORD, LightSlot> lights;
    std::array<DWORD, renderStateCount> renderStates{};
    std::array<std::array<DWORD, stageStateCount>, stageCount> stageStates{};
    DWORD fvf = 0;
    IDirect3DVertexBuffer8* stream = nullptr; // held with a reference
    UINT streamStride = 0;
    std::array<IDirect3DTexture8*, stageCount> textures{}; // held with a reference
    bool inScene = false;

    PresentSink* sink;
    int width;
    int height;
    std::vector<std::uint32_t> backBuffer; // width * height, pitch width * 4
    RenderStats stats;
    DrawCache drawCache;
    bool reuseDraws = true;

    DWORD renderState(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    DWORD stageState(D3DTEXTURESTAGESTATETYPE type) const { return stageStates[0][type]; }
};

} // namespace softgpu
