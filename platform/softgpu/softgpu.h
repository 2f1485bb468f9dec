// Our software stand-in for the Direct3D 8 interfaces the game draws with: the adapter, the
// device with its 640 x 480 X8R8G8B8 back buffer, vertex buffers and textures.
#pragma once

#include "platform/d3dtypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace softgpu {

using BYTE = std::uint8_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using BOOL = std::int32_t;
using D3DCOLOR = std::uint32_t; // 0xAARRGGBB
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr UINT D3D_SDK_VERSION = 120;
constexpr UINT D3DADAPTER_DEFAULT = 0;

// ---------------------------------------------------------------------------------------------
// Enumerations and flags, with the platform's names and values.

enum D3DFORMAT : std::uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_D16 = 80,
};

enum D3DDEVTYPE : std::uint32_t {
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
    D3DDEVTYPE_SW = 3,
};

enum D3DPOOL : std::uint32_t {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
    D3DPOOL_SCRATCH = 3,
};

enum D3DSWAPEFFECT : std::uint32_t {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
};

enum D3DMULTISAMPLE_TYPE : std::uint32_t {
    D3DMULTISAMPLE_NONE = 0,
};

enum D3DPRIMITIVETYPE : std::uint32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : std::uint32_t {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : std::uint32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_COLORVERTEX = 141,
    D3DRS_NORMALIZENORMALS = 143,
};

enum D3DTEXTURESTAGESTATETYPE : std::uint32_t {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_ADDRESSU = 13,
    D3DTSS_ADDRESSV = 14,
    D3DTSS_MAGFILTER = 16,
    D3DTSS_MINFILTER = 17,
    D3DTSS_MIPFILTER = 18,
};

// Texture stage operations.
constexpr DWORD D3DTOP_DISABLE = 1;
constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;

// Texture stage arguments.
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;

// Texture filters and addressing.
constexpr DWORD D3DTEXF_NONE = 0;
constexpr DWORD D3DTEXF_POINT = 1;
constexpr DWORD D3DTEXF_LINEAR = 2;
constexpr DWORD D3DTADDRESS_WRAP = 1;
constexpr DWORD D3DTADDRESS_MIRROR = 2;
constexpr DWORD D3DTADDRESS_CLAMP = 3;

// Blend factors.
constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCCOLOR = 3;
constexpr DWORD D3DBLEND_INVSRCCOLOR = 4;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;

// Comparison functions (alpha test).
constexpr DWORD D3DCMP_NEVER = 1;
constexpr DWORD D3DCMP_LESS = 2;
constexpr DWORD D3DCMP_EQUAL = 3;
constexpr DWORD D3DCMP_LESSEQUAL = 4;
constexpr DWORD D3DCMP_GREATER = 5;
constexpr DWORD D3DCMP_NOTEQUAL = 6;
constexpr DWORD D3DCMP_GREATEREQUAL = 7;
constexpr DWORD D3DCMP_ALWAYS = 8;

// Cull modes: which screen winding is removed.
constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

// Flexible vertex format bits. The device draws XYZ with optional NORMAL, DIFFUSE and TEX1.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;

constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;

// Capability bits.
constexpr DWORD D3DVTXPCAPS_DIRECTIONALLIGHTS = 0x8;
constexpr DWORD D3DPCMPCAPS_NEVER = 0x1;
constexpr DWORD D3DPCMPCAPS_LESS = 0x2;
constexpr DWORD D3DPCMPCAPS_EQUAL = 0x4;
constexpr DWORD D3DPCMPCAPS_LESSEQUAL = 0x8;
constexpr DWORD D3DPCMPCAPS_GREATER = 0x10;
constexpr DWORD D3DPCMPCAPS_NOTEQUAL = 0x20;
constexpr DWORD D3DPCMPCAPS_GREATEREQUAL = 0x40;
constexpr DWORD D3DPCMPCAPS_ALWAYS = 0x80;
constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x10;
constexpr DWORD D3DPMISCCAPS_CULLCW = 0x20;
constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x40;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x2;
constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x100;
constexpr DWORD D3DPTFILTERCAPS_MINFLINEAR = 0x200;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x1000000;
constexpr DWORD D3DPTFILTERCAPS_MAGFLINEAR = 0x2000000;
constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x1;
constexpr DWORD D3DPTADDRESSCAPS_MIRROR = 0x2;
constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x4;
constexpr DWORD D3DPBLENDCAPS_ZERO = 0x1;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x2;
constexpr DWORD D3DPBLENDCAPS_SRCCOLOR = 0x4;
constexpr DWORD D3DPBLENDCAPS_INVSRCCOLOR = 0x8;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x10;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x20;

