#include "app/language.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "app/ini_file.h"

namespace fk {
namespace {

inline constexpr std::size_t kMaxTranslation = 1023;
inline constexpr std::uint32_t kEnglishLocale = 1033;
inline constexpr const char* kSection = "ProgramOutStr";

using Table = std::unordered_map<std::string, std::string>;

// Translate runs thousands of times per list refresh, often on sender threads, so
// the language file is parsed once and readers take a snapshot without locking.
std::atomic<std::shared_ptr<const Table>>& CurrentTable() {
    static std::atomic<std::shared_ptr<const Table>> table{std::make_shared<const Table>()};
    return table;
}

std::shared_ptr<const Table> LoadTable(const std::string& path) {
    auto table = std::make_shared<Table>();
    for (auto& [key, value] : CIniFile::Load(path).Section(kSection)) {
        table->emplace(key, CutToChars(value, kMaxTranslation));
    }
    return table;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// Translators write line breaks and deliberate blanks as escapes, because a profile
// file cannot hold a line break and drops blanks around values.
std::string ApplyEscapes(std::string text) {
    ReplaceAll(text, "\\r\\n", "\r\n");
    ReplaceAll(text, "\\n", "\n");
    ReplaceAll(text, "[~NullInfoChrys~]", "");
    ReplaceAll(text, "[~Null~]", " ");
    return text;
}

struct LocaleEntry {
    std::string_view name;
    std::uint32_t id;
};

constexpr std::array<LocaleEntry, 30> kLocales = {{
    {"en_us", 1033}, {"en_gb", 2057}, {"en_au", 3081}, {"en_ca", 4105}, {"en", 1033},
    {"zh_cn", 2052}, {"zh_sg", 4100}, {"zh_tw", 1028}, {"zh_hk", 3076}, {"zh", 2052},
    {"de_de", 1031}, {"de_at", 3079}, {"de_ch", 2055}, {"de", 1031},    {"fr_fr", 1036},
    {"fr_ca", 3084}, {"fr", 1036},    {"es_es", 3082}, {"es_mx", 2058}, {"es", 3082},
    {"ru_ru", 1049}, {"ru", 1049},    {"ja_jp", 1041}, {"ja", 1041},    {"ko_kr", 1042},
    {"it_it", 1040}, {"pt_br", 1046}, {"pt_pt", 2070}, {"nl_nl", 1043}, {"pl_pl", 1045},
}};

std::uint32_t LookUpLocale(std::string_view name) {
    for (const auto& entry : kLocales) {
        if (entry.name == name) return entry.id;
    }
    return 0;
}

}  // namespace

COperateLanguage& COperateLanguage::Instance() {
    static COperateLanguage instance;
    return instance;
}

void COperateLanguage::Init(const std::string& program_directory, std::uint32_t locale_id) {
    program_directory_ = program_directory;
    locale_id_ = locale_id != 0 ? locale_id : SystemLocaleId();

    const std::string index_path = program_directory_ + "Languages/Language.ini";
    language_name_ =
        ReadProfileString(index_path, "LCID", std::to_string(locale_id_), "", kMaxTranslation);
    if (language_name_.empty()) {
        language_name_ = "English";
        locale_id_ = kEnglishLocale;
    }
    language_file_ = program_directory_ + "Languages/" + language_name_ + ".lng";
    CurrentTable().store(LoadTable(language_file_));
}

std::string COperateLanguage::Translate(std::string_view text) const {
    if (text.empty()) return {};
    const std::shared_ptr<const Table> table = CurrentTable().load();
    const auto found = table->find(AsciiLower(TrimBlanks(text)));
    if (found == table->end() || found->second.empty()) return ApplyEscapes(std::string(text));
    return ApplyEscapes(found->second);
}

std::uint32_t LocaleIdFromName(std::string_view posix_locale) {
    // "zh_CN.UTF-8@pinyin" -> "zh_cn"; then the language alone as a second chance.
    const std::size_t cut = posix_locale.find_first_of(".@");
    std::string name = AsciiLower(posix_locale.substr(0, cut));
    for (char& c : name) {
        if (c == '-') c = '_';
    }
    if (const std::uint32_t id = LookUpLocale(name)) return id;
    if (const std::uint32_t id = LookUpLocale(name.substr(0, name.find('_')))) return id;
    return kEnglishLocale;
}

std::uint32_t SystemLocaleId() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value != nullptr && *value != '\0') return LocaleIdFromName(value);
    }
    return kEnglishLocale;
}

}  // namespace fk
