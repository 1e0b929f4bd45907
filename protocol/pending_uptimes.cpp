#include "protocol/pending_uptimes.h"

#include <utility>

namespace fk {

void CPendingUptimes::Add(UptimeUpdate update) {
    std::string mac = update.mac;
    by_mac_.insert_or_assign(std::move(mac), std::move(update));
}

std::vector<UptimeUpdate> CPendingUptimes::TakeIfDue(Clock::time_point now, bool force) {
    std::vector<UptimeUpdate> taken;
    if (by_mac_.empty() || (!force && now - last_taken_ < interval_)) return taken;
    taken.reserve(by_mac_.size());
    for (auto& entry : by_mac_) taken.push_back(std::move(entry.second));
    by_mac_.clear();
    last_taken_ = now;
    return taken;
}

}  // namespace fk
