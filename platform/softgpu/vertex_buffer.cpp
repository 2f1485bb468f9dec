// Vertex buffers: a block of bytes in the layout of their vertex format, written through Lock.
#include "platform/softgpu/adapter_options.h"
#include "platform/softgpu/softgpu.h"

namespace softgpu {

IDirect3DVertexBuffer8::IDirect3DVertexBuffer8(UINT length, DWORD fvf)
    : bytes_(length, 0), fvf_(fvf) {}

HRESULT IDirect3DVertexBuffer8::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data,
                                     DWORD /*flags*/) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    *data = nullptr;
    const UINT length = static_cast<UINT>(bytes_.size());
    if (locked_ || offsetToLock > length) return D3DERR_INVALIDCALL;
    if (sizeToLock != 0 && sizeToLock > length - offsetToLock) return D3DERR_INVALIDCALL;
    if (adapterOptions().lockFails) return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = bytes_.data() + offsetToLock;
    return D3D_OK;
}

HRESULT IDirect3DVertexBuffer8::Unlock() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

} // namespace softgpu
