#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/device_rows.h"
#include "app/cli/engine_session.h"
#include "app/cli/hex_payload.h"
#include "app/cli/scan_rows.h"
#include "operations/site_survey.h"
#include "protocol/packet.h"
#include "protocol/udp_socket.h"

namespace fk::cli {
namespace {

struct SendOptions {
    SessionOptions session;
    std::string ip;
    std::string mac;
    int type = 0;
    std::vector<std::uint8_t> payload;
    bool retransmit = true;
    int wait_seconds = 3;
    int discover_seconds = 0;
    int hold_seconds = 0;
    std::string pending_ip;
};

using SteadyClock = std::chrono::steady_clock;

// The message that tells how a command ended: an upgrade request is acknowledged at
// once, but its outcome comes with the result of the device's file transfer.
int OutcomeType(int type) {
    return type == MSG_UPGRADE ? MSG_UPGRADE_RESULT : type;
}

// Whether the store lists `mac` at `ip`, as it does once a moved device has reported
// from its new address.
bool ListedAt(CSqlManagement& store, const std::string& mac, const std::string& ip) {
    ap_info_stu record = ZeroRecord();
    return store.GetDevice(mac, record) && record.IpText() == ip;
}

// Waits for the command's outcome: the answer from the device's address and, for a
// move to a pending address, the device's report from there.
void WaitForOutcome(EngineSession& session, const SendOptions& o, std::uint64_t seen,
                    SteadyClock::time_point deadline) {
    CCommEngine& engine = session.Engine();
    if (!engine.WaitForAnswer(o.ip, o.mac, OutcomeType(o.type), seen, deadline)) return;
    if (o.pending_ip.empty()) return;
    constexpr auto kPoll = std::chrono::milliseconds(50);
    while (!ListedAt(session.Store(), o.mac, o.pending_ip) && SteadyClock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
    }
}

// The window's survey flow, ended early only by --wait.
bool RunSurvey(EngineSession& session, const SendOptions& o, SteadyClock::time_point deadline) {
    CSiteSurvey survey(o.ip, o.mac, session.Engine());
    const FlowOutcome outcome =
        session.Run(survey, {}, [deadline] { return SteadyClock::now() >= deadline; });
    return outcome == FlowOutcome::Done;
}

Json ScanJson(CSqlManagement& store) {
    std::vector<config_otherwl_basic> list;
    store.GetScanList(0, list, true);
    Json entries = Json::array();
    for (const config_otherwl_basic& entry : list) entries.push_back(ScanEntryJson(entry));
    return entries;
}

void PrintResult(bool sent, const ap_info_stu& record, const std::string& mac,
                 const std::string& unreachable, const std::optional<Json>& scan,
                 bool scan_complete) {
    const bool found = record.MacText() == mac;
    Json result = {
        {"sent", sent},
        {"found", found},
        {"row", found ? DeviceRowJson(MakeDeviceRow(record, unreachable)) : Json(nullptr)}};
    if (scan) {
        result["scan_complete"] = scan_complete;
        result["scan"] = *scan;
    }
    std::fputs(JsonDocument(result).c_str(), stdout);
    std::fflush(stdout);
}

// Sends one command the way a window does, keeps the engine running so that answers
// are handled and repetitions happen, then shows what the store says of the device.
// A survey is waited for only until it completes, and its entries are shown too.
int RunSend(const SendOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    if (o.discover_seconds > 0) session.Discover(o.discover_seconds);
    if (!o.pending_ip.empty()) session.Engine().SetPendingIp(o.mac, o.ip, o.pending_ip);
    const bool scan = o.type == MSG_SCAN_AP;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(o.wait_seconds);
    CCommEngine& engine = session.Engine();
    bool sent = engine.HasLocalAddressFor(o.ip);
    bool scan_complete = false;
    if (sent && scan) {
        scan_complete = RunSurvey(session, o, deadline);
    } else if (sent) {
        // Counted before the send: an answer may be handled before the send returns.
        const std::uint64_t seen = engine.WatchAnswers(o.ip, o.mac, OutcomeType(o.type));
        sent = engine.SendToDevice(o.ip, static_cast<std::uint16_t>(o.type), o.payload, o.mac,
                                   o.retransmit);
        if (sent) WaitForOutcome(session, o, seen, deadline);
    }
    // Watching what follows the answer, such as a device that moves on its own.
    if (sent && o.hold_seconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(o.hold_seconds));
    if (!sent) {
        const std::string reason = engine.UnreachableReason(o.ip);
        if (reason.empty())
            std::fprintf(stderr, "send: the command to %s could not leave this PC\n", o.ip.c_str());
        else
            std::fprintf(stderr, "send: %s\n", reason.c_str());
    }

    ap_info_stu record = ZeroRecord();
    session.Store().GetDevice(o.mac, record);
    PrintResult(sent, record, o.mac, engine.UnreachableReason(o.ip),
                scan ? std::optional<Json>(ScanJson(session.Store())) : std::nullopt,
                scan_complete);
    return sent ? kExitOk : kExitFailure;
}

}  // namespace

void AddSendCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<SendOptions>();
    CLI::App* command = cli.add_subcommand(
        "send",
        "send one command to one device, wait (at most --wait seconds) for its answer "
        "and print its stored row as JSON");
    command->add_option("--ip", o->ip, "the device's address")->required()->transform(Ipv4Text());
    AddMacOption(*command, o->mac);
    command->add_option("--type", o->type, "the message type")
        ->required()
        ->check(CLI::Range(1, 0xffff));
    command->add_option_function<std::string>(
        "--payload",
        [o](const std::string& text) {
            if (!ParseHex(text, o->payload))
                throw CLI::ValidationError("--payload",
                                           "hex bytes, at most " + std::to_string(kMaxPayload));
        },
        "the payload as hex bytes (blanks or colons between bytes allowed)");
    command->add_flag("--no-retransmit{false}", o->retransmit,
                      "send once, without the engine's repetitions");
    command->add_option("--wait", o->wait_seconds, "the longest wait for the answer, in seconds")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    command
        ->add_option("--discover-first", o->discover_seconds,
                     "search this many seconds before sending")
        ->check(CLI::NonNegativeNumber);
    command
        ->add_option("--set-pending-ip", o->pending_ip,
                     "the address the device moves to; the wait lasts until it reports from there")
        ->transform(Ipv4Text());
    command
        ->add_option("--hold", o->hold_seconds,
                     "keep the session this many seconds after the answer, watching what follows")
        ->check(CLI::NonNegativeNumber);
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunSend(*o); });
}

}  // namespace fk::cli
