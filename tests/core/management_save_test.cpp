#include "config/management_save.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/language.h"
#include "protocol/packet.h"

namespace fk {
namespace {

constexpr const char* kMac = "02:46:4b:00:00:01";

void SetIp(std::uint8_t (&field)[4], const char* text) {
    const auto o = IpTextToOctets(text);
    std::copy(o.begin(), o.end(), field);
}

ap_info_stu Radio(int type = 3, int work_mode = WORK_MODE_AP) {
    ap_info_stu r = ZeroRecord();
    r.SetMac(kMac);
    r.ap_type = static_cast<std::uint16_t>(type);
    r.report.work_mode = static_cast<std::uint8_t>(work_mode);
    r.report.ip_mode = 1;
    SetIp(r.report.ip, "198.18.0.20");
    SetIp(r.report.ip_mask, "255.255.255.0");
    SetIp(r.report.ip_gateway, "198.18.0.1");
    r.report.ap_name.Assign("mast");
    // A radio as it reports itself: what an untouched wireless tab writes is already there.
    r.report.rf_count = r.report.rf_en = r.report.ssid_count = 1;
    r.report.country_code = 1;
    r.report.channel = 6;
    r.report.expand_channel = 2;
    r.report.tx_power = 20;
    r.report.tx_power_min = 1;
    r.report.tx_power_max = 27;
    r.report.ssid.Assign("mast-net");
    r.report.vlan_id = r.report.vlan_id_wlan = r.report.vlan_id_lan = 1;
    r.report.vlan_pvid = r.report.vlan_id_lan3 = r.report.vlan_id_lan4 = 1;
    r.report.bridge_transparent = 1;
    r.report.restart_en = 0;
    r.report.restart_type = 0x04;
    r.report.restart_time = 120;
    return r;
}

SavePlan Plan(const ap_info_stu& r, const ManagementInput& in,
              const std::vector<std::string>& ips = {"198.18.0.20", "198.18.0.21"}) {
    return PlanSave(r, "198.18.0.20", kMac, r.ap_type, in, ips);
}

class ManagementSaveTest : public ::testing::Test {
  protected:
    void SetUp() override { COperateLanguage::Instance().Init("/nonexistent-fk-dir/", 1033); }
};

TEST_F(ManagementSaveTest, SavingWhatIsShownSendsNothingAndNeedsNoWait) {
    for (int type : {3, 4, 10, 11, 268, 270}) {
        for (int ip_mode : {0, 1}) {
            ap_info_stu r = Radio(type);
            r.report.ip_mode = static_cast<std::uint8_t>(ip_mode);
            const SavePlan plan = Plan(r, ManagementShown(r));
            ASSERT_FALSE(plan.rejection) << type << ": " << plan.rejection->text;
            EXPECT_TRUE(SaveCommands(plan.save).empty()) << type << " ip_mode " << ip_mode;
            EXPECT_FALSE(WaitAfterSave(plan.save)) << type;
        }
    }
}

TEST_F(ManagementSaveTest, AddressRulesRunOnlyWhenAnAddressChanged) {
    struct Case {
        const char* label;
        const char* ip;
        const char* gateway;
        const char* stored_gateway;  // what the record says
        const char* message;         // empty: accepted
    } cases[] = {
        {"own address again", "198.18.0.20", "198.18.0.1", "198.18.0.1", ""},
        {"stored gateway outside but untouched", "198.18.0.20", "10.0.0.1", "10.0.0.1", ""},
        {"gateway moved outside", "198.18.0.20", "198.18.1.1", "198.18.0.1",
         "Ip address and gateway address is not in the same subnet!"},
        {"another stored device's address", "198.18.0.21", "198.18.0.1", "198.18.0.1",
         "The ip address is already in use, please respecify!"},
        {"a free address", "198.18.0.30", "198.18.0.1", "198.18.0.1", ""},
    };
    for (const Case& c : cases) {
        ap_info_stu r = Radio();
        SetIp(r.report.ip_gateway, c.stored_gateway);
        ManagementInput in = ManagementShown(r);
        in.ip.ip = c.ip;
        in.ip.gateway = c.gateway;
        const SavePlan plan = Plan(r, in);
        if (*c.message) {
            ASSERT_TRUE(plan.rejection) << c.label;
            EXPECT_EQ(plan.rejection->text, c.message) << c.label;
            EXPECT_EQ(plan.rejected_by, ManagementTab::Ip) << c.label;
        } else {
            EXPECT_FALSE(plan.rejection) << c.label;
        }
    }
}

TEST_F(ManagementSaveTest, AnAddressChangeFromIpModeZeroSendsModeOneAndWaitsWithSearches) {
    ap_info_stu r = Radio();
    r.report.ip_mode = 0;
    ManagementInput in = ManagementShown(r);
    in.ip.ip = "198.18.0.30";
    in.ip.dns1 = "";
    const SavePlan plan = Plan(r, in);
    ASSERT_FALSE(plan.rejection);
    const auto commands = SaveCommands(plan.save);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].type, MSG_SET_IP);
    EXPECT_EQ(commands[0].pending_ip, "198.18.0.30");
    EXPECT_EQ(commands[0].ip, "198.18.0.20");
    const auto want = BuildIpBlock(IpTextToOctets("198.18.0.30"), IpTextToOctets("255.255.255.0"),
                                   IpTextToOctets("198.18.0.1"), {}, {}, 1);
    EXPECT_EQ(commands[0].payload, std::vector<std::uint8_t>(want.begin(), want.end()));
    const auto wait = WaitAfterSave(plan.save);
    ASSERT_TRUE(wait);
    EXPECT_EQ(wait->seconds, 15);
    EXPECT_TRUE(wait->rediscover);
    EXPECT_EQ(wait->passes, 3);
}

