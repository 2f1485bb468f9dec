#include "shell/headless_program.h"

#include "audio/sound_setup.h"
#include "platform/null/null_sound.h"

#include <string>

namespace shell {

HeadlessProgram::HeadlessProgram(std::uint32_t startTick, platform::ScoreStore* bestScoreStore)
    : display(startTick), program(display.ticks(), display.pointer(), bestScoreStore),
      previousOpener(audio::setSoundDeviceOpener(platform::openNullSoundDevice)) {}

HeadlessProgram::~HeadlessProgram() {
    audio::setSoundDeviceOpener(previousOpener);
}

bool HeadlessProgram::start() {
    std::string error;
    gameWindow = openGameWindow(program, display, error);
    return gameWindow && !gameWindow->destroyed();
}

bool HeadlessProgram::frame(std::uint32_t ms) {
    if (over || !gameWindow) return false;
    display.clock.advance(ms);
    for (;;) {
        switch (runTurn(program, *gameWindow)) {
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

void HeadlessProgram::aimAtBall() {
    const game::Matrix4& ball = program.pose.ballPlacement;
    pointAt(static_cast<int>(ball._41), static_cast<int>(472.0f - ball._42) + 10);
}

} // namespace shell
