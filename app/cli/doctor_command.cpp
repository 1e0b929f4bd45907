// `doctor`: why a radio may not show up, checked from the PC's side. The ports are
// looked at before the engine opens its own sockets on them; a short search then shows
// which radios answer from a subnet no local address holds. One line per check, with
// the finding and the fix; the exit is 1 when anything found stands between the PC and
// a radio.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/program_dir.h"
#include "app/text_table.h"
#include "operations/diagnosis.h"
#include "operations/diagnosis_probes.h"
#include "protocol/adapter_source.h"

namespace fk::cli {
namespace {

struct DoctorOptions {
    SessionOptions session;
    int seconds = 4;
    TextTableFormat format = TextTableFormat::Table;
};

std::vector<TextRow> LineRows(const std::vector<DiagnosisLine>& lines) {
    std::vector<TextRow> rows;
    for (const DiagnosisLine& line : lines)
        rows.push_back({line.check, SeverityName(line.severity), line.finding, line.fix});
    return rows;
}

int RunDoctor(const DoctorOptions& o) {
    DiagnosisFacts facts = ProbeSystem(FileServerExecutable(), getpid());
    EngineSession session;
    if (session.Open(o.session)) {
        session.Discover(o.seconds);
        AddRadioFacts(session.Engine(), session.ListDevices(), facts);
    } else {
        // Without the engine the adapters still tell part of the story.
        facts.adapters = MakeSystemAdapterSource()->List();
    }
    const std::vector<DiagnosisLine> lines = Diagnose(facts);
    std::fputs(
        FormatTextRows({"Check", "Status", "Finding", "Fix"}, LineRows(lines), o.format).c_str(),
        stdout);
    std::fflush(stdout);
    return AnyBlocking(lines) ? kExitFailure : kExitOk;
}

}  // namespace

void AddDoctorCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<DoctorOptions>();
    CLI::App* command = cli.add_subcommand(
        "doctor",
        "check what may keep radios from this PC: adapters and their addresses, UDP 9785, 9787, "
        "9788 and 69 (free, or held by which process), a firewall that drops them, radios that "
        "answer from a subnet no local address holds (after a short search), the file server's "
        "right to serve on port 69; one line per check with the fix (exit 1 when something "
        "stands between the PC and a radio)");
    AddSecondsOption(*command, o->seconds, "how long the search runs");
    AddFormatOption(*command, o->format);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunDoctor(*o); });
}

}  // namespace fk::cli
