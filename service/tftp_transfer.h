// One read transfer, from the server's side, as a state machine stepped by packets
// and by time: it is told what arrived and what time it is, and hands the datagrams
// it wants sent to a sink. It never reads a clock or touches a socket itself.
//
// Blocks go out a window at a time (a window of one is plain lock-step TFTP). An ACK
// that moves the window on sends the next window; an ACK for a block already
// acknowledged is dropped without a reply, because answering it is what made early
// TFTP double every packet after one delayed ACK (the Sorcerer's Apprentice). Only
// the retransmission timer resends, and only a bounded number of times.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "service/retransmit_timer.h"
#include "service/tftp_options.h"
#include "service/tftp_packet.h"

namespace fk::tftp {

// IPv4 address and UDP port in host order. The pair is the client's transfer ID.
struct Endpoint {
    std::uint32_t ip = 0;
    std::uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
};

class IBlockSource {
  public:
    virtual ~IBlockSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Bytes read into `out` from `offset`; -1 on a read error.
    virtual long long Read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class IPacketSink {
  public:
    virtual ~IPacketSink() = default;
    // A datagram that cannot be sent counts as lost; the timer resends it.
    virtual void Send(const Endpoint& to, ByteView datagram) = 0;
};

class CTftpTransfer {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    enum class State { kRunning, kDone, kFailed };

    // Six resends of an unanswered window: a client that has gone away holds its
    // transfer slot for at most 13 seconds (1 s, then 2 s for each resend).
    static constexpr int kDefaultMaxRetries = 6;

    CTftpTransfer(Endpoint peer, Negotiation negotiation, IBlockSource& source, IPacketSink& sink,
                  int max_retries = kDefaultMaxRetries);

    void Start(TimePoint now);
    void OnPacket(const Endpoint& from, ByteView packet, TimePoint now);
    // Resends or gives up once the deadline has passed; does nothing before it.
    void OnTimer(TimePoint now);

    State GetState() const { return state_; }
    bool Finished() const { return state_ != State::kRunning; }
    TimePoint Deadline() const { return deadline_; }
    const Endpoint& Peer() const { return peer_; }
    std::uint64_t Retransmissions() const { return retransmissions_; }

  private:
    std::uint64_t LastBlock() const;
    void SendWindow(TimePoint now, bool again);
    bool SendBlock(std::uint64_t block);
    void OnAck(std::uint16_t number, TimePoint now);
    void Fail(ErrorCode code, const char* message);

    Endpoint peer_;
    Negotiation negotiation_;
    IBlockSource& source_;
    IPacketSink& sink_;
    int max_retries_;
    State state_ = State::kRunning;
    // Absolute block numbers: the wire carries them modulo 65536, so a long image
    // rolls over to 0 and on. With an OACK, block 0 stands for the OACK itself.
    std::uint64_t first_unacked_ = 1;
    std::uint64_t sent_end_ = 1;  // one past the last block sent
    int retries_ = 0;
    std::uint64_t retransmissions_ = 0;
    TimePoint deadline_{};
    CRetransmitTimer timer_;
    TimePoint window_sent_at_{};
    bool window_sent_again_ = false;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace fk::tftp
