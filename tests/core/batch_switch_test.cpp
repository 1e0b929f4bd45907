#include "operations/batch_switch.h"

#include <gtest/gtest.h>

#include <stop_token>

#include "../ui/support/recording_link.h"
#include "protocol/packet.h"

namespace fk {
namespace {

ap_select_stu Device(int i) {
    return {"198.18.0." + std::to_string(20 + i), "02:00:00:00:00:" + std::to_string(10 + i), 6};
}

TEST(SwitchSelection, LeavesOutRowsWithoutTheFeatureAndKeepsOrder) {
    const std::vector<SwitchCandidate> ticked = {
        {Device(1), "On2"}, {Device(2), "N/A"}, {Device(3), "Off2"}, {Device(4), "N/A"}};
    const auto batch = SelectSwitchable(ticked);
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0].mac, Device(1).mac);
    EXPECT_EQ(batch[1].mac, Device(3).mac);
    EXPECT_TRUE(SelectSwitchable({{Device(1), "N/A"}}).empty());
}

struct BlockCase {
    SwitchKind kind;
    bool enable;
    std::uint16_t command;
    std::uint8_t byte0;
    std::uint8_t byte1;
};

class SwitchBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(SwitchBlock, SendsTwelveBytesWithOnlyTheChosenFeatureByte) {
    const BlockCase& c = GetParam();
    switch_set_stu block{};
    SetSwitchChoice(block, c.kind, c.enable);

    test::RecordingLink link;
    int done = 0;
    SendSwitchBatch(link, c.kind, block, {Device(1), Device(2)}, std::stop_token{},
                    [&] { ++done; });
    const auto sent = link.Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(done, 1);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].type, c.command);
        EXPECT_EQ(sent[i].ip, Device(static_cast<int>(i) + 1).ip);
        EXPECT_TRUE(sent[i].retransmit);
        ASSERT_EQ(sent[i].payload.size(), 12u);
        EXPECT_EQ(sent[i].payload[0], c.byte0);
        EXPECT_EQ(sent[i].payload[1], c.byte1);
        for (std::size_t b = 2; b < 12; ++b) EXPECT_EQ(sent[i].payload[b], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SwitchBlock,
                         testing::Values(BlockCase{SwitchKind::TransparentBridge, true,
                                                   MSG_SET_TRANSPARENT_BRIDGE, 1, 0},
                                         BlockCase{SwitchKind::TransparentBridge, false,
                                                   MSG_SET_TRANSPARENT_BRIDGE, 0, 0},
                                         BlockCase{SwitchKind::Slotra, true, MSG_SET_TDMA, 0, 1},
                                         BlockCase{SwitchKind::Slotra, false, MSG_SET_TDMA, 0, 0}));

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
