// Every text the program passes to Translate (or marks with FK_TR) must have an
// entry in every language pack, and the packs must agree with each other; a missing
// key shows an English source text, a lost "%d" breaks the formatting of a message.
// Captions handed to widgets and menus as bare literals are looked up only when the
// window is translated, out of the scan's sight, so they must carry a marker too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/ini_file.h"

namespace fk {
namespace {

namespace fs = std::filesystem;

// Given by the build: __FILE__ may be relative to wherever the compiler ran.
fs::path SourceRoot() {
    return fs::path(FK_SOURCE_DIR);
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool IsIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void SkipBlanks(const std::string& s, std::size_t& i) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
}

// Reads one C string literal at s[i] (which is '"'), with the common escapes.
bool ReadLiteral(const std::string& s, std::size_t& i, std::string& out) {
    ++i;
    while (i < s.size() && s[i] != '"') {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char e = s[++i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        } else {
            out += s[i];
        }
        ++i;
    }
    if (i >= s.size()) return false;
    ++i;
    return true;
}

// The first argument of every `marker(` call, when it is a (possibly concatenated)
// string literal.
void CollectKeys(const std::string& text, const std::string& marker, std::set<std::string>& keys) {
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
        if (at > 0 && IsIdentChar(text[at - 1])) continue;
        std::size_t i = at + marker.size();
        SkipBlanks(text, i);
        if (i >= text.size() || text[i] != '(') continue;
        ++i;
        SkipBlanks(text, i);
        std::string key;
        bool any = false;
        while (i < text.size() && text[i] == '"') {
            if (!ReadLiteral(text, i, key)) break;
            any = true;
            SkipBlanks(text, i);
        }
        if (any && i < text.size() && (text[i] == ')' || text[i] == ',')) keys.insert(key);
    }
}

// The windows' T("...") helper passes its literal to Translate.
constexpr const char* kMarkers[] = {"Translate", "FK_TR", "T"};

// Calls whose text becomes a caption that TranslateWindow or TranslateMenu looks up.
constexpr const char* kCaptionCalls[] = {
    "addAction", "addMenu",     "setText",         "setToolTip",   "setWindowTitle",
    "setTitle",  "setTabText",  "addTab",          "addItem",      "insertItem",
    "QLabel",    "QPushButton", "QCheckBox",       "QRadioButton", "QGroupBox",
    "QAction",   "AddButton",   "AddActionButton", "CSkinFrameDlg"};

bool IsMarker(const std::string& name) {
    for (const char* marker : kMarkers)
        if (name == marker) return true;
    return false;
}

// The identifier right before s[open] (a '('), or "".
std::string CalleeBefore(const std::string& s, std::size_t open) {
    std::size_t end = open;
    while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    std::size_t begin = end;
    while (begin > 0 && IsIdentChar(s[begin - 1])) --begin;
    return s.substr(begin, end - begin);
}

// The word-like literals inside the arguments of every caption call that no marker
// call encloses; "<" or " dBm" are no captions and pass.
std::vector<std::string> UnmarkedCaptions(const std::string& text) {
    std::vector<std::string> found;
    for (const char* call : kCaptionCalls) {
        const std::string name = call;
        for (std::size_t at = text.find(name); at != std::string::npos;
             at = text.find(name, at + 1)) {
            if ((at > 0 && IsIdentChar(text[at - 1])) ||
                IsIdentChar(text[std::min(at + name.size(), text.size() - 1)]))
                continue;
            std::size_t i = at + name.size();
            SkipBlanks(text, i);
            if (i >= text.size() || text[i] != '(') continue;
            std::vector<bool> marked{false};  // one entry per open parenthesis
            for (++i; i < text.size();) {
                const char c = text[i];
                if (c == '"') {
                    std::string literal;
                    if (!ReadLiteral(text, i, literal)) break;
                    const bool word = !literal.empty() &&
                                      std::isalpha(static_cast<unsigned char>(literal.front()));
                    if (word && !marked.back()) found.push_back(literal);
                    continue;
                }
                if (c == '(') marked.push_back(marked.back() || IsMarker(CalleeBefore(text, i)));
                if (c == ')') {
                    marked.pop_back();
                    if (marked.empty()) break;
                }
                ++i;
            }
        }
    }
    return found;
}

// Every source file of the program, with its text.
std::vector<std::pair<fs::path, std::string>> ProgramSources() {
    std::vector<std::pair<fs::path, std::string>> files;
    for (const char* dir : {"app", "protocol", "store", "config", "operations", "ui"}) {
        const fs::path root = SourceRoot() / dir;
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            files.emplace_back(entry.path(), ReadText(entry.path()));
        }
    }
    return files;
}

std::set<std::string> KeysUsedInSources() {
    std::set<std::string> keys;
    for (const auto& [path, text] : ProgramSources())
        for (const char* marker : kMarkers) CollectKeys(text, marker, keys);
    return keys;
}

std::vector<fs::path> LanguagePacks() {
    std::vector<fs::path> packs;
    const auto index = CIniFile::Load((SourceRoot() / "Languages" / "Language.ini").string());
    for (const auto& [lcid, name] : index.Section("LCID")) {
        packs.push_back(SourceRoot() / "Languages" / (name + ".lng"));
    }
    return packs;
}

