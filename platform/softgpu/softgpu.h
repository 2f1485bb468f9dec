// Our software stand-in for the Direct3D 8 interfaces the game draws with: the adapter, the
// device with its 640 x 480 X8R8G8B8 back buffer, vertex buffers and textures.
#pragma once

#include "platform/softgpu/d3d8types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace softgpu {

// ---------------------------------------------------------------------------------------------
// Where presented pictures go.

// A read-only look at a picture of 32-bit X8R8G8B8 pixels, rows pitchBytes apart, top row first.
struct FrameView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchBytes = 0;

    const std::uint32_t* row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const BYTE*>(pixels) +
                                                      static_cast<std::ptrdiff_t>(y) * pitchBytes);
    }
    std::uint32_t at(int x, int y) const { return row(y)[x]; }
};

// Receives every finished back buffer at Present. It stands where the platform has a window:
// the window layer gives one to the device, tests and the headless renderer use memory.
class PresentSink {
public:
    virtual ~PresentSink() = default;
    virtual void present(const FrameView& frame) = 0;
    // The part of the back buffer this sink ever shows, in back-buffer pixels. The device it
    // belongs to draws only there: the game's window shows 440 x 400 of the 640 x 480 pixels,
    // and shading the rest would be wasted. Pixels outside keep whatever they held.
    virtual RECT shownRect() const { return RECT{0, 0, INT32_MAX, INT32_MAX}; }
};

// Keeps a copy of the last presented frame and counts the presents. It shows the whole back
// buffer unless given the rectangle a window would show; then it copies only that part, and
// the rest of its copy stays 0.
class MemorySink final : public PresentSink {
public:
    MemorySink() = default;
    explicit MemorySink(RECT shown) : shown_(shown) {}
    void present(const FrameView& frame) override;
    RECT shownRect() const override { return shown_; }
    // From the next present on, only this part is taken.
    void showOnly(RECT shown) { shown_ = shown; }

    // The last presented frame (empty before the first present); pitch is width * 4.
    FrameView lastFrame() const;
    int presentCount() const { return presentCount_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    int presentCount_ = 0;
    RECT shown_{0, 0, INT32_MAX, INT32_MAX};
};

// ---------------------------------------------------------------------------------------------
// The interfaces. Each is reference-counted: made with a count of 1, AddRef adds one, Release
// takes one away and destroys the object at 0, returning the new count. The device holds a
// reference to its IDirect3D8, to the bound vertex buffer and to the bound texture.

// The counting every interface shares. Only the last Release may end an interface's life, so
// each keeps its destructor private and befriends its own RefCounted.
template <class Interface>
class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddRef() { return ++refCount_; }
    ULONG Release() {
        const ULONG count = --refCount_;
        if (count == 0) delete static_cast<Interface*>(this);
        return count;
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    ULONG refCount_ = 1;
};

class IDirect3DDevice8;
class DeviceState;

class IDirect3DVertexBuffer8 : public RefCounted<IDirect3DVertexBuffer8> {
public:
    // Write (or read) access to size bytes from offset; size 0 means to the end.
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags);
    HRESULT Unlock();

    UINT length() const { return static_cast<UINT>(bytes_.size()); }
    DWORD fvf() const { return fvf_; }
    const BYTE* data() const { return bytes_.data(); }

private:
    friend class RefCounted<IDirect3DVertexBuffer8>;
    friend class IDirect3DDevice8;
    IDirect3DVertexBuffer8(UINT length, DWORD fvf);
    ~IDirect3DVertexBuffer8() = default;

    std::vector<BYTE> bytes_;
    DWORD fvf_;
    bool locked_ = false;
};

class IDirect3DTexture8 : public RefCounted<IDirect3DTexture8> {
public:
    DWORD GetLevelCount() const { return static_cast<DWORD>(levels_.size()); }
    // The whole level (rect must be null): rows of 32-bit A8R8G8B8 texels, Pitch bytes apart.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(UINT level);

