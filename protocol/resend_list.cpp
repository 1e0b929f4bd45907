#include "protocol/resend_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace fk {
namespace {

std::string KeyOf(const std::string& ip, const std::string& mac, int type) {
    std::string key;
    key.reserve(ip.size() + mac.size() + 8);
    key.append(ip).append(1, '/').append(mac).append(1, '/').append(std::to_string(type));
    return key;
}

}  // namespace

void CResendList::PutLocked(resend_item_stu item) {
    std::string key = KeyOf(item.ip, item.mac, item.type);
    if (const auto found = by_key_.find(key); found != by_key_.end()) {
        *found->second = std::move(item);
        ++replaced_;
        return;
    }
    items_.push_back(std::move(item));
    by_key_.emplace(std::move(key), std::prev(items_.end()));
}

void CResendList::Append(resend_item_stu item) {
    {
        std::lock_guard lock(mutex_);
        PutLocked(std::move(item));
    }
    changed_.notify_all();
}

bool CResendList::SendAndAppend(resend_item_stu item, const std::function<bool()>& send) {
    {
        std::lock_guard lock(mutex_);
        if (!send()) return false;
        PutLocked(std::move(item));
    }
    changed_.notify_all();
    return true;
}

bool CResendList::Acknowledge(const std::string& ip, const std::string& mac, int type) {
    std::lock_guard lock(mutex_);
    const auto found = by_key_.find(KeyOf(ip, mac, type));
    if (found == by_key_.end()) return false;
    items_.erase(found->second);
    by_key_.erase(found);
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
            by_key_.erase(KeyOf(it->ip, it->mac, it->type));
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

std::uint64_t CResendList::Replaced() const {
    std::lock_guard lock(mutex_);
    return replaced_;
}

}  // namespace fk
