#include "graphics/math3d.h"

#include <cmath>
#include <cstring>

namespace graphics {

namespace {
struct Vec3d {
    double x, y, z;
};

Vec3d widen(const Vec3& v) {
    return {v.x, v.y, v.z};
}
double dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
} // namespace

Vec3* normalizeVec3(Vec3* out, const Vec3* in) {
    const Vec3d v = widen(*in);
    const double length = std::sqrt(dot(v, v));
    if (length > 0) {
        *out = {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
                static_cast<float>(v.z / length)};
    } else {
        *out = *in;
    }
    return out;
}

Vec3* crossVec3(Vec3* out, const Vec3* a, const Vec3* b) {
    const Vec3d p = widen(*a);
    const Vec3d q = widen(*b);
    *out = {static_cast<float>(p.y * q.z - p.z * q.y), static_cast<float>(p.z * q.x - p.x * q.z),
            static_cast<float>(p.x * q.y - p.y * q.x)};
    return out;
}

Matrix4* lookAtMatrix(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up) {
    // Each axis is stored as floats before it is used again, as the record-based helpers do.
    Vec3 zAxis{static_cast<float>(double{at->x} - eye->x),
               static_cast<float>(double{at->y} - eye->y),
               static_cast<float>(double{at->z} - eye->z)};
    normalizeVec3(&zAxis, &zAxis);

    const Vec3d z = widen(zAxis);
    const double upAlongZ = dot(widen(*up), z);
    Vec3 yAxis{static_cast<float>(up->x - upAlongZ * z.x),
               static_cast<float>(up->y - upAlongZ * z.y),
               static_cast<float>(up->z - upAlongZ * z.z)};
    normalizeVec3(&yAxis, &yAxis);

    Vec3 xAxis;
    crossVec3(&xAxis, &yAxis, &zAxis);

    const Vec3d x = widen(xAxis);
    const Vec3d y = widen(yAxis);
    const Vec3d e = widen(*eye);
    *out = Matrix4{xAxis.x,
                   yAxis.x,
                   zAxis.x,
                   0.0f,
                   xAxis.y,
                   yAxis.y,
                   zAxis.y,
                   0.0f,
                   xAxis.z,
                   yAxis.z,
                   zAxis.z,
                   0.0f,
                   static_cast<float>(-dot(x, e)),
                   static_cast<float>(-dot(y, e)),
                   static_cast<float>(-dot(z, e)),
                   1.0f};
    return out;
}

Matrix4* perspectiveMatrix(Matrix4* out, float fieldOfView, float aspect, float nearPlane,
                           float farPlane) {
    const double half = double{fieldOfView} * 0.5;
    const double c = std::cos(half) / std::sin(half);
    const double q = double{farPlane} / (double{farPlane} - nearPlane);
    *out = Matrix4{};
    out->_11 = static_cast<float>(1.0 / aspect * c);
    out->_22 = static_cast<float>(c);
    out->_33 = static_cast<float>(q);
    out->_43 = static_cast<float>(-(q * nearPlane));
    out->_34 = 1.0f;
    return out;
}

void fillMaterial(Material* out, float r, float g, float b, float emissiveR, float emissiveG,
                  float emissiveB) {
    out->Diffuse.r = out->Ambient.r = r;
    out->Diffuse.g = out->Ambient.g = g;
    out->Diffuse.b = out->Ambient.b = b;
    out->Emissive.r = emissiveR;
    out->Emissive.g = emissiveG;
    out->Emissive.b = emissiveB;
}

Matrix4 spritePlacement(float sx, float sy, float x, float y, float z) {
    return Matrix4{sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

void fillLight(D3DLIGHT8* out, std::int32_t type, float x, float y, float z) {
    std::memset(out, 0, sizeof *out);
    out->Type = static_cast<D3DLIGHTTYPE>(type);
    out->Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    const Vec3 direction{x, y, z};
    normalizeVec3(&out->Direction, &direction);
    out->Position = direction;
    out->Range = 1000.0f;
}

} // namespace graphics
