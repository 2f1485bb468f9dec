// The command line, the window scale a screen calls for, and the scaled picture.
#include "platform/window_scale.h"
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using shell::CommandLine;

CommandLine parse(std::vector<const char*> arguments, const char* scaleVariable = nullptr) {
    arguments.insert(arguments.begin(), "hopla");
    return shell::parseCommandLine(int(arguments.size()), arguments.data(), scaleVariable);
}

TEST(CommandLine, OptionsAndTheirMistakes) {
    EXPECT_EQ(parse({}).action, CommandLine::Action::play);
    EXPECT_EQ(parse({}).scale, 0);
    EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::version);
    // Help and version end the reading, whatever follows.
    EXPECT_EQ(parse({"--version", "--bogus"}).action, CommandLine::Action::version);
    EXPECT_EQ(parse({"--scale", "3"}).scale, 3);
    EXPECT_EQ(parse({"--scale=8"}).scale, 8);
    EXPECT_EQ(parse({"--scale", "1", "--scale", "2"}).scale, 2) << "the last one given";

    // Unknown options and the scale's bounds are also the end-to-end test's: here the finer
    // ways a value can be wrong.
    for (const std::vector<const char*>& bad : {std::vector<const char*>{"--scale", "2x"},
                                                {"--scale", " 2"},
                                                {"--scale="},
                                                {"--scale", "99999999999"},
                                                {"--help=yes"}}) {
        const CommandLine line = parse(bad);
        EXPECT_EQ(line.action, CommandLine::Action::usageError) << bad.front();
        EXPECT_FALSE(line.problem.empty()) << bad.front();
        EXPECT_EQ(line.problem.find('\n'), std::string::npos) << "one line: " << line.problem;
    }
    EXPECT_NE(parse({"--frobnicate"}).problem.find("--frobnicate"), std::string::npos);
}

TEST(CommandLine, ScaleFromTheEnvironmentGivesWayToTheOption) {
    EXPECT_EQ(parse({}, "2").scale, 2);
    EXPECT_TRUE(parse({}, "2").problem.empty());
    EXPECT_EQ(parse({"--scale", "3"}, "2").scale, 3);
    EXPECT_EQ(parse({}, "").scale, 0) << "set but empty counts as unset";
    EXPECT_TRUE(parse({}, "").problem.empty());
    // A bad value is named and ignored: the game still plays, at the screen's scale.
    for (const char* bad : {"0", "two", "2.5", "10"}) {
        const CommandLine line = parse({}, bad);
        EXPECT_EQ(line.action, CommandLine::Action::play) << bad;
        EXPECT_EQ(line.scale, 0) << bad;
        EXPECT_NE(line.problem.find(std::string("'") + bad + "'"), std::string::npos) << bad;
    }
    EXPECT_TRUE(parse({"--scale", "3"}, "junk").problem.empty()) << "the option makes it moot";
    // The help names every option.
    for (const char* option : {"--scale", "--help", "--version"}) {
        EXPECT_NE(shell::helpText().find(option), std::string::npos) << option;
        EXPECT_NE(shell::usageLine().find(option), std::string::npos) << option;
    }
}

TEST(WindowScale, FromTheScreensResolutionWithinTheScreen) {
    struct Case {
        float dpi;
        int screenWidth, screenHeight, scale;
    };
    const Case cases[] = {
        {143.0f, 3840, 2160, 1},
        {144.0f, 3840, 2160, 2},
        {288.0f, 3840, 2160, 3},
        {2000.0f, 7680, 4320, 8},
        {0.0f, 3840, 2160, 1},
        {__builtin_nanf(""), 3840, 2160, 1},
        // A window that would not fit is made smaller, but never below 1.
        {192.0f, 879, 1200, 1},
        {192.0f, 880, 800, 2},
        {192.0f, 880, 799, 1},
        {192.0f, 300, 200, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::scaleForScreen(c.dpi, c.screenWidth, c.screenHeight, 440, 400), c.scale)
            << c.dpi << " dpi on " << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(WindowScale, EachPixelBecomesASquareBlockAndPaddingStaysUntouched) {
    // A 3 x 2 picture in a wider buffer, enlarged into a target with padding after each row.
    const std::uint32_t source[2][4] = {{1, 2, 3, 0xDEAD}, {4, 5, 6, 0xDEAD}};
    for (int scale : {1, 2, 3, 5}) {
        SCOPED_TRACE(scale);
        const int width = 3 * scale;
        const int pitchPixels = width + 2;
        std::vector<std::uint32_t> target(std::size_t(pitchPixels) * 2 * scale, 0xFFFFFFFFu);
        platform::enlargePixels(reinterpret_cast<const std::uint8_t*>(source), 16, 3, 2, scale,
                                reinterpret_cast<std::uint8_t*>(target.data()), pitchPixels * 4);
        for (int y = 0; y < 2 * scale; ++y) {
            for (int x = 0; x < pitchPixels; ++x) {
                const std::uint32_t expected =
                    x < width ? source[y / scale][x / scale] : 0xFFFFFFFFu;
                ASSERT_EQ(target[std::size_t(y) * pitchPixels + x], expected) << x << ", " << y;
            }
        }
    }
}

} // namespace
