#include "operations/flow_runner.h"

#include <thread>

#include "operations/flow_executor.h"

namespace fk {

FlowRunnerClock RealFlowClock() {
    return {[] { return FlowClock::now(); },
            [](FlowTime until) { std::this_thread::sleep_until(until); }};
}

FlowOutcome RunFlow(IFlow& flow, CFlowExecutor& executor, const FlowStepObserver& on_step,
                    const FlowStopRequest& stop_requested, const FlowRunnerClock& clock) {
    FlowTime due = clock.now();
    FlowStep step = flow.Start(due);
    for (;;) {
        executor.CarryOut(step);
        if (on_step) on_step(step);
        if (step.Finished()) return step.outcome;
        // Ticks keep to their schedule: a slow step does not push every later one back.
        due += flow.Period();
        clock.sleep_until(due);
        step = stop_requested && stop_requested() ? flow.Stop(clock.now()) : flow.Tick(clock.now());
    }
}

}  // namespace fk
