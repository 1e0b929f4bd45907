#include "app/language.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "scratch_dir.h"

namespace fk {
namespace {

class Language : public ::testing::Test {
  protected:
    void TearDown() override { COperateLanguage::Instance().Init(dir_.Dir() + "none/", 1033); }
    testing::ScratchDir dir_;
};

TEST_F(Language, ChoosesThePackFromTheLocaleIndexOrEnglishWithoutOne) {
    auto& lang = COperateLanguage::Instance();
    lang.Init(dir_.Dir(), 2052);
    EXPECT_EQ(lang.LanguageName(), "English");
    EXPECT_EQ(lang.LocaleId(), 1033u);
    EXPECT_EQ(Translate("Search"), "Search");
    EXPECT_EQ(Translate("a\\nb"), "a\nb");

    dir_.Write("Languages/Language.ini", "[LCID]\n1033=English\n2052=Chinese\n");
    const struct {
        std::uint32_t asked;
        const char* name;
        std::uint32_t remembered;
    } cases[] = {{1033, "English", 1033}, {2052, "Chinese", 2052}, {1031, "English", 1033}};
    for (const auto& c : cases) {
        lang.Init(dir_.Dir(), c.asked);
        EXPECT_EQ(lang.LanguageName(), c.name) << c.asked;
        EXPECT_EQ(lang.LocaleId(), c.remembered) << c.asked;
        EXPECT_EQ(lang.LanguageFilePath(), dir_.Dir() + "Languages/" + c.name + ".lng");
    }
}

TEST_F(Language, LookupIgnoresCaseAndAppliesEscapesInOrder) {
    dir_.Write("Languages/Language.ini", "[LCID]\n1033=English\n");
    dir_.Write("Languages/English.lng",
               "[ProgramOutStr]\n"
               "Search=Find\n"
               "Two lines=first\\r\\nsecond\n"
               "One break=a\\nb\n"
               "Nothing=[~NullInfoChrys~]\n"
               "Blank=[~Null~]\n"
               "Mixed=x[~Null~]y\\r\\nz\n"
               "Empty value=\n"
               "Long=" +
                   std::string(1100, 'L') + "\n");
    COperateLanguage::Instance().Init(dir_.Dir(), 1033);
    const struct {
        const char* in;
        std::string out;
    } cases[] = {
        {"Search", "Find"},
        {"search", "Find"},
        {"SEARCH", "Find"},
        {"Two lines", "first\r\nsecond"},
        {"One break", "a\nb"},
        {"Nothing", ""},
        {"Blank", " "},
        {"Mixed", "x y\r\nz"},
        {"Empty value", "Empty value"},
        {"Not in the pack", "Not in the pack"},
        {"Unknown\\r\\nkey", "Unknown\r\nkey"},
        {"", ""},
        {"Long", std::string(1023, 'L')},
    };
    for (const auto& c : cases) EXPECT_EQ(Translate(c.in), c.out) << c.in;
}

TEST_F(Language, ConcurrentLookupsSeeTheLoadedPack) {
    dir_.Write("Languages/Language.ini", "[LCID]\n2052=Chinese\n");
    dir_.Write("Languages/Chinese.lng", "[ProgramOutStr]\nOnline=\xE5\x9C\xA8\xE7\xBA\xBF\n");
    COperateLanguage::Instance().Init(dir_.Dir(), 2052);
    std::vector<std::jthread> readers;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&wrong] {
            for (int i = 0; i < 2000; ++i) {
                if (Translate("Online") != "\xE5\x9C\xA8\xE7\xBA\xBF") ++wrong;
            }
        });
    }
    readers.clear();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(LocaleId, PosixNamesMapToLocaleIdentifiers) {
    const struct {
        const char* name;
        std::uint32_t id;
    } cases[] = {
        {"en_US.UTF-8", 1033},
        {"zh_CN.UTF-8", 2052},
        {"zh_CN", 2052},
        {"zh_TW.Big5", 1028},
        {"de_DE@euro", 1031},
        {"fr_FR.UTF-8", 1036},
        {"es_ES", 3082},
        {"ru_RU.KOI8-R", 1049},
        {"ja_JP.eucJP", 1041},
        {"de_LU", 1031},
        {"C", 1033},
        {"POSIX", 1033},
        {"", 1033},
        {"xx_YY", 1033},
        {"en-GB", 2057},
    };
    for (const auto& c : cases) EXPECT_EQ(LocaleIdFromName(c.name), c.id) << c.name;
}

TEST(LocaleId, SystemLocaleFollowsTheEnvironmentPrecedence) {
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string keep[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "",
                                 saved[2] ? saved[2] : ""};
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(SystemLocaleId(), 2052u);
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(SystemLocaleId(), 1031u);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(SystemLocaleId(), 1041u);
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i] != nullptr) {
            setenv(names[i], keep[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace fk
