// The announcements of a storm: a looped switch, a broken radio or a hostile host
// that announces a new made-up radio in every datagram, all from one address. It
// starts at the first search it hears, aimed at the controller that searched, and
// keeps its rate on the simulator's clock however late the loop comes round.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "sim/radio_behaviour.h"
#include "sim/sim_config.h"

namespace fk::sim {

class AnnounceStorm {
  public:
    AnnounceStorm(StormPlan plan, std::uint32_t seed);

    void Start(std::uint32_t controller, Clock now);
    bool Started() const { return controller_ != 0; }
    // The announcements due by `now` and not yet sent; at most `limit` of them, so a
    // late loop catches up over a few rounds instead of starving the radios.
    std::vector<Datagram> Due(Clock now, std::size_t limit);

    const StormPlan& plan() const { return plan_; }
    std::uint32_t controller() const { return controller_; }
    std::uint64_t sent() const { return sent_; }

  private:
    Datagram Next();

    StormPlan plan_;
    std::mt19937_64 rng_;
    std::uint32_t controller_ = 0;
    Clock started_ = 0;
    std::uint64_t sent_ = 0;
};

}  // namespace fk::sim
