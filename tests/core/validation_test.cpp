#include "config/validation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/language.h"
#include "app/prompter.h"
#include "support/recording_prompter.h"

namespace fk {
namespace {

TEST(Validation, HostAddressRule) {
    const struct {
        const char* text;
        bool optional;
        bool valid;
    } cases[] = {
        {"", false, false},           {"", true, true},
        {"0.0.0.0", false, false},    {"0.0.0.0", true, true},
        {"127.0.0.1", true, false},   {"224.0.0.1", true, false},
        {"255.1.1.1", true, false},   {"0.1.2.3", true, false},
        {"192.168.1.0", true, false}, {"192.168.1.255", true, false},
        {"223.1.1.1", false, true},   {"10.0.0.254", false, true},
        {"1.2.3", false, false},      {"1.2.3.4.5", false, false},
        {"1..3.4", false, false},     {"192.168.1.300", false, false},
        {"a.b.c.d", false, false},    {" 10.0.0.1", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidHostAddress(c.text, c.optional), c.valid) << c.text << " " << c.optional;
    }
}

TEST(Validation, MaskRuleAndSubnetTest) {
    const struct {
        const char* text;
        bool valid;
    } masks[] = {{"255.255.255.0", true},  {"255.0.255.0", true}, {"255.255.255.255", false},
                 {"0.0.0.0", false},       {"", false},           {"255.255.0", false},
                 {"255.255.256.0", false}, {"0.0.0.1", true}};
    for (const auto& c : masks) EXPECT_EQ(IsValidSubnetMask(c.text), c.valid) << c.text;

    EXPECT_TRUE(IsSameSubnet({192, 168, 1, 10}, {192, 168, 1, 1}, {255, 255, 255, 0}));
    EXPECT_FALSE(IsSameSubnet({192, 168, 1, 10}, {192, 168, 2, 1}, {255, 255, 255, 0}));
    EXPECT_TRUE(IsSameSubnet({192, 168, 1, 10}, {192, 168, 2, 1}, {255, 255, 0, 0}));
    EXPECT_TRUE(IsSameSubnet({10, 1, 2, 3}, {10, 9, 2, 7}, {255, 0, 255, 0}));
}

struct IpCase {
    const char* name;
    const char* ip;
    const char* mask;
    const char* gateway;
    const char* dns1;
    const char* dns2;
    const char* message;  // nullptr: passes
    ValidationField field;
};

TEST(Validation, SingleDeviceSequenceStopsAtTheFirstFailure) {
    using F = ValidationField;
    const IpCase cases[] = {
        {"ok", "192.168.1.10", "255.255.255.0", "192.168.1.1", "8.8.8.8", "", nullptr, F::None},
        {"blank ip", "0.0.0.0", "0.0.0.0", "", "", "", kMsgIpInvalid, F::Ip},
        {"bad mask", "192.168.1.10", "255.255.255.255", "x", "", "", kMsgMaskInvalid, F::Mask},
        {"bad gateway", "192.168.1.10", "255.255.255.0", "192.168.1.255", "", "",
         kMsgGatewayInvalid, F::Gateway},
        {"ip is gateway", "192.168.1.10", "255.255.255.0", "192.168.1.10", "", "", kMsgIpIsGateway,
         F::Gateway},
        {"other subnet", "192.168.1.10", "255.255.255.0", "192.168.2.1", "", "", kMsgNotSameSubnet,
         F::Gateway},
        {"blank gateway skips subnet", "192.168.1.10", "255.255.255.0", "0.0.0.0", "", "", nullptr,
         F::None},
        {"bad dns1", "192.168.1.10", "255.255.255.0", "", "127.0.0.1", "224.1.1.1", kMsgDns1Invalid,
         F::Dns1},
        {"bad dns2", "192.168.1.10", "255.255.255.0", "", "0.0.0.0", "10.0.0.0", kMsgDns2Invalid,
         F::Dns2},
    };
    for (const auto& c : cases) {
        const auto r = CheckIpSettings(c.ip, c.mask, c.gateway, c.dns1, c.dns2);
        EXPECT_EQ(r.ok, c.message == nullptr) << c.name;
        EXPECT_EQ(r.message, c.message ? c.message : "") << c.name;
        EXPECT_EQ(r.field, c.field) << c.name;
        if (!r.ok) {
            EXPECT_TRUE(r.application_title) << c.name;
            EXPECT_EQ(r.icon, MsgIcon::None) << c.name;
        }
    }
}

TEST(Validation, RangeSequence) {
    const struct {
        const char* name;
        const char* begin;
        const char* end;
        const char* gateway;
        int count;
        const char* message;
    } cases[] = {
        {"one device ignores the end", "192.168.1.20", "192.168.1.5", "192.168.1.1", 1, nullptr},
        {"one device, blank end", "192.168.1.20", "", "", 1, nullptr},
        {"end below begin", "192.168.1.20", "192.168.1.5", "192.168.1.1", 2, kMsgIpInvalid},
        {"end equals begin", "192.168.1.20", "192.168.1.20", "192.168.1.1", 3, kMsgIpInvalid},
        {"end invalid", "192.168.1.20", "192.168.1.255", "192.168.1.1", 2, kMsgIpInvalid},
        {"good range", "192.168.1.20", "192.168.1.30", "192.168.1.1", 5, nullptr},
        {"range across octets", "10.0.0.250", "10.0.1.4", "", 5, nullptr},
        {"end is gateway", "192.168.1.20", "192.168.1.30", "192.168.1.30", 2, kMsgIpIsGateway},
        {"begin is gateway", "192.168.1.20", "192.168.1.30", "192.168.1.20", 2, kMsgIpIsGateway},
        {"end outside subnet", "192.168.1.20", "192.168.2.30", "192.168.1.1", 2, kMsgNotSameSubnet},
        {"end outside but one device", "192.168.1.20", "192.168.2.30", "192.168.1.1", 1, nullptr},
        {"begin outside subnet", "192.168.3.20", "192.168.3.30", "192.168.1.1", 2,
         kMsgNotSameSubnet},
    };
    for (const auto& c : cases) {
        const auto r = CheckIpRange(c.begin, c.end, "255.255.255.0", c.gateway, "", "", c.count);
        EXPECT_EQ(r.message, c.message ? c.message : "") << c.name;
    }
    EXPECT_EQ(
        CheckIpRange("192.168.1.20", "192.168.1.30", "255.255.255.0", "", "1.1.1.1", "127.0.0.1", 2)
            .message,
        kMsgDns2Invalid);
}

TEST(Validation, AddressInUse) {
    const std::vector<std::string> stored = {"192.168.1.10", "192.168.1.11", "10.0.0.5"};
    const struct {
        const char* new_ip;
        Ipv4Octets current;
        bool in_use;
    } cases[] = {
        {"192.168.1.10", {192, 168, 1, 10}, false},  // its own address again
        {"192.168.1.11", {192, 168, 1, 10}, true},  {"10.0.0.5", {192, 168, 1, 10}, true},
        {"10.0.0.6", {192, 168, 1, 10}, false},     {"", {0, 0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAddressInUse(c.new_ip, c.current, stored), c.in_use) << c.new_ip;
        EXPECT_EQ(CheckAddressNotInUse(c.new_ip, c.current, stored).message,
                  c.in_use ? kMsgIpInUse : "")
            << c.new_ip;
    }
    EXPECT_TRUE(IsAddressInUse("", {1, 2, 3, 4}, {"0.0.0.0"}));
}

TEST(Validation, RadiusServerAndPort) {
    const struct {
        Ipv4Octets server;
        const char* port;
        const char* message;
    } cases[] = {
        {{192, 168, 1, 2}, "1812", nullptr},
        {{192, 168, 1, 2}, "1", nullptr},
        {{192, 168, 1, 2}, "65535", nullptr},
        {{192, 168, 1, 2}, "1812abc", nullptr},
        {{192, 168, 1, 2}, "0", kMsgRadiusPort},
        {{192, 168, 1, 2}, "", kMsgRadiusPort},
        {{192, 168, 1, 2}, "65536", kMsgRadiusPort},
        {{192, 168, 1, 2}, "99999999999999999999", kMsgRadiusPort},
        {{192, 168, 1, 2}, "a1812", kMsgRadiusPort},
        {{0, 0, 0, 0}, "1812", kMsgRadiusServer},
        {{127, 0, 0, 1}, "1812", kMsgRadiusServer},
        {{230, 1, 1, 1}, "1812", kMsgRadiusServer},
        {{10, 1, 1, 0}, "1812", kMsgRadiusServer},
        {{10, 1, 1, 255}, "", kMsgRadiusServer},
    };
    for (const auto& c : cases) {
        const auto r = CheckRadiusServer(c.server, c.port);
        EXPECT_EQ(r.message, c.message ? c.message : "") << c.port;
        if (!r.ok) {
            EXPECT_EQ(r.icon, MsgIcon::Warning);
            EXPECT_FALSE(r.application_title);
        }
    }
}

TEST(Validation, NameCharacterClassesAndByteLength) {
    const std::string ideograph = "\xE4\xB8\xAD";  // U+4E2D
    std::string ten_ideographs;
    for (int i = 0; i < 10; ++i) ten_ideographs += ideograph;
    const struct {
        const char* name;
        std::string text;
        bool plain;
        bool restricted;
    } cases[] = {
        {"32 ascii", std::string(32, 'a'), true, true},
        {"33 ascii", std::string(33, 'a'), false, false},
        {"11 ideographs", ten_ideographs + ideograph, false, false},
        {"10 ideographs + 2", ten_ideographs + "ab", true, true},
        {"space", "Tower 7", true, false},
        {"comma", "a,b", true, false},
        {"underscore", "a_b", true, true},
        {"marks", "!#$%&()*+-./<=>?@^_~", true, true},
        {"quote", "a\"b", true, false},
        {"colon", "a:b", true, false},
        {"fullwidth comma",
         "a\xEF\xBC\x8C"
         "b",
         true, true},
        {"middle dot",
         "a\xC2\xB7"
         "b",
         true, true},
        {"e acute", "Caf\xC3\xA9", false, false},
        {"cyrillic", "\xD0\x9C", false, false},
        {"beyond the ideograph range", "\xE9\xBE\xA6", false, false},  // U+9FA6
        {"emoji", "\xF0\x9F\x93\xA1", false, false},
        {"control char",
         "a\x01"
         "b",
         true, false},
        {"broken utf-8", "ab\xE4\xB8", false, false},
        {"empty", "", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidNameText(c.text, 3), c.plain) << c.name;
        EXPECT_EQ(IsValidNameText(c.text, 4), c.restricted) << c.name;
        EXPECT_EQ(IsValidNameText(c.text, 261), c.restricted) << c.name;
    }
}

TEST(Validation, NameAndSsidMessages) {
    const struct {
        std::string actual;
        const char* expected;
    } cases[] = {
        {CheckDeviceName("", 3).message, kMsgNameEmpty},
        {CheckDeviceName("a b", 4).message, kMsgNameRestricted},
        {CheckDeviceName(std::string(33, 'x'), 3).message, kMsgNamePlain},
        {CheckDeviceName("ok", 261).message, ""},
        {CheckSsid("", 261).message, kMsgSsidEmpty},
        {CheckSsid("a b", 261).message, kMsgSsidRestricted},
        {CheckSsid("Caf\xC3\xA9", 8).message, kMsgSsidPlain},
        {CheckSsid("a b", 8).message, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
    EXPECT_EQ(CheckSsid("", 1).icon, MsgIcon::Warning);
}

TEST(Validation, ChineseDetectionAndByteLength) {
    EXPECT_TRUE(ContainsChineseCharacter("ab\xE4\xB8\xAD"));
    EXPECT_TRUE(ContainsChineseCharacter("\xE3\x80\x90"));  // U+3010
    EXPECT_FALSE(ContainsChineseCharacter("Caf\xC3\xA9"));
    EXPECT_FALSE(ContainsChineseCharacter("\xE3\x80\x92"));  // U+3012, outside the marks
    const struct {
        std::string text;
        std::size_t bytes;
    } cases[] = {{"abc", 3}, {"\xC3\xA9", 2}, {"\xE4\xB8\xAD", 3}, {"\xF0\x9F\x93\xA1", 6}};
    for (const auto& c : cases) EXPECT_EQ(DeviceByteLength(c.text), c.bytes) << c.text;
}

TEST(Validation, ShowingAResultUsesItsTitleAndIcon) {
    COperateLanguage::Instance().Init("/nonexistent-fk-dir/", 1033);
    test::RecordingPrompter prompter;
    EXPECT_TRUE(
        ShowValidationMessage(prompter, CheckIpSettings("10.0.0.2", "255.0.0.0", "", "", "")));
    EXPECT_FALSE(ShowValidationMessage(prompter, CheckIpSettings("", "255.0.0.0", "", "", "")));
    EXPECT_FALSE(ShowValidationMessage(prompter, CheckSsid("", 1)));
    const auto shown = prompter.Records();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, kMsgIpInvalid);
    EXPECT_EQ(shown[0].title, "CPEManagement");
    EXPECT_EQ(shown[0].icon, MsgIcon::None);
    EXPECT_EQ(shown[1].text, kMsgSsidEmpty);
    EXPECT_EQ(shown[1].title, "");
    EXPECT_EQ(shown[1].icon, MsgIcon::Warning);
}

}  // namespace
}  // namespace fk
