#include "platform/web/page.h"

#include "platform/message_box.h"
#include "platform/web/page_bindings.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
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

// Each loop gets a number of its own: a frame asked for by a loop that has ended never runs a
// turn of the loop after it.
std::uintptr_t currentLoop = 0;

// One display refresh: the turn, or, once it is over, the loop's end. The browser calls it
// straight from requestAnimationFrame; false asks for no more frames.
EM_BOOL runTurn(double, void* loop) {
    if (reinterpret_cast<std::uintptr_t>(loop) != currentLoop) return EM_FALSE;
    if (currentTurn && currentTurn()) return EM_TRUE;
    ++currentLoop;
    currentTurn = nullptr;
    // Taken out first: ending may start a new loop with a new ending.
    std::function<void()> ended = std::exchange(whenEnded, nullptr);
    if (ended) ended();
    return EM_FALSE;
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
    // A frame per display refresh, asked of the browser directly: emscripten's own main loop
    // costs script time every frame for pacing that a loop at the display's rate never uses.
    // The caller returns and the page stays responsive.
    emscripten_request_animation_frame_loop(runTurn, reinterpret_cast<void*>(++currentLoop));
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
