#include "app/settings.h"

#include <gtest/gtest.h>

#include "app/program_dir.h"
#include "scratch_dir.h"

namespace fk {
namespace {

TEST(Settings, NumbersAreReadLikeAtoi) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"5", 5},
        {"  500", 500},
        {"-3", -3},
        {"+7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
        {" - 4", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingToInt(c.text), c.value) << c.text;
}

TEST(Settings, RetransmissionValues) {
    const struct {
        const char* name;
        const char* file;  // nullptr: no settings file at all
        std::int32_t max;
        std::int32_t interval;
    } cases[] = {
        {"no file", nullptr, 3, 2000},
        {"empty file", "", 3, 2000},
        {"set", "[setting]\nRetransmission_Max = 5\nretransmission_interval=500\n", 5, 500},
        {"not numbers", "[Setting]\nretransmission_max=many\nretransmission_interval=\n", 0, 0},
        {"other section", "[Color]\nretransmission_max=9\n", 3, 2000},
    };
    for (const auto& c : cases) {
        testing::ScratchDir dir;
        if (c.file != nullptr) dir.Write("Setting.ini", c.file);
        const auto s = ReadRetransmissionSettings(dir.Dir() + "Setting.ini");
        EXPECT_EQ(s.max, c.max) << c.name;
        EXPECT_EQ(s.interval, c.interval) << c.name;
    }
}

TEST(Settings, ValuesAreCutTo127Characters) {
    testing::ScratchDir dir;
    const auto path = dir.Write("Setting.ini", "[Font]\nFontName=" + std::string(200, 'f') + "\n");
    EXPECT_EQ(ReadSettingFrom(path, "Font", "FontName", "Arial"), std::string(127, 'f'));
    EXPECT_EQ(ReadSettingFrom(path, "Font", "Missing", "Arial"), "Arial");
}

TEST(Settings, ShippedFileHoldsTheDefaults) {
    const std::string path = ProgramDirectory() + "Setting.ini";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"Setting", "retransmission_max", "3"},
        {"Setting", "retransmission_interval", "2000"},
        {"Color", "ChildBkColor", "255,255,255"},
        {"Color", "TextDownColor", "216,34,40"},
        {"Color", "GridTitleTextColor", "237,112,32"},
        {"Color", "TextOnlineColor", "0,153,0"},
        {"Font", "FontName", "Arial"},
        {"Font", "GridTitleFontWeight", "700"},
        {"Font", "GridFontHeight", "15"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadSettingFrom(path, c.section, c.key, "<missing>"), c.value) << c.key;
    }
}

TEST(Settings, VersionText) {
    EXPECT_EQ(VersionText("1.2.3.4"), "V1.2.3.4");
    EXPECT_EQ(VersionText(""), "V");
    EXPECT_EQ(VersionText(), std::string("V") + FK_VERSION_TEXT);
}

TEST(Settings, OperatingSystemCodes) {
    const struct {
        bool nt;
        int major;
        int minor;
        bool wow64;
        int code;
    } cases[] = {
        {false, 4, 90, false, 1}, {false, 4, 10, false, 0}, {false, 4, 0, true, 0},
        {false, 3, 95, false, 3}, {false, 5, 0, false, 3},  {true, 5, 0, false, 2},
        {true, 5, 0, true, 2},    {true, 5, 1, false, 3},   {true, 5, 2, true, 4},
        {true, 6, 0, false, 5},   {true, 6, 0, true, 6},    {true, 6, 1, false, 7},
        {true, 6, 1, true, 8},    {true, 6, 2, false, 9},   {true, 6, 2, true, 10},
        {true, 6, 3, false, 11},  {true, 6, 3, true, 12},   {true, 6, 4, false, 13},
        {true, 10, 0, false, 13}, {true, 10, 0, true, 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OperatingSystemCode(c.nt, c.major, c.minor, c.wow64), c.code)
            << c.nt << " " << c.major << "." << c.minor << " " << c.wow64;
    }
}

}  // namespace
}  // namespace fk
