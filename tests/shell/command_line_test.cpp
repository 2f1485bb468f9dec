// The command line: the options, their mistakes and the scale from the environment.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using shell::CommandLine;

CommandLine parse(std::vector<const char*> arguments, const char* scaleVariable = nullptr,
                  const char* syncVariable = nullptr) {
    arguments.insert(arguments.begin(), "hopla");
    return shell::parseCommandLine(int(arguments.size()), arguments.data(), scaleVariable,
                                   syncVariable);
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
    // Named with its control characters escaped, so that it can't steer the terminal.
    EXPECT_NE(parse({"--frob\x1b[2J"}).problem.find("'--frob\\x1b[2J'"), std::string::npos);
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
    EXPECT_NE(parse({}, "2\n\x1b[2J").problem.find("'2\\n\\x1b[2J'"), std::string::npos);
    EXPECT_TRUE(parse({"--scale", "3"}, "junk").problem.empty()) << "the option makes it moot";
    // The help names every option.
    for (const char* option : {"--scale", "--sync", "--help", "--version"}) {
        EXPECT_NE(shell::helpText().find(option), std::string::npos) << option;
        EXPECT_NE(shell::usageLine().find(option), std::string::npos) << option;
    }
}

TEST(CommandLine, SyncFromTheOptionOrTheEnvironment) {
    EXPECT_TRUE(parse({"--sync", "--scale", "2"}).sync);
    EXPECT_TRUE(parse({}, nullptr, "1").sync);
    EXPECT_FALSE(parse({}, nullptr, "0").sync || !parse({}, nullptr, "0").problem.empty());
    // Anything else is named and left aside, unless the option makes it moot.
    EXPECT_FALSE(parse({}, nullptr, "yes").sync);
    EXPECT_NE(parse({}, nullptr, "yes").problem.find("HOPLA_SYNC"), std::string::npos);
    EXPECT_TRUE(parse({"--sync"}, nullptr, "yes").problem.empty());
}

} // namespace
