#include "platform/WindowConfig.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/AtomicFile.h"
#include "platform/ConfigFile.h"
#include "platform/Launcher.h"

namespace fairholm {

namespace {

// A decimal number of at most five digits from `text[at]` on; false when there is none.
bool readNumber(const std::string& text, size_t& at, int32_t& value) {
    const size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 5) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return at > start && (at >= text.size() || text[at] < '0' || text[at] > '9');
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool WindowConfig::isSane(int32_t width, int32_t height) {
    return width >= minSide && width <= maxSide && height >= minSide && height <= maxSide;
}

bool WindowConfig::parse(const std::string& text, int32_t& width, int32_t& height, std::string& error) {
    bool found = false;
    int32_t foundWidth = 0;
    int32_t foundHeight = 0;
    int32_t lineNumber = 0;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++lineNumber;
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        size_t at = 0;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (line.compare(at, 4, "size") != 0 || at + 4 >= line.size() || !isBlank(line[at + 4])) {
            error = where + "expected \"size WIDTHxHEIGHT\"";
            return false;
        }
        at += 4;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        int32_t w = 0;
        int32_t h = 0;
        if (!readNumber(line, at, w) || at >= line.size() || line[at] != 'x' || !readNumber(line, ++at, h)) {
            error = where + "expected \"size WIDTHxHEIGHT\"";
            return false;
        }
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at != line.size()) {
            error = where + "unexpected text after the size";
            return false;
        }
        if (!isSane(w, h)) {
            error = where + "a side of " + std::to_string(w) + "x" + std::to_string(h) + " is not within " +
                    std::to_string(minSide) + " to " + std::to_string(maxSide) + " pixels";
            return false;
        }
        if (found) {
            error = where + "a second size";
            return false;
        }
        found = true;
        foundWidth = w;
        foundHeight = h;
    }
    if (!found) {
        error = "no size";
        return false;
    }
    width = foundWidth;
    height = foundHeight;
    return true;
}

std::string WindowConfig::format(int32_t width, int32_t height) {
    return "# The window's size when fairholm last ended (written by the game).\nsize " +
           std::to_string(width) + "x" + std::to_string(height) + "\n";
}

bool WindowConfig::load(const std::string& path, int32_t& width, int32_t& height) {
    std::string text;
    const ConfigFile::Status status = ConfigFile::read(path, maxBytes, text);
    if (status == ConfigFile::Status::Missing) {
        return false;
    }
    if (status != ConfigFile::Status::Read) {
        std::fprintf(stderr, "fairholm: %s: %s; the default window size applies\n", path.c_str(),
                     ConfigFile::describe(status, maxBytes).c_str());
        return false;
    }
    std::string error;
    int32_t w = 0;
    int32_t h = 0;
    if (!parse(text, w, h, error)) {
        std::fprintf(stderr, "fairholm: %s: %s; the default window size applies\n", path.c_str(),
                     error.c_str());
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool WindowConfig::save(const std::string& path, int32_t width, int32_t height) {
    if (path.empty()) {
        return false;
    }
    // A window made smaller or larger than a sane size is remembered at the nearest one.
    const std::string text =
        format(std::clamp(width, minSide, maxSide), std::clamp(height, minSide, maxSide));
    if (!Launcher::makeConfigFolder(path) ||
        !AtomicFile::replace(path.c_str(), reinterpret_cast<const uint8_t*>(text.data()),
                             static_cast<int32_t>(text.size()))) {
        std::fprintf(stderr, "fairholm: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace fairholm
