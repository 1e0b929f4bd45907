#include "operations/upgrade_flow.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/language.h"
#include "protocol/model_capabilities.h"
#include "protocol/packet.h"
#include "protocol/wire_sizes.h"
#include "store/display_codes.h"
#include "store/store_view.h"

namespace fk {
namespace {

// The payload's name area; the terminator takes the last byte.
constexpr std::size_t kNameArea = 260;
constexpr std::size_t kLengthOffset = 260;
constexpr std::size_t kSizeOffset = 264;

bool Settled(int status) {
    return status == STATUS_OUTLINE || status == STATUS_UPGRADE_WAIT ||
           status == STATUS_UPGRADE_SUCCESS || status == STATUS_UPGRADE_FAIL;
}

bool Failed(int status) {
    return status == STATUS_UPGRADE_FAIL;
}

FlowCommand CommandFor(const ap_select_stu& device, std::uint16_t type,
                       std::vector<std::uint8_t> payload = {}) {
    FlowCommand c;
    c.ip = device.ip;
    c.mac = device.mac;
    c.type = type;
    c.payload = std::move(payload);
    return c;
}

}  // namespace

std::string CheckUpgradeSelection(const std::vector<ap_select_stu>& selection) {
    if (selection.empty()) return FK_TR("Please select the devices!");
    if (selection.size() > kMaxUpgradeSelection) return FK_TR("Maximum selection of 10 devices!");
    return {};
}

std::string CheckUpgradeModels(const std::vector<ap_select_stu>& selection) {
    const auto models = KnownModels();
    const bool all_known = std::all_of(selection.begin(), selection.end(), [&](const auto& d) {
        return std::any_of(models.begin(), models.end(),
                           [&](const ModelCapabilities& m) { return m.code == d.ap_type; });
    });
    return all_known ? std::string() : FK_TR("The model of a selected device is not known!");
}

std::string CheckUpgradeFile(const std::string& path, UpgradeFile& file) {
    if (path.empty()) return FK_TR("Please select the upgrade file!");
    const bool bin = path.size() >= 4 && (path.ends_with(".bin") || path.ends_with(".BIN"));
    if (!bin) return FK_TR("Upgrade file is not .bin file!");
    const std::filesystem::path fs_path(path);
    const std::string name = fs_path.filename().string();
    if (name.size() > kMaxUpgradeNameBytes) return FK_TR("The upgrade file name is too long!");
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(fs_path, error);
    std::ifstream probe(path, std::ios::binary);
    if (!regular || !probe.is_open()) return FK_TR("The upgrade file cannot be read!");
    const std::uintmax_t size = std::filesystem::file_size(fs_path, error);
    if (error) return FK_TR("The upgrade file cannot be read!");
    if (size > kMaxUpgradeFileSize) return FK_TR("The upgrade file is larger than 4 GiB!");
    file.path = path;
    file.name = name;
    file.size = static_cast<std::uint32_t>(size);
    return {};
}

std::vector<std::uint8_t> UpgradePayload(const std::string& name, std::uint32_t size) {
    std::vector<std::uint8_t> payload(kUpgradePayloadSize, 0);
    const std::size_t length = std::min({name.size(), kNameArea - 1, kMaxUpgradeNameBytes});
    std::copy_n(name.begin(), length, payload.begin());
    payload[kLengthOffset] = static_cast<std::uint8_t>(length);
    for (int i = 0; i < 4; ++i)
        payload[kSizeOffset + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return payload;
}

std::vector<UpgradeType> UpgradeTypes(const std::vector<ap_select_stu>& selection) {
    std::vector<UpgradeType> types;
    for (const ap_select_stu& device : selection) {
        const std::string name = ModelName(device.ap_type);
        const bool known = std::any_of(types.begin(), types.end(),
                                       [&](const UpgradeType& t) { return t.name == name; });
        if (!known) types.push_back({name, static_cast<std::uint16_t>(ModelCode(name))});
    }
    return types;
}

CUpgradeFlow::CUpgradeFlow(std::vector<ap_select_stu> selection, std::uint16_t type,
                           std::vector<std::uint8_t> payload, IStoreView& store, int write_seconds)
    : selection_(std::move(selection)),
      payload_(std::move(payload)),
      store_(store),
      write_total_(std::max(write_seconds, 3 * kSearchPasses)) {
    for (const ap_select_stu& device : selection_)
        if (device.ap_type == type) targets_.push_back({device});
}

FlowStep CUpgradeFlow::Start(FlowTime) {
    phase_ = Phase::ServerWait;
    elapsed_ = transfer_seconds_ = batch_seconds_ = write_seconds_ = 0;
    batch_running_ = transfer_finished_ = false;
    passes_left_ = kSearchPasses;
    FlowStep step;
    step.file_server = FileServerAction::Start;
    step.progress = FlowProgress{0, kTransferSeconds, 0, FK_TR("Upgrade file transfer progress")};
    step.statuses = Mirror();
    return step;
}

FlowStep CUpgradeFlow::Tick(FlowTime) {
    FlowStep step;
    if (phase_ == Phase::Over) {
        step.outcome = FlowOutcome::Done;
        return step;
    }
    ++elapsed_;
    Observe();
    // A phase begun in this tick has its first second on the next one.
    const Phase was = phase_;
    // The transfer counter is read before the batch moves on, so the write phase
    // begins on the second after the batch has ended, never inside it.
    if (phase_ == Phase::ServerWait || phase_ == Phase::Transfer) TickTransfer(step);
    if (phase_ == Phase::ServerWait && elapsed_ >= kServerWaitSeconds) {
        phase_ = Phase::Transfer;
        for (const UpgradeTarget& target : targets_) {
            step.writes.push_back({StoreWrite::Kind::ResetUpgradeFail, target.device.mac});
            step.commands.push_back(CommandFor(target.device, MSG_UPGRADE, payload_));
        }
        batch_running_ = true;
        batch_seconds_ = 0;
    } else if (batch_running_) {
        TickBatch(step);
    } else if (was == Phase::Writing) {
        TickWrite(step);
    }
    if (phase_ != Phase::Over) step.statuses = Mirror();
    return step;
}

void CUpgradeFlow::TickTransfer(FlowStep& step) {
    ++transfer_seconds_;
    if (!transfer_finished_) {
        step.progress = FlowProgress{
            0, kTransferSeconds, std::min(transfer_seconds_, kTransferSeconds - 1), {}};
        return;
    }
    if (AllTargets(Failed)) {
        step.statuses = Mirror();
        Finish(step, FlowOutcome::Done);
        return;
    }
    phase_ = Phase::Writing;
    write_seconds_ = 0;
    passes_left_ = kSearchPasses;
    step.progress = FlowProgress{0, write_total_, 0, FK_TR("Firmware upgrading progress")};
}

void CUpgradeFlow::TickBatch(FlowStep& step) {
    ++batch_seconds_;
    if (batch_seconds_ < kBatchSeconds && !AllTargets(Settled)) return;
    batch_running_ = false;
    transfer_finished_ = true;
    for (const UpgradeTarget& target : targets_)
        if (store_.IsUpgradeWaiting(target.device.mac))
            step.commands.push_back(CommandFor(target.device, MSG_UPGRADE_STATUS));
}

void CUpgradeFlow::TickWrite(FlowStep& step) {
    const int n = ++write_seconds_;
    if (passes_left_ > 0 && n == write_total_ + kSearchPasses - kSearchPasses * passes_left_) {
        --passes_left_;
        step.actions.push_back(EngineAction::Search);
    }
    if (n < write_total_) {
        step.progress = FlowProgress{0, write_total_, n, {}};
        return;
    }
    step.progress = FlowProgress{0, write_total_, write_total_, {}};
    step.statuses = Mirror();
    Finish(step, FlowOutcome::Done);
}

FlowStep CUpgradeFlow::Stop(FlowTime) {
    FlowStep step;
    Finish(step, FlowOutcome::Stopped);
    return step;
}

void CUpgradeFlow::Finish(FlowStep& step, FlowOutcome outcome) {
    phase_ = Phase::Over;
    batch_running_ = false;
    step.file_server = FileServerAction::Stop;
    step.wait_over = true;
    step.outcome = outcome;
}

// The furthest each target got, for the owner's report: a radio back online after
// its restart no longer shows how its upgrade went.
void CUpgradeFlow::Observe() {
    for (UpgradeTarget& target : targets_) {
        switch (store_.GetStatus(target.device.mac)) {
            case STATUS_UPGRADE_WAIT:
                if (target.result == UpgradeResult::NoAnswer)
                    target.result = UpgradeResult::Fetched;
                break;
            case STATUS_UPGRADING:
            case STATUS_UPGRADE_SUCCESS:
                target.result = UpgradeResult::Success;
                break;
            case STATUS_UPGRADE_FAIL:
                if (phase_ != Phase::ServerWait) target.result = UpgradeResult::Fail;
                break;
            default:
                break;
        }
    }
}

bool CUpgradeFlow::AllTargets(bool (*test)(int status)) {
    return std::all_of(targets_.begin(), targets_.end(), [&](const UpgradeTarget& target) {
        return test(store_.GetStatus(target.device.mac));
    });
}

std::vector<StatusCell> CUpgradeFlow::Mirror() {
    std::vector<StatusCell> cells;
    for (const ap_select_stu& device : selection_)
        cells.push_back({device.mac, store_.GetStatus(device.mac)});
    return cells;
}

}  // namespace fk
