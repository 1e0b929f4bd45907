// The status page's discovery session: one-second ticks, a fresh search broadcast and
// a list refresh every third tick, 30 ticks in the window (the CLI chooses its own
// length). Devices answer a broadcast with a short random delay, and a lost broadcast
// is never repeated by the engine, so one search is not enough to find every radio on
// a busy segment.
#pragma once

#include "operations/flow.h"

namespace fk {

class CSearchSession final : public IFlow {
  public:
    static constexpr int kTicks = 30;
    static constexpr int kSearchEvery = 3;
    static constexpr std::chrono::milliseconds kPeriod{1000};

    explicit CSearchSession(int ticks = kTicks) : total_ticks_(ticks) {}

    std::chrono::milliseconds Period() const override { return kPeriod; }
    // Forgets devices that announced themselves but never reported, drops stored
    // devices the engine no longer sees, and searches.
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override;
    FlowStep Stop(FlowTime now) override;

    bool Running() const { return running_; }
    int Ticks() const { return ticks_; }

  private:
    int total_ticks_;
    bool running_ = false;
    int ticks_ = 0;
};

}  // namespace fk
