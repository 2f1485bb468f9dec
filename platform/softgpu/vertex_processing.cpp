// Transform and lighting, done per vertex as the fixed-function pipeline does: positions go
// through world, view and projection as row vectors; colours come from the material and the
// enabled directional lights, clamped to 0..1, or are opaque white when lighting is off.
#include "platform/softgpu/vertex_processing.h"

#include "platform/softgpu/device_state.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace softgpu {

namespace {

// A directional light reduced to what a vertex needs: the direction towards the light and
// the colour it adds, already multiplied by the material's diffuse colour.
struct LightTerm {
    float towardX, towardY, towardZ;
    float r, g, b;
};

float clamp01(float value) {
    return std::min(1.0f, std::max(0.0f, value));
}

float readFloat(const BYTE* bytes) {
    float value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

UINT vertexSize(DWORD fvf) {
    // Positions with or without normals and texture coordinates; no vertex colours, which
    // the game never draws with.
    constexpr DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    if ((fvf & D3DFVF_XYZ) == 0 || (fvf & ~known) != 0) return 0;
    UINT size = 12;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_TEX1) size += 8;
    return size;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    const float(*left)[4] = reinterpret_cast<const float(*)[4]>(&a);
    const float(*right)[4] = reinterpret_cast<const float(*)[4]>(&b);
    D3DMATRIX product;
    float(*out)[4] = reinterpret_cast<float(*)[4]>(&product);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += left[row][k] * right[k][column];
            out[row][column] = sum;
        }
    }
    return product;
}

void processVertices(const DeviceState& state, const BYTE* vertices, UINT stride, DWORD fvf,
                     UINT count, ClipVertex* out) {
    const D3DMATRIX m = multiply(multiply(state.world, state.view), state.projection);
    const bool hasNormal = (fvf & D3DFVF_NORMAL) != 0;
    const bool hasTexture = (fvf & D3DFVF_TEX1) != 0;
    const UINT textureOffset = hasNormal ? 24 : 12;
    const bool lighting = state.renderState(D3DRS_LIGHTING) != 0;

    // The colour every vertex shares: emissive plus ambient, or white when unlit.
    const D3DMATERIAL8& material = state.material;
    float baseR = 1.0f, baseG = 1.0f, baseB = 1.0f, alpha = 1.0f;
    std::vector<LightTerm> lights;
    if (lighting) {
        const D3DCOLOR ambientLevel = state.renderState(D3DRS_AMBIENT);
        float ambientR = static_cast<float>((ambientLevel >> 16) & 0xFF) / 255.0f;
        float ambientG = static_cast<float>((ambientLevel >> 8) & 0xFF) / 255.0f;
        float ambientB = static_cast<float>(ambientLevel & 0xFF) / 255.0f;
        for (const auto& [index, slot] : state.lights) {
            if (!slot.enabled) continue;
            const D3DLIGHT8& light = slot.light;
            ambientR += light.Ambient.r;
            ambientG += light.Ambient.g;
            ambientB += light.Ambient.b;
            // Only directional lights are offered (the capabilities say so); others add
            // their ambient part and nothing else.
            if (light.Type != D3DLIGHT_DIRECTIONAL || !hasNormal) continue;
            const float length = std::sqrt(light.Direction.x * light.Direction.x +
                                           light.Direction.y * light.Direction.y +
                                           light.Direction.z * light.Direction.z);
            if (length == 0.0f) continue;
            lights.push_back(LightTerm{
                -light.Direction.x / length, -light.Direction.y / length,
                -light.Direction.z / length, light.Diffuse.r * material.Diffuse.r,
                light.Diffuse.g * material.Diffuse.g, light.Diffuse.b * material.Diffuse.b});
        }
        baseR = material.Emissive.r + material.Ambient.r * ambientR;
        baseG = material.Emissive.g + material.Ambient.g * ambientG;
        baseB = material.Emissive.b + material.Ambient.b * ambientB;
        alpha = clamp01(material.Diffuse.a);
    }
    const D3DMATRIX& w = state.world;

    for (UINT i = 0; i < count; ++i) {
        const BYTE* vertex = vertices + static_cast<std::size_t>(i) * stride;
        const float x = readFloat(vertex);
        const float y = readFloat(vertex + 4);
        const float z = readFloat(vertex + 8);
        ClipVertex& o = out[i];
        o.x = x * m._11 + y * m._21 + z * m._31 + m._41;
        o.y = x * m._12 + y * m._22 + z * m._32 + m._42;
        o.z = x * m._13 + y * m._23 + z * m._33 + m._43;
        o.w = x * m._14 + y * m._24 + z * m._34 + m._44;
        o.u = hasTexture ? readFloat(vertex + textureOffset) : 0.0f;
        o.v = hasTexture ? readFloat(vertex + textureOffset + 4) : 0.0f;
        if (lighting) {
            float r = baseR, g = baseG, b = baseB;
            if (!lights.empty()) {
                // The normal is turned by the world matrix (not renormalised, as the
                // fixed-function pipeline leaves it by default).
                const float nx = readFloat(vertex + 12);
                const float ny = readFloat(vertex + 16);
                const float nz = readFloat(vertex + 20);
                const float tx = nx * w._11 + ny * w._21 + nz * w._31;
                const float ty = nx * w._12 + ny * w._22 + nz * w._32;
                const float tz = nx * w._13 + ny * w._23 + nz * w._33;
                for (const LightTerm& light : lights) {
                    const float facing = std::max(0.0f, tx * light.towardX + ty * light.towardY +
                                                            tz * light.towardZ);
                    r += light.r * facing;
                    g += light.g * facing;
                    b += light.b * facing;
                }
            }
            o.r = clamp01(r);
            o.g = clamp01(g);
            o.b = clamp01(b);
            o.a = alpha;
        } else {
            o.r = o.g = o.b = o.a = 1.0f;
        }
    }
}

} // namespace softgpu
