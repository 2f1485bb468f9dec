// Runs a script through the game's real start-up, window procedure and loop on the null window
// and sound drivers: a manual clock, a scripted pointer and buttons, a throw-away best score.
#pragma once

#include "tools/render/script.h"

#include <filesystem>
#include <iosfwd>

namespace render {

struct RunOptions {
    std::ostream* trace = nullptr;       // one line per frame when set
    std::filesystem::path shotDirectory; // relative shot file names are taken from here
};

// Returns 0 when the frames ran and every picture was written; 1 when start-up failed, a
// picture could not be written, or the close button ended the game before a picture's frame.
int runScript(const Script& script, const RunOptions& options);

} // namespace render
