// One receive queue: a receiver appends single datagrams, its worker takes the whole
// queue in one swap, so a slow handler (database work) never makes a receiver wait.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>
#include <utility>
#include <vector>

#include "protocol/packet.h"

namespace fk {

class CReceiveQueue {
  public:
    void Push(const udp_packet_stu& element) {
        {
            std::lock_guard lock(mutex_);
            items_.push_back(element);
        }
        ready_.notify_one();
    }

    // Blocks until something is queued or stop is requested. Returns false on stop;
    // whatever is still queued then is abandoned with the engine.
    bool WaitAndTakeAll(std::stop_token stop, std::vector<udp_packet_stu>& out) {
        out.clear();
        std::unique_lock lock(mutex_);
        ready_.wait(lock, stop, [this] { return !items_.empty(); });
        if (stop.stop_requested()) return false;
        out.swap(items_);
        return true;
    }

    std::size_t Size() const {
        std::lock_guard lock(mutex_);
        return items_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable_any ready_;
    std::vector<udp_packet_stu> items_;
};

}  // namespace fk
