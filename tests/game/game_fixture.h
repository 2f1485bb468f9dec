// A whole game on a table: manual clock and pointer, a best-score record kept nowhere and a
// sound bank whose buffers log each sound that plays.
#pragma once

#include "game/game.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class LoggingBuffer final : public platform::SoundBuffer {
public:
    LoggingBuffer(std::string name, std::vector<std::string>& log)
        : name(std::move(name)), log(log) {}
    bool stop() override { return true; }
    bool rewind() override { return true; }
    bool play() override {
        log.push_back(name);
        return true;
    }

private:
    std::string name;
    std::vector<std::string>& log;
};

struct GameTable {
    platform::ManualTickSource ticks{5000};
    platform::ManualPointerSource pointer;
    GameState state;
    ScenePose pose;
    FrameClock clock{ticks};
    ScoreRecord scores{std::filesystem::path()};
    SoundBank sounds;
    std::vector<std::string> played;
    Game game{state, pose, clock, scores, sounds, pointer};

    GameTable() {
        // The ball as scene set-up leaves it: round, glowing white, in the middle of the box.
        pose.ballPlacement = Matrix4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 320, 240, 64, 1};
        pose.ballMaterial.Emissive = {1, 1, 1, 1};
        const char* names[] = {"kick", "bounce", "hover"};
        for (int i = 0; i < 3; ++i) {
            sounds.buffers[static_cast<std::size_t>(i)] =
                std::make_unique<LoggingBuffer>(names[i], played);
        }
        sounds.lastIndex = 2;
        state.kickSound = 0;
        state.bounceSound = 1;
        state.hoverSound = 2;
    }

    void frame(std::uint32_t ms) {
        ticks.advance(ms);
        updateFrame(game);
    }
    // A frame of exactly one step unit, for exact arithmetic: 16 ms at 1/16 unit per ms.
    void unitFrame() {
        state.timeScale = 0.0625f;
        frame(16);
    }
    // A frame in which nothing moves, only the rules that work per frame.
    void stillFrame() { frame(0); }

    void placeBall(float x, float y) {
        pose.ballPlacement._41 = x;
        pose.ballPlacement._42 = y;
    }
    float ballX() const { return pose.ballPlacement._41; }
    float ballY() const { return pose.ballPlacement._42; }
    long plays(const std::string& name) const {
        return std::count(played.begin(), played.end(), name);
    }
};
