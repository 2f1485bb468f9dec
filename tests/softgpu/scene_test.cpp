// The benchmark's scene drawn once: its picture goes to the test output folder, and the
// frame is checked for what it must show.
#include "platform/softgpu/png_writer.h"
#include "tests/softgpu/game_like_scene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace softgpu::testing {
namespace {

TEST(GameLikeSceneTest, FillsTheScreenAndDrawsTheBallRound) {
    TestDevice device;
    GameLikeScene scene(device);
    scene.drawFrame(0);
    const FrameView frame = device.sink.lastFrame();
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    std::string error;
    EXPECT_TRUE(writePng(SOFTGPU_TEST_OUTPUT "/game_like_scene.png", frame, &error)) << error;

    // Inside the window's rectangle the walls cover every pixel and every transparent texel
    // of the pictures is dropped: no black of the clear is left.
    int black = 0;
    for (int y = 40; y < 440; ++y) {
        for (int x = 100; x < 540; ++x) black += (frame.at(x, y) & 0xFFFFFF) == 0;
    }
    EXPECT_EQ(black, 0);
}

} // namespace
} // namespace softgpu::testing
