// PNG files of back buffers: what is written reads back the same, a cut-out keeps its
// place, and bad paths or damaged files give a reason instead of a crash.
#include "platform/softgpu/png_writer.h"

#include <gtest/gtest.h>

#include <fstream>

namespace softgpu {
namespace {

const std::string outputFolder = SOFTGPU_TEST_OUTPUT;

TEST(PngTest, RefusesWhatItCannotDoWithAReason) {
    std::vector<std::uint32_t> pixels(16 * 16, 0xFF808080u);
    const FrameView frame{pixels.data(), 16, 16, 16 * 4};
    std::string error;
    EXPECT_FALSE(writePng(outputFolder + "/cut.png", frame, 8, 8, 9, 4, &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(writePng(outputFolder + "/no/such/folder/x.png", frame, &error));
    EXPECT_FALSE(error.empty());

    // A file that starts like a PNG and then stops.
    const std::string damaged = outputFolder + "/damaged.png";
    ASSERT_TRUE(writePng(damaged, frame, &error)) << error;
    std::string bytes;
    {
        std::ifstream in(damaged, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(damaged, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2);
    std::vector<std::uint32_t> read;
    int width = 0, height = 0;
    error.clear();
    EXPECT_FALSE(readPng(damaged, read, width, height, &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(readPng(outputFolder + "/missing.png", read, width, height, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace softgpu