// The printf conversions of a text, in order ("%d", "%s", ...); "%%" is not one.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (text[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < text.size() &&
               std::string_view("0123456789.-+ l").find(text[j]) != std::string_view::npos) {
            ++j;
        }
        const bool converts = j < text.size() && std::string_view("diuxXoscfeEgGp").find(text[j]) !=
                                                     std::string_view::npos;
        if (converts) out.push_back(text.substr(i, j - i + 1));
        i = j;
    }
    return out;
}

TEST(LanguagePacks, ScannerFindsMarkedTexts) {
    std::set<std::string> keys;
    CollectKeys(
        "a = Translate(\"Search\"); b = FK_TR(\"Two \"\n  \"parts\"); "
        "TranslateWindow(\"no\"); MyTranslate(\"no\"); Translate(name); "
        "Translate ( \"Say \\\"hi\\\"\" );",
        "Translate", keys);
    CollectKeys("x FK_TR(\"Two \"\n  \"parts\")", "FK_TR", keys);
    CollectKeys("l = T(\"Scan\"); QT(\"no\"); AT (\"no\"); T(key);", "T", keys);
    EXPECT_EQ(keys, (std::set<std::string>{"Search", "Two parts", "Say \"hi\"", "Scan"}));
    EXPECT_EQ(Conversions("%d of %s, 100%% %02x"), (std::vector<std::string>{"%d", "%s", "%02x"}));
}

TEST(LanguagePacks, CaptionScanFindsBareLiteralsOnly) {
    const struct {
        const char* source;
        std::vector<std::string> unmarked;
    } cases[] = {
        {"menu->addAction(QStringLiteral(\"Show Utility\"));", {"Show Utility"}},
        {"menu->addAction(icon, \"Product\");", {"Product"}},
        {"menu->addAction(FK_TR(\"Exit\"));", {}},
        {"new QLabel(T(\"Hour\"), this);", {}},
        {"b->setToolTip(QString::fromStdString(Translate(\"Min\")));", {}},
        {"new QCheckBox(\n    QString::fromUtf8(\"Enable\"), this);", {"Enable"}},
        {"new QPushButton(QStringLiteral(\"<\"), this); x->setToolTip(n + \" dBm\");", {}},
        {"setTextColor(\"red\"); MysetText(\"no\"); setText(key);", {}},
        {"setText(T(\"A\") + \"B\");", {"B"}},
    };
    for (const auto& c : cases) EXPECT_EQ(UnmarkedCaptions(c.source), c.unmarked) << c.source;
}

TEST(LanguagePacks, EveryCaptionLiteralCarriesAMarker) {
    for (const auto& [path, text] : ProgramSources()) {
        for (const auto& caption : UnmarkedCaptions(text))
            ADD_FAILURE() << path.lexically_relative(SourceRoot()) << ": \"" << caption
                          << "\" reaches the translation unmarked; wrap it in FK_TR";
    }
}

TEST(LanguagePacks, IndexNamesExistingPacks) {
    const auto packs = LanguagePacks();
    ASSERT_GE(packs.size(), 2u);
    for (const auto& p : packs) EXPECT_TRUE(fs::exists(p)) << p;
    const auto index = CIniFile::Load((SourceRoot() / "Languages" / "Language.ini").string());
    EXPECT_EQ(index.Find("LCID", "1033").value_or(""), "English");
    EXPECT_EQ(index.Find("LCID", "2052").value_or(""), "Chinese");
}

TEST(LanguagePacks, EveryTranslatedTextHasAnEntryInEveryPack) {
    const auto keys = KeysUsedInSources();
    ASSERT_FALSE(keys.empty());
    for (const auto& pack_path : LanguagePacks()) {
        const auto pack = CIniFile::Load(pack_path.string());
        for (const auto& key : keys) {
            const auto value = pack.Find("ProgramOutStr", key);
            EXPECT_TRUE(value.has_value() && !value->empty())
                << pack_path.filename() << " lacks \"" << key << "\"";
        }
    }
}

TEST(LanguagePacks, PacksHoldTheSameKeysAndKeepTheirConversions) {
    const auto packs = LanguagePacks();
    ASSERT_FALSE(packs.empty());
    const auto reference = CIniFile::Load(packs.front().string()).Section("ProgramOutStr");
    ASSERT_FALSE(reference.empty());
    for (const auto& pack_path : packs) {
        const auto entries = CIniFile::Load(pack_path.string()).Section("ProgramOutStr");
        for (const auto& [key, value] : reference) {
            EXPECT_TRUE(entries.count(key)) << pack_path.filename() << " lacks \"" << key << "\"";
        }
        for (const auto& [key, value] : entries) {
            EXPECT_TRUE(reference.count(key)) << pack_path.filename() << " has \"" << key
                                              << "\" that " << packs.front().filename() << " lacks";
            // Keys are stored lower-cased; conversions are lower-case anyway.
            EXPECT_EQ(Conversions(value), Conversions(key))
                << pack_path.filename() << ": \"" << key << "\"";
        }
    }
}

}  // namespace
}  // namespace fk
