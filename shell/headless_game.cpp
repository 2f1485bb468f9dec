#include "shell/headless_game.h"

#include "audio/sound_device.h"
#include "platform/sound_null.h"

#include <string>
#include <utility>

namespace shell {

HeadlessGame::HeadlessGame(std::uint32_t startTick, std::filesystem::path bestScoreFile)
    : display(startTick), world(display.ticks(), display.pointer(), std::move(bestScoreFile)),
      previousOpener(audio::setSoundDeviceOpener(platform::openNullSoundDevice)) {}

HeadlessGame::~HeadlessGame() {
    audio::setSoundDeviceOpener(previousOpener);
}

bool HeadlessGame::start() {
    std::string error;
    gameWindow = openGameWindow(world, display, error);
    return gameWindow && !gameWindow->destroyed();
}

bool HeadlessGame::frame(std::uint32_t ms) {
    if (over || !gameWindow) return false;
    display.clock.advance(ms);
    for (;;) {
        switch (runTurn(world, *gameWindow)) {
        case Turn::message:
            continue;
        case Turn::frame:
            return true;
        case Turn::over:
            over = true;
            return false;
        }
    }
}

void HeadlessGame::aimAtBall() {
    const game::Matrix4& ball = world.pose.ballPlacement;
    pointAt(static_cast<int>(ball._41), static_cast<int>(472.0f - ball._42) + 10);
}

} // namespace shell
