// Vector, matrix, material and light helpers for the camera, the light and the materials;
// intermediates are doubles, rounded to float only when stored, so every build agrees.
#pragma once

#include "game/types.h"
#include "platform/d3d_records.h"

#include <cstdint>

namespace graphics {

// The game's shared records.
using game::Material;
using game::Matrix4;
using game::Vec3;

// out = in / |in|; a zero-length (or NaN) input is copied unchanged. out may be in itself.
// Returns out.
Vec3* normalizeVec3(Vec3* out, const Vec3* in);

// out = a x b; out may be a or b. Returns out.
Vec3* crossVec3(Vec3* out, const Vec3* a, const Vec3* b);

// Left-handed view matrix looking from eye at at, with up made orthogonal to the view
// direction by one Gram-Schmidt step. Returns out.
Matrix4* lookAtMatrix(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up);

// Left-handed perspective projection with depth 0 at near and 1 at far. No argument is
// checked: equal planes or a zero field of view give infinities. Returns out.
Matrix4* perspectiveMatrix(Matrix4* out, float fieldOfView, float aspect, float nearPlane,
                           float farPlane);

// Diffuse and ambient colour (r, g, b) and emissive colour; every other field (the alphas,
// specular, power) keeps what the record held.
void fillMaterial(Material* out, float r, float g, float b, float emissiveR, float emissiveG,
                  float emissiveB);

// A flat picture's world matrix: the quad scaled by (sx, sy) and moved to (x, y, z), unrotated.
Matrix4 spritePlacement(float sx, float sy, float x, float y, float z);

// A white light of the given type pointing along (x, y, z) (normalised), positioned at the
// same (x, y, z), range 1000, everything else zero.
void fillLight(D3DLIGHT8* out, std::int32_t type, float x, float y, float z);

} // namespace graphics
