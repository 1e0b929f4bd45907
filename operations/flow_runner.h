// The headless driver of a flow: starts it, ticks it on its period and ends when the
// flow says it is done, never at a deadline of its own. The clock and the sleep are
// handed in, so a test runs a four-minute flow in microseconds.
#pragma once

#include <functional>

#include "operations/flow.h"

namespace fk {

class CFlowExecutor;

struct FlowRunnerClock {
    std::function<FlowTime()> now;
    std::function<void(FlowTime)> sleep_until;
};

// The steady clock and a real sleep.
FlowRunnerClock RealFlowClock();

using FlowStepObserver = std::function<void(const FlowStep&)>;
// Asked before every tick; true ends the flow as its Stop button would.
using FlowStopRequest = std::function<bool()>;

// Runs `flow` to its end; every step is carried out by `executor` and then shown to
// `on_step` (which may be empty). Returns the final outcome.
FlowOutcome RunFlow(IFlow& flow, CFlowExecutor& executor, const FlowStepObserver& on_step,
                    const FlowStopRequest& stop_requested = {},
                    const FlowRunnerClock& clock = RealFlowClock());

}  // namespace fk
