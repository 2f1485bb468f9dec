// The desktop's best-score store: a 16-byte file in the player's data folder, replaced whole
// under a lock on its folder, so that games ending together take turns and none is half written.
#pragma once

#include "platform/score_store.h"

#include <filesystem>

namespace platform {

// The file at one path. A path that is a symbolic link (to a synced or dotfiles folder) stays
// a link: its target is read and replaced, in the target's own folder.
class FileScoreStore final : public ScoreStore {
public:
    explicit FileScoreStore(std::filesystem::path file) : file(std::move(file)) {}

    // The file's first 16 bytes, zero bytes where it is shorter; no file reads as 16 zero
    // bytes. False when the file exists but can't be read (no read permission, a folder).
    bool read(ScoreBytes& bytes, std::string& reason) override;

    // With the folder locked (a few seconds at most: a game stuck in its save must not hang
    // this one's exit): clears away what interrupted saves left, reads the file again, and
    // writes what change makes of it to a new file beside it, which is made durable and renamed
    // over the old one, the rename made durable too. A new file gets the usual mode under the
    // umask, a replaced one keeps its mode. The data folder is made if missing; a link that
    // leads nowhere (a loop, a folder that does not exist) is left as it is. A file the player
    // made read-only is left as it is too.
    bool update(const std::function<void(ScoreBytes&)>& change, std::string& reason) override;

    std::string name() const override { return file.string(); }

private:
    std::filesystem::path file;
};

// $XDG_DATA_HOME/hopla/hsd.dat, or $HOME/.local/share/hopla/hsd.dat when XDG_DATA_HOME is unset,
// empty or relative (the account's home folder when HOME is unset or empty); empty when there
// is no home at all.
std::filesystem::path bestScoreFilePath();

} // namespace platform
