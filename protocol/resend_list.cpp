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

void CResendList::RunPass(ResendClock::time_point now, std::chrono::milliseconds interval,
                          const Sender& send) {
    std::lock_guard lock(mutex_);
    for (auto it = items_.begin(); it != items_.end();) {
        if (it->due > now) {
            ++it;
        } else if (it->remaining > 0) {
            --it->remaining;
            it->due = now + interval;
            send(*it);
            ++it;
        } else {
            it = items_.erase(it);
        }
    }
}

bool CResendList::WaitUntilDue(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        changed_.wait(lock, stop, [this] { return !items_.empty(); });
        if (stop.stop_requested()) break;
        const auto earliest =
            std::min_element(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
                return a.due < b.due;
            })->due;
        if (earliest <= ResendClock::now()) return true;
        // An entry added meanwhile is due later than this one: only stop cuts the
        // sleep short, and the loop re-checks what is due on waking.
        changed_.wait_until(lock, stop, earliest, [] { return false; });
    }
    return false;
}

std::size_t CResendList::Size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

}  // namespace fk
