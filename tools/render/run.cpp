#include "tools/render/run.h"

#include "audio/sound_device.h"
#include "game/game.h"
#include "platform/softgpu/png_writer.h"
#include "platform/sound_sdl.h"
#include "shell/world.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

namespace render {

namespace {

// The part of the back buffer the game's window shows.
constexpr int visibleLeft = 100;
constexpr int visibleTop = 40;
constexpr int visibleWidth = 440;
constexpr int visibleHeight = 400;

// The device draws only what the game's window shows, as in the game, unless a shot shows the
// whole back buffer: then it draws all of it in every frame, as a window that showed it would.
softgpu::RECT shownPart(const Script& script) {
    for (const ScriptEvent& event : script.events) {
        if (event.kind == ScriptEvent::Kind::Shot && event.full) return {0, 0, 640, 480};
    }
    return {visibleLeft, visibleTop, visibleLeft + visibleWidth, visibleTop + visibleHeight};
}

// A best-score file of its own in a fresh temporary folder, removed afterwards, so a run
// starts from a best score of 0 and never touches the player's.
class TemporaryScoreFile {
public:
    TemporaryScoreFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hopla-render-XXXXXX");
        if (mkdtemp(pattern.data())) folder_ = pattern;
    }
    ~TemporaryScoreFile() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    // Empty when no folder could be made: the best score is then kept nowhere.
    std::filesystem::path path() const { return folder_.empty() ? folder_ : folder_ / "hsd.dat"; }

private:
    std::filesystem::path folder_;
};

void writeTrace(std::ostream& out, int frame, const World& world,
                const platform::ManualTickSource& ticks) {
    const GameState& s = world.state;
    char line[512];
    std::snprintf(
        line, sizeof line, "%d %u %.9g %.9g %.9g %.9g %.9g %d %d %.9g %d %d %d\n", frame, ticks.now,
        static_cast<double>(s.frameStep), static_cast<double>(world.pose.ballPlacement._41),
        static_cast<double>(world.pose.ballPlacement._42), static_cast<double>(s.velocityX),
        static_cast<double>(s.velocityY), world.scores.score, world.scores.bestScore,
        static_cast<double>(s.timeScale), s.pointerZone, s.landed, s.pointerOverBall);
    out << line;
}

bool writeShot(const ScriptEvent& shot, const softgpu::MemorySink& sink,
               const RunOptions& options) {
    std::filesystem::path file = shot.file;
    if (file.is_relative() && !options.shotDirectory.empty()) file = options.shotDirectory / file;
    const softgpu::FrameView frame = sink.lastFrame();
    std::string error;
    const bool written = shot.full
                             ? softgpu::writePng(file.string(), frame, &error)
                             : softgpu::writePng(file.string(), frame, visibleLeft, visibleTop,
                                                 visibleWidth, visibleHeight, &error);
    if (!written) {
        std::fprintf(stderr, "hopla-render: frame %d: cannot write %s: %s\n", shot.frame,
                     file.c_str(), error.c_str());
    }
    return written;
}

// Applies one of the frame's commands before its update, as the main loop handles messages
// between two frames. Returns false when a release over the close button ends the game.
bool handleEvent(const ScriptEvent& event, World& world, platform::ManualPointerSource& pointer,
                 std::uint32_t& step) {
    using Kind = ScriptEvent::Kind;
    GameState& state = world.state;
    switch (event.kind) {
    case Kind::Step:
        step = static_cast<std::uint32_t>(event.a);
        break;
    case Kind::Pointer:
        pointer.position = {static_cast<int>(event.a), static_cast<int>(event.b)};
        break;
    case Kind::Press:
        // A press in a drag strip drags the window (here: nowhere) and never reaches the game;
        // anywhere else it is the kick.
        if (state.pointerZone != zoneDragStrip) kick(world.game);
        break;
    case Kind::Release:
        return state.pointerZone != zoneCloseButton;
    case Kind::RightRelease:
        // The drag strips belong to the window's caption, whose buttons the game never hears of.
        if (state.pointerZone != zoneDragStrip) state.showFps = state.showFps ? 0 : 1;
        break;
    case Kind::RightPress:
    case Kind::Shot:
        break;
    }
    return true;
}

int runFrames(const Script& script, const RunOptions& options) {
    TemporaryScoreFile scoreFile;
    platform::ManualTickSource ticks(script.clockStart);
    platform::ManualPointerSource pointer;
    softgpu::MemorySink sink(shownPart(script));
    World world(ticks, pointer, scoreFile.path());
    if (!initDevice(world, &sink, 1) || !loadScene(world)) {
        std::fprintf(stderr, "hopla-render: the game did not start\n");
        return 1;
    }

    int result = 0;
    std::uint32_t step = script.step;
    const int frames = frameCount(script);
    for (int frame = 0; frame < frames; ++frame) {
        for (const ScriptEvent& event : script.events) {
            if (event.frame == frame && !handleEvent(event, world, pointer, step)) {
                std::fprintf(stderr,
                             "hopla-render: the close button ended the game before frame %d\n",
                             frame);
                for (const ScriptEvent& shot : script.events) {
                    if (shot.kind == ScriptEvent::Kind::Shot && shot.frame >= frame) {
                        std::fprintf(stderr, "hopla-render: %s (frame %d) was not written\n",
                                     shot.file.c_str(), shot.frame);
                        result = 1;
                    }
                }
                return result;
            }
        }

        ticks.advance(step);
        updateFrame(world.game);
        drawFrame(world);

        for (const ScriptEvent& event : script.events) {
            if (event.frame == frame && event.kind == ScriptEvent::Kind::Shot &&
                !writeShot(event, sink, options)) {
                result = 1;
            }
        }
        if (options.trace) writeTrace(*options.trace, frame, world, ticks);
    }
    return result;
}

} // namespace

int runScript(const Script& script, const RunOptions& options) {
    // Real start-up with a silent sound backend: the sound device opens and takes the sounds,
    // and nothing is heard.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const platform::SoundDeviceOpener previousOpener =
        setSoundDeviceOpener(platform::openSdlSoundDevice);
    const int result = runFrames(script, options);
    setSoundDeviceOpener(previousOpener);
    return result;
}

} // namespace render
