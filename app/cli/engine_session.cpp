#include "app/cli/engine_session.h"

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/language.h"
#include "app/program_dir.h"
#include "operations/search_session.h"
#include "operations/site_survey.h"
#include "protocol/adapter_source.h"

namespace fk::cli {
namespace {

constexpr int kEveryRow = 1 << 30;
constexpr int kSortByAddress = 1;
constexpr int kMaxPendingListed = 100000;
// The status page's search length: a radio that has not reported by then is off.
constexpr int kLongestSearch = 30;
// English captions and switch texts, whatever the machine's locale.
constexpr std::uint32_t kEnglish = 1033;

}  // namespace

EngineSession::~EngineSession() {
    executor_.reset();
    if (sender_) sender_->Stop();
    sender_.reset();
    if (engine_) engine_->Stop();
    engine_.reset();
    store_.reset();
    if (!scratch_dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_dir_, ignored);
    }
}

bool EngineSession::Open(const SessionOptions& options) {
    options_ = options;
    COperateLanguage::Instance().Init(DataDirectory(), kEnglish);
    std::string dir = options.store_dir;
    if (dir.empty()) {
        // Never in the program folder, even a build tree's: a run cut short leaves
        // its store in the user's own run folder only.
        const std::string run_dir = UserRunDirectory();
        std::string pattern = run_dir + "fieldkit-cli-XXXXXX";
        if (run_dir.empty() || mkdtemp(pattern.data()) == nullptr) {
            std::fprintf(stderr, "fieldkit-cli: cannot create a scratch directory\n");
            return false;
        }
        scratch_dir_ = dir = pattern;
    }
    store_ = std::make_unique<CSqlManagement>(dir);
    if (!store_->IsOpen()) {
        std::fprintf(stderr, "fieldkit-cli: cannot open the device store in %s\n", dir.c_str());
        return false;
    }
    EngineOptions engine_options;
    engine_options.ager_period = options.ager_period;
    engine_ = std::make_unique<CCommEngine>(engine_options, MakeSystemAdapterSource(), *store_);
    if (!engine_->Start(options.retransmission_max, options.retransmission_interval)) {
        std::fprintf(stderr, "fieldkit-cli: the engine's sockets could not be set up\n");
        return false;
    }
    sender_ = std::make_unique<CCommandSender>(*engine_);
    executor_ = std::make_unique<CFlowExecutor>(*engine_, *store_, *sender_);
    return true;
}

FlowOutcome EngineSession::Run(IFlow& flow, const FlowStepObserver& on_step,
                               const FlowStopRequest& stop_requested) {
    const FlowOutcome outcome = RunFlow(flow, *executor_, on_step, stop_requested);
    sender_->WaitUntilIdle();
    return outcome;
}

void EngineSession::Discover(int seconds) {
    CSearchSession session(seconds);
    Run(session);
}

FlowOutcome EngineSession::Survey(const std::string& ip, const std::string& mac,
                                  const FlowStopRequest& stop_requested) {
    CSiteSurvey survey(ip, mac, *engine_);
    return Run(survey, {}, stop_requested);
}

bool EngineSession::FindDevice(const std::string& mac, int seconds, const char* command,
                               ap_info_stu& record, bool whole_search) {
    const auto reported = [&] {
        record = ZeroRecord();
        // An unknown MAC reads as a zero record, not as a failure.
        return store_->GetDevice(mac, record) && record.MacText() == mac;
    };
    CSearchSession session(seconds);
    Run(session, {}, [&] { return !whole_search && reported(); });
    if (reported()) return true;
    SayWhyNotReported(command, mac, seconds);
    return false;
}

void EngineSession::SayWhyNotReported(const char* command, const std::string& mac, int seconds) {
    // A radio that answered the search from a network this PC has no address in cannot
    // be asked for its report: say so, with the fix, rather than only that it is silent.
    std::vector<ap_info_stu> announced;
    engine_->ListPendingDevices(kMaxPendingListed, "", announced);
    for (const ap_info_stu& record : announced) {
        if (record.MacText() != mac) continue;
        const std::string reason = engine_->UnreachableReason(record.IpText());
        if (reason.empty()) break;
        std::fprintf(stderr, "%s: %s answered from %s, which this PC cannot reach: %s\n", command,
                     mac.c_str(), record.IpText().c_str(), reason.c_str());
        return;
    }
    std::fprintf(stderr, "%s: %s did not report within %d s\n", command, mac.c_str(), seconds);
}

std::vector<ap_info_stu> EngineSession::FindDevices(const std::vector<std::string>& macs,
                                                    int min_seconds, int max_seconds) {
    const auto reported = [&] {
        std::vector<ap_info_stu> found;
        for (const std::string& mac : macs) {
            ap_info_stu record = ZeroRecord();
            if (store_->GetDevice(mac, record) && record.MacText() == mac) found.push_back(record);
        }
        return found;
    };
    const auto started = std::chrono::steady_clock::now();
    CSearchSession session(std::max(min_seconds, max_seconds));
    Run(session, {}, [&] {
        return std::chrono::steady_clock::now() - started >= std::chrono::seconds(min_seconds) &&
               reported().size() == macs.size();
    });
    return reported();
}

std::vector<std::optional<ap_info_stu>> EngineSession::FindBatch(
    const std::vector<std::string>& macs, int min_seconds, const char* command) {
    const int longest = std::max(min_seconds, kLongestSearch);
    const std::vector<ap_info_stu> found = FindDevices(macs, min_seconds, longest);
    std::vector<std::optional<ap_info_stu>> batch;
    for (const std::string& mac : macs) {
        std::optional<ap_info_stu>& entry = batch.emplace_back();
        for (const ap_info_stu& record : found)
            if (record.MacText() == mac) entry = record;
        if (!entry) SayWhyNotReported(command, mac, longest);
    }
    return batch;
}

std::vector<ap_info_stu> EngineSession::ListDevices() {
    std::vector<ap_info_stu> all;
    int page_count = 0;
    int online = 0;
    // One page that holds every row: pages read one after another could see a device
    // move between them while the engine keeps running.
    store_->QueryDevicePage(kSortByAddress, all, page_count, online, kEveryRow, 1, true, "");
    std::vector<ap_info_stu> pending;
    engine_->ListPendingDevices(kMaxPendingListed, "", pending);
    all.insert(all.end(), pending.begin(), pending.end());
    return all;
}

std::chrono::steady_clock::time_point EngineSession::AnswerDeadline(
    std::chrono::steady_clock::time_point sent) const {
    return sent +
           std::chrono::milliseconds(static_cast<long long>(options_.retransmission_max + 1) *
                                     options_.retransmission_interval);
}

}  // namespace fk::cli
