// The headless renderer: its scripts, its trace lines and the golden frames of the game.
//
// The golden frames live in tests/graphics/golden/. After a change that is meant to alter the
// picture, rewrite them with
//     HOPLA_UPDATE_GOLDEN=1 ctest --test-dir <build> -R Golden
// look at every rewritten picture, and commit them. Without the switch the test only compares,
// and leaves what it drew in <build>/tests/graphics/golden-actual/ for a look.
#include "platform/softgpu/png_writer.h"
#include "tools/render/run.h"
#include "tools/render/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::optional<render::Script> parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return render::parseScript(in, error);
}

TEST(RenderScript, ReadsEveryCommandAndNamesTheBadLine) {
    std::string error;
    const auto script = parse("clock 4294967295 # at the wrap\n"
                              "step 20\n"
                              "\n"
                              "at 3 step 0\n"
                              "at 4 pointer -5 700\n",
                              error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->clockStart, 4294967295u);
    EXPECT_EQ(script->step, 20u);
    EXPECT_EQ(render::frameCount(*script), 5) << "up to the last frame named";
    ASSERT_EQ(script->events.size(), 2u);
    EXPECT_EQ(script->events[1].a, -5);
    EXPECT_EQ(script->events[1].b, 700);

    for (const char* bad : {"clock -1", "clock 4294967296", "step", "frames x", "at 2", "at 1 shot",
                            "at 1 shot a.png half", "at 1 pointer 3", "at -1 press",
                            "at 1 press now", "at 1 jump", "jump"}) {
        error.clear();
        EXPECT_FALSE(parse(std::string("# fine\n") + bad + "\n", error)) << bad;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << bad << ": " << error;
    }
}

// Runs a script, its trace kept line by line; shots go to the temporary folder.
int runTraced(const std::string& text, std::vector<std::string>& trace) {
    std::string error;
    const auto script = parse(text, error);
    EXPECT_TRUE(script) << error;
    if (!script) return -1;
    std::ostringstream out;
    render::RunOptions options;
    options.trace = &out;
    options.shotDirectory = std::filesystem::temp_directory_path();
    const int result = render::runScript(*script, options);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) trace.push_back(line);
    return result;
}

TEST(RenderScript, TraceLinesReadBackExactlyAndTheClockWraps) {
    std::vector<std::string> trace;
    ASSERT_EQ(runTraced("clock 4294967290\nframes 3\nat 2 step 5000\n", trace), 0);
    // Frame 0 comes 16 ms after the clock was made, across the wrap; the ball has begun to fall.
    // A 5 s stall before frame 2 gives a frame step of 0: nothing moves.
    EXPECT_EQ(trace, std::vector<std::string>({
                         "0 10 0.959999979 320 239.5392 0 -0.479999989 0 0 0.0599999987 0 1 0",
                         "1 26 0.959999979 320 238.617599 0 -0.959999979 0 0 0.0599999987 0 1 0",
                         "2 5026 0 320 238.617599 0 -0.959999979 0 0 0.0599999987 0 1 0",
                     }));
}

TEST(RenderScript, CloseButtonReleaseEndsTheGameBeforeLaterShots) {
    const auto never = std::filesystem::temp_directory_path() / "never.png";
    std::filesystem::remove(never);
    std::vector<std::string> trace;
    EXPECT_EQ(runTraced("at 0 pointer 523 49\nat 2 release\nat 3 shot never.png\n", trace), 1);
    EXPECT_EQ(trace.size(), 2u) << "frames 0 and 1";
    EXPECT_FALSE(std::filesystem::exists(never));
}

// How far two pictures are apart: the pixels with a channel off by more than the step or two
// rounding may move it, and the largest channel difference anywhere.
std::pair<int, int> compare(const std::vector<std::uint32_t>& a,
                            const std::vector<std::uint32_t>& b) {
    int differing = 0, largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                             static_cast<int>((b[i] >> shift) & 0xFF)));
        }
        largest = std::max(largest, worst);
        if (worst > 2) ++differing;
    }
    return {differing, largest};
}

TEST(Golden, TellingFramesMatchTheirReferences) {
    const std::filesystem::path goldenDir = HOPLA_GOLDEN_DIR;
    const std::filesystem::path actualDir = HOPLA_GOLDEN_ACTUAL_DIR;
    const char* update = std::getenv("HOPLA_UPDATE_GOLDEN");
    const bool rewrite = update && std::string(update) == "1";

    std::ifstream file(goldenDir / "frames.script");
    ASSERT_TRUE(file) << "no script in " << goldenDir;
    std::string error;
    const auto script = render::parseScript(file, error);
    ASSERT_TRUE(script) << error;

    std::filesystem::create_directories(actualDir);
    render::RunOptions options;
    options.shotDirectory = rewrite ? goldenDir : actualDir;
    ASSERT_EQ(render::runScript(*script, options), 0);

    int shots = 0;
    for (const render::ScriptEvent& event : script->events) {
        if (event.kind != render::ScriptEvent::Kind::Shot) continue;
        ++shots;
        if (rewrite) {
            std::printf("rewrote %s\n", (goldenDir / event.file).c_str());
            continue;
        }
        std::vector<std::uint32_t> expected, actual;
        int expectedWidth = 0, expectedHeight = 0, actualWidth = 0, actualHeight = 0;
        ASSERT_TRUE(softgpu::readPng((goldenDir / event.file).string(), expected, expectedWidth,
                                     expectedHeight, &error))
            << error << " (make it with HOPLA_UPDATE_GOLDEN=1)";
        ASSERT_TRUE(softgpu::readPng((actualDir / event.file).string(), actual, actualWidth,
                                     actualHeight, &error))
            << error;
        ASSERT_EQ(std::pair(actualWidth, actualHeight), std::pair(expectedWidth, expectedHeight));
        // A real change moves many pixels or moves them far.
        const auto [differing, largest] = compare(expected, actual);
        const std::string hint = event.file + ": " + std::to_string(differing) +
                                 " pixels differ, by up to " + std::to_string(largest) + "; see " +
                                 (actualDir / event.file).string() +
                                 " (a deliberate change: HOPLA_UPDATE_GOLDEN=1, look, commit)";
        EXPECT_LE(differing, static_cast<int>(expected.size() / 1000)) << hint;
        EXPECT_LE(largest, 48) << hint;
    }
    EXPECT_EQ(shots, 7);
}

} // namespace
