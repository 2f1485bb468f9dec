// PNG files of back buffers: what is written reads back the same, a cut-out keeps its
// place, and bad paths or damaged files give a reason instead of a crash.
#include "platform/softgpu/png_writer.h"

#include <gtest/gtest.h>

#include <fstream>

namespace softgpu {
namespace {

const std::string outputFolder = SOFTGPU_TEST_OUTPUT;

TEST(PngTest, WritesAndReadsBackAWholeFrameAndACutOut) {
    std::vector<std::uint32_t> pixels(64 * 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            pixels[y * 64 + x] = 0x12000000u | static_cast<std::uint32_t>(x * 4) << 16 |
                                 static_cast<std::uint32_t>(y * 5) << 8 |
                                 static_cast<std::uint32_t>((x ^ y) & 0xFF);
        }
    }
    const FrameView frame{pixels.data(), 64, 48, 64 * 4};
    std::string error;
    ASSERT_TRUE(writePng(outputFolder + "/whole.png", frame, &error)) << error;
    ASSERT_TRUE(writePng(outputFolder + "/cut.png", frame, 10, 20, 30, 8, &error)) << error;

    std::vector<std::uint32_t> read;
    int width = 0, height = 0;
    ASSERT_TRUE(readPng(outputFolder + "/whole.png", read, width, height, &error)) << error;
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 48);
    for (std::size_t i = 0; i < read.size(); ++i) {
        // The unused top byte reads back as 0xFF.
        ASSERT_EQ(read[i], pixels[i] | 0xFF000000u) << "pixel " << i;
    }
    ASSERT_TRUE(readPng(outputFolder + "/cut.png", read, width, height, &error)) << error;
    ASSERT_EQ(width, 30);
    ASSERT_EQ(height, 8);
    EXPECT_EQ(read[0], frame.at(10, 20) | 0xFF000000u);
    EXPECT_EQ(read[8 * 30 - 1], frame.at(39, 27) | 0xFF000000u);
}

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
