#include "tools/render/run.h"

#include "platform/softgpu/png_writer.h"
#include "shell/headless_program.h"
#include "shell/window_proc.h"

#include <cstdio>
#include <ostream>
#include <string>

using namespace game;

namespace render {

namespace {

void writeTrace(std::ostream& out, int frame, shell::HeadlessProgram& headless) {
    const shell::Program& program = headless.program;
    const GameState& s = program.state;
    char line[512];
    std::snprintf(line, sizeof line, "%d %u %.9g %.9g %.9g %.9g %.9g %d %d %.9g %d %d %d\n", frame,
                  headless.display.clock.now, static_cast<double>(s.frameStep),
                  static_cast<double>(program.pose.ballPlacement._41),
                  static_cast<double>(program.pose.ballPlacement._42),
                  static_cast<double>(s.velocityX), static_cast<double>(s.velocityY),
                  program.scores.score, program.scores.bestScore, static_cast<double>(s.timeScale),
                  s.pointerZone, s.landed, s.pointerOverBall);
    out << line;
}

bool writeShot(const ScriptEvent& shot, const softgpu::MemorySink& pictures,
               const RunOptions& options) {
    std::filesystem::path file = shot.file;
    if (file.is_relative() && !options.shotDirectory.empty()) file = options.shotDirectory / file;
    const softgpu::FrameView frame = pictures.lastFrame();
    const platform::FrameRect& shown = shell::windowRegion;
    std::string error;
    const bool written = shot.full ? softgpu::writePng(file.string(), frame, &error)
                                   : softgpu::writePng(file.string(), frame, shown.left, shown.top,
                                                       shown.width(), shown.height(), &error);
    if (!written) {
        std::fprintf(stderr, "hopla-render: frame %d: cannot write %s: %s\n", shot.frame,
                     file.c_str(), error.c_str());
    }
    return written;
}

// Hands one of the frame's commands to the game before the frame, as the desktop queues what
// the player does between two frames.
void handleEvent(const ScriptEvent& event, shell::HeadlessProgram& headless, std::uint32_t& step) {
    using Kind = ScriptEvent::Kind;
    switch (event.kind) {
    case Kind::Step:
        step = static_cast<std::uint32_t>(event.a);
        break;
    case Kind::Pointer:
        headless.pointAt(static_cast<int>(event.a), static_cast<int>(event.b));
        break;
    case Kind::Press:
        headless.press();
        break;
    case Kind::Release:
        headless.release();
        break;
    case Kind::RightRelease:
        headless.rightRelease();
        break;
    case Kind::RightPress: // the game has no use for it: the desktop never passes it on
    case Kind::Shot:
        break;
    }
}

} // namespace

int runScript(const Script& script, const RunOptions& options) {
    // No best-score store: a run starts from a best score of 0 and never touches the player's.
    shell::HeadlessProgram headless(script.clockStart);
    if (!headless.start()) {
        std::fprintf(stderr, "hopla-render: the game did not start\n");
        return 1;
    }
    // The device draws only what the game's window shows, as in the game, unless a shot shows
    // the whole back buffer: then it draws all of it in every frame, as a window that showed
    // it would.
    for (const ScriptEvent& event : script.events) {
        if (event.kind == ScriptEvent::Kind::Shot && event.full)
            headless.window().showsWholeFrame = true;
    }

    int result = 0;
    std::uint32_t step = script.step;
    const int frames = frameCount(script);
    for (int frame = 0; frame < frames; ++frame) {
        for (const ScriptEvent& event : script.events) {
            if (event.frame == frame) handleEvent(event, headless, step);
        }
        if (!headless.frame(step)) {
            std::fprintf(stderr, "hopla-render: the game ended before frame %d\n", frame);
            for (const ScriptEvent& shot : script.events) {
                if (shot.kind == ScriptEvent::Kind::Shot && shot.frame >= frame) {
                    std::fprintf(stderr, "hopla-render: %s (frame %d) was not written\n",
                                 shot.file.c_str(), shot.frame);
                    result = 1;
                }
            }
            return result;
        }
        for (const ScriptEvent& event : script.events) {
            if (event.frame == frame && event.kind == ScriptEvent::Kind::Shot &&
                !writeShot(event, headless.pictures(), options)) {
                result = 1;
            }
        }
        if (options.trace) writeTrace(*options.trace, frame, headless);
    }
    return result;
}

} // namespace render
