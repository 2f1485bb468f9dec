// The picture on the software device where the golden frames cannot show it: the device's
// failures, textures, the scene's sounds and frames without buffers, and numbers wider than the
// game's.
#include "audio/sound_bank.h"
#include "graphics/score_display.h"
#include "platform/message_box.h"
#include "platform/softgpu/adapter_options.h"
#include "shell/headless_program.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace game;
using namespace graphics;
using namespace softgpu;

namespace {

using Shown = std::vector<std::pair<std::string, std::string>>; // caption, text

// Collects the message boxes shown while it lives.
struct MessageBoxes {
    MessageBoxes() {
        previous = platform::setMessageBoxPresenter(
            [this](std::string_view caption, std::string_view text) {
                shown.emplace_back(caption, text);
            });
    }
    ~MessageBoxes() { platform::setMessageBoxPresenter(previous); }
    Shown shown;
    platform::MessageBoxPresenter previous;
};

TEST(Renderer, FailuresAreToldUnderLoadingErrorAndReturnZero) {
    AdapterOptions failing[3];
    failing[0].direct3dUnavailable = true;
    failing[1].deviceCreationFails = true;
    failing[2].displayModeFails = true;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ScopedAdapterOptions scoped(failing[i]);
        MessageBoxes boxes;
        Renderer renderer;
        EXPECT_EQ(initDevice(renderer, nullptr, 1), 0);
        const std::string told =
            i == 0 ? "Problem initiating DirectX 8. Application will now terminate."
                   : "Problem creating DirectX 8 device. Application will now terminate.";
        EXPECT_EQ(boxes.shown, Shown({{"Loading Error", told}}));
        EXPECT_EQ(renderer.device, nullptr);
        EXPECT_EQ(renderer.direct3d != nullptr, i != 0) << "the interface is kept until exit";
    }
}

TEST(Textures, AreSquareWithThePictureCentredOnTransparentBlackInTheModeAskedFor) {
    Renderer renderer;
    ASSERT_EQ(initDevice(renderer, nullptr, 1), 1);
    const auto bytes = testing_bitmaps::solidBitmap(32, 24, 0x090909);
    BitmapImage image;
    ASSERT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 1);
    TextureHolder holder;
    makeTextureFromImage(holder, renderer.device, image, Grey, 0, 0, 0);
    const IDirect3DTexture8* texture = holder.get();
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->width(), 32u);
    // Rows 4 to 27 hold the picture; 9 x 0.3 + 9 x 0.59 + 9 x 0.11 gives a grey of 2 + 5 + 0.
    for (std::uint32_t row = 0; row < 32; ++row) {
        const std::uint32_t expected = row >= 4 && row <= 27 ? 0xFF070707u : 0;
        EXPECT_EQ(texture->texels()[row * 32], expected) << row;
        EXPECT_EQ(texture->texels()[row * 32 + 31], expected) << row;
    }
}

TEST(Scene, SoundsThatDoNotLoadAreToldOnceAndTheGameGoesOn) {
    const Shown notAll{
        {"Loading problems.", "Not all sounds were loaded but application will continue."}};
    for (const std::int32_t soundRoom : {audio::SoundBank::maxSounds, 0}) {
        SCOPED_TRACE(soundRoom);
        MessageBoxes boxes;
        shell::HeadlessProgram t;
        t.program.sounds.capacity = soundRoom; // no room: every sound fails to load
        EXPECT_TRUE(t.start());
        EXPECT_EQ(boxes.shown, soundRoom > 0 ? Shown{} : notAll);
        EXPECT_EQ(t.program.state.kickSound, soundRoom > 0 ? 0 : soundNotLoaded);
        EXPECT_NE(t.program.digits.digitTextures[9].get(), nullptr);
    }
}

TEST(Scene, FramesRunWhenNoBufferOrTextureCouldBeMadeOrFilled) {
    for (const bool lockFails : {false, true}) {
        SCOPED_TRACE(lockFails ? "locks fail" : "creations fail");
        AdapterOptions options;
        options.vertexBufferCreationFails = options.textureCreationFails = !lockFails;
        options.lockFails = lockFails; // buffers and textures exist, but stay as created
        ScopedAdapterOptions scoped(options);
        MessageBoxes boxes;
        shell::HeadlessProgram t;
        EXPECT_TRUE(t.start()) << "failures to make or fill them are not reported";
        EXPECT_TRUE(boxes.shown.empty());
        for (int i = 0; i < 3; ++i) t.frame();
        EXPECT_EQ(t.pictures().presentCount(), 4) << "the first paint and three frames";
        EXPECT_EQ(t.pictures().lastFrame().at(320, 240) & 0xFFFFFF, 0u) << "nothing to draw";
    }
}

TEST(ScoreDisplay, NumbersAreLeftAlignedAndDrawnUnitsFirst) {
    std::array<DigitDraw, 10> digits;
    ASSERT_EQ(layOutNumber(1234, 488.5f, digits), 4);
    const DigitDraw expected[] = {{4, 536.5f}, {3, 520.5f}, {2, 504.5f}, {1, 488.5f}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(digits[i].digit, expected[i].digit) << i;
        EXPECT_EQ(digits[i].x, expected[i].x) << i;
    }
    EXPECT_EQ(layOutNumber(2147483647, 0, digits), 10) << "the widest number takes every place";
}

} // namespace
