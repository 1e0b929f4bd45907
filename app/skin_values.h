// The look of the program: colours and fonts from the Color and Font sections of
// Setting.ini and the paths of the skin images. Read once at start-up; windows take
// what they need from here when they are built.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace fk {

// Red in the low byte, then green, then blue: r + 256*g + 65536*b.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColor(int r, int g, int b) {
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
           (static_cast<ColorRef>(b) << 16);
}
constexpr int RedOf(ColorRef c) {
    return static_cast<int>(c & 0xff);
}
constexpr int GreenOf(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int BlueOf(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xff);
}

// "r,g,b" with exactly three decimal parts in 0..255 (blanks before a number and
// characters after it are tolerated). False, leaving `out` alone, otherwise.
bool ParseColor(std::string_view text, ColorRef& out);
// The colour of `text`, black when the text is not a colour.
ColorRef ColorFromText(std::string_view text);
// Leading decimal number of `text` (blanks and a sign allowed); 0 when there is none,
// clamped to the int range.
int IntFromText(std::string_view text);

struct FontSpec {
    std::string face;
    int height = 15;
    int weight = 0;  // 0 means the face's normal weight; 700 is bold
};

enum class SkinImage : int {
    ApplicationIcon,
    MainBackground,
    MenuBackground,
    MenuSearchNormal,
    MenuSearchDown,
    MenuWirelessNormal,
    MenuWirelessDown,
    CloseNormal,
    MinNormal,
    HelpNormal,
    HelpProduct,
    HelpSupport,
    HelpContact,
    HelpHelp,
    SearchButton,
    UpdateNormal,
    UpdateDown,
    Pie,
    Pie2,
    ConfigButton,
    ConfigButtonAlt,
    CloseConfig,
    CloseWait,
    WaitAnimation,
    Line,
    GrayLine,
    OrangeLine,
    Write,
    WirelessBasic,
    WirelessConfig,
    Signal0,
    Signal1,
    Signal2,
    Signal3,
    Signal4,
    Signal5,
    BridgeFinish,
    WebButton,
    BridgePicture,
    InstallHelp,
    Count
};
inline constexpr std::size_t kSkinImageCount = static_cast<std::size_t>(SkinImage::Count);

// File name of an image under Skin/ for the given locale identifier. Three images
// come in a Chinese (2052) and an other-language variant.
std::string_view SkinImageFile(SkinImage image, std::uint32_t locale_id);

inline constexpr std::uint32_t kChineseLocaleId = 2052;
inline constexpr int kGridRowHeight = 48;
inline constexpr int kSelectedButtonWeight = 700;

struct SkinValues {
    ColorRef child_bk_color = MakeColor(255, 255, 255);
    std::string font_name = "Arial";
    FontSpec button_menu_font{"Arial", 15, 0};
    ColorRef button_menu_font_color = MakeColor(0, 0, 0);
    FontSpec button_font{"Arial", 15, 0};
    ColorRef button_font_color = MakeColor(0, 0, 0);
    FontSpec static_font{"Arial", 15, 0};
    ColorRef static_text_color = MakeColor(0, 0, 0);
    ColorRef static_bk_color = MakeColor(255, 255, 255);
    ColorRef text_down_color = MakeColor(216, 34, 40);
    ColorRef line_color = MakeColor(215, 215, 215);
    ColorRef static_text_number_color = MakeColor(142, 142, 142);
    FontSpec grid_title_font{"Arial", 15, 700};
    FontSpec grid_font{"Arial", 15, 0};
    ColorRef grid_title_text_color = MakeColor(237, 112, 32);
    ColorRef grid_text_color = MakeColor(0, 0, 0);
    ColorRef grid_title_bk_color = MakeColor(221, 217, 196);
    ColorRef text_unline_color = MakeColor(142, 142, 142);
    ColorRef text_online_color = MakeColor(0, 153, 0);
    int grid_row_height = kGridRowHeight;

    std::array<std::string, kSkinImageCount> image_paths{};

    const std::string& ImagePath(SkinImage image) const {
        return image_paths[static_cast<std::size_t>(image)];
    }
};

// ReadSetting(section, key, default) -> value, as the settings file gives it.
using SettingReader =
    std::function<std::string(const std::string&, const std::string&, const std::string&)>;

// Reads every Color and Font key through `read` and builds the image paths under
// `program_directory` + "Skin/" for `locale_id`.
SkinValues LoadSkinValues(const SettingReader& read, const std::string& program_directory,
                          std::uint32_t locale_id);

// The values the running program uses. Until start-up sets them they are the
// defaults with images under the executable's directory.
const SkinValues& CurrentSkin();
void SetCurrentSkin(SkinValues values);

}  // namespace fk
