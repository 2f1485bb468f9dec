#include "shell/program.h"

#include <utility>

namespace shell {

Program::Program(platform::TickSource& ticks, platform::PointerSource& pointer,
                 std::filesystem::path bestScoreFile)
    : clock(ticks),
      scores(std::move(bestScoreFile)), core{state, pose, clock, scores, sounds, pointer},
      stage{renderer, quadBuffer, ballMesh, scene, digits, pose, state, clock, scores, sounds} {}

} // namespace shell
