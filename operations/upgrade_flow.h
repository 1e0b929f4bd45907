// A firmware upgrade of the ticked radios of one model: the checks made before
// anything starts, the command the radios fetch by, and the three phases as one flow
// (the wait for the file server and the announcement, the transfer batch, the write).
// The owner starts and ends the file server when a step asks, and stops the flow at
// once when the server cannot serve, so no radio is told about a file nobody serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "operations/flow.h"
#include "store/device_record.h"

namespace fk {

class IStoreView;

inline constexpr int kMaxUpgradeSelection = 10;
// The payload's length byte counts at most 255; longer names are refused rather than
// cut, because a radio asking for a cut name would fetch nothing.
inline constexpr std::size_t kMaxUpgradeNameBytes = 255;
inline constexpr std::uint64_t kMaxUpgradeFileSize = 0xFFFFFFFFull;

// A language key when the selection cannot be upgraded; empty when it can.
std::string CheckUpgradeSelection(const std::vector<ap_select_stu>& selection);

// A language key when a radio of the selection is of a model the program does not
// know: the Type box could only offer it under another model's name, and none of the
// radios would be told. Empty when every model is known.
std::string CheckUpgradeModels(const std::vector<ap_select_stu>& selection);

// The chosen file as the checks found it.
struct UpgradeFile {
    std::string path;
    std::string name;  // without its folder
    std::uint32_t size = 0;
};

// A language key for the first check `path` fails, in the order the user should
// mend them; empty with `file` filled in when the file can be announced.
std::string CheckUpgradeFile(const std::string& path, UpgradeFile& file);

// The command every target is sent: the name, its length and the size.
std::vector<std::uint8_t> UpgradePayload(const std::string& name, std::uint32_t size);

struct UpgradeType {
    std::string name;  // the model's display name
    std::uint16_t code = 0;
};

// The distinct models of the selection, in order of first appearance.
std::vector<UpgradeType> UpgradeTypes(const std::vector<ap_select_stu>& selection);

enum class UpgradeResult { NoAnswer, Fetched, Fail, Success };

struct UpgradeTarget {
    ap_select_stu device;
    UpgradeResult result = UpgradeResult::NoAnswer;
};

class CUpgradeFlow final : public IFlow {
  public:
    static constexpr int kServerWaitSeconds = 3;
    static constexpr int kBatchSeconds = 120;
    static constexpr int kTransferSeconds = 120;
    static constexpr int kWriteSeconds = 130;
    static constexpr int kSearchPasses = 3;

    // `selection` is every ticked radio (all of them mirrored); only those of `type`
    // are upgraded. `write_seconds` shorter than the default is for tests; the last
    // search falls on its end and the two before it three and six seconds earlier.
    CUpgradeFlow(std::vector<ap_select_stu> selection, std::uint16_t type,
                 std::vector<std::uint8_t> payload, IStoreView& store,
                 int write_seconds = kWriteSeconds);

    std::chrono::milliseconds Period() const override { return std::chrono::milliseconds{1000}; }
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override;
    // Abandons the upgrade: nothing more is sent and the file server is ended.
    FlowStep Stop(FlowTime now) override;

    const std::vector<UpgradeTarget>& Targets() const { return targets_; }
    bool Writing() const { return phase_ == Phase::Writing; }

  private:
    enum class Phase { ServerWait, Transfer, Writing, Over };

    void TickTransfer(FlowStep& step);
    void TickBatch(FlowStep& step);
    void TickWrite(FlowStep& step);
    void Finish(FlowStep& step, FlowOutcome outcome);
    void Observe();
    bool AllTargets(bool (*test)(int status));
    std::vector<StatusCell> Mirror();

    std::vector<ap_select_stu> selection_;
    std::vector<UpgradeTarget> targets_;
    std::vector<std::uint8_t> payload_;
    IStoreView& store_;
    Phase phase_ = Phase::ServerWait;
    int elapsed_ = 0;
    int transfer_seconds_ = 0;
    int batch_seconds_ = 0;
    bool batch_running_ = false;
    bool transfer_finished_ = false;
    int write_total_;
    int write_seconds_ = 0;
    int passes_left_ = kSearchPasses;
};

}  // namespace fk
