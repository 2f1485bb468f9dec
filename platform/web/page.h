// The page around the game: its frame-by-frame loop, its storage, its messages and what it
// offers when the game has ended.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace platform::web {

// Runs turn once per display refresh until it returns false, then calls ended (outside any
// turn's work, once).
void runEveryFrame(std::function<bool()> turn, std::function<void()> ended);

// The game's message boxes are shown in the page (and on the console).
void showMessagesInPage();

// The page is being left or put away: the last chance to keep what must survive.
void onPageHide(std::function<void()> action);

// The game has ended: the page says so and offers a new game, which runs start.
void offerNewGame(std::function<void()> start);
// The game is running again.
void gameStarted();

// The page's storage (localStorage): the text under a key, or nothing.
std::optional<std::string> readStorage(const std::string& key);
bool writeStorage(const std::string& key, const std::string& text);

// The best-score file lives in memory while the page runs and in the page's storage between
// visits, as the same bytes the desktop's file holds. Restoring writes the stored bytes to the
// file (a record that is missing or damaged leaves no file, which reads as no best score);
// storing keeps the file's first 16 bytes.
void restoreBestScoreFile(const std::filesystem::path& file);
void storeBestScoreFile(const std::filesystem::path& file);

// The storage key of the best score.
constexpr const char* bestScoreStorageKey = "hopla-best-score";

} // namespace platform::web
