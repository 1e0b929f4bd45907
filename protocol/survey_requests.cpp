#include "protocol/survey_requests.h"

namespace fk {
namespace {

std::string KeyOf(const std::string& ip, const std::string& mac) {
    return ip + "/" + mac;
}

}  // namespace

void CSurveyRequests::Asked(const std::string& ip, const std::string& mac, Clock::time_point now) {
    std::lock_guard lock(lock_);
    // Only a person asks for surveys, a few at a time; the old ones go as new ones come.
    std::erase_if(asked_, [&](const auto& entry) { return now - entry.second > kSurveyWindow; });
    asked_[KeyOf(ip, mac)] = now;
}

bool CSurveyRequests::Expected(const std::string& ip, const std::string& mac,
                               Clock::time_point now) const {
    std::lock_guard lock(lock_);
    const auto it = asked_.find(KeyOf(ip, mac));
    return it != asked_.end() && now >= it->second && now - it->second <= kSurveyWindow;
}

std::size_t CSurveyRequests::Size() const {
    std::lock_guard lock(lock_);
    return asked_.size();
}

}  // namespace fk
