#include "graphics/score_display.h"

namespace graphics {

using namespace softgpu;

namespace {

constexpr float digitWidth = 16.0f;

} // namespace

int layOutNumber(std::int32_t value, float firstX, std::array<DigitDraw, 10>& out) {
    if (value == 0) {
        out[0] = {0, firstX};
        return 1;
    }
    int count = 0;
    for (std::int32_t n = value; n != 0; n /= 10) ++count;
    // The units digit first, at the far right; each next one 16 units to its left.
    float distance = digitWidth * static_cast<float>(count);
    int drawn = 0;
    for (std::int32_t n = value; n != 0 && drawn < 10; n /= 10) {
        out[static_cast<std::size_t>(drawn++)] = {n % 10, firstX - digitWidth + distance};
        distance -= digitWidth;
    }
    return drawn;
}

void drawNumber(Stage& stage, std::int32_t value, float firstX, float y) {
    std::array<DigitDraw, 10> digits;
    const int count = layOutNumber(value, firstX, digits);
    Matrix4& placement = stage.digits.digitPlacement;
    for (int i = 0; i < count; ++i) {
        const DigitDraw& draw = digits[static_cast<std::size_t>(i)];
        placement._41 = draw.x;
        placement._42 = y;
        // A negative value never reaches here from the game; its digits would be negative.
        const int digit = draw.digit < 0 ? -draw.digit : draw.digit;
        drawSprite(stage.renderer.device,
                   stage.digits.digitTextures[static_cast<std::size_t>(digit)].get(), placement);
    }
}

void drawScores(Stage& stage) {
    drawNumber(stage, stage.scores.score, 488.5f, 398.5f);
    drawNumber(stage, stage.scores.bestScore, 172.5f, 398.5f);
    if (stage.state.showFps != 0) drawNumber(stage, stage.clock.framesPerSecond, 126.5f, 62.5f);

    Scene& scene = stage.scene;
    IDirect3DDevice8* device = stage.renderer.device;
    scene.labelPlacement._41 = 144.5f;
    scene.labelPlacement._42 = 400.5f;
    drawSprite(device, scene.bestLabelTexture.get(), scene.labelPlacement);
    const float labelX[3] = {410.5f, 442.5f, 474.5f};
    for (std::size_t i = 0; i < 3; ++i) {
        scene.labelPlacement._41 = labelX[i];
        scene.labelPlacement._42 = 398.5f;
        drawSprite(device, scene.scoreLabelTextures[i].get(), scene.labelPlacement);
    }
}

} // namespace graphics
