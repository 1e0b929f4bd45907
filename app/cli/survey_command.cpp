// `survey`: the bridge wizard's first step without a desktop. The radio is searched
// for, asked to scan once, and what it heard is listed strongest first.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/scan_rows.h"
#include "operations/site_survey.h"

namespace fk::cli {
namespace {

constexpr int kSortBySignal = 4;

struct SurveyOptions {
    SessionOptions session;
    std::string mac;
    int seconds = 10;
    TextTableFormat format = TextTableFormat::Table;
};

int RunSurvey(const SurveyOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(o.mac, o.seconds, "survey", record)) return kExitFailure;
    const FlowOutcome outcome = session.Survey(record.IpText(), o.mac);
    std::vector<config_otherwl_basic> heard;
    session.Store().GetScanList(kSortBySignal, heard, false);
    // Results that arrived count even when the last packet never did, as in the window.
    if (outcome != FlowOutcome::Done && heard.empty()) {
        std::fprintf(stderr, "survey: %s sent no results within %d s\n", o.mac.c_str(),
                     CSiteSurvey::kSeconds);
        return kExitFailure;
    }
    std::printf("%s", FormatTextRows(SurveyHeader(), SurveyTextRows(heard), o.format).c_str());
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace

void AddSurveyCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<SurveyOptions>();
    CLI::App* command = cli.add_subcommand(
        "survey", "ask one radio which access points it hears and list them, strongest first");
    AddMacOption(*command, o->mac);
    AddSecondsOption(*command, o->seconds, "the longest search for the radio");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunSurvey(*o); });
}

}  // namespace fk::cli
