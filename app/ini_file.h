// Profile files (Setting.ini, the language packs, the file server's FileServer.ini)
// read and written with the rules users know from them: section and key names match
// without regard to case, blanks around keys and values are dropped, a value is cut
// to a caller-given number of characters, and a missing file or key gives the default.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fk {

class CIniFile {
  public:
    // One parsed file. A missing or unreadable file parses as empty.
    static CIniFile Load(const std::string& path);
    static CIniFile Parse(std::string_view text);

    // The value as written (trimmed, quotes around it removed), or nullopt.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value cut to `max_chars` characters; `fallback` when the key is missing.
    std::string Read(std::string_view section, std::string_view key, std::string_view fallback,
                     std::size_t max_chars) const;
    // Every key of a section (lower-cased) with its value; empty when absent.
    std::map<std::string, std::string> Section(std::string_view section) const;

  private:
    // Lower-cased section name -> lower-cased key -> value.
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

// One lookup on a file, read afresh each time.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t max_chars);

// Sets one key and keeps every other line of the file as it was: the key's line is
// replaced in place, a missing key is added at the end of its section, a missing
// section at the end of the file, a missing file is created. False when the file
// cannot be written.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// ASCII lower-casing: the keys are English texts, and bytes of other scripts are
// left alone so that UTF-8 stays intact.
std::string AsciiLower(std::string_view text);
std::string_view TrimBlanks(std::string_view text);
// The first `max_chars` characters of a UTF-8 text, never splitting one.
std::string CutToChars(std::string_view text, std::size_t max_chars);

}  // namespace fk
