// Commands waiting for the device's answer of the same type. Each entry is repeated
// one interval after its previous sending until acknowledged or out of repetitions;
// a lost command ends silently. One answer ends one command, so the list holds one
// entry per address, MAC and type: the same command asked for again (a radio that
// announces twice before it reports) takes the place of the pending one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <vector>

namespace fk {

using ResendClock = std::chrono::steady_clock;

struct resend_item_stu {
    int remaining = 0;
    std::string ip;
    int type = 0;
    std::vector<std::uint8_t> payload;
    std::string mac;
    // Every entry keeps its own time: one shared tick would repeat a command sent
    // just before it at once, before the device had a chance to answer.
    ResendClock::time_point due{};
};

class CResendList {
  public:
    using Sender = std::function<void(const resend_item_stu&)>;

    // Adds the command, or replaces the pending one with the same address, MAC and type.
    void Append(resend_item_stu item);

    // Sends the first copy of a command and, when it left, keeps it for repetition,
    // both under the resend lock: an answer that comes back faster than the send call
    // returns waits for the entry instead of missing it and leaving a command that is
    // repeated although it was answered.
    bool SendAndAppend(resend_item_stu item, const std::function<bool()>& send);

    // Removes the first entry with exactly this source address, MAC text and type.
    bool Acknowledge(const std::string& ip, const std::string& mac, int type);

    // One pass of the resend thread over the entries due at `now`: those with
    // repetitions left lose one, go out again through `send` (called with the resend
    // lock held, the lock order the engine relies on) and are due again one `interval`
    // later; those with none left are removed.
    void RunPass(ResendClock::time_point now, std::chrono::milliseconds interval,
                 const Sender& send);

    // Sleeps until an entry is due; with an empty list, until one is added. Returns
    // false when stop is requested.
    bool WaitUntilDue(std::stop_token stop);

    std::size_t Size() const;
    // How many commands took the place of a pending one.
    std::uint64_t Replaced() const;

  private:
    using ItemList = std::list<resend_item_stu>;
    void PutLocked(resend_item_stu item);

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    ItemList items_;  // in the order first sent; passes walk them in this order
    std::unordered_map<std::string, ItemList::iterator> by_key_;
    std::uint64_t replaced_ = 0;
};

}  // namespace fk
