// The key rules of the wireless tab, which the bridge wizard checks its keys with too.
#include "config/wireless_security.h"

#include <gtest/gtest.h>

#include <string>

namespace fk {
namespace {

struct PskCase {
    const char* name;
    std::string key;
    bool valid;
};

class PskKey : public ::testing::TestWithParam<PskCase> {};

TEST_P(PskKey, EightToSixtyThreeAsciiOrSixtyFourHex) {
    EXPECT_EQ(IsValidPskKey(GetParam().key), GetParam().valid) << GetParam().name;
    const ValidationResult result = CheckPskKey(GetParam().key);
    EXPECT_EQ(result.ok, GetParam().valid);
    if (!GetParam().valid) {
        EXPECT_EQ(result.message, kMsgPskKey);
        EXPECT_EQ(result.icon, MsgIcon::Warning);
        EXPECT_FALSE(result.application_title);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PskKey,
    ::testing::Values(PskCase{"64_hex", std::string(32, 'a') + std::string(32, '9'), true},
                      PskCase{"64_with_g", std::string(63, 'a') + "g", false},
                      PskCase{"7", "abcdefg", false}, PskCase{"8", "abcdefgh", true},
                      PskCase{"63_ascii", std::string(62, 'x') + "!", true},
                      PskCase{"65_hex", std::string(65, 'a'), false},
                      PskCase{"chinese", "密码密码密码", false},
                      PskCase{"blank_inside", "pass word", true}, PskCase{"empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

WepKeysInput Keys(std::string k1, int t1, std::string k2 = "", int t2 = kWepAscii,
                  int default_key = 1) {
    WepKeysInput in;
    in.keys = {std::move(k1), std::move(k2), "", ""};
    in.types = {t1, t2, kWepAscii, kWepAscii};
    in.default_key = default_key;
    return in;
}

struct WepCase {
    const char* name;
    WepKeysInput input;
    const char* message;  // nullptr: passes
    int key;
};

class WepKeys : public ::testing::TestWithParam<WepCase> {};

TEST_P(WepKeys, EachKeyByItsTypeThenTheDefaultKeyPresent) {
    const WepCase& c = GetParam();
    const WepCheck check = CheckWepKeys(c.input);
    if (!c.message) {
        EXPECT_TRUE(check.result.ok) << check.result.message;
        return;
    }
    EXPECT_FALSE(check.result.ok);
    EXPECT_EQ(check.result.message, c.message);
    EXPECT_EQ(check.key, c.key);
    EXPECT_EQ(check.result.icon, MsgIcon::Warning);
    EXPECT_TRUE(check.result.application_title);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WepKeys,
    ::testing::Values(
        WepCase{"five_ascii", Keys("abcde", kWepAscii), nullptr, 0},
        WepCase{"thirteen_ascii", Keys("abcdefghijklm", kWepAscii), nullptr, 0},
        WepCase{"five_ascii_as_hex", Keys("abcde", kWepHex), kMsgWepHex, 1},
        WepCase{"ten_hex", Keys("0123456789", kWepHex), nullptr, 0},
        WepCase{"twenty_six_hex", Keys(std::string(26, 'F'), kWepHex), nullptr, 0},
        WepCase{"ten_not_hex", Keys("012345678z", kWepHex), kMsgWepHex, 1},
        WepCase{"six_ascii", Keys("abcdef", kWepAscii), kMsgWepAsciiLength, 1},
        WepCase{"five_with_chinese",
                Keys("ab\xe5\x8c\x97"
                     "cd",
                     kWepAscii),
                kMsgWepAsciiCharacters, 1},
        WepCase{"key1_blanks_only", Keys("     ", kWepAscii), kMsgWepKeyMissing[0], 1},
        WepCase{"key1_leading_blanks", Keys("  abcde", kWepAscii), nullptr, 0},
        WepCase{"key2_wrong", Keys("abcde", kWepAscii, "abc", kWepAscii), kMsgWepAsciiLength, 2},
        WepCase{"default_key2_empty", Keys("abcde", kWepAscii, "", kWepAscii, 2),
                kMsgWepKeyMissing[1], 2},
        WepCase{"key2_default", Keys("", kWepAscii, "0123456789", kWepHex, 2), nullptr, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fk