TEST_F(ManagementSaveTest, NamesFollowTheirModelsClassAndGoOutAsUtf8) {
    const std::string ideographs11 = [] {
        std::string s;
        for (int i = 0; i < 11; ++i) s += "\xE4\xB8\xAD";
        return s;
    }();
    struct Case {
        int type;
        std::string name;
        bool accepted;
    } cases[] = {{3, std::string(32, 'a'), true},
                 {3, std::string(33, 'a'), false},
                 {3, ideographs11, false},
                 {3,
                  "\xE4\xB8\xAD"
                  "mast",
                  true},
                 {3, "", false},
                 {4, "Mast A", false},
                 {4, "mast7", true}};
    for (const Case& c : cases) {
        const ap_info_stu r = Radio(c.type);
        ManagementInput in = ManagementShown(r);
        in.ip.name = c.name;
        const SavePlan plan = Plan(r, in);
        EXPECT_EQ(!plan.rejection, c.accepted) << c.type << " '" << c.name << "'";
        if (!c.accepted) continue;
        const auto commands = SaveCommands(plan.save);
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].type, MSG_SET_NAME);
        ASSERT_EQ(commands[0].payload.size(), kNameBlockSize);
        EXPECT_EQ(
            std::string(commands[0].payload.begin(), commands[0].payload.begin() + c.name.size()),
            c.name);
        EXPECT_EQ(commands[0].payload[32], c.name.size());
    }
}

TEST_F(ManagementSaveTest, VlanIdentifiersAreCheckedOnlyWhereTheyApply) {
    struct Case {
        const char* label;
        int type;
        int work_mode;
        bool enabled;
        const char* manage;
        const char* lan2;
        const char* message;  // empty: accepted
        std::size_t sent;     // bytes of MSG_SET_VLAN, 0 for none
    } cases[] = {
        {"empty manage id", 3, WORK_MODE_AP, true, "", "1", "VLAN range:1-4094", 0},
        {"id 0", 3, WORK_MODE_AP, true, "0", "1", "VLAN range:1-4094", 0},
        {"id 4095", 3, WORK_MODE_AP, true, "4095", "1", "VLAN range:1-4094", 0},
        {"digits past the range never wrap", 3, WORK_MODE_AP, true, "4294967297", "1",
         "VLAN range:1-4094", 0},
        {"id 4094 on a short model", 4, WORK_MODE_AP, true, "4094", "1", "", 10},
        {"three-port model", 268, WORK_MODE_AP, true, "5", "0", "LAN2 range:1-4094", 0},
        {"one-port model labels its port LAN", 270, WORK_MODE_AP, true, "5", "0",
         "LAN range:1-4094", 0},
        {"one-port model", 270, WORK_MODE_AP, true, "5", "9", "", 22},
        {"a station's tab is disabled and never blocks", 3, WORK_MODE_STATION, true, "", "", "", 0},
        {"switching off sends the old ids unchecked", 3, WORK_MODE_AP, false, "", "", "", 0},
    };
    for (const Case& c : cases) {
        ap_info_stu r = Radio(c.type, c.work_mode);
        ManagementInput in = ManagementShown(r);
        in.vlan.enabled = c.enabled;
        in.vlan.manage = c.manage;
        in.vlan.lan2 = c.lan2;
        const SavePlan plan = Plan(r, in);
        if (*c.message) {
            ASSERT_TRUE(plan.rejection) << c.label;
            EXPECT_EQ(plan.rejection->text, c.message) << c.label;
            EXPECT_EQ(plan.rejected_by, ManagementTab::Vlan) << c.label;
            continue;
        }
        ASSERT_FALSE(plan.rejection) << c.label << ": " << plan.rejection->text;
        const auto commands = SaveCommands(plan.save);
        EXPECT_EQ(commands.empty() ? 0u : commands[0].payload.size(), c.sent) << c.label;
    }
    // Switching a device that had VLAN on off: vlan_en 0, the old ids, no check.
    ap_info_stu on = Radio();
    on.report.vlan_en = 1;
    on.report.vlan_id = 77;
    ManagementInput off = ManagementShown(on);
    off.vlan.enabled = false;
    off.vlan.manage = "";
    const auto commands = SaveCommands(Plan(on, off).save);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].payload[0], 0);
    EXPECT_EQ(commands[0].payload[2], 77);
    // The one-port model's port goes to vlan_id_lan.
    ap_info_stu port = Radio(270);
    ManagementInput in = ManagementShown(port);
    in.vlan.enabled = true;
    in.vlan.lan2 = "300";
    const auto sent = SaveCommands(Plan(port, in).save);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload[6] | sent[0].payload[7] << 8, 300);
    EXPECT_EQ(sent[0].payload[10], 1);  // the transparent-bridge switch travels unchanged
}

