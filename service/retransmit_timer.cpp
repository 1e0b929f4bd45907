#include "service/retransmit_timer.h"

#include <algorithm>

namespace fk::tftp {

CRetransmitTimer::CRetransmitTimer(std::chrono::milliseconds initial, bool adaptive)
    : adaptive_(adaptive), current_(initial) {}

void CRetransmitTimer::OnRoundTrip(Duration sample) {
    if (!adaptive_) return;
    if (!measured_) {
        srtt_ = sample;
        rttvar_ = sample / 2;
        measured_ = true;
    } else {
        const Duration error = srtt_ > sample ? srtt_ - sample : sample - srtt_;
        rttvar_ = (rttvar_ * 3 + error) / 4;
        srtt_ = (srtt_ * 7 + sample) / 8;
    }
    current_ = std::clamp<Duration>(srtt_ + 4 * rttvar_, kMin, kMax);
}

void CRetransmitTimer::OnTimeout() {
    if (adaptive_) current_ = std::min<Duration>(current_ * 2, kMax);
}

}  // namespace fk::tftp
