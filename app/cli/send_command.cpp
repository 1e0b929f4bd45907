#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/device_rows.h"
#include "app/cli/engine_session.h"
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
    int type = -1;
    std::vector<std::uint8_t> payload;
    bool retransmit = true;
    int wait_seconds = 3;
    int discover_seconds = 0;
    int hold_seconds = 0;
    std::string pending_ip;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Pairs of hex digits; blanks and colons between bytes are allowed.
bool ParseHex(const std::string& text, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':') {
            if (high >= 0) return false;
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    return high < 0 && bytes.size() <= kMaxPayload;
}

bool IsIpText(const std::string& text) {
    std::uint32_t ignored = 0;
    return ParseIpv4(text, ignored);
}

// Returns an empty text when the option was understood, else what was wrong.
std::string TakeSendOption(const CommandArgs& args, std::size_t& i, SendOptions& o) {
    std::string value;
    bool missing = false;
    const auto take = [&](const char* name) { return TakeValue(args, i, name, value, missing); };
    if (args[i] == "--no-retransmit") {
        o.retransmit = false;
        return {};
    }
    if (take("--ip")) {
        o.ip = value;
        return missing || !IsIpText(value) ? "--ip needs an address like 198.18.0.20" : "";
    }
    if (take("--mac")) {
        return missing || !ParseMacText(value, o.mac) ? "--mac needs a MAC like 00:11:22:33:44:55"
                                                      : "";
    }
    if (take("--type")) {
        return missing || !ParseCount(value, o.type) || o.type < 1 || o.type > 0xffff
                   ? "--type needs a message type from 1 to 65535"
                   : "";
    }
    if (take("--payload")) {
        return missing || !ParseHex(value, o.payload) ? "--payload needs hex bytes, at most " +
                                                            std::to_string(kMaxPayload) + " of them"
                                                      : "";
    }
    if (take("--wait")) {
        return missing || !ParseCount(value, o.wait_seconds) ? "--wait needs seconds" : "";
    }
    if (take("--hold")) {
        return missing || !ParseCount(value, o.hold_seconds) ? "--hold needs seconds" : "";
    }
    if (take("--discover-first")) {
        return missing || !ParseCount(value, o.discover_seconds) ? "--discover-first needs seconds"
                                                                 : "";
    }
    if (take("--set-pending-ip")) {
        o.pending_ip = value;
        return missing || !IsIpText(value) ? "--set-pending-ip needs an address" : "";
    }
    return "unexpected argument '" + args[i] + "'";
}

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

std::string ScanJson(CSqlManagement& store, bool complete) {
    std::vector<config_otherwl_basic> list;
    store.GetScanList(0, list, true);
    std::string out =
        std::string(", \"scan_complete\": ") + (complete ? "true" : "false") + ", \"scan\": [";
    for (std::size_t i = 0; i < list.size(); ++i) out += (i ? ", " : "") + ScanEntryJson(list[i]);
    return out + "]";
}

void PrintResult(bool sent, bool found, const ap_info_stu& record, const std::string& extra) {
    std::string out = std::string("{\"sent\": ") + (sent ? "true" : "false") +
                      ", \"found\": " + (found ? "true" : "false") + ", \"row\": ";
    out += found ? DeviceRowJson(MakeDeviceRow(record)) : "null";
    std::printf("%s%s}\n", out.c_str(), extra.c_str());
    std::fflush(stdout);
}

}  // namespace

// Sends one command the way a window does, keeps the engine running so that answers
// are handled and repetitions happen, then shows what the store says of the device.
// A survey is waited for only until it completes, and its entries are shown too.
int RunSendCommand(const CommandArgs& args) {
    SendOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (!TakeSessionOption(args, i, o.session, error)) error = TakeSendOption(args, i, o);
        if (!error.empty()) {
            std::fprintf(stderr, "send: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    if (o.ip.empty() || o.mac.empty() || o.type < 0) {
        std::fprintf(stderr, "send: --ip, --mac and --type are required\n");
        return kExitUsage;
    }

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
        const std::uint64_t seen = engine.AnswerCount(o.ip, o.mac, OutcomeType(o.type));
        sent = engine.SendToDevice(o.ip, static_cast<std::uint16_t>(o.type), o.payload, o.mac,
                                   o.retransmit);
        if (sent) WaitForOutcome(session, o, seen, deadline);
    }
    // Watching what follows the answer, such as a device that moves on its own.
    if (sent && o.hold_seconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(o.hold_seconds));
    if (!sent) {
        std::fprintf(stderr, "send: no local address shares a subnet with %s\n", o.ip.c_str());
    }

    ap_info_stu record = ZeroRecord();
    session.Store().GetDevice(o.mac, record);
    PrintResult(sent, record.MacText() == o.mac, record,
                scan ? ScanJson(session.Store(), scan_complete) : "");
    return sent ? kExitOk : kExitFailure;
}

}  // namespace fk::cli
