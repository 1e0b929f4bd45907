// A language pack as a translator may have written it: the program reads it at
// start-up and every shown text goes through its table, escapes applied.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ini_file.h"
#include "app/language.h"
#include "fuzz/fuzz_input.h"

namespace {

constexpr std::uint32_t kLocale = 2052;

const std::string& ProgramFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fk-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        const std::filesystem::path languages = std::filesystem::path(pattern) / "Languages";
        std::filesystem::create_directories(languages);
        std::ofstream(languages / "Language.ini") << "[LCID]\n2052=Fuzz\n";
        return pattern + "/";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = ProgramFolder();
    const std::string text(fk::fuzz::AsText({data, size}));
    std::ofstream(folder + "Languages/Fuzz.lng", std::ios::binary | std::ios::trunc) << text;
    fk::COperateLanguage& language = fk::COperateLanguage::Instance();
    language.Init(folder, kLocale);
    if (language.LocaleId() != kLocale) std::abort();
    int asked = 0;
    for (const auto& entry : fk::CIniFile::Parse(text).Section("ProgramOutStr")) {
        language.Translate(entry.first);
        if (++asked == 16) break;
    }
    language.Translate("Search");
    language.Translate(text.substr(0, 64));
    return 0;
}
