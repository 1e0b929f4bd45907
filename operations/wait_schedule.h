// The wait window's schedule: S seconds of 500 ms ticks while devices apply what they
// were sent, optionally searching for them again in N passes near the end. The tick
// counter starts at 1 and the first timer event makes it 2; pass k (counting down from
// N) falls on tick 2S - 6k + 6, so with S = 15 and N = 3 the passes come 8.5, 11.5 and
// 14.5 s after the start, the last just before the window closes. The first pass also
// releases the devices that announced themselves but never reported: a device under a
// new address announces itself again and must be asked afresh.
#pragma once

#include "operations/flow.h"

namespace fk {

class CWaitSchedule final : public IFlow {
  public:
    static constexpr std::chrono::milliseconds kPeriod{500};

    CWaitSchedule(int seconds, bool rediscover, int passes)
        : total_ticks_(2 * seconds), rediscover_(rediscover), passes_(passes) {}

    std::chrono::milliseconds Period() const override { return kPeriod; }
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override;

    int Position() const { return ticks_; }
    int TotalTicks() const { return total_ticks_; }

  private:
    FlowProgress Progress(int position) const { return {0, total_ticks_, position, ""}; }

    int total_ticks_;
    bool rediscover_;
    int passes_;
    int passes_left_ = 0;
    int ticks_ = 0;
};

}  // namespace fk
