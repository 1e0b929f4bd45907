#include "operations/reboot_batch.h"

#include "app/language.h"
#include "protocol/packet.h"
#include "store/store_view.h"

namespace fk {
namespace {

constexpr RebootPlan kReboot{MSG_REBOOT, 3, FK_TR("Reboot"),
                             FK_TR("Are you sure you want to restart?"), STATUS_RESTARTING};
constexpr RebootPlan kRestore{MSG_RESTORE, 5, FK_TR("Restore"),
                              FK_TR("Are you sure you want to reset?"), STATUS_RESETING};

FlowCommand CommandFor(const ap_select_stu& device, std::uint16_t type) {
    FlowCommand c;
    c.ip = device.ip;
    c.mac = device.mac;
    c.type = type;
    return c;
}

}  // namespace

const RebootPlan& PlanFor(RebootKind kind) {
    return kind == RebootKind::Restore ? kRestore : kReboot;
}

std::vector<FlowCommand> RebootCommands(IStoreView& store, const std::vector<ap_select_stu>& batch,
                                        std::uint16_t type) {
    std::vector<FlowCommand> first;
    std::vector<FlowCommand> rest;
    for (const ap_select_stu& device : batch)
        (store.HasBridgedStation(device.mac) ? first : rest).push_back(CommandFor(device, type));
    if (!first.empty() && !rest.empty()) first.back().gap_after = CRebootBatch::kBridgeGap;
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

CRebootBatch::CRebootBatch(RebootKind kind, std::vector<ap_select_stu> batch, IStoreView& store,
                           int wait_seconds)
    : plan_(PlanFor(kind)),
      batch_(std::move(batch)),
      store_(store),
      waits_(wait_seconds > 0),
      schedule_(wait_seconds, true, plan_.passes) {}

FlowStep CRebootBatch::Start(FlowTime now) {
    ticks_ = 0;
    phase_ = waits_ ? Phase::Waiting : Phase::Over;
    FlowStep step = waits_ ? schedule_.Start(now) : FlowStep{};
    step.commands = RebootCommands(store_, batch_, plan_.type);
    if (!waits_) step.outcome = FlowOutcome::Done;
    return step;
}

FlowStep CRebootBatch::Tick(FlowTime now) {
    FlowStep step;
    switch (phase_) {
        case Phase::Waiting:
            ++ticks_;
            step = schedule_.Tick(now);
            if (step.Finished()) {
                step.outcome = FlowOutcome::Running;
                CloseWait(now, step);
            } else if (ticks_ % (kMirrorPeriod / Period()) == 0) {
                step.statuses = Mirror();
            }
            return step;
        case Phase::Settling:
            // The driver's timer keeps its own beat after an early close, so the
            // refresh comes on the first tick within half a period of the second.
            if (now + Period() / 2 >= closed_at_ + kRefreshAfterWait) {
                phase_ = Phase::Over;
                step.refresh_list = true;
                step.outcome = FlowOutcome::Done;
            }
            return step;
        case Phase::Over:
            step.outcome = FlowOutcome::Done;
            return step;
    }
    return step;
}

FlowStep CRebootBatch::Stop(FlowTime now) {
    FlowStep step;
    switch (phase_) {
        case Phase::Waiting:
            CloseWait(now, step);
            return step;
        case Phase::Settling:
            phase_ = Phase::Over;
            step.refresh_list = true;
            step.outcome = FlowOutcome::Stopped;
            return step;
        case Phase::Over:
            step.outcome = FlowOutcome::Stopped;
            return step;
    }
    return step;
}

void CRebootBatch::CloseWait(FlowTime now, FlowStep& step) {
    phase_ = Phase::Settling;
    closed_at_ = now;
    step.actions.push_back(EngineAction::Search);
    step.wait_over = true;
}

std::vector<StatusCell> CRebootBatch::Mirror() const {
    std::vector<StatusCell> cells;
    for (const ap_select_stu& device : batch_)
        cells.push_back({device.mac, store_.GetStatus(device.mac)});
    return cells;
}

}  // namespace fk
