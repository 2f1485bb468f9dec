// The game's entry point in a web page: the program's objects are made, the window is the
// canvas, and the loop's turns run at every display refresh: the waiting messages, then one
// frame. When the game ends (the close button, ESC or a failed start) the best score is kept
// and the page offers a new game. The best score lives in the page's storage, read at each
// game's start and saved at its end and whenever the page is hidden or left; a higher one that
// another tab stores is taken as it is stored.
#include "audio/sound_setup.h"
#include "game/constants.h"
#include "persist/score_record.h"
#include "platform/web/page.h"
#include "platform/web/page_score_store.h"
#include "platform/web/web_display.h"
#include "platform/web/web_sound.h"
#include "shell/game_loop.h"
#include "shell/program.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

platform::web::PageScoreStore scoreStore;

// One game, from start to end. Destroyed in reverse order: the window goes, then the sound
// stops and the best score is saved, then the page's input is let go.
struct PageProgram {
    PageProgram()
        : display(platform::web::openPageDisplay()),
          program(display->ticks(), display->pointer(), &scoreStore) {}

    std::unique_ptr<platform::Display> display;
    shell::Program program;
    std::unique_ptr<platform::Window> window;
};

std::unique_ptr<PageProgram> pageProgram;

// The turns of one display refresh: every waiting message, then one frame. False when the
// game is over.
bool refresh() {
    for (;;) {
        switch (shell::runTurn(pageProgram->program, *pageProgram->window)) {
        case shell::Turn::message:
            continue;
        case shell::Turn::frame:
            return true;
        case shell::Turn::over:
            return false;
        }
    }
}

void endGame();

void startGame() {
    pageProgram = std::make_unique<PageProgram>();
    std::string error;
    pageProgram->window = shell::openGameWindow(pageProgram->program, *pageProgram->display, error);
    if (!pageProgram->window) {
        std::fprintf(stderr, "hopla: the game's window could not be made: %s\n", error.c_str());
        endGame();
        return;
    }
    platform::web::gameStarted();
    platform::web::runEveryFrame(refresh, endGame);
}

void endGame() {
    pageProgram.reset();
    platform::web::offerNewGame(startGame);
}

} // namespace

int main() {
    platform::web::showMessagesInPage();
    platform::web::setCloseButton({game::closeButtonLeft + 1, game::closeButtonTop + 1,
                                   game::closeButtonRight, game::closeButtonBottom});
    audio::setSoundDeviceOpener(platform::web::openPageSoundDevice);
    // Leaving or hiding the page is the page's SIGTERM: the best score is saved as at the
    // game's end. The game may go on (a tab shown again, a page brought back from the
    // browser's cache), so it saves again when it ends.
    platform::web::onPageHide([] {
        if (!pageProgram) return;
        std::string reason;
        if (!persist::saveBestScore(pageProgram->program.scores, reason))
            std::fprintf(stderr, "hopla: the best score was not saved: %s\n", reason.c_str());
    });
    // Another tab stored a best score: this one shows it when it is higher.
    scoreStore.onChangeElsewhere([] {
        if (pageProgram) persist::takeStoredBestScore(pageProgram->program.scores);
    });
    startGame();
    return 0;
}
