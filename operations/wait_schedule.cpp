#include "operations/wait_schedule.h"

namespace fk {

FlowStep CWaitSchedule::Start(FlowTime) {
    ticks_ = 1;
    passes_left_ = passes_;
    FlowStep step;
    step.progress = Progress(0);
    return step;
}

FlowStep CWaitSchedule::Tick(FlowTime) {
    FlowStep step;
    ++ticks_;
    if (rediscover_ && passes_left_ > 0 && ticks_ == total_ticks_ - 6 * passes_left_ + 6) {
        if (passes_left_ == passes_) step.actions.push_back(EngineAction::ReleasePending);
        --passes_left_;
        step.actions.push_back(EngineAction::Search);
    }
    if (ticks_ < total_ticks_) {
        step.progress = Progress(ticks_);
    } else {
        step.progress = Progress(total_ticks_);
        step.outcome = FlowOutcome::Done;
    }
    return step;
}

}  // namespace fk
