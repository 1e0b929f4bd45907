// A batch reboot or factory restore: one payload-less command per ticked device, then a
// minute of the wait window while the devices restart, with their statuses copied to
// the list every second, and at the end one more search and the list re-read a second
// later, when the devices that came back have reported.
#pragma once

#include <cstdint>
#include <vector>

#include "operations/flow.h"
#include "operations/wait_schedule.h"
#include "store/device_record.h"

namespace fk {

class IStoreView;

enum class RebootKind { Reboot, Restore };

// Where the reboot and the restore page differ.
struct RebootPlan {
    std::uint16_t type;       // the command sent
    int passes;               // rediscovery passes of the wait window
    const char* button_key;   // the page's action button
    const char* confirm_key;  // the question asked before anything is sent
    int accepted_status;      // what an answer with result 0 makes of the device's status
};

const RebootPlan& PlanFor(RebootKind kind);

// The commands in sending order. A station loses its link when its access point goes
// down and may not find it again if the access point comes back first, so the access
// points that carry a bridged station are told first and the rest 200 ms later, each
// group in batch order. Without such an access point there is nothing to wait behind.
std::vector<FlowCommand> RebootCommands(IStoreView& store, const std::vector<ap_select_stu>& batch,
                                        std::uint16_t type);

class CRebootBatch final : public IFlow {
  public:
    static constexpr int kWaitSeconds = 60;
    static constexpr std::chrono::milliseconds kBridgeGap{200};
    static constexpr std::chrono::milliseconds kMirrorPeriod{1000};
    static constexpr std::chrono::milliseconds kRefreshAfterWait{1000};

    // `wait_seconds` 0 sends and ends at once (the headless program's --no-wait).
    CRebootBatch(RebootKind kind, std::vector<ap_select_stu> batch, IStoreView& store,
                 int wait_seconds = kWaitSeconds);

    std::chrono::milliseconds Period() const override { return CWaitSchedule::kPeriod; }
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override;
    // Closing the wait window ends the mirror at once; the commands already handed to
    // the engine are still repeated until answered, and the search and the refresh
    // follow as after a full wait.
    FlowStep Stop(FlowTime now) override;

    const std::vector<ap_select_stu>& Batch() const { return batch_; }
    const RebootPlan& Plan() const { return plan_; }

  private:
    enum class Phase { Waiting, Settling, Over };

    void CloseWait(FlowTime now, FlowStep& step);
    std::vector<StatusCell> Mirror() const;

    const RebootPlan& plan_;
    std::vector<ap_select_stu> batch_;
    IStoreView& store_;
    bool waits_;
    CWaitSchedule schedule_;
    Phase phase_ = Phase::Waiting;
    int ticks_ = 0;
    FlowTime closed_at_{};
};

}  // namespace fk
