#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "tools/soundgen/SoundScript.h"

namespace fairholm::soundgen {

// Typed, range-checked access to the entries of a sound or a block. Every key that
// is read is marked; finish() reports keys nobody asked for (typing mistakes) and
// the first bad value. Missing keys give their defaults.
class Params {
public:
    Params(const std::vector<ScriptEntry>& entries, std::string where);

    // A single number in [lo, hi].
    double number(const char* key, double fallback, double lo, double hi);
    // A whole number in [lo, hi].
    int integer(const char* key, int fallback, int lo, int hi);
    // One or more numbers in [lo, hi]; fallback when the key is absent.
    std::vector<double> numbers(const char* key, std::vector<double> fallback, double lo, double hi);
    // One word out of the allowed ones.
    std::string word(const char* key, const char* fallback, std::initializer_list<const char*> allowed);
    // All values of every line with this key, in order (lines may repeat, as "notes").
    std::vector<std::string> words(const char* key);

    void fail(const std::string& message);
    bool ok() const { return m_error.empty(); }

    // False with the first problem in error: a bad value or an unknown key.
    bool finish(std::string& error);

private:
    const ScriptEntry* find(const char* key, int& count);

    const std::vector<ScriptEntry>& m_entries;
    std::vector<bool> m_used;
    std::string m_where;
    std::string m_error;
};

// Parses a whole decimal number ("12", "-0.25", "1e-3"); false for anything else,
// for infinities and for not-a-number.
bool parseNumber(const std::string& text, double& value);

// Shortest readable form of a number, for messages.
std::string formatNumber(double value);

}  // namespace fairholm::soundgen
