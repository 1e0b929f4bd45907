#include "operations/batch_switch.h"

#include <gtest/gtest.h>

#include <stop_token>

#include "protocol/packet.h"
#include "support/recording_link.h"

namespace fk {
namespace {

ap_select_stu Device(int i) {
    return {"198.18.0." + std::to_string(20 + i), "02:00:00:00:00:" + std::to_string(10 + i), 6};
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
