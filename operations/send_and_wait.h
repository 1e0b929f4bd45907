// Commands handed to the sender at once, then optionally the wait window's schedule
// while the device applies them: the management window's Save as a flow, so the
// headless program runs the same steps.
#pragma once

#include <optional>
#include <vector>

#include "operations/flow.h"
#include "operations/wait_schedule.h"

namespace fk {

struct WaitPlan {
    int seconds = 0;
    bool rediscover = false;
    int passes = 0;
};

class CSendAndWait final : public IFlow {
  public:
    CSendAndWait(std::vector<FlowCommand> commands, std::optional<WaitPlan> wait);

    std::chrono::milliseconds Period() const override { return CWaitSchedule::kPeriod; }
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override;

  private:
    std::vector<FlowCommand> commands_;
    std::optional<CWaitSchedule> schedule_;
};

}  // namespace fk
