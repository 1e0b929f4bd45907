#include "operations/site_survey.h"

#include "protocol/device_link.h"
#include "protocol/packet.h"

namespace fk {

FlowStep CSiteSurvey::Start(FlowTime) {
    seconds_ = 0;
    waited_for_missing_ = 0;
    FlowStep step;
    step.writes.push_back({StoreWrite::Kind::ClearScanResults, ""});
    FlowCommand scan;
    scan.ip = ip_;
    scan.mac = mac_;
    scan.type = MSG_SCAN_AP;
    scan.retransmit = false;
    step.commands.push_back(std::move(scan));
    return step;
}

FlowStep CSiteSurvey::Tick(FlowTime) {
    ++seconds_;
    FlowStep step;
    const bool complete = scan_.ScanComplete();
    const bool timed_out = seconds_ >= kSeconds;
    if (complete && !timed_out && scan_.ScanPacketsMissing() > 0 &&
        waited_for_missing_ < kMissingGraceSeconds) {
        ++waited_for_missing_;
        return step;
    }
    if (complete || timed_out) {
        step.refresh_list = true;
        step.outcome = complete ? FlowOutcome::Done : FlowOutcome::Failed;
    }
    return step;
}

}  // namespace fk
