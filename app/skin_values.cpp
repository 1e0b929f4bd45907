#include "app/skin_values.h"

#include <climits>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "app/program_dir.h"

namespace fk {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The leading number of `text` after blanks, or nothing when no digit follows.
std::optional<long long> LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    long long value = 0;
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kCap) value = kCap;  // keeps long inputs from overflowing
    }
    return negative ? -value : value;
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

struct ImageFile {
    SkinImage image;
    std::string_view chinese;
    std::string_view other;  // empty: same file for every locale
};

constexpr ImageFile kImageFiles[] = {
    {SkinImage::ApplicationIcon, "Application.ico", ""},
    {SkinImage::MainBackground, "main_bk.jpg", ""},
    {SkinImage::MenuBackground, "main_left_bk.jpg", ""},
    {SkinImage::MenuSearchNormal, "bt_menu_search_normal.bmp", ""},
    {SkinImage::MenuSearchDown, "bt_menu_search_down.bmp", ""},
    {SkinImage::MenuWirelessNormal, "bt_menu_wireless_normal.bmp", ""},
    {SkinImage::MenuWirelessDown, "bt_menu_wireless_down.bmp", ""},
    {SkinImage::CloseNormal, "close_normal.bmp", ""},
    {SkinImage::MinNormal, "min_normal.bmp", ""},
    {SkinImage::HelpNormal, "help_normal.bmp", ""},
    {SkinImage::HelpProduct, "help_product_normal.bmp", ""},
    {SkinImage::HelpSupport, "help_support_normal.bmp", ""},
    {SkinImage::HelpContact, "help_contact_normal.bmp", ""},
    {SkinImage::HelpHelp, "help_help_normal.bmp", ""},
    {SkinImage::SearchButton, "btn_search.bmp", ""},
    {SkinImage::UpdateNormal, "btn_update_normal.bmp", ""},
    {SkinImage::UpdateDown, "btn_update_down.bmp", ""},
    {SkinImage::Pie, "btn_pie.bmp", ""},
    {SkinImage::Pie2, "btn_pie2.bmp", ""},
    {SkinImage::ConfigButton, "btn_config.bmp", ""},
    {SkinImage::ConfigButtonAlt, "config_btn.bmp", ""},
    {SkinImage::CloseConfig, "close_config.bmp", ""},
    {SkinImage::CloseWait, "close_wait.bmp", ""},
    {SkinImage::WaitAnimation, "wait_search.gif", ""},
    {SkinImage::Line, "line.bmp", ""},
    {SkinImage::GrayLine, "gray_line.bmp", ""},
    {SkinImage::OrangeLine, "orange_line.bmp", ""},
    {SkinImage::Write, "write.bmp", ""},
    {SkinImage::WirelessBasic, "wireless_basic.bmp", ""},
    {SkinImage::WirelessConfig, "wireless_config.bmp", ""},
    {SkinImage::Signal0, "singal_strength0.bmp", ""},
    {SkinImage::Signal1, "singal_strength1.bmp", ""},
    {SkinImage::Signal2, "singal_strength2.bmp", ""},
    {SkinImage::Signal3, "singal_strength3.bmp", ""},
    {SkinImage::Signal4, "singal_strength4.bmp", ""},
    {SkinImage::Signal5, "singal_strength5.bmp", ""},
    {SkinImage::BridgeFinish, "bridge_finish.jpg", ""},
    {SkinImage::WebButton, "web_chinese.bmp", "web_other.bmp"},
    {SkinImage::BridgePicture, "bridge_chinese.bmp", "bridge_other.bmp"},
    {SkinImage::InstallHelp, "help_chinese.jpg", "help_other.jpg"},
};
static_assert(std::size(kImageFiles) == kSkinImageCount, "every skin image has a file");

FontSpec ReadFont(const SettingReader& read, const std::string& face, const char* weight_key,
                  const char* weight_default, const char* height_key, const char* height_default) {
    FontSpec font;
    font.face = face;
    font.weight = IntFromText(read("Font", weight_key, weight_default));
    font.height = IntFromText(read("Font", height_key, height_default));
    return font;
}

ColorRef ReadColor(const SettingReader& read, const char* key, const char* fallback) {
    return ColorFromText(read("Color", key, fallback));
}

