#include "shell/world.h"

#include <utility>

World::World(platform::TickSource& ticks, platform::PointerSource& pointer,
             std::filesystem::path bestScoreFile)
    : clock(ticks),
      scores(std::move(bestScoreFile)), game{state, pose, clock, scores, sounds, pointer},
      stage{renderer, quadBuffer, ballMesh, scene, digits, pose, state, clock, scores, sounds} {}

int initDevice(World& world, softgpu::PresentSink* window, int windowed) {
    return initDevice(world.renderer, window, windowed);
}

int loadScene(World& world) {
    return loadScene(world.stage);
}

void drawFrame(World& world) {
    drawFrame(world.stage);
}
