#include "operations/send_and_wait.h"

namespace fk {

CSendAndWait::CSendAndWait(std::vector<FlowCommand> commands, std::optional<WaitPlan> wait)
    : commands_(std::move(commands)) {
    if (wait) schedule_.emplace(wait->seconds, wait->rediscover, wait->passes);
}

FlowStep CSendAndWait::Start(FlowTime now) {
    FlowStep step;
    if (schedule_) {
        step = schedule_->Start(now);
    } else {
        step.outcome = FlowOutcome::Done;
    }
    step.commands = commands_;
    return step;
}

FlowStep CSendAndWait::Tick(FlowTime now) {
    if (!schedule_) {
        FlowStep done;
        done.outcome = FlowOutcome::Done;
        return done;
    }
    return schedule_->Tick(now);
}

}  // namespace fk
