// A profile file as a user may have edited it (Setting.ini, FileServer.ini): parsed,
// looked up, and changed with WriteProfileString, which must keep the file readable
// and make the key it sets read back as set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ini_file.h"
#include "app/utf8.h"
#include "fuzz/fuzz_input.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

const std::string& ScratchFile() {
    static const std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fk-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern + "/Setting.ini";
    }();
    return path;
}

// A value cut to N characters is a prefix of the whole that never ends inside one.
void CheckCut(const std::string& whole, const std::string& cut) {
    Check(whole.compare(0, cut.size(), cut) == 0);
    Check(cut.size() == whole.size() || fk::StartsUtf8Character(whole[cut.size()]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fk::fuzz::AsText({data, size}));
    const fk::CIniFile ini = fk::CIniFile::Parse(text);
    for (const char* section : {"SERVER", "Setting", "LCID", "ProgramOutStr"}) {
        for (const auto& [key, value] : ini.Section(section)) {
            CheckCut(value, ini.Read(section, key, "", 3));
            Check(ini.Find(section, key) == value);
        }
    }

    const std::string& path = ScratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    Check(fk::WriteProfileString(path, "Server", "Port", "6969"));
    Check(fk::CIniFile::Load(path).Find("SERVER", "port") == "6969");
    return 0;
}
