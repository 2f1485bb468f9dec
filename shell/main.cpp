// The game's entry point: opens the desktop, makes the program's objects in their order, runs
// the game, and lets everything go in reverse order, which saves the best score.
#include "audio/sound_device.h"
#include "persist/score_record.h"
#include "platform/process.h"
#include "platform/sound_sdl.h"
#include "platform/window.h"
#include "shell/game_loop.h"
#include "shell/world.h"

#include <cstdio>
#include <memory>
#include <string>

int main() {
    // Before anything opens a file or a socket that could take a closed descriptor's place.
    platform::openMissingStandardStreams();

    // The desktop comes first: without one the game ends here, before the program's objects
    // exist, so the best-score file is neither read nor written.
    std::string error;
    const std::unique_ptr<platform::Display> display = platform::openDisplay(error);
    if (!display) {
        std::fprintf(stderr, "hopla: no display to open the game's window on: %s\n", error.c_str());
        return 1;
    }

    // The scene loading starts the sound on SDL's audio.
    audio::setSoundDeviceOpener(platform::openSdlSoundDevice);

    // The program's objects: the frame clock reads the tick count and the best score is read
    // now; they go when main returns, after the window and before the desktop.
    shell::World world(display->ticks(), display->pointer(), persist::bestScoreFilePath());
    // A display that goes away ends the process on the spot: the best score is saved first.
    platform::setDisplayLostHandler([&world] { world.scores.finish(); });
    const int status = shell::winMain(world, *display);
    platform::setDisplayLostHandler(nullptr); // the program's objects go now, saving as they go
    return status;
}