std::mutex g_skin_mutex;
std::optional<SkinValues> g_skin;

}  // namespace

bool ParseColor(std::string_view text, ColorRef& out) {
    const auto parts = SplitAtCommas(text);
    if (parts.size() != 3) return false;
    int rgb[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto value = LeadingNumber(parts[i]);
        if (!value || *value < 0 || *value > 255) return false;
        rgb[i] = static_cast<int>(*value);
    }
    out = MakeColor(rgb[0], rgb[1], rgb[2]);
    return true;
}

ColorRef ColorFromText(std::string_view text) {
    ColorRef color = MakeColor(0, 0, 0);
    ParseColor(text, color);
    return color;
}

int IntFromText(std::string_view text) {
    const auto value = LeadingNumber(text);
    if (!value) return 0;
    if (*value > INT_MAX) return INT_MAX;
    if (*value < INT_MIN) return INT_MIN;
    return static_cast<int>(*value);
}

std::string_view SkinImageFile(SkinImage image, std::uint32_t locale_id) {
    const auto& entry = kImageFiles[static_cast<std::size_t>(image)];
    if (entry.other.empty() || locale_id == kChineseLocaleId) return entry.chinese;
    return entry.other;
}

SkinValues LoadSkinValues(const SettingReader& read, const std::string& program_directory,
                          std::uint32_t locale_id) {
    SkinValues v;
    // Same order as the settings are documented, so a reader with side effects
    // (tracing, caps) sees them in a predictable sequence.
    v.child_bk_color = ReadColor(read, "ChildBkColor", "255,255,255");
    v.font_name = read("Font", "FontName", "Arial");
    v.button_menu_font =
        ReadFont(read, v.font_name, "ButtonMenuFontWeight", "0", "ButtonMenuFontHeight", "15");
    v.button_menu_font_color = ReadColor(read, "ButtonMenuFontColor", "0,0,0");
    v.button_font = ReadFont(read, v.font_name, "ButtonFontWeight", "0", "ButtonFontHeight", "15");
    v.button_font_color = ReadColor(read, "ButtonFontColor", "0,0,0");
    v.static_font = ReadFont(read, v.font_name, "StaticFontWeight", "0", "StaticFontHeight", "15");
    v.static_text_color = ReadColor(read, "StaticFontTextColor", "0,0,0");
    v.static_bk_color = ReadColor(read, "StaticFontBkColor", "255,255,255");
    v.text_down_color = ReadColor(read, "TextDownColor", "216,34,40");
    v.line_color = ReadColor(read, "LineColor", "215,215,215");
    v.static_text_number_color = ReadColor(read, "StaticTextNumberColor", "142,142,142");
    v.grid_title_font =
        ReadFont(read, v.font_name, "GridTitleFontWeight", "700", "GridTitleFontHeight", "15");
    v.grid_font = ReadFont(read, v.font_name, "GridFontWeight", "0", "GridFontHeight", "15");
    v.grid_title_text_color = ReadColor(read, "GridTitleTextColor", "237,112,32");
    v.grid_text_color = ReadColor(read, "GridTextColor", "0,0,0");
    v.grid_title_bk_color = ReadColor(read, "GridTitleBkColor", "221,217,196");
    v.text_unline_color = ReadColor(read, "TextUnlineColor", "142,142,142");
    v.text_online_color = ReadColor(read, "TextOnlineColor", "0,153,0");
    v.grid_row_height = kGridRowHeight;

    const std::string skin_dir = program_directory + "Skin/";
    for (std::size_t i = 0; i < kSkinImageCount; ++i)
        v.image_paths[i] =
            skin_dir + std::string(SkinImageFile(static_cast<SkinImage>(i), locale_id));
    return v;
}

const SkinValues& CurrentSkin() {
    std::lock_guard lock(g_skin_mutex);
    if (!g_skin) {
        const SettingReader defaults = [](const std::string&, const std::string&,
                                          const std::string& fallback) { return fallback; };
        g_skin = LoadSkinValues(defaults, DataDirectory(), 1033);
    }
    return *g_skin;
}

void SetCurrentSkin(SkinValues values) {
    std::lock_guard lock(g_skin_mutex);
    g_skin = std::move(values);
}

}  // namespace fk
