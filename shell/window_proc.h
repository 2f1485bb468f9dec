// The game window's procedure: how each message the window hears reaches the game. Buttons are
// judged on the zones the last frame found, not on where the message says they happened.
#pragma once

#include "platform/window.h"

namespace shell {

struct Program;

// The rectangle of the 640 x 480 frame that the window shows.
constexpr platform::FrameRect windowRegion{100, 40, 540, 440};

class GameWindowProc final : public platform::WindowProcedure {
public:
    explicit GameWindowProc(Program& program) : program(program) {}

    platform::LRESULT windowProc(platform::Window& window, platform::UINT message,
                                 platform::WPARAM wParam, platform::LPARAM lParam) override;

private:
    Program& program;
};

} // namespace shell
