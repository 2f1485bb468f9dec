#include "platform/web/page.h"

#include "platform/message_box.h"
#include "platform/web/page_bindings.h"
#include "platform/web/stored_bytes.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

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

std::optional<std::string> readStorage(const std::string& key) {
    char* text = hopla_storage_read(key.c_str());
    if (!text) return std::nullopt;
    std::string copy(text);
    std::free(text);
    return copy;
}

bool writeStorage(const std::string& key, const std::string& text) {
    return hopla_storage_write(key.c_str(), text.c_str()) != 0;
}

void restoreBestScoreFile(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    const std::optional<std::string> text = readStorage(bestScoreStorageKey);
    if (!text) return;
    const std::optional<std::vector<std::uint8_t>> bytes = decodeStoredBytes(*text);
    if (!bytes) {
        std::fprintf(stderr, "hopla: the stored best score is damaged and counts as 0\n");
        return;
    }
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
}

void storeBestScoreFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return; // nothing was saved: what the storage holds stays
    std::vector<std::uint8_t> bytes(maxStoredBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (!writeStorage(bestScoreStorageKey, encodeStoredBytes(bytes)))
        std::fprintf(stderr, "hopla: the page may not store the best score\n");
}

} // namespace platform::web
