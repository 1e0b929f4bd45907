// `survey`: the bridge wizard's first step without a desktop. The radio is searched
// for, asked to scan once, and what it heard is listed strongest first.
#include <cstdio>
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

std::string TakeOption(const CommandArgs& args, std::size_t& i, SurveyOptions& o) {
    std::string value;
    bool missing = false;
    const auto take = [&](const char* name) { return TakeValue(args, i, name, value, missing); };
    if (take("--mac")) {
        return missing || !ParseMacText(value, o.mac) ? "--mac needs a MAC like 00:11:22:33:44:55"
                                                      : "";
    }
    if (take("--seconds")) {
        return missing || !ParseCount(value, o.seconds) ? "--seconds needs whole seconds" : "";
    }
    if (take("--format")) {
        return missing || !ParseTextTableFormat(value, o.format) ? "--format is table, csv or json"
                                                                 : "";
    }
    return "unexpected argument '" + args[i] + "'";
}

}  // namespace

int RunSurveyCommand(const CommandArgs& args) {
    SurveyOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (!TakeSessionOption(args, i, o.session, error)) error = TakeOption(args, i, o);
        if (!error.empty()) {
            std::fprintf(stderr, "survey: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    if (o.mac.empty()) {
        std::fprintf(stderr, "survey: --mac is required\n");
        return kExitUsage;
    }
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(o.mac, o.seconds, record)) {
        std::fprintf(stderr, "survey: %s did not report within %d s\n", o.mac.c_str(), o.seconds);
        return kExitFailure;
    }
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

}  // namespace fk::cli
