#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/sprite/Platform.h"
#include "game/ReplayRecorder.h"
#include "runtime/Ref.h"

namespace fairholm {

// The recordings a player's games leave behind: "replays/round-NNNNNN.fhr" in the save
// folder, numbered in the order they were made, the last `kept` of them kept.
class ReplayLibrary {
public:
    static constexpr size_t kept = 20;

    // `saveFolder` ends with a separator (or is empty: the current folder).
    explicit ReplayLibrary(const std::string& saveFolder);

    const std::string& folder() const { return m_folder; }
    // The recordings, newest first.
    std::vector<std::string> list() const;
    // The newest recording; empty when there is none.
    std::string newest() const;
    // The path for a new recording, making the folder when it is missing; empty when it
    // cannot be made.
    std::string newRecording() const;
    // Removes the oldest recordings beyond `kept`.
    void prune() const;
    // A recorder of the next game into a new recording, written whole through
    // `platform` at every stroke and when the game ends; the oldest recordings make room
    // once it exists. Null when the folder cannot be made. `path` gets the file's path.
    Ref<ReplayRecorder> startRecording(Ref<Platform> platform, std::string* path = nullptr) const;

    // The number in a recording's file name; -1 when the name is not one of ours.
    static long numberOf(const std::string& name);

private:
    std::vector<std::pair<long, std::string>> numbered() const;

    std::string m_folder;
};

}  // namespace fairholm
