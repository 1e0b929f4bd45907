#include "protocol/resend_list.h"

#include <algorithm>
#include <utility>

namespace fk {

void CResendList::Append(resend_item_stu item) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }
    changed_.notify_all();
}

bool CResendList::SendAndAppend(resend_item_stu item, const std::function<bool()>& send) {
    {
        std::lock_guard lock(mutex_);
        if (!send()) return false;
        items_.push_back(std::move(item));
    }
    changed_.notify_all();
    return true;
}

bool CResendList::Acknowledge(const std::string& ip, const std::string& mac, int type) {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const resend_item_stu& e) {
        return e.ip == ip && e.mac == mac && e.type == type;
    });
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

void CResendList::RunPass(const Sender& send) {
    std::lock_guard lock(mutex_);
    for (auto it = items_.begin(); it != items_.end();) {
        if (it->remaining > 0) {
            --it->remaining;
            send(*it);
            ++it;
        } else {
            it = items_.erase(it);
        }
    }
}

bool CResendList::WaitForDuePass(std::stop_token stop, std::chrono::milliseconds interval) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, stop, [this] { return !items_.empty(); });
    if (stop.stop_requested()) return false;
    // Wakes only for stop: new entries during the interval wait for this pass.
    changed_.wait_for(lock, stop, interval, [] { return false; });
    return !stop.stop_requested();
}

std::size_t CResendList::Size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

}  // namespace fk
