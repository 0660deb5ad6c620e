#include "tools/soundgen/SoundScript.h"

#include <cctype>

namespace fairholm::soundgen {

namespace {

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == '#') {
            break;
        }
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j])) && line[j] != '#') {
            ++j;
        }
        words.emplace_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

std::string at(int line, const std::string& message) {
    return "line " + std::to_string(line) + ": " + message;
}

}  // namespace

bool SoundScript::isValidName(std::string_view name) {
    if (name.empty() || name.size() > 32 || !std::isalnum(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') {
            return false;
        }
    }
    return true;
}

const SoundDesc* SoundScript::find(std::string_view name) const {
    for (const SoundDesc& s : m_sounds) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

bool SoundScript::parse(std::string_view text, std::string& error) {
    m_sounds.clear();
    SoundDesc* open = nullptr;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        for (char c : line) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u == 0 || u >= 0x80 || (u < 0x20 && c != '\t' && c != '\r')) {
                error = at(lineNumber, "unexpected character");
                return false;
            }
        }
        std::vector<std::string> words = splitWords(line);
        if (words.empty()) {
            continue;
        }
        const std::string& key = words[0];
        if (key == "sound") {
            if (open != nullptr) {
                error = at(lineNumber, "sound '" + open->name + "' is not closed with 'end'");
                return false;
            }
            if (words.size() != 2 || !isValidName(words[1])) {
                error = at(lineNumber, "expected 'sound <name>' with a plain file name");
                return false;
            }
            if (find(words[1]) != nullptr) {
                error = at(lineNumber, "sound '" + words[1] + "' is defined twice");
                return false;
            }
            open = &m_sounds.emplace_back();
            open->line = lineNumber;
            open->name = words[1];
        } else if (key == "end") {
            if (open == nullptr || words.size() != 1) {
                error = at(lineNumber, "'end' without an open sound");
                return false;
            }
            open = nullptr;
        } else if (open == nullptr) {
            error = at(lineNumber, "'" + key + "' outside a sound");
            return false;
        } else if (key == "layer" || key == "track") {
            if (words.size() != 2) {
                error = at(lineNumber, "expected '" + key + " <" + (key == "layer" ? "type" : "name") + ">'");
                return false;
            }
            ScriptBlock& block = open->blocks.emplace_back();
            block.line = lineNumber;
            block.kind = key;
            block.label = words[1];
        } else {
            ScriptEntry entry;
            entry.line = lineNumber;
            entry.key = key;
            entry.values.assign(words.begin() + 1, words.end());
            if (open->blocks.empty()) {
                open->entries.push_back(std::move(entry));
            } else {
                open->blocks.back().entries.push_back(std::move(entry));
            }
        }
    }
    if (open != nullptr) {
        error = "sound '" + open->name + "' is not closed with 'end'";
        return false;
    }
    return true;
}

}  // namespace fairholm::soundgen
