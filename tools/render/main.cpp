// hopla-render: runs the game headless on a script and writes chosen frames as PNG pictures.
#include "tools/render/run.h"
#include "tools/render/script.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* usage = R"(Usage: hopla-render --script FILE [--trace]
       hopla-render --help

Runs the game's real start-up, window procedure and loop on a window shown nowhere and a
sound device that plays nothing, on a simulated clock and a scripted pointer and buttons,
and writes chosen frames as PNG.
The best score starts at 0 and is kept nowhere; the player's own file is never touched.

The script holds one command per line; '#' starts a comment. Frames are numbered from 0.
  clock T               the tick count (unsigned 32-bit, wrapping) at which the frame clock
                        is made; default 0. Start-up takes no simulated time.
  step MS               the clock advances MS milliseconds before each frame; default 16.
  at F step MS          from frame F on, the clock advances MS milliseconds instead.
  at F pointer X Y      from frame F on, the pointer is at client pixel (X, Y) of the 640 x 480
                        window (x right, y down; the visible part is x 100-539, y 40-439).
                        Default (0, 0).
  at F press            the left button goes down before frame F's update: kicks the ball if
                        the previous frame found the pointer over it, unless it found the
                        pointer in a drag strip (a press there drags the window).
  at F release          the left button goes up: over the close button it ends the game, and
                        no further frame runs (not after a press in a drag strip: the drag
                        takes its release).
  at F rpress           the right button goes down (does nothing, as in the game).
  at F rrelease         the right button goes up: shows or hides the frames per second
                        (not in a drag strip, which belongs to the window's caption).
  at F shot FILE        after frame F is drawn, write the visible 440 x 400 picture (columns
                        100-539, rows 40-439 of the back buffer) to FILE as PNG.
  at F shot FILE full   the same with the whole 640 x 480 back buffer. The game draws only
                        the visible part; a script with a full shot draws all of it, in
                        every frame, so the parts the window never shows are kept up too.
  frames N              run frames 0 to N-1; without it, up to the last frame named.
Commands for the same frame run in the order written; button and pointer changes happen
before the frame's update, as the main loop handles messages between two frames.

--trace prints after every frame one line on stdout:
  F tick frameStep x y velocityX velocityY score bestScore timeScale pointerZone landed
  pointerOverBall
integers in decimal, floats with "%.9g" (they read back exactly); x and y are the ball's
position; pointerZone is 0 none, 1 drag strip, 2 close button.

Exit status: 0 done; 1 the game did not start, a picture could not be written, or the game
ended before a picture's frame; 2 bad arguments or a bad script.
)";

} // namespace

int main(int argc, char** argv) {
    const char* scriptPath = nullptr;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            scriptPath = argv[++i];
        } else {
            std::fprintf(stderr, "hopla-render: unexpected argument '%s'\n\n%s", argv[i], usage);
            return 2;
        }
    }
    if (!scriptPath) {
        std::fprintf(stderr, "hopla-render: --script FILE is required\n\n%s", usage);
        return 2;
    }

    std::ifstream file(scriptPath);
    if (!file) {
        std::fprintf(stderr, "hopla-render: cannot open script %s\n", scriptPath);
        return 2;
    }
    std::string error;
    const auto script = render::parseScript(file, error);
    if (!script) {
        std::fprintf(stderr, "hopla-render: %s: %s\n", scriptPath, error.c_str());
        return 2;
    }

    render::RunOptions options;
    if (trace) options.trace = &std::cout;
    const int result = render::runScript(*script, options);
    std::cout.flush();
    return result;
}
