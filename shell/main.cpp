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

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    // Before anything opens a file or a socket that could take a closed descriptor's place.
    platform::openMissingStandardStreams();
    platform::ignoreBrokenPipes();

    // Help, the version and a mistaken option are answered before anything else: no window,
    // no best-score file.
    const shell::CommandLine line = shell::parseCommandLine(argc, argv, std::getenv("HOPLA_SCALE"));
    switch (line.action) {
    case shell::CommandLine::Action::help:
        std::fputs(shell::helpText().c_str(), stdout);
        return 0;
    case shell::CommandLine::Action::version:
        std::printf("hopla %s\n", HOPLA_VERSION);
        return 0;
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
    const int status = shell::runGame(program, *display);
    platform::setDisplayLostHandler(nullptr); // the program's objects go now, saving as they go
    return status;
}
