// What the player asked for on the command line: to play (at a chosen window scale, with the
// frames paced to the display or not), to read the help or the version, or something the game
// does not understand.
#pragma once

#include <string>

namespace shell {

struct CommandLine {
    enum class Action { play, help, version, usageError };
    Action action = Action::play;
    int scale = 0;       // from --scale or HOPLA_SCALE; 0 leaves it to the screen
    bool sync = false;   // --sync or HOPLA_SYNC=1: a frame per display refresh
    std::string problem; // usageError: what was wrong; play: what in the environment was ignored
};

// Reads the arguments after the program's name and the values of HOPLA_SCALE and HOPLA_SYNC
// (null when unset). --scale wins over HOPLA_SCALE; a bad HOPLA_SCALE, or a HOPLA_SYNC other
// than 0 or 1, is ignored and named in `problem`; a bad argument is a usage error.
CommandLine parseCommandLine(int argc, const char* const* argv, const char* scaleVariable,
                             const char* syncVariable = nullptr);

// The one line that says how to call the game, and the whole help text.
std::string usageLine();
std::string helpText();

} // namespace shell
