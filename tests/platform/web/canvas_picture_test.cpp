// The canvas's copy of the shown picture: the right byte order, and a changed rectangle that
// holds every changed pixel, so the canvas never keeps a stale one.
#include "platform/web/canvas_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform::web {
namespace {

// A device picture of 16 x 8 pixels, its rows a little longer than the picture.
struct Picture {
    static constexpr int width = 16, height = 8, pitch = 20;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(pitch * height, 0x00405060u);
    softgpu::FrameView view() const { return {pixels.data(), width, height, pitch * 4}; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * pitch + x]; }
};

bool contains(const FrameRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(CanvasPicture, PutsTheCanvasByteOrderAndReportsTheRectangleThatChanged) {
    Picture device;
    device.at(2, 1) = 0x00112233u;      // within the first four pixels of the shown rows
    device.at(12, 5) = 0x00ABCDEFu;     // past the last whole four: the row's tail
    const FrameRect shown{2, 1, 13, 7}; // 11 x 6: rows of two fours and a tail of three
    CanvasPicture canvas;

    const FrameRect first = canvas.take(device.view(), shown);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.right, 11);
    EXPECT_EQ(first.bottom, 6) << "the first picture is all new";
    // B, G, R, X in the device; R, G, B, A with A opaque on the canvas.
    EXPECT_EQ(canvas.pixels()[0], 0xFF332211u);
    EXPECT_EQ(canvas.pixels()[4 * 11 + 10], 0xFFEFCDABu);
    EXPECT_EQ(canvas.pixels()[3 * 11 + 5], 0xFF605040u);

    EXPECT_EQ(canvas.take(device.view(), shown).width(), 0) << "nothing changed";

    // Changes outside the shown part are not the canvas's.
    device.at(0, 0) = 1;
    device.at(15, 7) = 1;
    device.at(13, 3) = 1;
    EXPECT_EQ(canvas.take(device.view(), shown).width(), 0);

    // One pixel in a group of four, one in the tail, on different rows.
    device.at(7, 2) = 0x00FF0000u;
    device.at(11, 4) = 0x000000FFu;
    const FrameRect changed = canvas.take(device.view(), shown);
    EXPECT_TRUE(contains(changed, 5, 1));
    EXPECT_TRUE(contains(changed, 9, 3));
    EXPECT_EQ(changed.top, 1);
    EXPECT_EQ(changed.bottom, 4) << "rows are exact";
    EXPECT_LE(changed.width() * changed.height(), 8 * 3) << "a few pixels put, not the picture";
    EXPECT_EQ(canvas.pixels()[1 * 11 + 5], 0xFF0000FFu);
    EXPECT_EQ(canvas.pixels()[3 * 11 + 9], 0xFFFF0000u);

    // The same picture shown at another size is compared with nothing.
    const FrameRect wider = canvas.take(device.view(), {0, 0, 16, 8});
    EXPECT_EQ(wider.width() * wider.height(), 16 * 8);
    EXPECT_EQ(canvas.pixels()[1 * 16 + 2], 0xFF332211u);
}

} // namespace
} // namespace platform::web
