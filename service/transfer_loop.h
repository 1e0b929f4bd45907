// One thread's share of the running transfers: an epoll over their sockets, woken by
// the first ACK or the earliest retransmission deadline, and by the server handing it
// a new transfer. epoll rather than poll, because poll hooks into and out of every
// socket's wait queue on each call, a lock taken and released per transfer per
// block. Transfers never move between loops and share nothing, so a loop needs
// no lock but the one around its hand-over box and its list of clients.
//
// Several loops, because nearly all of a block's cost is the send itself: on a LAN
// link (and on veth, where the receiver's work runs inside the sender's call) the
// kernel spends it delivering the datagram and waking the client. One thread then
// holds the whole server to one core while ten radios wait on it.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "service/active_transfer.h"

namespace fk::tftp {

class CTransferLoop {
  public:
    CTransferLoop();
    ~CTransferLoop();
    CTransferLoop(const CTransferLoop&) = delete;
    CTransferLoop& operator=(const CTransferLoop&) = delete;

    // False when the loop's wake-up descriptor cannot be made.
    bool Start();
    // Takes a transfer already started; called from the server's thread.
    void Add(std::unique_ptr<CActiveTransfer> active);
    // How many transfers the loop runs, and whether one is for `client`.
    std::size_t Load() const;
    bool Serving(const Endpoint& client) const;

  private:
    using TimePoint = CTftpTransfer::TimePoint;

    void Run(std::stop_token stop);
    void TakeNewTransfers();
    void Receive(CActiveTransfer& active, TimePoint now);
    void RemoveFinished();
    int PollTimeoutMs(TimePoint now) const;
    void Wake();

    int epoll_fd_ = -1;
    int wake_fd_ = -1;
    std::vector<std::unique_ptr<CActiveTransfer>> active_;  // the loop's thread only
    std::vector<std::uint8_t> buffer_;

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<CActiveTransfer>> handed_;
    std::vector<Endpoint> clients_;  // of both lists above
    std::jthread thread_;
};

}  // namespace fk::tftp
