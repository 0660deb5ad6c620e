#include "platform/ReplayLibrary.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "game/ReplayFormat.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

constexpr const char* prefix = "round-";
constexpr int digits = 6;

}  // namespace

ReplayLibrary::ReplayLibrary(const std::string& saveFolder) : m_folder(saveFolder + "replays/") {}

long ReplayLibrary::numberOf(const std::string& name) {
    const std::string extension = ReplayFormat::extension;
    const size_t prefixLength = std::char_traits<char>::length(prefix);
    if (name.size() != prefixLength + digits + extension.size() ||
        name.compare(0, prefixLength, prefix) != 0 ||
        name.compare(prefixLength + digits, extension.size(), extension) != 0) {
        return -1;
    }
    long number = 0;
    for (size_t i = prefixLength; i < prefixLength + digits; ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return -1;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::vector<std::pair<long, std::string>> ReplayLibrary::numbered() const {
    std::vector<std::pair<long, std::string>> found;
    std::error_code error;
    std::filesystem::directory_iterator it(m_folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        // Anything under one of the names takes its number, whatever it is.
        const long number = numberOf(name);
        if (number >= 0) {
            found.emplace_back(number, m_folder + name);
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return found;
}

std::vector<std::string> ReplayLibrary::list() const {
    std::vector<std::string> paths;
    for (auto& [number, path] : numbered()) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            paths.push_back(path);
        }
    }
    return paths;
}

std::string ReplayLibrary::newest() const {
    const auto recordings = list();
    return recordings.empty() ? std::string() : recordings.front();
}

std::string ReplayLibrary::newRecording() const {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error) {
        return {};
    }
    const auto found = numbered();
    const long next = found.empty() ? 1 : found.front().first + 1;
    if (next > 999999) {
        return {};
    }
    char name[32];
    std::snprintf(name, sizeof name, "%s%06ld%s", prefix, next, ReplayFormat::extension);
    return m_folder + name;
}

void ReplayLibrary::prune() const {
    const auto recordings = list();
    for (size_t i = kept; i < recordings.size(); ++i) {
        std::error_code error;
        std::filesystem::remove(recordings[i], error);
    }
}

Ref<ReplayRecorder> ReplayLibrary::startRecording(Ref<Platform> platform, std::string* path) const {
    const std::string file = newRecording();
    if (path) {
        *path = file;
    }
    if (file.empty()) {
        return nullptr;
    }
    // Called on the game thread.
    auto pruned = std::make_shared<bool>(false);
    return make<ReplayRecorder>(
        Runtime::currentClock(),
        [platform = std::move(platform), file, library = *this, pruned](const std::vector<uint8_t>& bytes) {
            if (platform->replaceFile(file.c_str(), bytes.data(), static_cast<int32_t>(bytes.size())) &&
                !*pruned) {
                *pruned = true;
                library.prune();
            }
        });
}

}  // namespace fairholm
