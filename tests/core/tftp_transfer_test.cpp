#include "service/tftp_transfer.h"

#include <gtest/gtest.h>

#include <string>

namespace fk::tftp {
namespace {

using namespace std::chrono_literals;
using TimePoint = CTftpTransfer::TimePoint;

const Endpoint kClient{0xC6120014, 40000};  // 198.18.0.20

// Byte i of the image is a function of i, so an image of any size needs no memory
// and every block can be checked for coming from the right offset.
std::uint8_t ImageByte(std::uint64_t i) {
    return static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
}

class PatternSource : public IBlockSource {
  public:
    explicit PatternSource(std::uint64_t size) : size_(size) {}
    std::uint64_t Size() const override { return size_; }
    long long Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (fail_) return -1;
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = ImageByte(offset + i);
        return static_cast<long long>(out.size());
    }
    bool fail_ = false;

  private:
    std::uint64_t size_;
};

struct Sent {
    Endpoint to;
    Bytes bytes;
};

class RecordingSink : public IPacketSink {
  public:
    void Send(const Endpoint& to, ByteView datagram) override {
        sent.push_back({to, Bytes(datagram.begin(), datagram.end())});
    }
    // Everything sent since the last call.
    std::vector<Sent> Take() { return std::exchange(sent, {}); }
    std::vector<Sent> sent;
};

std::vector<std::uint16_t> Blocks(const std::vector<Sent>& sent) {
    std::vector<std::uint16_t> blocks;
    for (const auto& s : sent) {
        if (auto d = ParseData(s.bytes)) blocks.push_back(d->block);
    }
    return blocks;
}

std::optional<std::uint16_t> ErrorOf(const std::vector<Sent>& sent) {
    if (sent.size() != 1) return std::nullopt;
    if (auto e = ParseError(sent[0].bytes)) return e->code;
    return std::nullopt;
}

struct Harness {
    Harness(std::uint64_t size, std::vector<Option> options = {}, int retries = 3)
        : source(size), transfer(kClient, Negotiate(options, size), source, sink, retries) {
        transfer.Start(now);
    }
    void Ack(std::uint16_t block, Endpoint from = kClient) {
        transfer.OnPacket(from, BuildAck(block), now);
    }
    void Wait(std::chrono::milliseconds d) {
        now += d;
        transfer.OnTimer(now);
    }
    PatternSource source;
    RecordingSink sink;
    TimePoint now{};
    CTftpTransfer transfer;
};

// Acknowledges every block as it comes; returns the image as the client saw it.
std::uint64_t RunToEnd(Harness& h, std::size_t* blocks = nullptr) {
    std::uint64_t bytes = 0, offset = 0;
    std::size_t count = 0;
    for (std::size_t guard = 0; guard < 300'000 && !h.transfer.Finished(); ++guard) {
        const auto sent = h.sink.Take();
        if (sent.empty()) break;
        const auto data = ParseData(sent.back().bytes);
        if (!data) {
            h.Ack(0);  // the OACK
            continue;
        }
        for (std::size_t i = 0; i < data->payload.size(); ++i) {
            if (data->payload[i] != ImageByte(offset + i)) return ~0ull;
        }
        offset += data->payload.size();
        bytes += data->payload.size();
        ++count;
        h.Ack(data->block);
    }
    if (blocks) *blocks = count;
    return bytes;
}

TEST(TftpTransfer, PlainTransferEndsWithAShortBlock) {
    struct Case {
        std::uint64_t size;
        std::size_t blocks;
    };
    // A size that is a multiple of the block size ends with an empty block.
    for (const Case c : {Case{0, 1}, Case{1, 1}, Case{511, 1}, Case{512, 2}, Case{513, 2},
                         Case{1024, 3}, Case{1300, 3}}) {
        SCOPED_TRACE(c.size);
        Harness h(c.size);
        std::size_t blocks = 0;
        EXPECT_EQ(RunToEnd(h, &blocks), c.size);
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kDone);
    }
}

