// The vector, view, material and light helpers the camera, the light and the materials are made
// with, in the cases the game's own camera and light (seen in the golden frames) never meet.
#include "graphics/math3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace graphics;

namespace {

TEST(Math3d, NormalizeAndCrossWorkInPlaceAndLeaveNotANumberAlone) {
    Vec3 v{3, 0, 4};
    EXPECT_EQ(normalizeVec3(&v, &v), &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    // No length to divide by: copied as it is (for a zero vector see the view along up).
    const Vec3 notANumber{std::nanf(""), 1, 0};
    normalizeVec3(&v, &notANumber);
    EXPECT_TRUE(std::isnan(v.x));
    EXPECT_EQ(v.y, 1.0f);

    const Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    Vec3 a = x, b = y;
    EXPECT_EQ(crossVec3(&a, &a, &y), &a);
    crossVec3(&b, &x, &b);
    EXPECT_EQ(std::memcmp(&a, &z, sizeof z), 0);
    EXPECT_EQ(std::memcmp(&b, &z, sizeof z), 0);
}

void expectView(const char* what, Vec3 eye, Vec3 at, Vec3 up, const Matrix4& expected) {
    SCOPED_TRACE(what);
    Matrix4 view;
    EXPECT_EQ(lookAtMatrix(&view, &eye, &at, &up), &view);
    for (int i = 0; i < 16; ++i) EXPECT_EQ((&view._11)[i], (&expected._11)[i]) << i;
}

TEST(Math3d, LookAtPutsTheAxesInColumnsAndTheEyeInTheLastRow) {
    expectView("looking along +x, up leaning forward: up is straightened, right is -z", {1, 2, 3},
               {5, 2, 3}, {1, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 3, -2, -1, 1});
    expectView("up along the view: zero side axes, no NaNs", {0, 0, 0}, {0, 0, 5}, {0, 0, 1},
               {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(Math3d, FillMaterialSetsOnlyColoursAndFillLightClearsTheRest) {
    Material material{};
    material.Diffuse.a = 0.25f;
    Material expected = material;
    expected.Diffuse = {1, 0, 0.5f, 0.25f};
    expected.Ambient = {1, 0, 0.5f, 0};
    expected.Emissive = {0.8f, 0.7f, 1, 0};
    fillMaterial(&material, 1, 0, 0.5f, 0.8f, 0.7f, 1);
    EXPECT_EQ(std::memcmp(&material, &expected, sizeof material), 0);

    D3DLIGHT8 light;
    std::memset(&light, 0x55, sizeof light);
    fillLight(&light, D3DLIGHT_DIRECTIONAL, 0, 2, 0);
    D3DLIGHT8 white{};
    white.Type = D3DLIGHT_DIRECTIONAL;
    white.Diffuse = {1, 1, 1, 0};
    white.Direction = {0, 1, 0}; // normalised
    white.Position = {0, 2, 0};  // as given
    white.Range = 1000;
    EXPECT_EQ(std::memcmp(&light, &white, sizeof light), 0);
}

} // namespace
