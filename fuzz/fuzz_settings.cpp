// The settings file: reading any file, writing the settings into it and
// reading that again gives the same settings, and writing them once more
// gives the same file (read -> write -> read is a fixed point). Any value
// written for a key reads back exactly, except for line ends, which a
// value cannot hold.
#include <cstdint>
#include <string>

#include "core/store/app_settings.h"
#include "core/store/data_file.h"
#include "core/store/ini_file.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;

std::string settingsText(const store::AppSettings& settings)
{
    store::IniFile file;
    settings.writeTo(file);
    return file.serialize();
}

void checkSettingsRoundTrip(std::string_view bytes)
{
    store::IniFile file = store::IniFile::parse(bytes);
    store::AppSettings first;
    first.readFrom(file);
    first.writeTo(file);
    const std::string written = file.serialize();

    store::IniFile back = store::IniFile::parse(written);
    store::AppSettings second;
    second.readFrom(back);
    FUZZ_CHECK(settingsText(first) == settingsText(second), "read -> write -> read gives the same settings");
    second.writeTo(back);
    FUZZ_CHECK(back.serialize() == written, "writing the same settings again gives the same file");
}

void checkValueRoundTrip(std::string_view input)
{
    std::string_view section = fuzz::takePiece(input, 12);
    std::string_view value = fuzz::takePiece(input, 64);
    store::IniFile file = store::IniFile::parse(input);
    // Names as the program uses them: letters and digits.
    std::string sectionName = "S";
    for (char c : section) {
        sectionName += std::isalnum(static_cast<unsigned char>(c)) ? c : 'x';
    }
    file.write(sectionName, "Key", value);
    store::IniFile back = store::IniFile::parse(file.serialize());
    std::string expected;
    for (char c : value) {
        if (c != '\r' && c != '\n') {
            expected += c;
        }
    }
    FUZZ_CHECK(back.read(sectionName, "Key") == expected, "a written value reads back as it was");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    checkSettingsRoundTrip(input);
    checkValueRoundTrip(input);
    return 0;
}
