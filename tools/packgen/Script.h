#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/packgen/Canvas.h"

namespace fairholm::packgen {

// A picture source file: one statement per line, words separated by blanks, "#"
// starts a comment. Statements are looked up by their first word (and, where
// several share it, by the second).
class Script {
public:
    using Line = std::vector<std::string>;

    bool load(const std::string& path, std::string& error);
    // Parses text directly (tests, built-in defaults).
    void parse(const std::string& text);

    const std::vector<Line>& lines() const { return m_lines; }
    // All statements whose first word is `keyword`.
    std::vector<Line> all(const std::string& keyword) const;
    // The statement `keyword name ...`, or an empty line.
    Line find(const std::string& keyword, const std::string& name) const;

    // `colour <name> <RRGGBB>` statements: the palette every picture draws from.
    Colour colour(const std::string& name) const;
    bool hasColour(const std::string& name) const { return m_colours.count(name) != 0; }
    // Names asked for with colour() that the palette lacks.
    std::vector<std::string> missingColours() const { return m_missing; }

    // `<keyword> <name> key value key value ...` as a map of numbers.
    std::map<std::string, double> numbers(const std::string& keyword, const std::string& name) const;

private:
    std::vector<Line> m_lines;
    std::map<std::string, Colour> m_colours;
    mutable std::vector<std::string> m_missing;
};

}  // namespace fairholm::packgen
