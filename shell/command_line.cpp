#include "shell/command_line.h"

#include "platform/sdl/window_scale.h"
#include "platform/terminal_text.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace shell {

namespace {

// A whole number from the smallest to the largest scale, written out in full; nothing else.
std::optional<int> readScale(std::string_view text) {
    int value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() ||
        value < platform::smallestScale || value > platform::largestScale)
        return std::nullopt;
    return value;
}

std::string scaleRange() {
    return "a whole number from " + std::to_string(platform::smallestScale) + " to " +
           std::to_string(platform::largestScale);
}

CommandLine usageError(std::string problem) {
    CommandLine line;
    line.action = CommandLine::Action::usageError;
    line.problem = std::move(problem);
    return line;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv, const char* scaleVariable,
                             const char* syncVariable) {
    CommandLine line;
    bool scaleGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            line.action = CommandLine::Action::help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::version;
            return line;
        }
        if (argument == "--sync") {
            line.sync = true;
            continue;
        }
        std::optional<std::string_view> value;
        if (argument == "--scale") {
            if (i + 1 >= argc) return usageError("--scale needs " + scaleRange());
            value = argv[++i];
        } else if (argument.substr(0, 8) == "--scale=") {
            value = argument.substr(8);
        } else {
            return usageError("unknown option '" + platform::escapeControls(argument) + "'");
        }
        const std::optional<int> scale = readScale(*value);
        if (!scale)
            return usageError("--scale needs " + scaleRange() + ", not '" +
                              platform::escapeControls(*value) + "'");
        line.scale = *scale;
        scaleGiven = true;
    }
    if (!scaleGiven && scaleVariable && *scaleVariable) {
        if (const std::optional<int> scale = readScale(scaleVariable))
            line.scale = *scale;
        else
            line.problem = "HOPLA_SCALE='" + platform::escapeControls(scaleVariable) + "' is not " +
                           scaleRange() + "; the screen chooses the scale";
    }
    const std::string_view sync = syncVariable ? syncVariable : "";
    if (sync == "1") {
        line.sync = true;
    } else if (!sync.empty() && sync != "0" && !line.sync) {
        line.problem += (line.problem.empty() ? "" : "; ") +
                        std::string("HOPLA_SYNC is neither 0 nor 1; the frames are not paced");
    }
    return line;
}

std::string usageLine() {
    return "usage: hopla [--scale N] [--sync] [--help] [--version]";
}

std::string helpText() {
    return usageLine() +
           "\n"
           "Keep the ball in the air: press the left mouse button with the pointer on the ball.\n"
           "Drag the window by its top or bottom strip; the cross in the corner or Escape quits;\n"
           "the right button shows the frames per second.\n"
           "\n"
           "  --scale N    show the window N times as large (" +
           scaleRange() +
           ");\n"
           "               without it, HOPLA_SCALE or the screen's resolution decides\n"
           "  --sync       draw one frame per display refresh instead of as many as the\n"
           "               machine can: far less power, for laptops and quiet fans (also\n"
           "               HOPLA_SYNC=1)\n"
           "  -h, --help   print this help and end\n"
           "  --version    print the version and end\n"
           "\n"
           "The best score is kept in $XDG_DATA_HOME/hopla/hsd.dat (~/.local/share/hopla/hsd.dat\n"
           "when XDG_DATA_HOME is unset or not an absolute path). SDL_AUDIODRIVER=dummy plays\n"
           "without sound.\n";
}

} // namespace shell
