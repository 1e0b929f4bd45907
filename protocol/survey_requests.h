// The radios asked for a site survey lately. Result packets are taken only from a
// radio asked within the survey's 30 s: anyone on the LAN can send them, and every
// row they carry is offered in the bridge wizard as an access point to join.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace fk {

class CSurveyRequests {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kSurveyWindow{30};

    void Asked(const std::string& ip, const std::string& mac, Clock::time_point now);
    // Whether `mac` at `ip` was asked for a survey no longer than the window before `now`.
    bool Expected(const std::string& ip, const std::string& mac, Clock::time_point now) const;
    std::size_t Size() const;

  private:
    mutable std::mutex lock_;
    std::unordered_map<std::string, Clock::time_point> asked_;  // by address and MAC
};

}  // namespace fk
