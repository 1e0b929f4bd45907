// `reboot` and `restore`: the reboot and restore pages without a desktop. The named
// radios are the batch in the order named; the page's flow sends to them (access points
// with a bridged station first), waits its minute while the statuses are watched, and
// searches once more at the end. Each radio's outcome is what the store and the engine
// saw: its answer and result byte, and when it reported again after accepting.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/text_table.h"
#include "operations/reboot_batch.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

// The status page's search length: a radio that has not reported by then is off.
constexpr int kLongestSearch = 30;

struct RebootOptions {
    SessionOptions session;
    std::vector<std::string> macs;
    int seconds = 6;
    int wait_seconds = CRebootBatch::kWaitSeconds;
    bool no_wait = false;
    TextTableFormat format = TextTableFormat::Table;
};

std::string TakeOption(const CommandArgs& args, std::size_t& i, RebootOptions& o) {
    if (args[i] == "--no-wait") {
        o.no_wait = true;
        return {};
    }
    std::string value;
    bool missing = false;
    const auto take = [&](const char* name) { return TakeValue(args, i, name, value, missing); };
    if (take("--mac")) {
        std::string mac;
        if (missing || !ParseMacText(value, mac)) return "--mac needs a MAC like 00:11:22:33:44:55";
        for (const std::string& named : o.macs)
            if (named == mac) return "--mac " + mac + " is named twice";
        o.macs.push_back(mac);
        return {};
    }
    if (take("--seconds")) {
        return missing || !ParseCount(value, o.seconds) ? "--seconds needs whole seconds" : "";
    }
    if (take("--wait-seconds")) {
        return missing || !ParseCount(value, o.wait_seconds) || o.wait_seconds == 0
                   ? "--wait-seconds needs a positive number of seconds"
                   : "";
    }
    if (take("--format")) {
        return missing || !ParseTextTableFormat(value, o.format) ? "--format is table, csv or json"
                                                                 : "";
    }
    return "unexpected argument '" + args[i] + "'";
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", s);
    return text;
}

struct RadioOutcome {
    std::string mac;
    bool found = false;
    std::string ip;
    std::uint64_t answers_before = 0;
    bool answered = false;
    int result = -1;
    int last_status = -1;
    // Its answer with result 0 was in before the status now read: a status "Online"
    // from here on comes from a report sent after the restart.
    bool accepted_known = false;
    double back_after = -1;
};

// Follows the batch: each status change as it happens, and each radio's answer.
class CBatchWatch {
  public:
    CBatchWatch(EngineSession& session, std::uint16_t type, TextTableFormat format,
                std::vector<RadioOutcome>& radios)
        : session_(session), type_(type), format_(format), radios_(radios) {}

    void Begin() {
        started_ = std::chrono::steady_clock::now();
        for (RadioOutcome& r : radios_) {
            if (!r.found) continue;
            r.answers_before = session_.Engine().AnswerCount(r.ip, r.mac, type_);
            r.last_status = session_.Store().GetStatus(r.mac);
        }
    }

    void OnStep(const FlowStep& step) {
        for (const StatusCell& cell : step.statuses) Sample(cell.mac, cell.status);
        // The list refresh at the end reads the store once more.
        if (step.refresh_list) SampleStore();
        ReadAnswers();
    }

    // Every radio of the batch as the store has it now.
    void SampleStore() {
        for (RadioOutcome& r : radios_)
            if (r.found) Sample(r.mac, session_.Store().GetStatus(r.mac));
    }

    void ReadAnswers() {
        for (RadioOutcome& r : radios_) {
            if (!r.found) continue;
            r.answered = session_.Engine().AnswerCount(r.ip, r.mac, type_) > r.answers_before;
            r.result = r.answered ? session_.Engine().LastAnswerResult(r.ip, r.mac, type_) : -1;
            r.accepted_known = r.answered && r.result == 0;
        }
    }

    const std::vector<TextRow>& Changes() const { return changes_; }

  private:
    double Elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }

    void Sample(const std::string& mac, int status) {
        for (RadioOutcome& r : radios_) {
            if (r.mac != mac || !r.found) continue;
            const double at = Elapsed();
            if (r.accepted_known && status == STATUS_ONLINE && r.back_after < 0) r.back_after = at;
            if (status == r.last_status) return;
            r.last_status = status;
            TextRow change{Seconds(at), mac, StatusName(status)};
            // The table goes to standard output as it happens; csv and json keep standard
            // output for one document, so the live lines go to standard error there.
            std::FILE* to = format_ == TextTableFormat::Table ? stdout : stderr;
            std::fprintf(to, "%7s  %s  %s\n", change[0].c_str(), change[1].c_str(),
                         change[2].c_str());
            std::fflush(to);
            changes_.push_back(std::move(change));
            return;
        }
    }

    EngineSession& session_;
    std::uint16_t type_;
    TextTableFormat format_;
    std::vector<RadioOutcome>& radios_;
    std::chrono::steady_clock::time_point started_;
    std::vector<TextRow> changes_;
};

