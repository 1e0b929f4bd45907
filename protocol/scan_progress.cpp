#include "protocol/scan_progress.h"

namespace fk {

void CScanProgress::Reset() {
    std::lock_guard lock(lock_);
    stored_.reset();
    count_ = 0;
    complete_ = false;
}

void CScanProgress::Stored(int packet_id, int packet_count) {
    if (packet_id < 0 || packet_id >= kMaxPackets || packet_count < 0) return;
    std::lock_guard lock(lock_);
    stored_.set(static_cast<std::size_t>(packet_id));
    count_ = packet_count;
    if (packet_id == packet_count - 1) complete_ = true;
}

bool CScanProgress::Complete() const {
    std::lock_guard lock(lock_);
    return complete_;
}

int CScanProgress::Missing() const {
    std::lock_guard lock(lock_);
    int missing = 0;
    for (int id = 0; id < count_ && id < kMaxPackets; ++id)
        missing += stored_.test(static_cast<std::size_t>(id)) ? 0 : 1;
    return missing;
}

}  // namespace fk
