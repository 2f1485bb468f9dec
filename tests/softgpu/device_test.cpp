// The device's reference counts, which keep what it draws with alive until it lets go; and PNG
// files of its pictures, which refuse bad paths and damaged files with a reason instead of a
// crash.
#include "platform/softgpu/png_writer.h"
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace softgpu::testing {
namespace {

TEST(DeviceResources, BoundResourcesStayAliveUntilUnbound) {
    TestDevice device;
    IDirect3DTexture8* texture = nullptr;
    device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    device->SetTexture(0, texture);
    // At exit the scene lets go of its pictures while the last one drawn is still bound.
    EXPECT_EQ(texture->Release(), 1u); // the device still holds it
    // Drawing with it still works, and unbinding lets it go (the sanitizer build would
    // report a leak or a use after free otherwise).
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device->SetTexture(0, nullptr);
}

const std::string outputFolder = SOFTGPU_TEST_OUTPUT;

TEST(Png, RefusesWhatItCannotDoWithAReason) {
    std::vector<std::uint32_t> pixels(16 * 16, 0xFF808080u);
    const FrameView frame{pixels.data(), 16, 16, 16 * 4};
    std::string error;
    // Whether a call failed and said why; the reason is cleared for the next.
    auto refused = [&error](bool done) {
        const bool told = !done && !error.empty();
        error.clear();
        return told;
    };
    EXPECT_TRUE(refused(writePng(outputFolder + "/cut.png", frame, 8, 8, 9, 4, &error)));
    EXPECT_TRUE(refused(writePng(outputFolder + "/no/such/folder/x.png", frame, &error)));
    // A file that starts like a PNG and then stops, and no file at all.
    const std::string damaged = outputFolder + "/damaged.png";
    ASSERT_TRUE(writePng(damaged, frame, &error)) << error;
    std::filesystem::resize_file(damaged, std::filesystem::file_size(damaged) / 2);
    std::vector<std::uint32_t> read;
    int width = 0, height = 0;
    EXPECT_TRUE(refused(readPng(damaged, read, width, height, &error)));
    EXPECT_TRUE(refused(readPng(outputFolder + "/missing.png", read, width, height, &error)));
}

} // namespace
} // namespace softgpu::testing