// ---------------------------------------------------------------------------------------------
// Plain records.

struct RECT {
    std::int32_t left, top, right, bottom;
};

struct D3DRECT {
    std::int32_t x1, y1, x2, y2;
};

struct D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

class PresentSink;

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;  // 0: the window's client area, 640
    UINT BackBufferHeight; // 0: the window's client area, 480
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    D3DSWAPEFFECT SwapEffect;
    PresentSink* hDeviceWindow; // null: the focus window given to CreateDevice
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT FullScreen_PresentationInterval;
};

// The capabilities the game looks at, plus a few that describe what this device can do.
struct D3DCAPS8 {
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD PrimitiveMiscCaps;
    DWORD SrcBlendCaps;
    DWORD DestBlendCaps;
    DWORD AlphaCmpCaps;
    DWORD TextureCaps;
    DWORD TextureFilterCaps;
    DWORD TextureAddressCaps;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD VertexProcessingCaps;
    DWORD MaxActiveLights;
    DWORD MaxPrimitiveCount;
    DWORD MaxVertexIndex;
    DWORD MaxStreams;
    DWORD MaxStreamStride;
};

struct D3DLOCKED_RECT {
    std::int32_t Pitch; // bytes from one texel row to the next
    void* pBits;        // texel (0, 0), the top-left one
};

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
};

// Hands each presented frame to a function.
class CallbackSink final : public PresentSink {
public:
    using Callback = std::function<void(const FrameView&)>;
    explicit CallbackSink(Callback callback) : callback_(std::move(callback)) {}
    void present(const FrameView& frame) override {
        if (callback_) callback_(frame);
    }

private:
    Callback callback_;
};

// Keeps a copy of the last presented frame and counts the presents.
class MemorySink final : public PresentSink {
public:
    void present(const FrameView& frame) override;

    // The last presented frame (empty before the first present); pitch is width * 4.
    FrameView lastFrame() const;
    int presentCount() const { return presentCount_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    int presentCount_ = 0;
};

// ---------------------------------------------------------------------------------------------
// What the adapter reports and which failures it stages, for tests of the game's set-up. The
// settings are read at each call, so a test sets them, runs the code under test and restores
// them (ScopedAdapterOptions).

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

// ---------------------------------------------------------------------------------------------
// The interfaces. Each is reference-counted: made with a count of 1, AddRef adds one, Release
// takes one away and destroys the object at 0, returning the new count. The device holds a
// reference to its IDirect3D8, to the bound vertex buffer and to the bound texture.

class IDirect3DDevice8;
class DeviceState;

class IDirect3DVertexBuffer8 {
public:
    IDirect3DVertexBuffer8(const IDirect3DVertexBuffer8&) = delete;
    IDirect3DVertexBuffer8& operator=(const IDirect3DVertexBuffer8&) = delete;
    ULONG AddRef();
    ULONG Release();

    // Write (or read) access to size bytes from offset; size 0 means to the end.
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags);
    HRESULT Unlock();

    UINT length() const { return static_cast<UINT>(bytes_.size()); }
    DWORD fvf() const { return fvf_; }
    const BYTE* data() const { return bytes_.data(); }

private:
    friend class IDirect3DDevice8;
    IDirect3DVertexBuffer8(UINT length, DWORD fvf);
    ~IDirect3DVertexBuffer8() = default;

