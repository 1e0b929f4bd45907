// Every address a window takes is read one way: a spelling that is not exactly one
// address is refused by the window's rule, and the rules that compare addresses
// ("already in use", the mask, gateway equal to the address) cannot be dodged by
// spelling the same address differently.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config/batch_ip.h"
#include "config/ip_settings.h"
#include "config/validation.h"
#include "config/wireless_security.h"
#include "operations/bridge_wizard.h"

namespace fk {
namespace {

// 198.18.0.20/24, gateway .1; another radio holds .22.
ap_info_stu Radio() {
    ap_info_stu r = ZeroRecord();
    r.SetMac("02:46:4b:00:00:01");
    r.ap_type = 3;
    const std::uint8_t ip[4] = {198, 18, 0, 20}, mask[4] = {255, 255, 255, 0},
                       gw[4] = {198, 18, 0, 1};
    std::memcpy(r.report.ip, ip, 4);
    std::memcpy(r.report.ip_mask, mask, 4);
    std::memcpy(r.report.ip_gateway, gw, 4);
    r.report.ap_name.Assign("tower");
    return r;
}

const std::vector<std::string> kStored = {"198.18.0.20", "198.18.0.22"};

// Each window's rule with one field typed; the message it refuses with, empty when
// it takes the input.
using Rule = std::function<std::string(const std::string& typed)>;

std::string Message(const std::optional<PaneRejection>& rejection) {
    return rejection ? rejection->text : std::string();
}

std::string IpTab(std::string IpPaneInput::*field, const std::string& typed) {
    IpPaneInput in = IpPaneShown(Radio());
    in.*field = typed;
    return Message(CollectIpSettings(Radio(), in, kStored).rejection);
}

std::string BatchRange(std::string IpRangeInput::*field, const std::string& typed) {
    IpRangeInput in{"198.18.0.25", "198.18.0.40", "255.255.255.0", "198.18.0.1", "", ""};
    in.*field = typed;
    ip_range_stu range;
    return CollectIpRange(in, 2, range).message;
}

std::string BridgeStep(std::string BridgeIpInput::*field, const std::string& typed) {
    BridgeIpInput in = PresetIpStep(Radio());
    in.*field = typed;
    return Message(CheckIpStep(Radio(), in, kStored).rejection);
}

std::string RadiusServer(const std::string& typed) {
    SecurityPaneInput in = SecurityPaneShown(Radio().report);
    ChooseSecurityMode(in, kSecureWpa2);
    in.radius_server = typed;
    in.radius_port = "1812";
    in.radius_key = "k";
    in.radius_key_time = "600";
    return Message(CheckSecurity(in));
}

TEST(TypedAddress, OnlyExactAddressesAreTaken) {
    const struct {
        const char* field;
        Rule rule;
        const char* refusal;
    } rules[] = {
        {"IP tab, IP", [](auto& t) { return IpTab(&IpPaneInput::ip, t); }, kMsgIpInvalid},
        {"IP tab, gateway", [](auto& t) { return IpTab(&IpPaneInput::gateway, t); },
         kMsgGatewayInvalid},
        {"IP tab, DNS 2", [](auto& t) { return IpTab(&IpPaneInput::dns2, t); }, kMsgDns2Invalid},
        {"batch, end", [](auto& t) { return BatchRange(&IpRangeInput::end, t); }, kMsgIpInvalid},
        {"batch, DNS 1", [](auto& t) { return BatchRange(&IpRangeInput::dns1, t); },
         kMsgDns1Invalid},
        {"bridge, IP", [](auto& t) { return BridgeStep(&BridgeIpInput::ip, t); }, kMsgIpInvalid},
        {"bridge, DNS 2", [](auto& t) { return BridgeStep(&BridgeIpInput::dns2, t); },
         kMsgDns2Invalid},
        {"RADIUS server", RadiusServer, kMsgRadiusServer},
    };
    // 198.18.0.30 in every spelling but its own, and the forms that once wrapped or
    // filled in octets.
    const char* spellings[] = {"198.18.0.030", "198.018.0.30", "198.18.0.286", "454.18.0.30",
                               "198.18.30",    "198.18",       "198.18.0.30.", "198.18.0.3 0"};
    for (const auto& r : rules) {
        EXPECT_EQ(r.rule("198.18.0.30"), "") << r.field;
        for (const char* typed : spellings)
            EXPECT_EQ(r.rule(typed), r.refusal) << r.field << ": " << typed;
    }
}

// The same address in another spelling is the same address to every comparison.
TEST(TypedAddress, ComparisonsReadAddressesNotTexts) {
    const struct {
        const char* what;
        std::function<std::string()> rule;
        const char* refusal;
    } cases[] = {
        {"in use, plain", [] { return IpTab(&IpPaneInput::ip, "198.18.0.22"); }, kMsgIpInUse},
        {"in use, leading zero", [] { return IpTab(&IpPaneInput::ip, "198.18.0.022"); },
         kMsgIpInvalid},
        {"own address again", [] { return IpTab(&IpPaneInput::ip, "198.18.0.20"); }, ""},
        {"mask of zeros", [] { return IpTab(&IpPaneInput::mask, "000.0.0.0"); }, kMsgMaskInvalid},
        {"mask of ones", [] { return IpTab(&IpPaneInput::mask, "255.255.255.255"); },
         kMsgMaskInvalid},
        {"gateway is the IP",
         [] {
             IpPaneInput in = IpPaneShown(Radio());
             in.ip = "198.18.0.41";
             in.gateway = "198.18.0.041";
             return Message(CollectIpSettings(Radio(), in, kStored).rejection);
         },
         kMsgGatewayInvalid},
        {"bridge in use", [] { return BridgeStep(&BridgeIpInput::ip, "198.18.0.22"); },
         kMsgIpInUse},
        {"bridge in use, leading zero",
         [] { return BridgeStep(&BridgeIpInput::ip, "198.18.0.022"); }, kMsgIpInvalid},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rule(), c.refusal) << c.what;
}

// What a rule took is what is sent.
TEST(TypedAddress, TheBlockCarriesTheTypedAddress) {
    IpPaneInput in = IpPaneShown(Radio());
    in.ip = "198.18.0.30";
    in.dns2 = "8.8.4.4";
    const IpPaneResult out = CollectIpSettings(Radio(), in, kStored);
    ASSERT_FALSE(out.rejection) << out.rejection->text;
    EXPECT_EQ(out.ip_block[1], 198);
    EXPECT_EQ(out.ip_block[4], 30);
    EXPECT_EQ(out.ip_block[17], 8);
    EXPECT_EQ(out.ip_block[20], 4);

    ip_range_stu range;
    ASSERT_TRUE(CollectIpRange({"198.18.0.30", "198.18.0.40", "255.255.255.0", "", "", "9.9.9.9"},
                               2, range));
    EXPECT_EQ(range.end, (Ipv4Octets{198, 18, 0, 40}));
    EXPECT_EQ(range.dns2, (Ipv4Octets{9, 9, 9, 9}));
}

}  // namespace
}  // namespace fk
