#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fairholm::soundgen {

// One "key value value ..." line of a sound description.
struct ScriptEntry {
    int line = 0;
    std::string key;
    std::vector<std::string> values;
};

// A "layer <kind>" or "track <name>" block inside a sound, with its own entries.
struct ScriptBlock {
    int line = 0;
    std::string kind;   // "layer" or "track"
    std::string label;  // the layer's type or the track's name
    std::vector<ScriptEntry> entries;
};

// One "sound <name> ... end" section.
struct SoundDesc {
    int line = 0;
    std::string name;
    std::vector<ScriptEntry> entries;  // sound-wide settings, before the first block
    std::vector<ScriptBlock> blocks;
};

// Reads the sound description text:
//
//   # comment to the end of the line
//   sound <name>          opens a sound; <name> is its file name
//     <key> <values...>   a sound-wide setting
//     layer <type>        starts an effect layer (tone, noise, train, bubbles)
//     track <name>        starts a musical track
//       <key> <values...> a setting of the current layer or track
//   end                   closes the sound
//
// Parsing checks only the structure; the keys are checked by the renderers.
class SoundScript {
public:
    // Answers false with a message ("line N: ...") when the text is malformed.
    bool parse(std::string_view text, std::string& error);

    const std::vector<SoundDesc>& sounds() const { return m_sounds; }
    const SoundDesc* find(std::string_view name) const;

    // A sound name becomes a file name: 1 to 32 characters out of a-z, A-Z, 0-9, '_'
    // and '-', starting with a letter or digit.
    static bool isValidName(std::string_view name);

private:
    std::vector<SoundDesc> m_sounds;
};

}  // namespace fairholm::soundgen
