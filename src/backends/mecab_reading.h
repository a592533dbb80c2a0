// Readings of artist names through MeCab (libmecab) and one of its
// dictionaries: IPAdic (mecab-ipadic-utf8) or UniDic (unidic-mecab).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/readings/reading_dictionary.h"

namespace velmora::backends {

struct MecabDictionaryPlace {
    std::string name;       // "unidic", "ipadic-utf8"
    std::string directory;  // the dictionary's folder
};

// The dictionaries the reading command may use, in the order it prefers
// them (the one that read most artist names right in the benchmark first).
std::vector<MecabDictionaryPlace> knownMecabDictionaries();

class MecabReadingDictionary : public readings::ReadingDictionary {
public:
    // Opens the first installed dictionary of knownMecabDictionaries().
    MecabReadingDictionary();
    // Opens the dictionary in `directory`.
    explicit MecabReadingDictionary(const std::string& directory);
    ~MecabReadingDictionary() override;
    MecabReadingDictionary(const MecabReadingDictionary&) = delete;
    MecabReadingDictionary& operator=(const MecabReadingDictionary&) = delete;

    bool available() const override;
    std::string unavailableMessage() const override;
    std::vector<std::string> readings(std::string_view text) const override;
    // The folder of the dictionary in use (empty when none).
    const std::string& directory() const { return directory_; }

private:
    struct Tagger;
    void open(const std::string& directory);

    std::unique_ptr<Tagger> tagger_;
    std::string directory_;
    std::string message_;
};

}  // namespace velmora::backends
