// The page around the game: its frame-by-frame loop, its messages and what it offers when the
// game has ended.
#pragma once

#include <functional>

namespace platform::web {

// Runs turn once per display refresh until it returns false, then calls ended (outside any
// turn's work, once).
void runEveryFrame(std::function<bool()> turn, std::function<void()> ended);

// The game's message boxes are shown in the page (and on the console).
void showMessagesInPage();

// The page is being left or hidden (a hidden tab may be discarded, a phone's browser killed,
// with no word to the page): the last sure chance to keep what must survive.
void onPageHide(std::function<void()> action);

// The game has ended: the page says so and offers a new game, which runs start.
void offerNewGame(std::function<void()> start);
// The game is running again.
void gameStarted();

} // namespace platform::web
