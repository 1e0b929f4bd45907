// The one shape of every timed operation (search, wait window, batch address change,
// reboot batch, survey, bridge save, upgrade): a plain object that is started and then
// ticked with the time, and answers each call with a Step that says, as data only,
// what should happen now. It never sends, sleeps or touches a window itself, so a
// test steps it with a made-up clock and a driver (the window's timer or the CLI's
// loop) carries its steps out.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fk {

using FlowClock = std::chrono::steady_clock;
using FlowTime = FlowClock::time_point;

// One command for a device. It goes out on the owner's sender thread, in order; with
// `pending_ip` set, the engine is told the device's coming address first, so the
// device is recognised when it announces itself from there.
struct FlowCommand {
    std::string ip;
    std::string mac;
    std::uint16_t type = 0;
    std::vector<std::uint8_t> payload;
    bool retransmit = true;
    std::string pending_ip;
    // Wait after this command before the next one (the reboot batch's 200 ms).
    std::chrono::milliseconds gap_after{0};
};

// What a flow asks of the engine, carried out in order on the driver's thread.
enum class EngineAction { ReleasePending, DropPending, PruneStore, Search };

// The store writes an operation makes itself; everything else the store learns from
// the devices.
struct StoreWrite {
    enum class Kind { ResetUpgradeFail, ClearScanResults };
    Kind kind;
    std::string mac;
};

enum class FileServerAction { None, Start, Stop };

struct FlowProgress {
    int minimum = 0;
    int maximum = 0;
    int position = 0;
    std::string label;  // a language key; empty keeps the current one
};

// A status to show in a list row of the batch.
struct StatusCell {
    std::string mac;
    int status = 0;
};

enum class FlowOutcome { Running, Done, Stopped, Failed };

struct FlowStep {
    std::vector<StoreWrite> writes;
    std::vector<EngineAction> actions;
    std::vector<FlowCommand> commands;
    FileServerAction file_server = FileServerAction::None;
    std::optional<FlowProgress> progress;
    std::vector<StatusCell> statuses;
    // The wait a window shows is over, though the flow goes on behind it (the reboot
    // batch refreshes the list a second after its wait window has closed).
    bool wait_over = false;
    bool refresh_list = false;
    std::string message;  // a language key to show; empty for none
    FlowOutcome outcome = FlowOutcome::Running;

    bool Finished() const { return outcome != FlowOutcome::Running; }
};

class IFlow {
  public:
    virtual ~IFlow() = default;
    // How often the driver calls Tick.
    virtual std::chrono::milliseconds Period() const = 0;
    virtual FlowStep Start(FlowTime now) = 0;
    virtual FlowStep Tick(FlowTime now) = 0;
    // The user ended it early (a close or Stop button). What was handed to the
    // engine stays handed.
    virtual FlowStep Stop(FlowTime now) {
        (void)now;
        FlowStep step;
        step.outcome = FlowOutcome::Stopped;
        return step;
    }
};

}  // namespace fk
