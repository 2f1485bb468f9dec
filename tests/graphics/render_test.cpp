// The headless renderer: its scripts, its trace lines and the golden frames of the game.
//
// The golden frames live in tests/graphics/golden/. After a change that is meant to alter the
// picture, rewrite them with
//     HOPLA_UPDATE_GOLDEN=1 ctest --test-dir <build> -R Golden
// look at every rewritten picture, and commit them. Without the switch the test only compares,
// and leaves what it drew in <build>/tests/graphics/golden-actual/ for a look.
#include "platform/resources.h"
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
                              "at 4 pointer -5 700\n"
                              "at 4 press\n"
                              "at 4 rrelease\n"
                              "at 9 shot out.png full\n",
                              error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->clockStart, 4294967295u);
    EXPECT_EQ(script->step, 20u);
    EXPECT_EQ(render::frameCount(*script), 10) << "up to the last frame named";
    ASSERT_EQ(script->events.size(), 5u);
    EXPECT_EQ(script->events[1].kind, render::ScriptEvent::Kind::Pointer);
    EXPECT_EQ(script->events[1].a, -5);
    EXPECT_EQ(script->events[1].b, 700);
    EXPECT_EQ(script->events[3].kind, render::ScriptEvent::Kind::RightRelease);
    EXPECT_TRUE(script->events[4].full);
    EXPECT_EQ(script->events[4].file, "out.png");

    for (const char* bad : {"clock -1", "clock 4294967296", "step", "frames x", "at 2", "at 1 shot",
                            "at 1 shot a.png half", "at 1 pointer 3", "at -1 press",
                            "at 1 press now", "at 1 jump", "jump"}) {
        error.clear();
        EXPECT_FALSE(parse(std::string("# fine\n") + bad + "\n", error)) << bad;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << bad << ": " << error;
    }
}

// Runs a script with its trace kept line by line; shots go to the temporary folder.
struct Traced {
    int result = -1;
    std::vector<std::string> trace;
};

Traced runTraced(const std::string& text) {
    std::string error;
    const auto script = parse(text, error);
    EXPECT_TRUE(script) << error;
    Traced done;
    if (!script) return done;
    std::ostringstream trace;
    render::RunOptions options;
    options.trace = &trace;
    options.shotDirectory = std::filesystem::temp_directory_path();
    done.result = render::runScript(*script, options);
    std::istringstream lines(trace.str());
    for (std::string line; std::getline(lines, line);) done.trace.push_back(line);
    return done;
}

TEST(RenderScript, TraceLinesReadBackExactlyAndTheClockWraps) {
    const Traced done = runTraced("clock 4294967290\nframes 3\nat 2 step 5000\n");
    ASSERT_EQ(done.result, 0);
    ASSERT_EQ(done.trace.size(), 3u);
    // Frame 0: 16 ms after the clock was made, across the wrap; the ball has begun to fall.
    EXPECT_EQ(done.trace[0], "0 10 0.959999979 320 239.5392 0 -0.479999989 0 0 0.0599999987 0 1 0");
    // A 5 s stall gives a frame step of 0: nothing moves.
    std::istringstream middle(done.trace[1]), last(done.trace[2]);
    std::string frame, tick, step, x, y, middleX, middleY;
    middle >> frame >> tick >> step >> middleX >> middleY;
    last >> frame >> tick >> step >> x >> y;
    EXPECT_EQ(frame + " " + tick + " " + step, "2 5026 0");
    EXPECT_EQ(x + " " + y, middleX + " " + middleY);
}

TEST(RenderScript, CloseButtonReleaseEndsTheGameBeforeLaterShots) {
    const auto never = std::filesystem::temp_directory_path() / "never.png";
    std::filesystem::remove(never);
    const Traced done = runTraced("at 0 pointer 523 49\nat 2 release\nat 3 shot never.png\n");
    EXPECT_EQ(done.result, 1);
    EXPECT_EQ(done.trace.size(), 2u) << "frames 0 and 1";
    EXPECT_FALSE(std::filesystem::exists(never));
}

// The median light, by the eye's weights, of the window pixels over the close key's texels
// that `pick` chooses. The key is drawn texel for pixel with its top-left at window (421, 5).
double keyMedian(const std::vector<std::uint32_t>& window, int width, bool (*pick)(int red)) {
    const auto key = platform::findResource(platform::ResourceType::Bitmap, 2011);
    EXPECT_TRUE(key.has_value());
    if (!key) return 0.0;
    std::vector<double> light;
    for (int y = 3; y < 13; ++y) {
        for (int x = 3; x < 13; ++x) {
            const std::uint8_t red = key->bytes[40 + (15 - y) * 48 + x * 3 + 2]; // bottom-up rows
            if (!pick(red)) continue;
            const std::uint32_t p = window[std::size_t(5 + y) * std::size_t(width) + 421 + x];
            light.push_back(0.3 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) +
                            0.11 * (p & 0xFF));
        }
    }
    std::nth_element(light.begin(), light.begin() + light.size() / 2, light.end());
    return light.empty() ? 0.0 : light[light.size() / 2];
}

TEST(RenderScript, TheLitCloseKeyKeepsItsCrossReadable) {
    // The pointer on the key's bottom-right corner, so the glow is on and the cross-hair covers
    // as little of the cross as it can.
    const Traced done = runTraced("at 0 pointer 533 57\nat 3 shot lit-close-key.png\n");
    ASSERT_EQ(done.result, 0);
    std::vector<std::uint32_t> window;
    int width = 0, height = 0;
    std::string error;
    ASSERT_TRUE(
        softgpu::readPng((std::filesystem::temp_directory_path() / "lit-close-key.png").string(),
                         window, width, height, &error))
        << error;
    ASSERT_EQ(width, 440);
    const double cross = keyMedian(window, width, [](int red) { return red < 0x40; });
    const double face = keyMedian(window, width, [](int red) { return red > 0x90; });
    EXPECT_LT(cross, 0.6 * face) << "the glow washes the cross out: cross " << cross << ", key "
                                 << face;
    EXPECT_LT(face, 250.0) << "the key itself is burnt out";
}

struct Difference {
    int differing = 0; // pixels with a channel off by more than the small tolerance
    int largest = 0;   // the largest channel difference anywhere
};

Difference compare(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    Difference d;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int delta = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                       static_cast<int>((b[i] >> shift) & 0xFF));
            worst = std::max(worst, delta);
        }
        d.largest = std::max(d.largest, worst);
        if (worst > 2) ++d.differing;
    }
    return d;
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
        // Rounding may move a channel by a step or two; a real change moves many pixels or
        // moves them far.
        const Difference d = compare(expected, actual);
        const std::string hint = event.file + ": " + std::to_string(d.differing) +
                                 " pixels differ, by up to " + std::to_string(d.largest) +
                                 "; see " + (actualDir / event.file).string() +
                                 " (a deliberate change: HOPLA_UPDATE_GOLDEN=1, look, commit)";
        EXPECT_LE(d.differing, static_cast<int>(expected.size() / 1000)) << hint;
        EXPECT_LE(d.largest, 48) << hint;
    }
    EXPECT_EQ(shots, 7);
}

} // namespace
