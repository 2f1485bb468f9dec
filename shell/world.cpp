#include "shell/world.h"

#include <utility>

namespace shell {

World::World(platform::TickSource& ticks, platform::PointerSource& pointer,
             std::filesystem::path bestScoreFile)
    : clock(ticks),
      scores(std::move(bestScoreFile)), game{state, pose, clock, scores, sounds, pointer},
      stage{renderer, quadBuffer, ballMesh, scene, digits, pose, state, clock, scores, sounds} {}

} // namespace shell
