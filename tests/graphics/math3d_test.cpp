// The vector, view, material and light helpers the camera, the light and the materials are made
// with; the game's own camera is checked on the device.
#include "graphics/math3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace graphics;

namespace {

TEST(Math3d, NormalizeAndCrossWorkInPlaceAndLeaveZeroAlone) {
    const Vec3 v{3, 0, 4};
    Vec3 out{9, 9, 9};
    EXPECT_EQ(normalizeVec3(&out, &v), &out);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);
    Vec3 inPlace{0, -5, 0};
    normalizeVec3(&inPlace, &inPlace);
    EXPECT_EQ(inPlace.y, -1.0f);
    // No length to divide by: copied as it is, never turned into NaNs.
    const Vec3 zero{0, 0, 0};
    normalizeVec3(&out, &zero);
    EXPECT_EQ(std::memcmp(&out, &zero, sizeof out), 0);
    const Vec3 notANumber{std::nanf(""), 1, 0};
    normalizeVec3(&out, &notANumber);
    EXPECT_TRUE(std::isnan(out.x));
    EXPECT_EQ(out.y, 1.0f);

    const Vec3 x{1, 0, 0}, y{0, 1, 0};
    Vec3 a = x, b = y;
    crossVec3(&a, &a, &y);
    crossVec3(&b, &x, &b);
    for (const Vec3& product : {a, b}) {
        EXPECT_EQ(product.x, 0.0f);
        EXPECT_EQ(product.y, 0.0f);
        EXPECT_EQ(product.z, 1.0f);
    }
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
    material.Specular.g = 0.5f;
    material.Power = 7.0f;
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