    UINT width() const { return width_; }
    UINT height() const { return height_; }
    D3DFORMAT format() const { return format_; }
    // Level 0, the only level the device samples: width() * height() texels, row by row.
    const std::uint32_t* texels() const { return levels_.front().data(); }
    // Tells this texture's pictures apart: unique to the texture, and new after every lock,
    // since a lock may change the texels.
    std::uint64_t contentId() const { return contentId_; }
    bool isLocked() const { return locked_.front(); }
    // Level 0 again with the first texels of each row repeated after its end (cyclically,
    // texelsRepeated of them), so that a run of columns read across the right edge wraps
    // without a mask; rows width() + texelsRepeated apart. Current whenever not locked.
    static constexpr int texelsRepeated = 16;
    const std::uint32_t* repeatedTexels() const { return repeated_.data(); }

private:
    friend class RefCounted<IDirect3DTexture8>;
    friend class IDirect3DDevice8;
    IDirect3DTexture8(UINT width, UINT height, UINT levels, D3DFORMAT format);
    ~IDirect3DTexture8() = default;

    std::vector<std::vector<std::uint32_t>> levels_;
    UINT width_;
    UINT height_;
    D3DFORMAT format_;
    std::vector<bool> locked_;
    std::uint64_t contentId_;
    std::vector<std::uint32_t> repeated_;
    void repeatRows();
};

class IDirect3D8 : public RefCounted<IDirect3D8> {
public:
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode);
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, BOOL windowed);
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps);
    // focusWindow receives the presented frames unless the present parameters name another
    // sink; it may be null for a device nobody watches.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, PresentSink* focusWindow,
                         DWORD behaviorFlags, D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice8** returnedDeviceInterface);

private:
    friend class RefCounted<IDirect3D8>;
    friend IDirect3D8* Direct3DCreate8(UINT sdkVersion);
    IDirect3D8() = default;
    ~IDirect3D8() = default;
};

// The adapter's interface, or null when the SDK version is not 120 or the adapter options say
// Direct3D is unavailable.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);

// Counters of the work done since the device was made or resetStats was called.
struct RenderStats {
    std::uint64_t trianglesDrawn = 0; // reached the rasteriser (after culling and clipping)
    std::uint64_t pixelsShaded = 0;   // covered pixels, before the alpha test
    std::uint64_t drawCalls = 0;
    std::uint64_t drawsReused = 0; // drawn again from the pixels saved when last drawn
};

class IDirect3DDevice8 : public RefCounted<IDirect3DDevice8> {
public:
    HRESULT GetDeviceCaps(D3DCAPS8* caps);
    HRESULT GetDirect3D(IDirect3D8** direct3d);

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light);
    HRESULT GetLight(DWORD index, D3DLIGHT8* light);
    HRESULT LightEnable(DWORD index, BOOL enable);
    HRESULT GetLightEnable(DWORD index, BOOL* enable);
    HRESULT SetMaterial(const D3DMATERIAL8* material);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value);
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value);
    // The fixed-function path only: the "shader" is a flexible vertex format code.
    HRESULT SetVertexShader(DWORD fvf);
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride);
    HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture);
    HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture);

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer);
    // Square or not, power-of-two edges, D3DFMT_A8R8G8B8 (or X8R8G8B8); levels 0 makes the
    // whole chain down to 1 x 1. Every texel of a new texture is 0, transparent black.
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8** texture);

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount);
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil);
    HRESULT BeginScene();
    HRESULT EndScene();
    // Hands the back buffer to the sink; the back buffer keeps its pixels. Drawing follows the
    // device's own sink's shown part, also for a frame handed to another sink. Present also
    // ends the frame for the reuse of unchanged draws.
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, PresentSink* destWindowOverride,
                    const void* dirtyRegion);

    // The back buffer as it is now (X8R8G8B8; the unused top byte is always 0xFF).
    FrameView backBuffer() const;
    const RenderStats& stats() const;
    void resetStats();
    // A draw made exactly as one of the previous frame (same states, vertices and texels) is
    // copied from the pixels that draw shaded instead of being shaded again; on by default.
    // Off, every draw is shaded: for measuring a frame where nothing can be reused.
    void reuseUnchangedDraws(bool enabled);

private:
    friend class RefCounted<IDirect3DDevice8>;
    friend class IDirect3D8;
    IDirect3DDevice8(IDirect3D8* direct3d, PresentSink* sink, int width, int height);
    ~IDirect3DDevice8();

    IDirect3D8* direct3d_;
    std::unique_ptr<DeviceState> state_;
};

} // namespace softgpu
