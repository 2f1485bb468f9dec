#include "shell/program.h"

namespace shell {

Program::Program(platform::TickSource& ticks, platform::PointerSource& pointer,
                 platform::ScoreStore* bestScoreStore)
    : clock(ticks), scores(bestScoreStore), core{state, pose, clock, scores, sounds, pointer},
      stage{renderer, quadBuffer, ballMesh, scene, digits, pose, state, clock, scores, sounds} {}

} // namespace shell
