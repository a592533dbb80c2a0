#include "backends/mecab_reading.h"

#include <mecab.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace velmora::backends {

namespace {

// The fields of a MeCab feature line (CSV; UniDic quotes some fields).
std::vector<std::string_view> splitFeature(std::string_view feature)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= feature.size(); ++i) {
        if (i < feature.size() && feature[i] == '"') {
            quoted = !quoted;
        } else if (i == feature.size() || (feature[i] == ',' && !quoted)) {
            std::string_view field = feature.substr(start, i - start);
            if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
                field = field.substr(1, field.size() - 2);
            }
            fields.push_back(field);
            start = i + 1;
        }
    }
    return fields;
}

// The kana reading of a token: IPAdic keeps it in field 7 (of 9), UniDic in
// its "kana" field 20 (of 29 or more). Empty when the token is unknown.
std::string_view readingOfFeature(std::string_view feature)
{
    const std::vector<std::string_view> fields = splitFeature(feature);
    std::string_view reading;
    if (fields.size() >= 21) {
        reading = fields[20];
    } else if (fields.size() >= 8 && fields.size() <= 9) {
        reading = fields[7];
    }
    return reading == "*" ? std::string_view() : reading;
}

bool isKanaOrKanji(std::string_view utf8)
{
    return readings::hasJapanese(utf8);
}

}  // namespace

std::vector<MecabDictionaryPlace> knownMecabDictionaries()
{
    return {
        {"unidic", "/var/lib/mecab/dic/unidic"},
        {"ipadic-utf8", "/var/lib/mecab/dic/ipadic-utf8"},
    };
}

struct MecabReadingDictionary::Tagger {
    mecab_model_t* model = nullptr;
    // One lattice at a time: MeCab's tagger is not safe to share.
    std::mutex mutex;
    ~Tagger()
    {
        if (model != nullptr) {
            mecab_model_destroy(model);
        }
    }
};

MecabReadingDictionary::MecabReadingDictionary()
{
    for (const MecabDictionaryPlace& place : knownMecabDictionaries()) {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::path(place.directory) / "sys.dic", ec)) {
            open(place.directory);
            if (available()) {
                return;
            }
        }
    }
    if (message_.empty()) {
        message_ =
            "読みの辞書 (MeCab の辞書 unidic-mecab または mecab-ipadic-utf8) "
            "がインストールされていないため、読みを自動で求められません。";
    }
}

MecabReadingDictionary::MecabReadingDictionary(const std::string& directory)
{
    open(directory);
}

MecabReadingDictionary::~MecabReadingDictionary() = default;

void MecabReadingDictionary::open(const std::string& directory)
{
    tagger_.reset();
    directory_.clear();
    // Options as argv: the folder may hold spaces. The user's mecabrc is
    // not read: /dev/null stands for an empty one.
    std::string dictionaryOption = "-d" + directory;
    std::string rcOption = "-r/dev/null";
    char program[] = "velmora";
    char* argv[] = {program, dictionaryOption.data(), rcOption.data()};
    mecab_model_t* model = mecab_model_new(3, argv);
    if (model == nullptr) {
        message_ = "読みの辞書 (" + directory + ") を開けないため、読みを自動で求められません。";
        return;
    }
    tagger_ = std::make_unique<Tagger>();
    tagger_->model = model;
    directory_ = directory;
    message_.clear();
}

bool MecabReadingDictionary::available() const
{
    return tagger_ != nullptr;
}

std::string MecabReadingDictionary::unavailableMessage() const
{
    return available() ? std::string() : message_;
}

std::vector<std::string> MecabReadingDictionary::readings(std::string_view text) const
{
    std::vector<std::string> found;
    if (!available() || text.empty()) {
        return found;
    }
    std::lock_guard<std::mutex> lock(tagger_->mutex);
    mecab_t* tagger = mecab_model_new_tagger(tagger_->model);
    mecab_lattice_t* lattice = mecab_model_new_lattice(tagger_->model);
    if (tagger == nullptr || lattice == nullptr) {
        if (lattice != nullptr) {
            mecab_lattice_destroy(lattice);
        }
        if (tagger != nullptr) {
            mecab_destroy(tagger);
        }
        return found;
    }
    const std::string input(text);
    mecab_lattice_set_sentence2(lattice, input.c_str(), input.size());
    mecab_lattice_set_request_type(lattice, MECAB_NBEST);
    constexpr int kCandidates = 3;
    if (mecab_parse_lattice(tagger, lattice) != 0) {
        for (int n = 0; n < kCandidates * 2 && static_cast<int>(found.size()) < kCandidates; ++n) {
            if (n > 0 && mecab_lattice_next(lattice) == 0) {
                break;
            }
            std::string reading;
            bool readable = true;
            for (const mecab_node_t* node = mecab_lattice_get_bos_node(lattice); node != nullptr;
                 node = node->next) {
                if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) {
                    continue;
                }
                const std::string_view surface(node->surface, node->length);
                if (node->rlength > node->length && !reading.empty()) {
                    reading += ' ';
                }
                if (!isKanaOrKanji(surface)) {
                    // Latin letters, digits and signs are read as written.
                    reading += surface;
                    continue;
                }
                const std::string_view kana = readingOfFeature(node->feature);
                if (kana.empty()) {
                    readable = false;
                    break;
                }
                reading += kana;
            }
            if (readable && !reading.empty() &&
                std::find(found.begin(), found.end(), reading) == found.end()) {
                found.push_back(std::move(reading));
            }
        }
    }
    mecab_lattice_destroy(lattice);
    mecab_destroy(tagger);
    return found;
}

}  // namespace velmora::backends
