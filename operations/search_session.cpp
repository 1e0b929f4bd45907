#include "operations/search_session.h"

namespace fk {

FlowStep CSearchSession::Start(FlowTime) {
    running_ = true;
    ticks_ = 0;
    FlowStep step;
    step.actions = {EngineAction::ReleasePending, EngineAction::DropPending,
                    EngineAction::PruneStore, EngineAction::Search};
    if (total_ticks_ <= 0) {
        // A session of no length still searches once.
        running_ = false;
        step.outcome = FlowOutcome::Done;
    }
    return step;
}

FlowStep CSearchSession::Tick(FlowTime now) {
    if (!running_) return Stop(now);
    ++ticks_;
    FlowStep step;
    if (ticks_ >= total_ticks_) {
        running_ = false;
        step.outcome = FlowOutcome::Done;
        return step;
    }
    if (ticks_ % kSearchEvery == 0) {
        step.actions = {EngineAction::Search};
        step.refresh_list = true;
    }
    return step;
}

FlowStep CSearchSession::Stop(FlowTime) {
    running_ = false;
    FlowStep step;
    step.outcome = FlowOutcome::Stopped;
    return step;
}

}  // namespace fk