TEST_F(ManagementSaveTest, ScheduleBytesAndRefusals) {
    struct Case {
        const char* label;
        bool enabled;
        const char* hour;
        const char* minute;
        std::vector<int> days;  // 0 = Monday
        bool everyday;
        const char* message;
        reboot_set_stu bytes;
    } cases[] = {
        {"03:30 Monday and Friday", true, "3", "30", {0, 4}, false, "", {1, 0x22, 0xD2, 0x00}},
        {"every day", true, "23", "59", {}, true, "", {1, 0xFE, 0x9F, 0x05}},
        {"switched off keeps days and time", false, "", "", {}, false, "", {0, 0x04, 120, 0}},
        {"hour 24", true, "24", "0", {0}, false, "The time is error!", {}},
        {"minute 60", true, "1", "60", {0}, false, "The time is error!", {}},
        {"empty minute", true, "1", "", {0}, false, "The time can not be empty!", {}},
        {"no day",
         true,
         "1",
         "0",
         {},
         false,
         "Please selectting the day that you want to reboot!",
         {}},
    };
    for (const Case& c : cases) {
        const ap_info_stu r = Radio();
        ManagementInput in = ManagementShown(r);
        in.reboot.enabled = c.enabled;
        in.reboot.hour = c.hour;
        in.reboot.minute = c.minute;
        in.reboot.days = {};
        for (int d : c.days) in.reboot.days[d] = true;
        in.reboot.everyday = c.everyday;
        const SavePlan plan = Plan(r, in);
        if (*c.message) {
            ASSERT_TRUE(plan.rejection) << c.label;
            EXPECT_EQ(Translate(c.message), plan.rejection->text) << c.label;
            continue;
        }
        ASSERT_FALSE(plan.rejection) << c.label;
        EXPECT_EQ(plan.save.reboot_block, c.bytes) << c.label;
        EXPECT_EQ(plan.save.reboot_changed, c.bytes != RebootBytes(r)) << c.label;
    }
}

TEST_F(ManagementSaveTest, EverythingAtOnceGoesInTheFixedOrderWithTheFlagsSwapped) {
    const ap_info_stu r = Radio(268);
    ManagementInput in = ManagementShown(r);
    in.ip.name = "north";
    in.ip.ip = "198.18.0.40";
    in.wireless.ssid = "north-net";
    in.vlan.enabled = true;
    in.vlan.manage = "100";
    in.reboot.enabled = true;
    const SavePlan plan = Plan(r, in);
    ASSERT_FALSE(plan.rejection);
    const auto commands = SaveCommands(plan.save);
    std::vector<std::uint16_t> types;
    for (const auto& c : commands) {
        types.push_back(c.type);
        EXPECT_TRUE(c.retransmit);
        EXPECT_EQ(c.mac, kMac);
    }
    EXPECT_EQ(types, (std::vector<std::uint16_t>{MSG_SET_NAME, MSG_SET_WIRELESS,
                                                 MSG_SET_TIMED_REBOOT, MSG_SET_VLAN, MSG_SET_IP}));
    EXPECT_EQ(commands[1].payload.size(), kWirelessBlockSize);
    EXPECT_EQ(commands[3].payload.size(), 22u);
    EXPECT_EQ(commands[3].payload[8], 1);   // vlan_flag raised
    EXPECT_EQ(commands[4].payload[21], 0);  // ip_flag lowered
    const auto wait = WaitAfterSave(plan.save);
    ASSERT_TRUE(wait);
    EXPECT_EQ(wait->seconds, 60);
    EXPECT_FALSE(wait->rediscover);
}

TEST_F(ManagementSaveTest, OnlyTheFirstRefusingTabIsHeard) {
    const ap_info_stu r = Radio();
    ManagementInput in = ManagementShown(r);
    in.ip.name = "";
    in.vlan.enabled = true;
    in.vlan.manage = "0";
    const SavePlan plan = Plan(r, in);
    ASSERT_TRUE(plan.rejection);
    EXPECT_EQ(plan.rejected_by, ManagementTab::Ip);
    EXPECT_EQ(plan.rejection->field, kIpFieldName);
    // The wireless tab is asked first: its SSID refusal is the only one heard.
    in.wireless.ssid = "";
    const SavePlan first = Plan(r, in);
    ASSERT_TRUE(first.rejection);
    EXPECT_EQ(first.rejected_by, ManagementTab::Wireless);
    EXPECT_EQ(first.rejection->text, kMsgSsidEmpty);
    EXPECT_EQ(first.rejection->field, kWirelessFieldSsid);
}

}  // namespace
}  // namespace fk
