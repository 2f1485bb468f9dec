// Textures: square or oblong power-of-two pictures of 32-bit A8R8G8B8 texels with their chain
// of smaller levels; new ones are all zero, transparent black.
#include "platform/softgpu/softgpu.h"

namespace softgpu {

IDirect3DTexture8::IDirect3DTexture8(UINT width, UINT height, UINT levels, D3DFORMAT format)
    : width_(width), height_(height), format_(format) {
    UINT levelWidth = width;
    UINT levelHeight = height;
    for (UINT level = 0; level < levels; ++level) {
        levels_.emplace_back(static_cast<std::size_t>(levelWidth) * levelHeight, 0u);
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    locked_.assign(levels, false);
}

HRESULT IDirect3DTexture8::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                    DWORD /*flags*/) {
    if (lockedRect == nullptr) return D3DERR_INVALIDCALL;
    *lockedRect = D3DLOCKED_RECT{0, nullptr};
    if (level >= levels_.size() || locked_[level]) return D3DERR_INVALIDCALL;
    const auto levelWidth = static_cast<std::int32_t>(width_ >> level > 0 ? width_ >> level : 1);
    const auto levelHeight = static_cast<std::int32_t>(height_ >> level > 0 ? height_ >> level : 1);
    std::int32_t left = 0;
    std::int32_t top = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right > levelWidth ||
            rect->bottom > levelHeight || rect->left >= rect->right || rect->top >= rect->bottom) {
            return D3DERR_INVALIDCALL;
        }
        left = rect->left;
        top = rect->top;
    }
    if (adapterOptions().lockFails) return D3DERR_INVALIDCALL;
    locked_[level] = true;
    lockedRect->Pitch = levelWidth * 4;
    lockedRect->pBits = levels_[level].data() + static_cast<std::size_t>(top) * levelWidth + left;
    return D3D_OK;
}

HRESULT IDirect3DTexture8::UnlockRect(UINT level) {
    if (level >= levels_.size() || !locked_[level]) return D3DERR_INVALIDCALL;
    locked_[level] = false;
    return D3D_OK;
}

} // namespace softgpu
