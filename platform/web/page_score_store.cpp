#include "platform/web/page_score_store.h"

#include "platform/web/page_bindings.h"
#include "platform/web/stored_bytes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace platform::web {

namespace {

const char* const blocked = "the browser does not let this page use its storage";

// The line under the canvas; an empty text takes it away.
void sayInPage(const std::string& line) {
    hopla_storage_said(line.c_str());
}

} // namespace

bool PageScoreStore::read(ScoreBytes& bytes, std::string& reason) {
    std::memset(bytes, 0, sizeof bytes);
    int refused = 0;
    char* text = hopla_storage_read(bestScoreStorageKey, &refused);
    if (refused) {
        reason = blocked;
        sayInPage(std::string("The best score can't be kept: ") + blocked + ".");
        return false;
    }
    if (!text) return true;
    // Damaged text reads as no best score, as a damaged file does, and the next save replaces it.
    const std::optional<std::vector<std::uint8_t>> stored = decodeStoredBytes(text);
    std::free(text);
    if (stored) std::copy(stored->begin(), stored->end(), bytes);
    return true;
}

bool PageScoreStore::update(const std::function<void(ScoreBytes&)>& change, std::string& reason) {
    ScoreBytes bytes;
    if (!read(bytes, reason)) return false;
    change(bytes);
    const std::vector<std::uint8_t> record(bytes, bytes + sizeof bytes);
    switch (hopla_storage_write(bestScoreStorageKey, encodeStoredBytes(record).c_str())) {
    case storageWritten:
        sayInPage("");
        return true;
    case storageFull:
        reason = "the browser's storage for this site is full";
        break;
    default:
        reason = blocked;
        break;
    }
    sayInPage("The best score was not saved: " + reason + ".");
    return false;
}

void PageScoreStore::onChangeElsewhere(std::function<void()> changed) {
    changedElsewhere = std::move(changed);
    if (listening) return;
    listening = true;
    hopla_storage_on_change(
        bestScoreStorageKey,
        [](void* data) {
            auto& store = *static_cast<PageScoreStore*>(data);
            if (store.changedElsewhere) store.changedElsewhere();
        },
        this);
}

} // namespace platform::web
