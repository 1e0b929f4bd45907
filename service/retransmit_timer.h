// How long a transfer waits for an ACK before it resends. A client's timeout option
// fixes the interval. Without one the interval follows the round trips measured on
// the transfer itself, as hosts are required to do for TFTP (RFC 1123, 4.2.3.2): a
// fixed second would stall a LAN transfer for a whole second on every lost block,
// where a round trip takes well under a millisecond. The estimate is the one TCP uses
// (RFC 6298), with Karn's rule: no sample from a window that was sent twice, and the
// interval doubles on each timeout until a clean sample comes in.
#pragma once

#include <chrono>

namespace fk::tftp {

class CRetransmitTimer {
  public:
    using Duration = std::chrono::nanoseconds;

    // Bounds of the adaptive interval. Below 50 ms a client briefly descheduled on a
    // busy PC would get whole windows resent for nothing; above 2 s a radio that went
    // away holds its transfer for long after the last resend.
    static constexpr std::chrono::milliseconds kMin{50};
    static constexpr std::chrono::milliseconds kMax{2000};

    CRetransmitTimer(std::chrono::milliseconds initial, bool adaptive);

    Duration Current() const { return current_; }
    void OnRoundTrip(Duration sample);
    void OnTimeout();

  private:
    bool adaptive_;
    bool measured_ = false;
    Duration srtt_{};
    Duration rttvar_{};
    Duration current_;
};

}  // namespace fk::tftp
