// One read transfer stepped by what a client (or a stranger) sends and by the clock:
// the negotiated options, the served file's size, then a run of events. Checks what
// a client relies on: every DATA block has the negotiated size but the last, a
// stranger only ever gets error 5, and a finished transfer sends nothing more.
//
// Input: [options piece][file size / 16, 2 bytes] then events, each a selector byte:
//   0 a datagram from the client (a piece)    1 the same from another port
//   2 the clock moves on (2 bytes, ms) and the timer runs
//   3 an ACK of the given block number (2 bytes)    other: an ACK of the last block sent
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "service/tftp_options.h"
#include "service/tftp_packet.h"
#include "service/tftp_transfer.h"

namespace {

using fk::tftp::ByteView;
using fk::tftp::Endpoint;

void Check(bool holds) {
    if (!holds) std::abort();
}

// A file whose every byte is known from its offset, so no storage is needed for one
// large enough to roll the block number over.
class CPatternFile final : public fk::tftp::IBlockSource {
  public:
    explicit CPatternFile(std::uint64_t size) : size_(size) {}
    std::uint64_t Size() const override { return size_; }
    long long Read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        Check(offset + out.size() <= size_);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = static_cast<std::uint8_t>((offset + i) * 131 >> 3);
        }
        return static_cast<long long>(out.size());
    }

  private:
    std::uint64_t size_;
};

class CCheckingSink final : public fk::tftp::IPacketSink {
  public:
    CCheckingSink(Endpoint client, std::uint16_t block_size)
        : client_(client), block_size_(block_size) {}

    void Send(const Endpoint& to, ByteView datagram) override {
        Check(!finished);
        const auto opcode = fk::tftp::PeekOpcode(datagram);
        Check(opcode.has_value());
        if (!(to == client_)) {
            const auto error = fk::tftp::ParseError(datagram);
            Check(error && error->code == 5);
            return;
        }
        if (*opcode != fk::tftp::Opcode::kData) return;
        const auto data = fk::tftp::ParseData(datagram);
        Check(data && data->payload.size() <= block_size_);
        // Only the file's last block may be short, and nothing follows it in a window.
        Check(!short_seen || data->block != static_cast<std::uint16_t>(short_block + 1));
        if (data->payload.size() < block_size_) {
            short_seen = true;
            short_block = data->block;
        }
        last_block = data->block;
    }

    bool finished = false;
    std::uint16_t last_block = 0;

  private:
    Endpoint client_;
    std::uint16_t block_size_;
    bool short_seen = false;
    std::uint16_t short_block = 0;
};

std::vector<fk::tftp::Option> RequestedOptions(fk::fuzz::CInput& input) {
    const auto piece = input.Piece();
    std::vector<std::uint8_t> oack = {0, 6};
    oack.insert(oack.end(), piece.begin(), piece.end());
    return fk::tftp::ParseOptionAck(oack).value_or(std::vector<fk::tftp::Option>{});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fk::fuzz::CInput input(data, size);
    const auto options = RequestedOptions(input);
    CPatternFile file(std::uint64_t{input.U16()} * 16);
    const auto negotiation = fk::tftp::Negotiate(options, file.Size());
    const Endpoint client{0xC6120014, 2000};
    const Endpoint stranger{0xC6120014, 2001};
    CCheckingSink sink(client, negotiation.block_size);
    fk::tftp::CTftpTransfer transfer(client, negotiation, file, sink);
    auto now = fk::tftp::CTftpTransfer::TimePoint{} + std::chrono::hours(1);
    transfer.Start(now);
    while (!input.Empty()) {
        sink.finished = transfer.Finished();
        const std::uint8_t selector = input.Byte();
        if (selector == 0 || selector == 1) {
            const auto packet = input.Piece();
            transfer.OnPacket(selector == 0 ? client : stranger, packet, now);
        } else if (selector == 2) {
            now += std::chrono::milliseconds(input.U16());
            transfer.OnTimer(now);
        } else {
            const std::uint16_t block = selector == 3 ? input.U16() : sink.last_block;
            transfer.OnPacket(client, fk::tftp::BuildAck(block), now);
        }
    }
    return 0;
}