TEST(TftpTransfer, BlockNumbersRollOverToZero) {
    // Past 65535 blocks of 512 bytes (32 MB) the 16-bit number starts again at 0.
    const std::uint64_t size = 65536ull * 512 + 10;
    Harness h(size);
    std::vector<std::uint16_t> numbers;
    for (std::uint64_t k = 1; k <= 65537; ++k) {
        const auto sent = h.sink.Take();
        ASSERT_EQ(sent.size(), 1u) << k;
        const auto data = ParseData(sent[0].bytes);
        ASSERT_TRUE(data.has_value());
        ASSERT_EQ(data->payload[0], ImageByte((k - 1) * 512)) << "block " << k;
        if (k >= 65534) numbers.push_back(data->block);
        h.Ack(data->block);
    }
    EXPECT_EQ(numbers, (std::vector<std::uint16_t>{65534, 65535, 0, 1}));
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kDone);
}

TEST(TftpTransfer, RepeatedAckIsNotAnswered) {
    Harness h(4000);
    h.sink.Take();
    h.Ack(1);
    EXPECT_EQ(Blocks(h.sink.Take()), std::vector<std::uint16_t>{2});
    // A delayed copy of ACK 1, or an ACK from long ago: nothing is resent.
    for (std::uint16_t stale : {1, 1, 0, 65535, 9}) h.Ack(stale);
    EXPECT_TRUE(h.sink.Take().empty());
    h.Ack(2);
    EXPECT_EQ(Blocks(h.sink.Take()), std::vector<std::uint16_t>{3});
}

TEST(TftpTransfer, TimeoutResendsABoundedNumberOfTimes) {
    // Nothing measured yet: 1 s, then doubled up to the 2 s bound.
    Harness h(4000, {}, 3);
    h.sink.Take();
    std::chrono::milliseconds elapsed{0};
    for (auto next : {1000ms, 3000ms, 5000ms}) {
        h.Wait(next - 1ms - elapsed);
        EXPECT_TRUE(h.sink.Take().empty()) << "nothing before " << next.count() << " ms";
        h.Wait(1ms);
        elapsed = next;
        EXPECT_EQ(Blocks(h.sink.Take()), std::vector<std::uint16_t>{1}) << next.count();
    }
    h.Wait(2000ms);
    EXPECT_EQ(ErrorOf(h.sink.Take()), 0);
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kFailed);
    EXPECT_EQ(h.transfer.Retransmissions(), 3u);
}

TEST(TftpTransfer, ResendIntervalFollowsTheRoundTripUnlessFixed) {
    struct Case {
        std::vector<Option> options;
        std::chrono::milliseconds first_resend;
    };
    // Acks that come after 4 ms bring the interval down to its 50 ms floor; a
    // client's timeout option keeps it where the client put it.
    for (const auto& c : {Case{{}, 50ms}, Case{{{"timeout", "1"}}, 1000ms}}) {
        Harness h(100'000, c.options);
        for (int i = 0; i < 8; ++i) {
            const auto sent = h.sink.Take();
            h.now += 4ms;
            h.Ack(ParseData(sent.at(0).bytes) ? ParseData(sent[0].bytes)->block : 0);
        }
        h.sink.Take();
        h.Wait(c.first_resend - 1ms);
        EXPECT_TRUE(h.sink.Take().empty());
        h.Wait(1ms);
        EXPECT_EQ(Blocks(h.sink.Take()).size(), 1u) << c.first_resend.count();
    }
}

TEST(RetransmitTimer, EstimateAndBackoffStayInBounds) {
    using std::chrono::milliseconds;
    CRetransmitTimer fixed(milliseconds(3000), false);
    fixed.OnRoundTrip(1ms);
    fixed.OnTimeout();
    EXPECT_EQ(fixed.Current(), 3000ms);

    CRetransmitTimer timer(milliseconds(1000), true);
    timer.OnRoundTrip(100ms);  // first sample: 100 + 4 * 50
    EXPECT_EQ(timer.Current(), 300ms);
    timer.OnTimeout();
    EXPECT_EQ(timer.Current(), 600ms);
    for (int i = 0; i < 4; ++i) timer.OnTimeout();
    EXPECT_EQ(timer.Current(), CRetransmitTimer::kMax);
    for (int i = 0; i < 50; ++i) timer.OnRoundTrip(100us);
    EXPECT_EQ(timer.Current(), CRetransmitTimer::kMin);
    timer.OnRoundTrip(10s);
    EXPECT_EQ(timer.Current(), CRetransmitTimer::kMax);
}

TEST(TftpTransfer, ProgressRestoresTheRetries) {
    Harness h(4000, {{"timeout", "2"}}, 2);
    h.sink.Take();
    h.Ack(0);
    h.sink.Take();
    for (int round = 0; round < 3; ++round) {
        h.Wait(1999ms);
        EXPECT_TRUE(h.sink.Take().empty()) << "the negotiated interval counts";
        h.Wait(1ms);
        h.Wait(2000ms);
        EXPECT_EQ(Blocks(h.sink.Take()).size(), 2u);
        h.Ack(static_cast<std::uint16_t>(round + 1));
        h.sink.Take();
    }
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kRunning);
}

