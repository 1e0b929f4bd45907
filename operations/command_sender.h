// The sender thread of one owner (a page or window): commands handed to it go out
// one after another, each as its own copy, so nothing the owner rewrites later reaches
// the wire. A stop lands between sends or during a gap, never while the engine holds
// a lock, and the thread is joined before its owner goes away.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "operations/flow.h"

namespace fk {

class IDeviceLink;

class CCommandSender {
  public:
    explicit CCommandSender(IDeviceLink& link) : link_(link) {}
    ~CCommandSender() { Stop(); }
    CCommandSender(const CCommandSender&) = delete;
    CCommandSender& operator=(const CCommandSender&) = delete;

    // Queues the commands behind those not sent yet; starts the thread when needed.
    void Send(std::vector<FlowCommand> commands);
    // Drops what is not sent yet, ends the thread and joins it.
    void Stop();
    // Blocks until every queued command has been handed to the engine.
    void WaitUntilIdle();
    bool Busy() const;

  private:
    void Run(std::stop_token stop);
    void SendOne(const FlowCommand& command);

    IDeviceLink& link_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<FlowCommand> queue_;
    bool sending_ = false;
    std::jthread thread_;
};

}  // namespace fk
