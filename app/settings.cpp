#include "app/settings.h"

#include <cctype>
#include <limits>

#include "app/ini_file.h"
#include "app/program_dir.h"

namespace fk {

std::string SettingsFilePath() {
    return SettingsPath(CurrentFolderPlaces());
}

std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& fallback) {
    return ReadSettingFrom(SettingsFilePath(), section, key, fallback);
}

std::string ReadSettingFrom(const std::string& settings_path, const std::string& section,
                            const std::string& key, const std::string& fallback) {
    return ReadProfileString(settings_path, section, key, fallback, kSettingValueChars);
}

std::int32_t SettingToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated in 64 bits and clamped, so a settings typo cannot overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        if (value > kLimit) value = kLimit;
        ++pos;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

RetransmissionSettings ReadRetransmissionSettings(const std::string& settings_path) {
    RetransmissionSettings s;
    s.max = SettingToInt(ReadSettingFrom(settings_path, "Setting", "retransmission_max", "3"));
    s.interval =
        SettingToInt(ReadSettingFrom(settings_path, "Setting", "retransmission_interval", "2000"));
    return s;
}

std::string VersionText(std::string_view version) {
    return "V" + std::string(version);
}

int OperatingSystemCode(bool nt_family, int major, int minor, bool is32_on_64) {
    if (!nt_family) {
        if (major != 4) return 3;
        return minor >= 90 ? 1 : 0;
    }
    if (major < 5) return 2;  // older NT releases share the oldest code of the family
    if (major == 5) return minor == 0 ? 2 : (is32_on_64 ? 4 : 3);
    // NT 6.0 .. 6.3 take the odd codes 5 .. 11; everything newer 13. The even code
    // above each marks a 32-bit process on a 64-bit system.
    const int base = (major == 6 && minor <= 3) ? 5 + 2 * minor : 13;
    return is32_on_64 ? base + 1 : base;
}

}  // namespace fk
