// What the recording test doubles have in common: every command they were asked to
// send, kept with its bytes, whichever interface asked (the engine's way out for the
// inbound handlers, the device link for pages, windows and flows). Sender threads
// call them, so it locks; a recorder that keeps more beside a send does so in
// `Recorded`, under the same lock, so its own record stays in step with this one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace fk::test {

struct SentCommand {
    std::string ip;
    std::uint16_t type = 0;
    std::vector<std::uint8_t> payload;
    std::string mac;
    bool retransmit = false;
};

class SendRecorder {
  public:
    virtual ~SendRecorder() = default;

    std::vector<SentCommand> Sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::vector<SentCommand> SentOfType(std::uint16_t type) const {
        std::lock_guard lock(mutex_);
        std::vector<SentCommand> out;
        for (const auto& c : sent_)
            if (c.type == type) out.push_back(c);
        return out;
    }
    void ClearSent() {
        std::lock_guard lock(mutex_);
        sent_.clear();
    }
    // For sender threads: blocks until `count` commands were sent or the deadline
    // passes; true when they were.
    bool WaitForSent(std::size_t count, std::chrono::milliseconds deadline) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, deadline, [&] { return sent_.size() >= count; });
    }

  protected:
    // Keeps the send and reports it accepted, as a link with room to send does.
    bool RecordSend(const std::string& ip, std::uint16_t type,
                    std::span<const std::uint8_t> payload, const std::string& mac,
                    bool retransmit) {
        {
            std::lock_guard lock(mutex_);
            sent_.push_back({ip, type, {payload.begin(), payload.end()}, mac, retransmit});
            Recorded(sent_.back());
        }
        changed_.notify_all();
        return true;
    }
    // Called with `mutex_` held.
    virtual void Recorded(const SentCommand&) {}

    mutable std::mutex mutex_;

  private:
    std::condition_variable changed_;
    std::vector<SentCommand> sent_;
};

}  // namespace fk::test
