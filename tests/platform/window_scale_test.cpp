// The window scale a screen calls for, and the picture enlarged with each pixel a square block.
#include "platform/sdl/window_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(WindowScale, FromTheScreensResolutionWithinTheScreen) {
    struct Case {
        float dpi;
        int screenWidth, screenHeight, scale;
    };
    const Case cases[] = {
        {143.0f, 3840, 2160, 1},
        {144.0f, 3840, 2160, 2},
        {288.0f, 3840, 2160, 3},
        {2000.0f, 7680, 4320, 8},
        {0.0f, 3840, 2160, 1},
        {__builtin_nanf(""), 3840, 2160, 1},
        // A window that would not fit is made smaller, but never below 1.
        {192.0f, 879, 1200, 1},
        {192.0f, 880, 800, 2},
        {192.0f, 880, 799, 1},
        {192.0f, 300, 200, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::scaleForScreen(c.dpi, c.screenWidth, c.screenHeight, 440, 400), c.scale)
            << c.dpi << " dpi on " << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(WindowScale, EachPixelBecomesASquareBlockAndPaddingStaysUntouched) {
    // A 3 x 2 picture in a wider buffer, enlarged into a target with padding after each row.
    const std::uint32_t source[2][4] = {{1, 2, 3, 0xDEAD}, {4, 5, 6, 0xDEAD}};
    for (int scale : {1, 2, 3, 5}) {
        SCOPED_TRACE(scale);
        const int width = 3 * scale;
        const int pitchPixels = width + 2;
        std::vector<std::uint32_t> target(std::size_t(pitchPixels) * 2 * scale, 0xFFFFFFFFu);
        platform::enlargePixels(reinterpret_cast<const std::uint8_t*>(source), 16, 3, 2, scale,
                                reinterpret_cast<std::uint8_t*>(target.data()), pitchPixels * 4);
        for (int y = 0; y < 2 * scale; ++y) {
            for (int x = 0; x < pitchPixels; ++x) {
                const std::uint32_t expected =
                    x < width ? source[y / scale][x / scale] : 0xFFFFFFFFu;
                ASSERT_EQ(target[std::size_t(y) * pitchPixels + x], expected) << x << ", " << y;
            }
        }
    }
}

} // namespace
