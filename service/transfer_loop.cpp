#include "service/transfer_loop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "service/udp_socket.h"

namespace fk::tftp {
namespace {

constexpr std::size_t kReceiveBuffer = 65536;
constexpr int kEventsPerWait = 64;

}  // namespace

CTransferLoop::CTransferLoop() : buffer_(kReceiveBuffer) {}

CTransferLoop::~CTransferLoop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    if (wake_fd_ >= 0) close(wake_fd_);
    if (epoll_fd_ >= 0) close(epoll_fd_);
}

bool CTransferLoop::Start() {
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll_fd_ < 0 || wake_fd_ < 0) return false;
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.ptr = nullptr;
    if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, wake_fd_, &wake) != 0) return false;
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    return true;
}

void CTransferLoop::Add(std::unique_ptr<CActiveTransfer> active) {
    {
        std::lock_guard lock(mutex_);
        clients_.push_back(active->transfer->Peer());
        handed_.push_back(std::move(active));
    }
    Wake();
}

std::size_t CTransferLoop::Load() const {
    std::lock_guard lock(mutex_);
    return clients_.size();
}

bool CTransferLoop::Serving(const Endpoint& client) const {
    std::lock_guard lock(mutex_);
    return std::find(clients_.begin(), clients_.end(), client) != clients_.end();
}

void CTransferLoop::Wake() {
    const std::uint64_t one = 1;
    (void)!write(wake_fd_, &one, sizeof(one));
}

void CTransferLoop::Run(std::stop_token stop) {
    std::stop_callback wake_on_stop(stop, [this] { Wake(); });
    epoll_event events[kEventsPerWait];
    while (!stop.stop_requested()) {
        const int ready = epoll_wait(epoll_fd_, events, kEventsPerWait,
                                     PollTimeoutMs(CTftpTransfer::Clock::now()));
        if (ready < 0 && errno != EINTR) return;
        const auto now = CTftpTransfer::Clock::now();
        for (int i = 0; i < ready; ++i) {
            auto* active = static_cast<CActiveTransfer*>(events[i].data.ptr);
            if (active == nullptr) {
                TakeNewTransfers();
            } else {
                Receive(*active, now);
            }
        }
        const auto after = CTftpTransfer::Clock::now();
        for (auto& a : active_) a->transfer->OnTimer(after);
        RemoveFinished();
    }
}

void CTransferLoop::TakeNewTransfers() {
    std::uint64_t count = 0;
    (void)!read(wake_fd_, &count, sizeof(count));
    std::lock_guard lock(mutex_);
    for (auto& a : handed_) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.ptr = a.get();
        // Without its socket watched the transfer still ends by its timer.
        (void)epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, a->socket_fd, &event);
        active_.push_back(std::move(a));
    }
    handed_.clear();
}

// One datagram per wake-up: a transfer socket rarely holds more than one ACK, and
// epoll (level-triggered) reports it again at once if it does, so draining it would
// only add a read that finds nothing for every datagram.
void CTransferLoop::Receive(CActiveTransfer& active, TimePoint now) {
    const Received r = ReceiveDatagram(active.socket_fd, buffer_);
    if (r.size < 0) return;
    active.transfer->OnPacket(r.from, ByteView(buffer_.data(), static_cast<std::size_t>(r.size)),
                              now);
}

void CTransferLoop::RemoveFinished() {
    const auto finished = [](const auto& a) { return a->transfer->Finished(); };
    if (std::none_of(active_.begin(), active_.end(), finished)) return;
    std::lock_guard lock(mutex_);
    for (const auto& a : active_) {
        if (!a->transfer->Finished()) continue;
        const auto at = std::find(clients_.begin(), clients_.end(), a->transfer->Peer());
        if (at != clients_.end()) clients_.erase(at);
        (void)epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, a->socket_fd, nullptr);
    }
    std::erase_if(active_, finished);
}

int CTransferLoop::PollTimeoutMs(TimePoint now) const {
    if (active_.empty()) return -1;
    TimePoint earliest = TimePoint::max();
    for (const auto& a : active_) earliest = std::min(earliest, a->transfer->Deadline());
    if (earliest <= now) return 0;
    // Rounded up: waking a millisecond early would find nothing due and spin.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - now);
    return static_cast<int>(std::min<long long>(wait.count(), 60'000));
}

}  // namespace fk::tftp
