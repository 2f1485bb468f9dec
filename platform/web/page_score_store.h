// The page's best-score store: the browser's localStorage, read and written directly, the 16
// bytes as hexadecimal text under one key. When the page may not use it, or a save fails, the
// page says so in one line under the canvas and the game plays on.
#pragma once

#include "platform/score_store.h"

namespace platform::web {

// The storage key of the best score.
constexpr const char* bestScoreStorageKey = "hopla-best-score";

class PageScoreStore final : public ScoreStore {
public:
    // Nothing stored, or text that is not a stored record, reads as zero bytes. False when the
    // browser does not let the page use its storage.
    bool read(ScoreBytes& bytes, std::string& reason) override;

    // Reads the stored text again and stores what change makes of it, in one go: nothing of
    // this tab runs in between, and another tab's save lands before the read or after the
    // write (the browser offers no lock that a save at the page's hiding could wait for).
    bool update(const std::function<void(ScoreBytes&)>& change, std::string& reason) override;

    std::string name() const override { return "the page's storage"; }

    // Runs changed whenever another tab of the page's site stores a best score, or takes it
    // away: what is stored may then be higher than what this tab read.
    void onChangeElsewhere(std::function<void()> changed);

private:
    std::function<void()> changedElsewhere;
    bool listening = false; // the page tells this store of changes, once asked to
};

} // namespace platform::web
