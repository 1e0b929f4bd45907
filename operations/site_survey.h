// A device's site survey: the scan table emptied, MSG_SCAN_AP sent once (the engine
// never repeats it, and sending it clears the survey flag), then one-second ticks
// until the last result packet by number has been stored or 30 seconds have passed.
// That packet may overtake the others; while some are still out the survey waits a
// few more ticks for them, so the list is not filled from half the results.
#pragma once

#include <string>

#include "operations/flow.h"

namespace fk {

class IScanState;

class CSiteSurvey final : public IFlow {
  public:
    static constexpr int kSeconds = 30;
    // The device sends its packets back to back; a few seconds cover any reordering.
    static constexpr int kMissingGraceSeconds = 3;
    static constexpr std::chrono::milliseconds kPeriod{1000};

    CSiteSurvey(std::string ip, std::string mac, const IScanState& scan)
        : ip_(std::move(ip)), mac_(std::move(mac)), scan_(scan) {}

    std::chrono::milliseconds Period() const override { return kPeriod; }
    FlowStep Start(FlowTime now) override;
    // Done when the survey completed, Failed when 30 seconds passed without it; both
    // ask for the list to be filled.
    FlowStep Tick(FlowTime now) override;

  private:
    std::string ip_;
    std::string mac_;
    const IScanState& scan_;
    int seconds_ = 0;
    int waited_for_missing_ = 0;
};

}  // namespace fk