    std::vector<BYTE> bytes_;
    DWORD fvf_;
    ULONG refCount_ = 1;
    bool locked_ = false;
};

class IDirect3DTexture8 {
public:
    IDirect3DTexture8(const IDirect3DTexture8&) = delete;
    IDirect3DTexture8& operator=(const IDirect3DTexture8&) = delete;
    ULONG AddRef();
    ULONG Release();

    DWORD GetLevelCount() const { return static_cast<DWORD>(levels_.size()); }
    // The whole level when rect is null; rows of 32-bit A8R8G8B8 texels, Pitch bytes apart.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(UINT level);

    UINT width() const { return width_; }
    UINT height() const { return height_; }
    D3DFORMAT format() const { return format_; }
    // Level 0, the only level the device samples: width() * height() texels, row by row.
    const std::uint32_t* texels() const { return levels_.front().data(); }

private:
    friend class IDirect3DDevice8;
    IDirect3DTexture8(UINT width, UINT height, UINT levels, D3DFORMAT format);
    ~IDirect3DTexture8() = default;

    std::vector<std::vector<std::uint32_t>> levels_;
    UINT width_;
    UINT height_;
    D3DFORMAT format_;
    ULONG refCount_ = 1;
    std::vector<bool> locked_;
};

class IDirect3D8 {
public:
    IDirect3D8(const IDirect3D8&) = delete;
    IDirect3D8& operator=(const IDirect3D8&) = delete;
    ULONG AddRef();
    ULONG Release();

    UINT GetAdapterCount() const { return 1; }
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
    friend IDirect3D8* Direct3DCreate8(UINT sdkVersion);
    IDirect3D8() = default;
    ~IDirect3D8() = default;
    ULONG refCount_ = 1;
};

// The adapter's interface, or null when the SDK version is not 120 or the adapter options say
// Direct3D is unavailable.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);

// Counters of the work done since the device was made or resetStats was called.
struct RenderStats {
    std::uint64_t trianglesDrawn = 0; // reached the rasteriser (after culling and clipping)
    std::uint64_t pixelsShaded = 0;   // covered pixels, before the alpha test
    std::uint64_t drawCalls = 0;
};

class IDirect3DDevice8 {
public:
    IDirect3DDevice8(const IDirect3DDevice8&) = delete;
    IDirect3DDevice8& operator=(const IDirect3DDevice8&) = delete;
    ULONG AddRef();
    ULONG Release();

    HRESULT GetDeviceCaps(D3DCAPS8* caps);
    HRESULT GetDirect3D(IDirect3D8** direct3d);

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light);
    HRESULT GetLight(DWORD index, D3DLIGHT8* light);
    HRESULT LightEnable(DWORD index, BOOL enable);
    HRESULT GetLightEnable(DWORD index, BOOL* enable);
    HRESULT SetMaterial(const D3DMATERIAL8* material);
    HRESULT GetMaterial(D3DMATERIAL8* material);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value);
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value);
    // The fixed-function path only: the "shader" is a flexible vertex format code.
    HRESULT SetVertexShader(DWORD fvf);
    HRESULT GetVertexShader(DWORD* fvf);
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride);
    HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride);
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
    // Hands the back buffer to the sink; the back buffer keeps its pixels.
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, PresentSink* destWindowOverride,
                    const void* dirtyRegion);

    // The back buffer as it is now (X8R8G8B8; the unused top byte is always 0xFF).
    FrameView backBuffer() const;
    const RenderStats& stats() const;
    void resetStats();

private:
    friend class IDirect3D8;
    IDirect3DDevice8(IDirect3D8* direct3d, PresentSink* sink, int width, int height);
    ~IDirect3DDevice8();

    ULONG refCount_ = 1;
    IDirect3D8* direct3d_;
    std::unique_ptr<DeviceState> state_;
};

} // namespace softgpu