void PrintOutcome(const std::vector<RadioOutcome>& radios, const std::vector<TextRow>& changes,
                  bool waited, TextTableFormat format) {
    const TextRow header{"MAC", "Found", "IP", "Answered", "Result", "Back", "Status"};
    std::vector<TextRow> rows;
    for (const RadioOutcome& r : radios) {
        if (!r.found) {
            rows.push_back({r.mac, "no", "", "", "", "", ""});
            continue;
        }
        std::string back = "not waited";
        if (waited) back = r.back_after >= 0 ? Seconds(r.back_after) : "no";
        rows.push_back({r.mac, "yes", r.ip, r.answered ? "yes" : "no",
                        r.result >= 0 ? std::to_string(r.result) : "", back,
                        StatusName(r.last_status)});
    }
    if (format == TextTableFormat::Json) {
        const TextRow change_header{"Seconds", "MAC", "Status"};
        std::printf("{\"changes\": %s, \"radios\": %s}\n",
                    FormatTextRows(change_header, changes, format).c_str(),
                    FormatTextRows(header, rows, format).c_str());
    } else {
        std::printf("%s", FormatTextRows(header, rows, format).c_str());
    }
    std::fflush(stdout);
}

int RunBatch(RebootKind kind, const char* name, const CommandArgs& args) {
    RebootOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (!TakeSessionOption(args, i, o.session, error)) error = TakeOption(args, i, o);
        if (!error.empty()) {
            std::fprintf(stderr, "%s: %s\n", name, error.c_str());
            return kExitUsage;
        }
    }
    if (o.macs.empty()) {
        std::fprintf(stderr, "%s: --mac is required\n", name);
        return kExitUsage;
    }
    const RebootPlan& plan = PlanFor(kind);
    // The first rediscovery pass must fall after the first tick of the window.
    const int shortest_wait = 3 * plan.passes - 2;
    if (o.wait_seconds < shortest_wait) {
        std::fprintf(stderr, "%s: --wait-seconds leaves no room for %d passes (at least %d)\n",
                     name, plan.passes, shortest_wait);
        return kExitUsage;
    }

    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    const std::vector<ap_info_stu> found =
        session.FindDevices(o.macs, o.seconds, std::max(o.seconds, kLongestSearch));
    std::vector<RadioOutcome> radios;
    std::vector<ap_select_stu> batch;
    for (const std::string& mac : o.macs) {
        RadioOutcome r;
        r.mac = mac;
        for (const ap_info_stu& record : found) {
            if (record.MacText() != mac) continue;
            r.found = true;
            r.ip = record.IpText();
            batch.push_back(SelectionOf(record));
        }
        if (!r.found)
            std::fprintf(stderr, "%s: %s did not report within %d s\n", name, mac.c_str(),
                         std::max(o.seconds, kLongestSearch));
        radios.push_back(std::move(r));
    }

    CBatchWatch watch(session, plan.type, o.format, radios);
    if (!batch.empty()) {
        CRebootBatch flow(kind, batch, session.Store(), o.no_wait ? 0 : o.wait_seconds);
        watch.Begin();
        const auto sent_at = std::chrono::steady_clock::now();
        session.Run(flow, [&](const FlowStep& step) { watch.OnStep(step); });
        // An answer still missing gets the engine's whole repetition time from the send;
        // after a full wait that time has long passed.
        const auto deadline =
            sent_at +
            std::chrono::milliseconds(static_cast<long long>(o.session.retransmission_max + 1) *
                                      o.session.retransmission_interval);
        for (RadioOutcome& r : radios)
            if (r.found)
                session.Engine().WaitForAnswer(r.ip, r.mac, plan.type, r.answers_before, deadline);
        watch.ReadAnswers();
        watch.SampleStore();
    }
    PrintOutcome(radios, watch.Changes(), !o.no_wait, o.format);
    for (const RadioOutcome& r : radios) {
        const bool back = o.no_wait || r.back_after >= 0;
        if (!r.found || !r.answered || r.result != 0 || !back) return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int RunRebootCommand(const CommandArgs& args) {
    return RunBatch(RebootKind::Reboot, "reboot", args);
}

int RunRestoreCommand(const CommandArgs& args) {
    return RunBatch(RebootKind::Restore, "restore", args);
}

}  // namespace fk::cli
