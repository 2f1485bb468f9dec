// The canvas's copy of the shown picture: the right byte order, and a changed rectangle that
// holds every changed pixel, so the canvas never keeps a stale one.
#include "platform/web/canvas_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform::web {
namespace {

// A device picture of 40 x 8 pixels, its rows a little longer than the picture.
struct Picture {
    static constexpr int width = 40, height = 8, pitch = 44;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(pitch * height, 0x00405060u);
    softgpu::FrameView view() const { return {pixels.data(), width, height, pitch * 4}; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * pitch + x]; }
};

bool contains(const FrameRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(CanvasPicture, PutsTheCanvasByteOrderAndReportsTheRectangleThatChanged) {
    Picture device;
    device.at(2, 1) = 0x00112233u;      // the first pixel shown
    device.at(36, 5) = 0x00ABCDEFu;     // in the tail of a row, past the groups of sixteen
    const FrameRect shown{2, 1, 37, 7}; // 35 x 6: rows of two sixteens and a tail of three
    CanvasPicture canvas;

    const FrameRect first = canvas.take(device.view(), shown);
    EXPECT_TRUE(first.left == 0 && first.top == 0 && first.right == 35 && first.bottom == 6)
        << "the first picture is all new";
    // B, G, R, X in the device; R, G, B, A with A opaque on the canvas.
    EXPECT_EQ(canvas.pixels()[0], 0xFF332211u);
    EXPECT_EQ(canvas.pixels()[4 * 35 + 34], 0xFFEFCDABu);
    EXPECT_EQ(canvas.pixels()[3 * 35 + 5], 0xFF605040u);

    device.at(37, 3) = 1; // outside the shown part
    EXPECT_EQ(canvas.take(device.view(), shown).width(), 0) << "nothing shown changed";

    // The last pixel of a group of sixteen, then one in a row's tail with one on a row above.
    device.at(32, 2) = 0x00FF0000u;
    const FrameRect inGroup = canvas.take(device.view(), shown);
    EXPECT_TRUE(contains(inGroup, 30, 1));
    EXPECT_LE(inGroup.width() * inGroup.height(), 16) << "a few pixels put, not the picture";
    EXPECT_EQ(canvas.pixels()[1 * 35 + 30], 0xFF0000FFu);
    device.at(35, 4) = 0x000000FFu;
    device.at(3, 2) = 0x00000000u;
    const FrameRect rows = canvas.take(device.view(), shown);
    EXPECT_TRUE(contains(rows, 33, 3));
    EXPECT_TRUE(contains(rows, 1, 1));
    EXPECT_EQ(rows.top, 1);
    EXPECT_EQ(rows.bottom, 4) << "rows are exact";
    EXPECT_EQ(canvas.pixels()[3 * 35 + 33], 0xFFFF0000u);
    EXPECT_EQ(canvas.pixels()[1 * 35 + 1], 0xFF000000u);

    // The same picture shown at another size is compared with nothing.
    const FrameRect wider = canvas.take(device.view(), {0, 0, 40, 8});
    EXPECT_EQ(wider.width() * wider.height(), 40 * 8);
    EXPECT_EQ(canvas.pixels()[1 * 40 + 2], 0xFF332211u);
}

} // namespace
} // namespace platform::web
