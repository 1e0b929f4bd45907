// The language lookup every shown text passes through. The language is chosen once
// at start-up from the system locale; there is no switching while the program runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fk {

class COperateLanguage {
  public:
    static COperateLanguage& Instance();

    // `program_directory` ends with a path separator. `locale_id` is the Windows-style
    // locale identifier (1033 en_US, 2052 zh_CN, ...); 0 means "ask the system".
    void Init(const std::string& program_directory, std::uint32_t locale_id = 0);
    std::string Translate(std::string_view text) const;

    const std::string& LanguageName() const { return language_name_; }
    const std::string& LanguageFilePath() const { return language_file_; }
    std::uint32_t LocaleId() const { return locale_id_; }

  private:
    std::string program_directory_;
    std::string language_name_ = "English";
    std::string language_file_;
    std::uint32_t locale_id_ = 1033;
};

// Shorthand used everywhere a text is shown.
inline std::string Translate(std::string_view text) {
    return COperateLanguage::Instance().Translate(text);
}

// Marks a literal as a language key where it is stored first and translated later
// (tables, message constants), so the language-pack check finds it. Expands to the
// literal itself.
#define FK_TR(text) text

// Maps the process locale (LC_MESSAGES / LANG, "zh_CN.UTF-8" ...) to a locale
// identifier; unknown locales fall back to English (1033).
std::uint32_t SystemLocaleId();
std::uint32_t LocaleIdFromName(std::string_view posix_locale);

}  // namespace fk
