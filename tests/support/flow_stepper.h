// Runs a flow to its end on a made-up clock with the headless driver, the recorder and
// the fake store: every step is kept with the time it came at, in milliseconds since
// the start, so a test reads a minutes-long schedule in microseconds.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "operations/command_sender.h"
#include "operations/flow_executor.h"
#include "operations/flow_runner.h"
#include "support/fake_store.h"
#include "support/recording_link.h"

namespace fk::test {

struct TimedStep {
    long long at_ms = 0;
    FlowStep step;
};

struct FlowRun {
    std::vector<TimedStep> steps;
    FlowOutcome outcome = FlowOutcome::Running;

    // Times of the steps that hold `action`.
    std::vector<long long> TimesOf(EngineAction action) const {
        std::vector<long long> out;
        for (const auto& s : steps)
            for (EngineAction a : s.step.actions)
                if (a == action) out.push_back(s.at_ms);
        return out;
    }
    long long EndMs() const { return steps.empty() ? 0 : steps.back().at_ms; }
};

// `before_tick` runs before each tick with the time it will be given, so a test can
// change what the flow will read (a status, the survey flag) at a chosen moment.
inline FlowRun StepFlow(IFlow& flow, RecordingLink& link, FakeStore& store,
                        const std::function<void(long long)>& before_tick = {},
                        int max_steps = 100000) {
    const FlowTime start{};
    FlowTime now = start;
    const auto ms = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
    };
    FlowRun run;
    CCommandSender sender(link);
    CFlowExecutor executor(link, store, sender);
    FlowRunnerClock clock{[&] { return now; },
                          [&](FlowTime until) {
                              // Bounded: a flow that never ends fails the test instead.
                              if (static_cast<int>(run.steps.size()) >= max_steps) throw 0;
                              now = until;
                              if (before_tick) before_tick(ms());
                          }};
    try {
        run.outcome = RunFlow(
            flow, executor,
            [&](const FlowStep& step) {
                run.steps.push_back({ms(), step});
            },
            {}, clock);
    } catch (int) {
        run.outcome = FlowOutcome::Running;
    }
    sender.WaitUntilIdle();
    return run;
}

}  // namespace fk::test
