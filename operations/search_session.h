// The status page's discovery session: 30 one-second ticks, a fresh search broadcast
// and a list refresh every third tick. Devices answer a broadcast with a short random
// delay, and a lost broadcast is never repeated by the engine, so one search is not
// enough to find every radio on a busy segment.
#pragma once

namespace fk {

class IDeviceLink;

class CSearchSession {
  public:
    enum class Step { Wait, Refresh, Finish };

    static constexpr int kTicks = 30;
    static constexpr int kSearchEvery = 3;

    explicit CSearchSession(IDeviceLink& link) : link_(link) {}

    // Forgets devices that announced themselves but never reported, drops stored
    // devices the engine no longer sees, and sends the first search.
    void Start();
    // Called once a second while running; sends the periodic search itself.
    Step Tick();
    void Stop() { running_ = false; }

    bool Running() const { return running_; }
    int Ticks() const { return ticks_; }

  private:
    IDeviceLink& link_;
    bool running_ = false;
    int ticks_ = 0;
};

}  // namespace fk
