#include "store/display_codes.h"

#include <gtest/gtest.h>

#include "app/language.h"
#include "scratch_dir.h"

namespace fk {
namespace {

// A language pack whose words differ from their keys, so a test sees whether a
// text went through the lookup.
class DisplayCodes : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.Write("Languages/Language.ini", "[LCID]\n1033=Test\n");
        dir_.Write("Languages/Test.lng",
                   "[ProgramOutStr]\nOnline=T-Online\nOn2=T-On\nOff2=T-Off\nAuto=T-Auto\n"
                   "Station=T-Station\nWPA2_PSK=T-WPA2_PSK\n");
        COperateLanguage::Instance().Init(dir_.Dir(), 1033);
    }
    void TearDown() override { COperateLanguage::Instance().Init(dir_.Dir() + "none/", 1033); }

    testing::ScratchDir dir_;
};

TEST_F(DisplayCodes, CodeTables) {
    const struct {
        std::string actual;
        std::string expected;
    } cases[] = {
        {StatusName(0), "Outline"},
        {StatusName(1), "T-Online"},
        {StatusName(5), "Reseting"},
        {StatusName(9), "Upgrade fail"},
        {StatusName(10), ""},
        {StatusName(-1), ""},
        {WorkModeName(0), ""},
        {WorkModeName(1), "AP"},
        {WorkModeName(2), "T-Station"},
        {WorkModeName(7), "Router"},
        {WorkModeName(8), ""},
        {SecurityName(0), "Disable"},
        {SecurityName(3), "T-WPA2_PSK"},
        {SecurityName(6), "WPA2"},
        {SecurityName(7), ""},
        {SecurityName(-3), ""},
        {ChannelText(0), "T-Auto"},
        {ChannelText(149), "149"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST_F(DisplayCodes, ModelNamesAndCodes) {
    const struct {
        int code;
        const char* name;
    } cases[] = {{1, "NX-01"}, {11, "NX-11"}, {257, "NQ-01"}, {270, "NQ-14"},
                 {0, "NX-01"}, {12, "NX-01"}, {256, "NX-01"}, {271, "NX-01"}};
    for (const auto& c : cases) EXPECT_EQ(ModelName(c.code), c.name) << c.code;

    EXPECT_EQ(ModelCode("NQ-09"), 265);
    EXPECT_EQ(ModelCode("NX-10"), 10);
    EXPECT_EQ(ModelCode("nq-09"), 1);
    EXPECT_EQ(ModelCode(""), 1);
    for (int code : {1, 5, 11, 257, 263, 270}) EXPECT_EQ(ModelCode(ModelName(code)), code);
}

TEST_F(DisplayCodes, SwitchTexts) {
    const struct {
        int type;
        int mode;
        int value;
        const char* expected;
    } bridge[] = {
        {4, 1, 1, "N/A"},  {261, 2, 0, "N/A"}, {3, 4, 1, "N/A"},    {3, 5, 1, "N/A"},
        {3, 6, 1, "N/A"},  {3, 7, 0, "N/A"},   {3, 2, 0, "T-Off"},  {3, 1, 1, "T-On"},
        {3, 3, 7, "T-On"}, {3, 0, 0, "T-Off"}, {262, 8, 1, "T-On"},
    };
    for (const auto& c : bridge) {
        EXPECT_EQ(TransparentBridgeText(c.type, c.mode, c.value), c.expected)
            << c.type << "/" << c.mode << "/" << c.value;
    }
    const struct {
        int type;
        int value;
        const char* expected;
    } tdma[] = {
        {265, 1, "T-On"}, {270, 0, "T-Off"}, {6, 1, "T-On"}, {8, 0, "T-Off"}, {11, 2, "T-On"},
        {264, 1, "N/A"},  {7, 0, "N/A"},     {5, 1, "N/A"},  {12, 1, "N/A"},  {271, 1, "N/A"},
    };
    for (const auto& c : tdma) EXPECT_EQ(TdmaText(c.type, c.value), c.expected) << c.type;
}

TEST_F(DisplayCodes, UptimeHasNoPadding) {
    const struct {
        std::uint32_t seconds;
        const char* text;
    } cases[] = {
        {0, "0:0:0"},
        {59, "0:0:59"},
        {86399, "23:59:59"},
        {86400, "1 0:0:0"},
        {86400 + 3600 + 60 + 1, "1 1:1:1"},
        {4294967295u, "49710 6:28:15"},
    };
    for (const auto& c : cases) EXPECT_EQ(UptimeText(c.seconds), c.text) << c.seconds;
}

}  // namespace
}  // namespace fk
