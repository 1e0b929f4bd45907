// One receive queue: a receiver appends single datagrams, its worker takes the whole
// queue in one swap, so a slow handler (database work) never makes a receiver wait.
// The queue holds at most `depth` datagrams; one arriving at a full queue is dropped
// and counted, as the kernel's socket buffer behind it drops what it cannot hold.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <stop_token>
#include <vector>

#include "protocol/packet.h"

namespace fk {

// Datagrams as received, packed one after another: a queue of short announcements
// costs their bytes, not a full datagram area each.
class CReceivedBatch {
  public:
    void Append(std::span<const std::uint8_t> datagram, std::uint32_t source_ip,
                std::uint16_t source_port);
    std::size_t Count() const { return slots_.size(); }
    // Copies datagram `k` into `element`, zero beyond its size, as the handlers expect.
    void Load(std::size_t k, udp_packet_stu& element) const;
    void Clear();
    // Gives back memory a burst left behind once the batch is handled.
    void Trim();
    void Swap(CReceivedBatch& other) noexcept;

  private:
    struct Slot {
        std::uint32_t source_ip;
        std::uint16_t source_port;
        std::uint16_t size;
        std::size_t offset;
    };
    std::vector<Slot> slots_;
    std::vector<std::uint8_t> bytes_;
};

class CReceiveQueue {
  public:
    static constexpr std::size_t kDefaultDepth = 16384;

    explicit CReceiveQueue(std::size_t depth = kDefaultDepth) : depth_(depth) {}

    // When a pushed datagram wakes the worker: at once, or only at the next WakeWorker
    // (a receiver that took many datagrams in one call wakes it once for all of them).
    enum class Wake { Now, Later };

    // False when the queue was full and the datagram was dropped.
    bool Push(std::span<const std::uint8_t> datagram, std::uint32_t source_ip,
              std::uint16_t source_port, Wake wake = Wake::Now);
    void WakeWorker();
    bool Push(const udp_packet_stu& element) {
        return Push(std::span<const std::uint8_t>(element.data).first(element.size),
                    element.source_ip, element.source_port);
    }

    // Blocks until something is queued or stop is requested, then lets more gather
    // for `gather` (unless the queue fills up half way first) and takes them all.
    // Returns false on stop; whatever is still queued then is abandoned with the engine.
    bool WaitAndTakeAll(std::stop_token stop, CReceivedBatch& out,
                        std::chrono::milliseconds gather = std::chrono::milliseconds(0));
    // The same, but waits for the first datagram at most `idle_limit`: then it returns
    // true with `out` empty, so that the caller can do its own timed work.
    bool WaitAndTakeAll(std::stop_token stop, CReceivedBatch& out, std::chrono::milliseconds gather,
                        std::chrono::milliseconds idle_limit);

    std::size_t Size() const;
    std::uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

  private:
    bool GatherAndTake(std::unique_lock<std::mutex>& lock, std::stop_token stop,
                       CReceivedBatch& out, std::chrono::milliseconds gather);

    const std::size_t depth_;
    mutable std::mutex mutex_;
    std::condition_variable_any ready_;
    CReceivedBatch items_;
    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace fk
