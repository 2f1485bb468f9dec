// The camera, projection, material and light records the whole picture depends on.
#include "graphics/math3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

void expectRow(const Matrix4& m, int row, float a, float b, float c, float d) {
    const float* values = &m._11 + 4 * row;
    EXPECT_FLOAT_EQ(values[0], a) << "row " << row;
    EXPECT_FLOAT_EQ(values[1], b) << "row " << row;
    EXPECT_FLOAT_EQ(values[2], c) << "row " << row;
    EXPECT_FLOAT_EQ(values[3], d) << "row " << row;
}

// A row vector through the matrix, then divided by w: normalised device coordinates.
Vec3 project(const Vec3& p, const Matrix4& m) {
    const double x = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
    const double y = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
    const double z = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
    const double w = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
    return {static_cast<float>(x / w), static_cast<float>(y / w), static_cast<float>(z / w)};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    const float* pa = &a._11;
    const float* pb = &b._11;
    float* po = &out._11;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += double{pa[4 * r + k]} * pb[4 * k + c];
            po[4 * r + c] = static_cast<float>(sum);
        }
    return out;
}

TEST(Math3d, NormalizeHandlesZeroNullAndInPlace) {
    Vec3 out{9, 9, 9};
    const Vec3 v{3, 0, 4};
    EXPECT_EQ(normalizeVec3(&out, &v), &out);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);

    const Vec3 zero{0, 0, 0};
    normalizeVec3(&out, &zero);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);

    EXPECT_EQ(normalizeVec3(nullptr, &v), nullptr);

    Vec3 inPlace{0, -5, 0};
    normalizeVec3(&inPlace, &inPlace);
    EXPECT_FLOAT_EQ(inPlace.y, -1.0f);

    const Vec3 notANumber{std::nanf(""), 1, 0};
    normalizeVec3(&out, &notANumber);
    EXPECT_TRUE(std::isnan(out.x));
    EXPECT_EQ(out.y, 1.0f);
}

TEST(Math3d, CrossAllowsOutputToBeEitherInput) {
    const Vec3 x{1, 0, 0};
    const Vec3 y{0, 1, 0};
    Vec3 out{};
    crossVec3(&out, &x, &y);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 1.0f);

    Vec3 a = x;
    crossVec3(&a, &a, &y);
    EXPECT_EQ(a.z, 1.0f);
    EXPECT_EQ(a.x, 0.0f);

    Vec3 b = y;
    crossVec3(&b, &x, &b);
    EXPECT_EQ(b.z, 1.0f);
    EXPECT_EQ(b.y, 0.0f);
}

TEST(Math3d, CameraViewAndProjectionMapTheBoxPlaneOntoTheScreen) {
    const Vec3 eye{320, 240, -940};
    const Vec3 at{320, 240, 0};
    const Vec3 up{0, 1, 0};
    Matrix4 view;
    EXPECT_EQ(lookAtMatrix(&view, &eye, &at, &up), &view);
    expectRow(view, 0, 1, 0, 0, 0);
    expectRow(view, 1, 0, 1, 0, 0);
    expectRow(view, 2, 0, 0, 1, 0);
    expectRow(view, 3, -320, -240, 940, 1);

    Matrix4 projection;
    perspectiveMatrix(&projection, 0.5f, 1.3333334f, -1.0f, 1.0f);
    EXPECT_NEAR(projection._11, 2.9372380f, 1e-6);
    EXPECT_NEAR(projection._22, 3.9163175f, 1e-6);
    EXPECT_EQ(projection._33, 0.5f);
    EXPECT_EQ(projection._34, 1.0f);
    EXPECT_EQ(projection._43, 0.5f);
    const float* p = &projection._11;
    int zeros = 0;
    for (int i = 0; i < 16; ++i) zeros += p[i] == 0.0f;
    EXPECT_EQ(zeros, 11);

    const Matrix4 camera = multiply(view, projection);
    const Vec3 bottomLeft = project({0, 0, 0}, camera);
    const Vec3 topRight = project({640, 480, 0}, camera);
    EXPECT_NEAR(bottomLeft.x, -0.99991f, 2e-5);
    EXPECT_NEAR(bottomLeft.y, -0.99991f, 2e-5);
    EXPECT_NEAR(topRight.x, 0.99991f, 2e-5);
    EXPECT_NEAR(topRight.y, 0.99991f, 2e-5);
    // Depth 0.5 + 0.5 / d: the box plane lies inside the depth range.
    EXPECT_NEAR(bottomLeft.z, 0.5 + 0.5 / 940, 1e-6);
}

TEST(Math3d, LookAtWithUpAlongTheViewDirectionGivesZeroAxesWithoutError) {
    const Vec3 eye{0, 0, 0};
    const Vec3 at{0, 0, 5};
    const Vec3 up{0, 0, 1};
    Matrix4 view;
    lookAtMatrix(&view, &eye, &at, &up);
    for (const float value :
         {view._11, view._12, view._21, view._22, view._31, view._32, view._41, view._42}) {
        EXPECT_EQ(value, 0.0f);
    }
    EXPECT_EQ(view._33, 1.0f);
}

TEST(Math3d, FillMaterialWritesOnlyColoursAndFillLightClearsTheRest) {
    Material material{};
    material.Diffuse.a = 0.25f;
    material.Power = 7.0f;
    material.Specular.g = 0.5f;
    fillMaterial(&material, 1, 0, 0, 0.8f, 0.8f, 1.0f);
    EXPECT_EQ(material.Diffuse.r, 1.0f);
    EXPECT_EQ(material.Ambient.r, 1.0f);
    EXPECT_EQ(material.Diffuse.g, 0.0f);
    EXPECT_EQ(material.Emissive.b, 1.0f);
    EXPECT_EQ(material.Emissive.g, 0.8f);
    EXPECT_EQ(material.Diffuse.a, 0.25f);
    EXPECT_EQ(material.Power, 7.0f);
    EXPECT_EQ(material.Specular.g, 0.5f);

    D3DLIGHT8 light;
    std::memset(&light, 0x55, sizeof light);
    fillLight(&light, D3DLIGHT_DIRECTIONAL, 0, 0, -1);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction.z, -1.0f);
    EXPECT_EQ(light.Position.z, -1.0f);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Diffuse.b, 1.0f);
    EXPECT_EQ(light.Diffuse.a, 0.0f);
    EXPECT_EQ(light.Range, 1000.0f);
    for (const float value : {light.Specular.r, light.Ambient.g, light.Falloff, light.Attenuation0,
                              light.Attenuation2, light.Theta, light.Phi, light.Direction.x}) {
        EXPECT_EQ(value, 0.0f);
    }

    fillLight(&light, D3DLIGHT_POINT, 0, 0, 0);
    EXPECT_EQ(light.Direction.x, 0.0f);
    EXPECT_EQ(light.Direction.z, 0.0f);

    fillLight(&light, D3DLIGHT_DIRECTIONAL, 0, 2, 0);
    EXPECT_EQ(light.Direction.y, 1.0f);
    EXPECT_EQ(light.Position.y, 2.0f);
}

} // namespace
