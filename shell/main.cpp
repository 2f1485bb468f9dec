// The game's entry point: opens the desktop, makes the program's objects in their order, runs
// the game, and lets everything go in reverse order, which saves the best score.
#include "audio/sound_setup.h"
#include "platform/posix/process.h"
#include "platform/posix/score_file.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_sound.h"
#include "shell/command_line.h"
#include "shell/game_loop.h"
#include "shell/program.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Prints the answer to --help or --version. An answer that did not reach stdout (a full disk,
// a closed pipe) is a failure, said on stderr, as other command-line tools do.
int printAnswer(const std::string& text, const char* what) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "hopla: could not write %s: %s\n", what, std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything opens a file or a socket that could take a closed descriptor's place.
    platform::openMissingStandardStreams();
    platform::ignoreBrokenPipes();

    // Help, the version and a mistaken option are answered before anything else: no window,
    // no best-score file.
    const shell::CommandLine line =
        shell::parseCommandLine(argc, argv, std::getenv("HOPLA_SCALE"), std::getenv("HOPLA_SYNC"));
    switch (line.action) {
    case shell::CommandLine::Action::help:
        return printAnswer(shell::helpText(), "the help");
    case shell::CommandLine::Action::version:
        return printAnswer(std::string("hopla ") + HOPLA_VERSION + "\n", "the version");
    case shell::CommandLine::Action::usageError:
        std::fprintf(stderr, "hopla: %s; %s\n", line.problem.c_str(), shell::usageLine().c_str());
        return 2;
    case shell::CommandLine::Action::play:
        break;
    }
    if (!line.problem.empty()) std::fprintf(stderr, "hopla: %s\n", line.problem.c_str());

    // The desktop comes first: without one the game ends here, before the program's objects
    // exist, so the best-score file is neither read nor written.
    std::string error;
    const std::unique_ptr<platform::Display> display = platform::openDisplay(error, line.scale);
    if (!display) {
        std::fprintf(stderr, "hopla: no display to open the game's window on: %s\n", error.c_str());
        return 1;
    }

    // The scene loading starts the sound on SDL's audio.
    audio::setSoundDeviceOpener(platform::openSdlSoundDevice);

    // The best score lives in a file in the player's data folder (nowhere without a home).
    const std::filesystem::path scoreFile = platform::bestScoreFilePath();
    platform::FileScoreStore scoreStore(scoreFile);

    // The program's objects: the frame clock reads the tick count and the best score is read
    // now; they go when main returns, after the window and before the store and the desktop.
    shell::Program program(display->ticks(), display->pointer(),
                           scoreFile.empty() ? nullptr : &scoreStore);
    // A display that goes away ends the process on the spot: the best score is saved first.
    platform::setDisplayLostHandler([&program] { program.scores.finish(); });
    const int status = shell::runGame(program, *display, line.sync);
    platform::setDisplayLostHandler(nullptr); // the program's objects go now, saving as they go
    return status;
}
