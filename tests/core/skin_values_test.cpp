#include "app/skin_values.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fk {
namespace {

struct ColorCase {
    const char* text;
    bool ok;
    int r, g, b;
};

class ColorParsing : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorParsing, AcceptsOnlyThreeComponentsInRange) {
    const auto& c = GetParam();
    ColorRef color = MakeColor(1, 2, 3);
    EXPECT_EQ(ParseColor(c.text, color), c.ok) << c.text;
    const ColorRef expected = c.ok ? MakeColor(c.r, c.g, c.b) : MakeColor(1, 2, 3);
    EXPECT_EQ(color, expected) << c.text;
    EXPECT_EQ(ColorFromText(c.text), c.ok ? expected : MakeColor(0, 0, 0)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Skin, ColorParsing,
    ::testing::Values(ColorCase{"255,255,255", true, 255, 255, 255},
                      ColorCase{"216,34,40", true, 216, 34, 40},
                      ColorCase{"10, 20, 30", true, 10, 20, 30},
                      ColorCase{" 7,\t8, 9", true, 7, 8, 9},
                      ColorCase{"10px,20,30;", true, 10, 20, 30}, ColorCase{"0,0,0", true, 0, 0, 0},
                      ColorCase{"300,0,0", false, 0, 0, 0}, ColorCase{"0,256,0", false, 0, 0, 0},
                      ColorCase{"-1,0,0", false, 0, 0, 0}, ColorCase{"1,2", false, 0, 0, 0},
                      ColorCase{"1,2,3,4", false, 0, 0, 0}, ColorCase{"1,,3", false, 0, 0, 0},
                      ColorCase{"red,green,blue", false, 0, 0, 0}, ColorCase{"", false, 0, 0, 0},
                      ColorCase{"99999999999999999999,0,0", false, 0, 0, 0}));

TEST(SkinIntegers, ReadTheLeadingNumberOrZero) {
    const std::vector<std::pair<const char*, int>> cases = {{"15", 15},
                                                            {"  700", 700},
                                                            {"12abc", 12},
                                                            {"abc", 0},
                                                            {"", 0},
                                                            {"-3", -3},
                                                            {"+8", 8},
                                                            {"- 3", 0},
                                                            {"1e3", 1},
                                                            {"99999999999999", 2147483647},
                                                            {"-99999999999999", -2147483647 - 1}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(IntFromText(text), expected) << text;
}

// A settings file as a table: (section, key) -> value; missing keys give the default
// the caller passes, as the real reader does.
SettingReader ReaderOf(std::map<std::pair<std::string, std::string>, std::string> values) {
    return [values = std::move(values)](const std::string& section, const std::string& key,
                                        const std::string& fallback) {
        const auto it = values.find({section, key});
        return it == values.end() ? fallback : it->second;
    };
}

TEST(SkinLoading, NoSettingsGiveTheStockLook) {
    const SkinValues v = LoadSkinValues(ReaderOf({}), "/opt/fk/", 1033);
    EXPECT_EQ(v.child_bk_color, MakeColor(255, 255, 255));
    EXPECT_EQ(v.font_name, "Arial");
    for (const FontSpec* f : {&v.button_menu_font, &v.button_font, &v.static_font}) {
        EXPECT_EQ(f->face, "Arial");
        EXPECT_EQ(f->height, 15);
        EXPECT_EQ(f->weight, 0);
    }
    EXPECT_EQ(v.button_menu_font_color, MakeColor(0, 0, 0));
    EXPECT_EQ(v.grid_title_font.weight, 700);
    EXPECT_EQ(v.grid_title_text_color, MakeColor(237, 112, 32));
    EXPECT_EQ(v.grid_title_bk_color, MakeColor(221, 217, 196));
    EXPECT_EQ(v.text_online_color, MakeColor(0, 153, 0));
    EXPECT_EQ(v.text_unline_color, MakeColor(142, 142, 142));
    EXPECT_EQ(v.text_down_color, MakeColor(216, 34, 40));
    EXPECT_EQ(v.line_color, MakeColor(215, 215, 215));
    EXPECT_EQ(v.grid_row_height, 48);
}

TEST(SkinLoading, SettingsOverrideAndBadColoursTurnBlack) {
    const SkinValues v = LoadSkinValues(ReaderOf({{{"Color", "ChildBkColor"}, "10, 20, 30"},
                                                  {{"Color", "GridTitleBkColor"}, "300,0,0"},
                                                  {{"Font", "FontName"}, "DejaVu Sans"},
                                                  {{"Font", "GridFontHeight"}, "18"},
                                                  {{"Font", "GridFontWeight"}, "bold"},
                                                  {{"Font", "ButtonMenuFontWeight"}, "700"}}),
                                        "/opt/fk/", 1033);
    EXPECT_EQ(v.child_bk_color, MakeColor(10, 20, 30));
    EXPECT_EQ(v.grid_title_bk_color, MakeColor(0, 0, 0));
    EXPECT_EQ(v.grid_font.face, "DejaVu Sans");
    EXPECT_EQ(v.grid_title_font.face, "DejaVu Sans");
    EXPECT_EQ(v.grid_font.height, 18);
    EXPECT_EQ(v.grid_font.weight, 0);
    EXPECT_EQ(v.button_menu_font.weight, 700);
    // A key read from the wrong section must not leak in.
    const SkinValues w =
        LoadSkinValues(ReaderOf({{{"Font", "ChildBkColor"}, "1,2,3"}}), "/opt/fk/", 1033);
    EXPECT_EQ(w.child_bk_color, MakeColor(255, 255, 255));
}

TEST(SkinImages, LocaleChoosesBetweenTheTwoVariants) {
    const std::vector<std::tuple<SkinImage, std::uint32_t, std::string>> cases = {
        {SkinImage::InstallHelp, 2052, "/opt/fk/Skin/help_chinese.jpg"},
        {SkinImage::InstallHelp, 1033, "/opt/fk/Skin/help_other.jpg"},
        {SkinImage::InstallHelp, 1028, "/opt/fk/Skin/help_other.jpg"},
        {SkinImage::WebButton, 2052, "/opt/fk/Skin/web_chinese.bmp"},
        {SkinImage::WebButton, 1031, "/opt/fk/Skin/web_other.bmp"},
        {SkinImage::BridgePicture, 2052, "/opt/fk/Skin/bridge_chinese.bmp"},
        {SkinImage::BridgePicture, 1033, "/opt/fk/Skin/bridge_other.bmp"},
        {SkinImage::ApplicationIcon, 2052, "/opt/fk/Skin/Application.ico"},
        {SkinImage::Signal5, 1033, "/opt/fk/Skin/singal_strength5.bmp"},
    };
    for (const auto& [image, locale, path] : cases)
        EXPECT_EQ(LoadSkinValues(ReaderOf({}), "/opt/fk/", locale).ImagePath(image), path);
}

TEST(SkinImages, EveryImageHasItsOwnFile) {
    for (const std::uint32_t locale : {1033u, 2052u}) {
        std::set<std::string> seen;
        for (std::size_t i = 0; i < kSkinImageCount; ++i) {
            const std::string file(SkinImageFile(static_cast<SkinImage>(i), locale));
            EXPECT_FALSE(file.empty()) << i;
            EXPECT_TRUE(seen.insert(file).second) << file;
        }
    }
}

}  // namespace
}  // namespace fk
