// Uptimes from keep-alives, held until they are written to the store together.
// Taking and dropping the store file's locks is most of what a write costs, and a
// keep-alive's own work is a fraction of it: writing once per interval, in one
// transaction, makes the store's share per keep-alive small. A radio heard twice
// within an interval is written once, with its newest uptime, so what is held is
// bounded by the radios the presence table knows.
#pragma once

#include <chrono>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/sql_management.h"

namespace fk {

class CPendingUptimes {
  public:
    using Clock = std::chrono::steady_clock;

    explicit CPendingUptimes(std::chrono::milliseconds interval) : interval_(interval) {}

    void Add(UptimeUpdate update);
    // What is held, once the interval since the last taking has passed (or `force`);
    // empty otherwise.
    std::vector<UptimeUpdate> TakeIfDue(Clock::time_point now, bool force = false);
    std::size_t Size() const { return by_mac_.size(); }

  private:
    std::chrono::milliseconds interval_;
    Clock::time_point last_taken_{};
    std::unordered_map<std::string, UptimeUpdate> by_mac_;
};

}  // namespace fk
