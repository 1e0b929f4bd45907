// Start-up values from Setting.ini and the facts about the running system that
// the rest of the program asks for: the command repetition settings, the version
// text shown to the user and the operating-system code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fk {

// Every settings value is read into a 128-character buffer.
inline constexpr std::size_t kSettingValueChars = 127;

// Program directory + "Setting.ini".
std::string SettingsFilePath();

// A value of Setting.ini in the program directory; `fallback` for a missing file
// or key. The program never writes this file.
std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& fallback);
// The same on a given file, for tests and tools.
std::string ReadSettingFrom(const std::string& settings_path, const std::string& section,
                            const std::string& key, const std::string& fallback);

// Decimal text to integer the way atoi reads it: leading blanks and a sign, then
// digits; text that does not start with a number gives 0, and values beyond the
// 32-bit range stop at its ends.
std::int32_t SettingToInt(std::string_view text);

struct RetransmissionSettings {
    std::int32_t max = 3;          // repetitions after the first sending
    std::int32_t interval = 2000;  // milliseconds between rounds
};
RetransmissionSettings ReadRetransmissionSettings(const std::string& settings_path);

// "V" followed by the program's four-part version; just "V" when it has none.
std::string VersionText(std::string_view version = FK_VERSION_TEXT);

// Classifies a system version into the code that decides whether the file server
// is started elevated (codes above 4). `nt_family` false means the old consumer line.
int OperatingSystemCode(bool nt_family, int major, int minor, bool is32_on_64);

}  // namespace fk
