// Textures: square or oblong power-of-two pictures of 32-bit A8R8G8B8 texels with their chain
// of smaller levels; new ones are all zero, transparent black.
#include "platform/softgpu/adapter_options.h"
#include "platform/softgpu/softgpu.h"

namespace softgpu {

namespace {

std::uint64_t newContentId() {
    static std::uint64_t last = 0;
    return ++last;
}

} // namespace

IDirect3DTexture8::IDirect3DTexture8(UINT width, UINT height, UINT levels, D3DFORMAT format)
    : width_(width), height_(height), format_(format), contentId_(newContentId()) {
    UINT levelWidth = width;
    UINT levelHeight = height;
    for (UINT level = 0; level < levels; ++level) {
        levels_.emplace_back(static_cast<std::size_t>(levelWidth) * levelHeight, 0u);
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    locked_.assign(levels, false);
    repeatRows();
}

void IDirect3DTexture8::repeatRows() {
    const std::size_t pitch = width_ + texelsRepeated;
    repeated_.resize(pitch * height_);
    const std::uint32_t* texels = levels_.front().data();
    for (std::size_t y = 0; y < height_; ++y) {
        std::uint32_t* row = repeated_.data() + y * pitch;
        for (std::size_t x = 0; x < pitch; ++x) row[x] = texels[y * width_ + x % width_];
    }
}

HRESULT IDirect3DTexture8::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                    DWORD /*flags*/) {
    if (lockedRect == nullptr) return D3DERR_INVALIDCALL;
    *lockedRect = D3DLOCKED_RECT{0, nullptr};
    if (level >= levels_.size() || locked_[level]) return D3DERR_INVALIDCALL;
    const auto levelWidth = static_cast<std::int32_t>(width_ >> level > 0 ? width_ >> level : 1);
    // Only whole levels are locked; the game never asks for less.
    if (rect != nullptr) return D3DERR_INVALIDCALL;
    if (adapterOptions().lockFails) return D3DERR_INVALIDCALL;
    locked_[level] = true;
    contentId_ = newContentId();
    lockedRect->Pitch = levelWidth * 4;
    lockedRect->pBits = levels_[level].data();
    return D3D_OK;
}

HRESULT IDirect3DTexture8::UnlockRect(UINT level) {
    if (level >= levels_.size() || !locked_[level]) return D3DERR_INVALIDCALL;
    locked_[level] = false;
    contentId_ = newContentId();
    if (level == 0) repeatRows();
    return D3D_OK;
}

} // namespace softgpu
