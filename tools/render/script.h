// The headless renderer's scripts: the clock's start and steps, the pointer, the buttons
// before each frame, and which frames are written out as pictures.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace render {

struct ScriptEvent {
    enum class Kind { Step, Pointer, Press, Release, RightPress, RightRelease, Shot };
    Kind kind = Kind::Step;
    int frame = 0;
    std::int64_t a = 0; // step: milliseconds; pointer: x
    std::int64_t b = 0; // pointer: y
    std::string file;   // shot: where the picture goes
    bool full = false;  // shot: the whole 640 x 480 back buffer
    int line = 0;
};

struct Script {
    std::uint32_t clockStart = 0;
    std::uint32_t step = 16;
    std::optional<int> frames; // without a frames command, up to the last frame named (at least 1)
    std::vector<ScriptEvent> events; // in the order written
};

// Reads a script; on a bad line returns nothing and says which line and why in error.
std::optional<Script> parseScript(std::istream& in, std::string& error);

// Frames the script runs: its frames command, or one past the last frame it names.
int frameCount(const Script& script);

} // namespace render
