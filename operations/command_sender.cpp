#include "operations/command_sender.h"

#include "protocol/device_link.h"

namespace fk {

void CCommandSender::Send(std::vector<FlowCommand> commands) {
    if (commands.empty()) return;
    {
        std::lock_guard lock(mutex_);
        for (FlowCommand& c : commands) queue_.push_back(std::move(c));
    }
    changed_.notify_all();
    if (!thread_.joinable()) {
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    }
}

void CCommandSender::Stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    changed_.notify_all();
    thread_.join();
    thread_ = std::jthread();
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        sending_ = false;
    }
    changed_.notify_all();
}

void CCommandSender::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !sending_; });
}

bool CCommandSender::Busy() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || sending_;
}

void CCommandSender::Run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (!changed_.wait(lock, stop, [this] { return !queue_.empty(); })) break;
        const FlowCommand command = std::move(queue_.front());
        queue_.pop_front();
        sending_ = true;
        lock.unlock();
        SendOne(command);
        lock.lock();
        if (command.gap_after.count() > 0) {
            // Woken early only by a stop; new commands wait for the gap to pass.
            changed_.wait_for(lock, stop, command.gap_after, [] { return false; });
        }
        sending_ = false;
        changed_.notify_all();
    }
    sending_ = false;
    changed_.notify_all();
}

void CCommandSender::SendOne(const FlowCommand& command) {
    if (!command.pending_ip.empty()) {
        link_.SetPendingIp(command.mac, command.ip, command.pending_ip);
    }
    link_.SendToDevice(command.ip, command.type, command.payload, command.mac, command.retransmit);
}

}  // namespace fk