TEST(TftpTransfer, StrangerGetsUnknownTransferIdAndChangesNothing) {
    Harness h(4000);
    h.sink.Take();
    const Endpoint strangers[] = {{kClient.ip, 40001}, {kClient.ip + 1, kClient.port}};
    for (const auto& stranger : strangers) {
        h.Ack(1, stranger);
        const auto sent = h.sink.Take();
        EXPECT_EQ(ErrorOf(sent), 5);
        EXPECT_EQ(sent[0].to, stranger);
        h.transfer.OnPacket(stranger, BuildError(ErrorCode::kNotDefined, "x"), h.now);
        h.sink.Take();
    }
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kRunning);
    h.Ack(1);
    EXPECT_EQ(Blocks(h.sink.Take()), std::vector<std::uint16_t>{2});
}

TEST(TftpTransfer, OptionsAreAcknowledgedBeforeTheFirstBlock) {
    Harness h(3000, {{"blksize", "1468"}, {"tsize", "0"}});
    const auto first = h.sink.Take();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(ParseOptionAck(first[0].bytes),
              (std::vector<Option>{{"blksize", "1468"}, {"tsize", "3000"}}));
    h.Wait(1000ms);
    EXPECT_TRUE(ParseOptionAck(h.sink.Take().at(0).bytes).has_value()) << "the OACK is resent";
    h.Ack(0);
    const auto block = ParseData(h.sink.sent.at(0).bytes);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->payload.size(), 1468u);
    EXPECT_EQ(RunToEnd(h), 3000u);
}

TEST(TftpTransfer, ClientErrorEndsTheTransferSilently) {
    Harness h(3000, {{"blksize", "9000"}});
    h.sink.Take();
    h.transfer.OnPacket(kClient, BuildError(ErrorCode::kOptionRefused, "no"), h.now);
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kFailed);
    EXPECT_TRUE(h.sink.Take().empty());
}

TEST(TftpTransfer, WindowRestartsBehindThePartialAck) {
    // 11 blocks of 512: ten full, one of 100 bytes.
    Harness h(10 * 512 + 100, {{"windowsize", "4"}});
    h.sink.Take();
    struct Step {
        std::uint16_t ack;
        std::vector<std::uint16_t> sent;
    };
    const Step steps[] = {
        {0, {1, 2, 3, 4}},  {4, {5, 6, 7, 8}}, {4, {}},  // repeated: nothing
        {6, {7, 8, 9, 10}},  // the client lost 7: the window starts over there
        {10, {11}},          // the last window holds what is left
    };
    for (const auto& step : steps) {
        h.Ack(step.ack);
        EXPECT_EQ(Blocks(h.sink.Take()), step.sent) << "after ACK " << step.ack;
    }
    h.Wait(1000ms);
    EXPECT_EQ(Blocks(h.sink.Take()), std::vector<std::uint16_t>{11});
    h.Ack(11);
    EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kDone);
}

TEST(TftpTransfer, BadPacketsAndReadErrorsFailWithAnError) {
    {
        Harness h(3000);
        h.sink.Take();
        h.transfer.OnPacket(kClient, BuildData(1, {}), h.now);
        EXPECT_EQ(ErrorOf(h.sink.Take()), 4);
        EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kFailed);
    }
    {
        Harness h(3000);
        h.sink.Take();
        h.source.fail_ = true;
        h.Ack(1);
        EXPECT_EQ(ErrorOf(h.sink.Take()), 0);
        EXPECT_EQ(h.transfer.GetState(), CTftpTransfer::State::kFailed);
    }
}

}  // namespace
}  // namespace fk::tftp
