// What the player asked for on the command line: to play (at a chosen window scale), to read
// the help or the version, or something the game does not understand.
#pragma once

#include <string>

namespace shell {

struct CommandLine {
    enum class Action { play, help, version, usageError };
    Action action = Action::play;
    int scale = 0;       // from --scale or HOPLA_SCALE; 0 leaves it to the screen
    std::string problem; // usageError: what was wrong; play: a HOPLA_SCALE that was ignored
};

// Reads the arguments after the program's name and the value of HOPLA_SCALE (null when unset).
// --scale wins over HOPLA_SCALE; a bad HOPLA_SCALE is ignored and named in `problem`, a bad
// argument is a usage error.
CommandLine parseCommandLine(int argc, const char* const* argv, const char* scaleVariable);

// The one line that says how to call the game, and the whole help text.
std::string usageLine();
std::string helpText();

} // namespace shell
