// How many artist names each MeCab dictionary reads right.
//
//   velmora-reading-bench [LIST] [--misses]
//
// LIST (default: bench/artist_readings.tsv) holds name<TAB>reading lines.
// A name counts as read right when the dictionary's first reading, in
// hiragana and without spaces, equals the listed one; "in top 3" counts a
// right reading among its first three. --misses prints the wrong readings.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "backends/mecab_reading.h"

namespace {

std::string normalised(std::string_view reading)
{
    std::string out;
    for (char c : velmora::readings::toHiragana(reading)) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string list = VELMORA_BENCH_DIR "/artist_readings.tsv";
    bool misses = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--misses") == 0) {
            misses = true;
        } else {
            list = argv[i];
        }
    }
    std::vector<std::pair<std::string, std::string>> names;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) {
            continue;
        }
        names.emplace_back(line.substr(0, tab), normalised(line.substr(tab + 1)));
    }
    if (names.empty()) {
        std::fprintf(stderr, "no names in %s\n", list.c_str());
        return 2;
    }
    std::printf("%zu names from %s\n", names.size(), list.c_str());
    std::printf("%-12s %10s %10s %12s\n", "dictionary", "right", "in top 3", "ms per name");
    for (const velmora::backends::MecabDictionaryPlace& place : velmora::backends::knownMecabDictionaries()) {
        const velmora::backends::MecabReadingDictionary dictionary(place.directory);
        if (!dictionary.available()) {
            std::printf("%-12s not installed\n", place.name.c_str());
            continue;
        }
        int right = 0;
        int inTop = 0;
        std::vector<std::string> wrong;
        const auto start = std::chrono::steady_clock::now();
        for (const auto& [name, reading] : names) {
            const std::vector<std::string> found = dictionary.readings(name);
            bool top = false;
            for (const std::string& candidate : found) {
                top = top || normalised(candidate) == reading;
            }
            if (!found.empty() && normalised(found.front()) == reading) {
                ++right;
            } else {
                wrong.push_back(name + "\t" + reading + "\t" +
                                (found.empty() ? "-" : normalised(found.front())));
            }
            inTop += top ? 1 : 0;
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
            static_cast<double>(names.size());
        const double total = static_cast<double>(names.size());
        std::printf("%-12s %5d %3.0f%% %5d %3.0f%% %12.3f\n", place.name.c_str(), right,
                    100.0 * right / total, inTop, 100.0 * inTop / total, ms);
        if (misses) {
            for (const std::string& miss : wrong) {
                std::printf("  miss\t%s\n", miss.c_str());
            }
        }
    }
    return 0;
}
