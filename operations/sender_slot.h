// One kind of sender thread of a page or window: starting a new one ends the running
// one first, and the owner's destruction ends it too. Senders check their stop token
// between sends, so a stop never lands while the engine or the store holds a lock.
#pragma once

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>
#include <utility>

namespace fk {

class CSenderSlot {
  public:
    CSenderSlot() = default;
    CSenderSlot(const CSenderSlot&) = delete;
    CSenderSlot& operator=(const CSenderSlot&) = delete;
    ~CSenderSlot() { Stop(); }

    void Start(std::function<void(std::stop_token)> work) {
        Stop();
        busy_ = true;
        thread_ = std::jthread([this, work = std::move(work)](std::stop_token stop) {
            work(stop);
            busy_ = false;
        });
    }
    // True from Start until the sender's last send has returned.
    bool Busy() const { return busy_; }
    void Stop() {
        if (!thread_.joinable()) return;
        thread_.request_stop();
        thread_.join();
    }
    // Waits for the sender to finish by itself.
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

  private:
    std::atomic<bool> busy_{false};
    std::jthread thread_;
};

}  // namespace fk
