// Text the game echoes on a terminal (a path, a value from the environment) with its control
// characters shown escaped, so that a name can neither steer the terminal nor break a line.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// text with \n, \t, \r and \\ written as such, any other control character (C0, DEL, and C1
// written in UTF-8) as \xNN per byte; everything else, UTF-8 included, as it is.
std::string escapeControls(std::string_view text);

} // namespace platform
