#include "platform/web/page.h"

#include "platform/message_box.h"
#include "platform/web/page_bindings.h"

#include <emscripten/emscripten.h>

#include <string>
#include <utility>

namespace platform::web {

namespace {

// The page has one loop, one hide action and one offer at a time; the callbacks from the page
// carry no data, so they live here.
std::function<bool()> currentTurn;
std::function<void()> whenEnded;
std::function<void()> hideAction;
std::function<void()> newGame;

void runTurn() {
    if (currentTurn && currentTurn()) return;
    emscripten_cancel_main_loop();
    currentTurn = nullptr;
    // Taken out first: ending may start a new loop with a new ending.
    std::function<void()> ended = std::exchange(whenEnded, nullptr);
    if (ended) ended();
}

void pageHidden() {
    if (hideAction) hideAction();
}

void newGameAsked() {
    if (newGame) std::exchange(newGame, nullptr)();
}

} // namespace

void runEveryFrame(std::function<bool()> turn, std::function<void()> ended) {
    currentTurn = std::move(turn);
    whenEnded = std::move(ended);
    // 0 frames per second: at the display's refresh. Not simulating an endless loop, so the
    // caller returns and the page stays responsive.
    emscripten_set_main_loop(runTurn, 0, 0);
}

void showMessagesInPage() {
    setMessageBoxPresenter([](std::string_view caption, std::string_view text) {
        hopla_page_message(std::string(caption).c_str(), std::string(text).c_str());
    });
}

void onPageHide(std::function<void()> action) {
    const bool first = !hideAction;
    hideAction = std::move(action);
    if (first) hopla_page_on_hide(pageHidden);
}

void offerNewGame(std::function<void()> start) {
    newGame = std::move(start);
    hopla_page_ended(newGameAsked);
}

void gameStarted() {
    hopla_page_started();
}

} // namespace platform::web
