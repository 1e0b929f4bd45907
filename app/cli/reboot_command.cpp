// `reboot` and `restore`: the reboot and restore pages without a desktop. The named
// radios are the batch in the order named; the page's flow sends to them (access points
// with a bridged station first), waits its minute while the statuses are watched, and
// searches once more at the end. Each radio's outcome is what the store and the engine
// saw: its answer and result byte, and when it reported again after accepting.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/batch_report.h"
#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/text_table.h"
#include "operations/reboot_batch.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

struct RebootOptions {
    SessionOptions session;
    std::vector<std::string> macs;
    int seconds = 6;
    int wait_seconds = CRebootBatch::kWaitSeconds;
    bool no_wait = false;
    TextTableFormat format = TextTableFormat::Table;
};

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
    CBatchWatch(EngineSession& session, std::uint16_t type, CStatusChangeLog& log,
                std::vector<RadioOutcome>& radios)
        : session_(session), type_(type), log_(log), radios_(radios) {}

    void Begin() {
        log_.Restart();
        for (RadioOutcome& r : radios_) {
            if (!r.found) continue;
            r.answers_before = session_.Engine().WatchAnswers(r.ip, r.mac, type_);
            r.last_status = session_.Store().GetStatus(r.mac);
            log_.Know(r.mac, r.last_status);
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

  private:
    void Sample(const std::string& mac, int status) {
        for (RadioOutcome& r : radios_) {
            if (r.mac != mac || !r.found) continue;
            if (r.accepted_known && status == STATUS_ONLINE && r.back_after < 0)
                r.back_after = log_.Elapsed();
            r.last_status = status;
            log_.Record(mac, status);
            return;
        }
    }

    EngineSession& session_;
    std::uint16_t type_;
    CStatusChangeLog& log_;
    std::vector<RadioOutcome>& radios_;
};

std::vector<TextRow> OutcomeRows(const std::vector<RadioOutcome>& radios, bool waited) {
    std::vector<TextRow> rows;
    for (const RadioOutcome& r : radios) {
        if (!r.found) {
            rows.push_back({r.mac, "no", "", "", "", "", ""});
            continue;
        }
        std::string back = "not waited";
        if (waited) back = r.back_after >= 0 ? SecondsText(r.back_after) : "no";
        rows.push_back({r.mac, "yes", r.ip, r.answered ? "yes" : "no",
                        r.result >= 0 ? std::to_string(r.result) : "", back,
                        StatusName(r.last_status)});
    }
    return rows;
}

int RunBatch(RebootKind kind, const RebootOptions& o) {
    const RebootPlan& plan = PlanFor(kind);
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    const auto found =
        session.FindBatch(o.macs, o.seconds, kind == RebootKind::Reboot ? "reboot" : "restore");
    std::vector<RadioOutcome> radios;
    std::vector<ap_select_stu> batch;
    for (std::size_t i = 0; i < o.macs.size(); ++i) {
        RadioOutcome& r = radios.emplace_back();
        r.mac = o.macs[i];
        if (!found[i]) continue;
        r.found = true;
        r.ip = found[i]->IpText();
        batch.push_back(SelectionOf(*found[i]));
    }

    CStatusChangeLog log(o.format);
    CBatchWatch watch(session, plan.type, log, radios);
    if (!batch.empty()) {
        CRebootBatch flow(kind, batch, session.Store(), o.no_wait ? 0 : o.wait_seconds);
        watch.Begin();
        const auto sent_at = std::chrono::steady_clock::now();
        session.Run(flow, [&](const FlowStep& step) { watch.OnStep(step); });
        // An answer still missing gets the engine's whole repetition time from the send;
        // after a full wait that time has long passed.
        const auto deadline = session.AnswerDeadline(sent_at);
        for (RadioOutcome& r : radios)
            if (r.found)
                session.Engine().WaitForAnswer(r.ip, r.mac, plan.type, r.answers_before, deadline);
        watch.ReadAnswers();
        watch.SampleStore();
    }
    PrintBatchResult({"MAC", "Found", "IP", "Answered", "Result", "Back", "Status"},
                     OutcomeRows(radios, !o.no_wait), log, o.format);
    for (const RadioOutcome& r : radios) {
        const bool back = o.no_wait || r.back_after >= 0;
        if (!r.found || !r.answered || r.result != 0 || !back) return kExitFailure;
    }
    return kExitOk;
}

void AddBatchCommand(CLI::App& cli, CCommandTable& table, RebootKind kind, const char* name,
                     const char* summary) {
    auto o = std::make_shared<RebootOptions>();
    CLI::App* command = cli.add_subcommand(name, summary);
    AddMacsOption(*command, o->macs);
    AddBatchSecondsOption(*command, o->seconds);
    command->add_flag("--no-wait", o->no_wait, "end once the answers are in");
    // The first rediscovery pass must fall after the first tick of the window.
    const int shortest_wait = 3 * PlanFor(kind).passes - 2;
    command
        ->add_option("--wait-seconds", o->wait_seconds,
                     "shorten the wait after the send, for tests (at least " +
                         std::to_string(shortest_wait) + ")")
        ->check(CLI::Range(shortest_wait, 100000));
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o, kind] { return RunBatch(kind, *o); });
}

}  // namespace

void AddRebootCommands(CLI::App& cli, CCommandTable& table) {
    AddBatchCommand(cli, table, RebootKind::Reboot, "reboot",
                    "reboot the radios as the reboot page does: search, send in the page's order, "
                    "wait its 60 s printing each status change, then list per radio its answer, "
                    "result byte and when it was back (exit 1 unless every radio accepted and "
                    "came back)");
    AddBatchCommand(cli, table, RebootKind::Restore, "restore",
                    "restore the radios to factory settings as the restore page does; as reboot, "
                    "with five rediscovery passes");
}

}  // namespace fk::cli
