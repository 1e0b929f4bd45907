#include "service/tftp_transfer.h"

#include <algorithm>

namespace fk::tftp {

CTftpTransfer::CTftpTransfer(Endpoint peer, Negotiation negotiation, IBlockSource& source,
                             IPacketSink& sink, int max_retries)
    : peer_(peer),
      negotiation_(std::move(negotiation)),
      source_(source),
      sink_(sink),
      max_retries_(max_retries),
      timer_(negotiation_.timeout, !negotiation_.timeout_fixed),
      buffer_(kHeaderSize + negotiation_.block_size) {}

// Every block holds block_size bytes but the last, which holds fewer, possibly none:
// a short block is how the client knows the file has ended.
std::uint64_t CTftpTransfer::LastBlock() const {
    return source_.Size() / negotiation_.block_size + 1;
}

void CTftpTransfer::Start(TimePoint now) {
    if (!negotiation_.acknowledged.empty()) first_unacked_ = 0;
    sent_end_ = first_unacked_;
    SendWindow(now, false);
}

void CTftpTransfer::SendWindow(TimePoint now, bool again) {
    deadline_ = now + timer_.Current();
    window_sent_again_ = again;
    if (!again) window_sent_at_ = now;
    if (first_unacked_ == 0) {
        sink_.Send(peer_, BuildOptionAck(negotiation_.acknowledged));
        sent_end_ = 1;
        return;
    }
    const std::uint64_t end = std::min(first_unacked_ + negotiation_.window_size, LastBlock() + 1);
    for (std::uint64_t block = first_unacked_; block < end; ++block) {
        if (!SendBlock(block)) return;
    }
    sent_end_ = std::max(sent_end_, end);
}

bool CTftpTransfer::SendBlock(std::uint64_t block) {
    const std::uint64_t offset = (block - 1) * negotiation_.block_size;
    const std::uint64_t size = source_.Size();
    const std::uint64_t want =
        offset >= size ? 0 : std::min<std::uint64_t>(negotiation_.block_size, size - offset);
    const long long got =
        want == 0
            ? 0
            : source_.Read(offset, std::span<std::uint8_t>(buffer_.data() + kHeaderSize, want));
    if (got != static_cast<long long>(want)) {
        // A file cut short under us would end the transfer early and silently.
        Fail(ErrorCode::kNotDefined, "Read error");
        return false;
    }
    WriteDataHeader(std::span<std::uint8_t, kHeaderSize>(buffer_.data(), kHeaderSize),
                    static_cast<std::uint16_t>(block & 0xFFFF));
    sink_.Send(peer_, ByteView(buffer_.data(), kHeaderSize + want));
    return true;
}

void CTftpTransfer::OnPacket(const Endpoint& from, ByteView packet, TimePoint now) {
    if (state_ != State::kRunning) return;
    if (!(from == peer_)) {
        // Someone else's datagram on our port: tell them, leave our client undisturbed.
        sink_.Send(from, BuildError(ErrorCode::kUnknownTransferId, "Unknown transfer ID"));
        return;
    }
    switch (PeekOpcode(packet).value_or(Opcode::kReadRequest)) {
        case Opcode::kAck:
            if (auto number = ParseAck(packet)) OnAck(*number, now);
            return;
        case Opcode::kError:
            // The client gave up (or refused our options); it expects no answer.
            state_ = State::kFailed;
            return;
        default:
            Fail(ErrorCode::kIllegalOperation, "Illegal TFTP operation");
            return;
    }
}

void CTftpTransfer::OnAck(std::uint16_t number, TimePoint now) {
    // The acknowledged block is the one in flight whose low 16 bits match. Anything
    // else - a repeated ACK of a block already acknowledged, or a stray from long
    // before - moves nothing and is answered with nothing.
    const auto distance = static_cast<std::uint16_t>(number - (first_unacked_ & 0xFFFF));
    const std::uint64_t block = first_unacked_ + distance;
    if (block >= sent_end_) return;
    first_unacked_ = block + 1;
    retries_ = 0;
    // An ACK after a resend may answer either copy, so it measures nothing.
    if (!window_sent_again_) timer_.OnRoundTrip(now - window_sent_at_);
    if (first_unacked_ > LastBlock()) {
        state_ = State::kDone;
        return;
    }
    // After an ACK inside the window the client has dropped what followed the gap;
    // the next window starts right behind the acknowledged block.
    SendWindow(now, false);
}

void CTftpTransfer::OnTimer(TimePoint now) {
    if (state_ != State::kRunning || now < deadline_) return;
    if (retries_ >= max_retries_) {
        Fail(ErrorCode::kNotDefined, "Transfer timed out");
        return;
    }
    ++retries_;
    ++retransmissions_;
    timer_.OnTimeout();
    SendWindow(now, true);
}

void CTftpTransfer::Fail(ErrorCode code, const char* message) {
    sink_.Send(peer_, BuildError(code, message));
    state_ = State::kFailed;
}

}  // namespace fk::tftp
