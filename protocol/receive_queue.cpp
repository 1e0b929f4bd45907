#include "protocol/receive_queue.h"

#include <algorithm>
#include <utility>

namespace fk {
namespace {

// A batch that grew past this during a burst hands its memory back afterwards.
constexpr std::size_t kKeptBatchBytes = 1 << 20;

}  // namespace

void CReceivedBatch::Append(std::span<const std::uint8_t> datagram, std::uint32_t source_ip,
                            std::uint16_t source_port) {
    const std::size_t size = std::min(datagram.size(), kMaxDatagram);
    slots_.push_back({source_ip, source_port, static_cast<std::uint16_t>(size), bytes_.size()});
    bytes_.insert(bytes_.end(), datagram.begin(), datagram.begin() + static_cast<long>(size));
}

void CReceivedBatch::Load(std::size_t k, udp_packet_stu& element) const {
    const Slot& slot = slots_[k];
    element.source_ip = slot.source_ip;
    element.source_port = slot.source_port;
    // Only what the previous datagram left behind needs clearing.
    const std::size_t stale = element.size;
    element.size = slot.size;
    const auto from = bytes_.begin() + static_cast<long>(slot.offset);
    std::copy(from, from + slot.size, element.data.begin());
    if (stale > slot.size) {
        std::fill(element.data.begin() + slot.size, element.data.begin() + stale, 0);
    }
}

void CReceivedBatch::Clear() {
    slots_.clear();
    bytes_.clear();
}

void CReceivedBatch::Trim() {
    Clear();
    if (bytes_.capacity() > kKeptBatchBytes) {
        std::vector<std::uint8_t>().swap(bytes_);
        std::vector<Slot>().swap(slots_);
    }
}

void CReceivedBatch::Swap(CReceivedBatch& other) noexcept {
    slots_.swap(other.slots_);
    bytes_.swap(other.bytes_);
}

bool CReceiveQueue::Push(std::span<const std::uint8_t> datagram, std::uint32_t source_ip,
                         std::uint16_t source_port, Wake when) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        const std::size_t queued = items_.Count();
        if (queued >= depth_) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        items_.Append(datagram, source_ip, source_port);
        // The worker sleeps only on an empty queue, or while it gathers; waking it
        // for every datagram would cost a context switch each.
        wake = when == Wake::Now && (queued == 0 || queued + 1 >= depth_ / 2);
    }
    if (wake) ready_.notify_one();
    return true;
}

void CReceiveQueue::WakeWorker() {
    // The pushes happened under the lock the worker checks its condition under, so a
    // worker about to sleep still sees them: the notification needs no lock.
    ready_.notify_one();
}

bool CReceiveQueue::WaitAndTakeAll(std::stop_token stop, CReceivedBatch& out,
                                   std::chrono::milliseconds gather) {
    out.Clear();
    std::unique_lock lock(mutex_);
    ready_.wait(lock, stop, [this] { return items_.Count() > 0; });
    return GatherAndTake(lock, stop, out, gather);
}

bool CReceiveQueue::WaitAndTakeAll(std::stop_token stop, CReceivedBatch& out,
                                   std::chrono::milliseconds gather,
                                   std::chrono::milliseconds idle_limit) {
    out.Clear();
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, stop, idle_limit, [this] { return items_.Count() > 0; });
    if (!stop.stop_requested() && items_.Count() == 0) return true;
    return GatherAndTake(lock, stop, out, gather);
}

bool CReceiveQueue::GatherAndTake(std::unique_lock<std::mutex>& lock, std::stop_token stop,
                                  CReceivedBatch& out, std::chrono::milliseconds gather) {
    if (stop.stop_requested()) return false;
    if (gather.count() > 0) {
        ready_.wait_for(lock, stop, gather, [this] { return items_.Count() >= depth_ / 2; });
        if (stop.stop_requested()) return false;
    }
    out.Swap(items_);
    return true;
}

std::size_t CReceiveQueue::Size() const {
    std::lock_guard lock(mutex_);
    return items_.Count();
}

}  // namespace fk
