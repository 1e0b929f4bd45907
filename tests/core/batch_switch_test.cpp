#include "operations/batch_switch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stop_token>

#include "protocol/packet.h"
#include "support/recording_link.h"

namespace fk {
namespace {

ap_select_stu Device(int i) {
    return {"198.18.0." + std::to_string(20 + i), "02:00:00:00:00:" + std::to_string(10 + i), 6};
}

// Bridging also depends on the work mode, Slotra on the model alone.
TEST(SwitchSelection, KeepsTheTickedDevicesThatHaveTheFeatureInTickOrder) {
    const struct {
        int type;
        int work_mode;
    } ticked[] = {{6, WORK_MODE_AP},   {6, WORK_MODE_REPEATER},  {4, WORK_MODE_AP},
                  {3, WORK_MODE_WISP}, {265, WORK_MODE_STATION}, {3, WORK_MODE_AP}};
    std::vector<ap_info_stu> records;
    for (std::size_t i = 0; i < std::size(ticked); ++i) {
        const ap_select_stu d = Device(static_cast<int>(i));
        ap_info_stu r = ZeroRecord();
        r.SetMac(d.mac);
        const auto ip = IpTextToOctets(d.ip);
        std::copy(ip.begin(), ip.end(), r.report.ip);
        r.ap_type = static_cast<std::uint16_t>(ticked[i].type);
        r.report.work_mode = static_cast<std::uint8_t>(ticked[i].work_mode);
        records.push_back(r);
    }
    const struct {
        SwitchKind kind;
        std::vector<std::size_t> selected;
    } cases[] = {
        {SwitchKind::TransparentBridge, {0, 4, 5}},
        {SwitchKind::Slotra, {0, 1, 4}},
    };
    for (const auto& c : cases) {
        const auto batch = SelectSwitchable(c.kind, records);
        ASSERT_EQ(batch.size(), c.selected.size());
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const ap_select_stu want = Device(static_cast<int>(c.selected[i]));
            EXPECT_EQ(batch[i].mac, want.mac);
            EXPECT_EQ(batch[i].ip, want.ip);
            EXPECT_EQ(batch[i].ap_type, ticked[c.selected[i]].type);
        }
    }
}

TEST(SwitchSender, AStoppedBatchSendsNothingAndDoesNotReportDone) {
    test::RecordingLink link;
    std::stop_source source;
    source.request_stop();
    int done = 0;
    SendSwitchBatch(link, SwitchKind::Slotra, switch_set_stu{}, {Device(1)}, source.get_token(),
                    [&] { ++done; });
    EXPECT_TRUE(link.Sent().empty());
    EXPECT_EQ(done, 0);
}

}  // namespace
}  // namespace fk
