#include "app/ini_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/utf8.h"

namespace fk {
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string_view StripBom(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

// "[name]" -> name; nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> ParseKeyValue(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = TrimBlanks(trimmed.substr(0, eq));
    if (key.empty()) return std::nullopt;
    std::string_view value = TrimBlanks(trimmed.substr(eq + 1));
    // Profile readers drop one pair of matching quotes, which lets a value keep blanks.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return KeyValue{key, value};
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buf;
    buf << in.rdbuf();
    out = buf.str();
    return true;
}

bool SameName(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

std::string FormatKeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

// Index just after the last non-blank line of the section that starts at `header`.
std::size_t EndOfSection(const std::vector<std::string>& lines, std::size_t header) {
    std::size_t last = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        if (SectionName(lines[i])) break;
        if (!TrimBlanks(lines[i]).empty()) last = i;
    }
    return last + 1;
}

// Replaces the key in its section, or adds it (and the section) where it belongs.
void SetKeyInLines(std::vector<std::string>& lines, std::string_view section, std::string_view key,
                   std::string_view value) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name || !SameName(*name, section)) continue;
        for (std::size_t j = i + 1; j < lines.size() && !SectionName(lines[j]); ++j) {
            const auto kv = ParseKeyValue(lines[j]);
            if (kv && SameName(kv->key, key)) {
                lines[j] = FormatKeyLine(kv->key, value);
                return;
            }
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(EndOfSection(lines, i)),
                     FormatKeyLine(key, value));
        return;
    }
    if (!lines.empty() && !TrimBlanks(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(FormatKeyLine(key, value));
}

}  // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string CutToChars(std::string_view text, std::size_t max_chars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (StartsUtf8Character(text[i])) {
            if (chars == max_chars) return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

CIniFile CIniFile::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return CIniFile{};
    return Parse(text);
}

CIniFile CIniFile::Parse(std::string_view text) {
    CIniFile ini;
    std::map<std::string, std::string>* current = nullptr;
    for (const std::string_view line : SplitLines(StripBom(text))) {
        if (const auto name = SectionName(line)) {
            current = &ini.sections_[AsciiLower(*name)];
            continue;
        }
        if (current == nullptr) continue;
        if (const auto kv = ParseKeyValue(line)) {
            // The first occurrence of a key wins, as with the platform's reader.
            current->emplace(AsciiLower(kv->key), std::string(kv->value));
        }
    }
    return ini;
}

std::optional<std::string> CIniFile::Find(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(AsciiLower(TrimBlanks(section)));
    if (s == sections_.end()) return std::nullopt;
    const auto k = s->second.find(AsciiLower(TrimBlanks(key)));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string CIniFile::Read(std::string_view section, std::string_view key,
                           std::string_view fallback, std::size_t max_chars) const {
    const auto value = Find(section, key);
    return CutToChars(value ? std::string_view(*value) : fallback, max_chars);
}

std::map<std::string, std::string> CIniFile::Section(std::string_view section) const {
    const auto s = sections_.find(AsciiLower(TrimBlanks(section)));
    return s == sections_.end() ? std::map<std::string, std::string>{} : s->second;
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t max_chars) {
    return CIniFile::Load(path).Read(section, key, fallback, max_chars);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::string text;
    ReadWholeFile(path, text);
    // The mark is set aside as the reader sets it aside: left on the first line it
    // would hide the first section, and the key would go to a copy the reader never
    // gets to.
    const std::string_view body = StripBom(text);
    const bool has_bom = body.size() != text.size();
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(body)) lines.emplace_back(line);
    SetKeyInLines(lines, section, key, value);

    // Written beside the file and renamed over it, so a reader never sees half a file.
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        if (has_bom) out << "\xEF\xBB\xBF";
        for (const auto& line : lines) out << line << "\n";
        if (!out.flush()) return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace fk
