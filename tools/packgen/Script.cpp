#include "tools/packgen/Script.h"

#include <fstream>
#include <sstream>

namespace fairholm::packgen {

bool Script::load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    parse(text.str());
    return true;
}

void Script::parse(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        const size_t hash = raw.find('#');
        if (hash != std::string::npos) {
            raw.erase(hash);
        }
        std::istringstream words(raw);
        Line line;
        std::string word;
        while (words >> word) {
            line.push_back(word);
        }
        if (line.empty()) {
            continue;
        }
        // A colour is six hex digits; anything else is left out of the palette, so that
        // the pictures asking for it report it missing.
        if (line[0] == "colour" && line.size() >= 3 && line[2].size() == 6 &&
            line[2].find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
            m_colours[line[1]] = Colour::fromHex(static_cast<uint32_t>(std::stoul(line[2], nullptr, 16)));
        }
        m_lines.push_back(std::move(line));
    }
}

std::vector<Script::Line> Script::all(const std::string& keyword) const {
    std::vector<Line> out;
    for (const Line& line : m_lines) {
        if (line[0] == keyword) {
            out.push_back(line);
        }
    }
    return out;
}

Script::Line Script::find(const std::string& keyword, const std::string& name) const {
    for (const Line& line : m_lines) {
        if (line.size() >= 2 && line[0] == keyword && line[1] == name) {
            return line;
        }
    }
    return {};
}

Colour Script::colour(const std::string& name) const {
    const auto it = m_colours.find(name);
    if (it == m_colours.end()) {
        m_missing.push_back(name);
        return Colour{1.0, 0.0, 1.0};
    }
    return it->second;
}

std::map<std::string, double> Script::numbers(const std::string& keyword, const std::string& name) const {
    std::map<std::string, double> out;
    const Line line = find(keyword, name);
    for (size_t i = 2; i + 1 < line.size(); i += 2) {
        out[line[i]] = std::stod(line[i + 1]);
    }
    return out;
}

}  // namespace fairholm::packgen
