// `bridge`: the bridge wizard without a desktop. The radio is searched for and gated on
// its mode switch as the bridge page does, surveyed as the wizard's first step does,
// every step is preset from the chosen access point and the radio's record, the flags
// replace what a user would type, and the steps' rules decide before anything is sent.
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/engine_session.h"
#include "app/cli/message_names.h"
#include "config/channel_list.h"
#include "operations/bridge_wizard.h"
#include "operations/send_and_wait.h"
#include "protocol/address_text.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

struct BridgeOptions {
    SessionOptions session;
    std::string mac;
    std::string ap;
    int seconds = 10;
    bool dry_run = false;
    std::optional<std::string> ssid, channel, security, cipher, key, key_interval, key_type,
        wep_auth;
    std::optional<int> wep_default;
    std::optional<std::string> ip, mask, gateway, dns1, dns2;
};

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::string CipherName(int cipher) {
    return cipher == kCipherAes ? "AES" : cipher == kCipherTkip ? "TKIP" : "TKIP&AES";
}

// Each returns empty when the flag found its input, else the refusal to print: a
// value the step's list or field would not let a user choose or type.
std::string ApplyChannel(const ap_info_stu& record, const config_otherwl_basic& ap,
                         const std::string& value, BridgeSecurityInput& in) {
    const std::vector<int> offered = BridgeChannels(record, ap.channel);
    std::vector<std::string> names;
    for (int channel : offered) {
        const std::string name = channel == 0 ? "Auto" : std::to_string(channel);
        if (name == value) {
            in.channel = channel;
            return {};
        }
        names.push_back(name);
    }
    return "--channel " + value + " is not offered for this radio; offered: " + Join(names);
}

std::string ApplySecurity(const std::string& value, BridgeSecurityInput& in) {
    std::vector<std::string> names;
    for (const BridgeSecurityEntry& entry : BridgeSecurityEntries()) {
        if (value == entry.key) {
            in.security = entry.code;
            // The step moves a choice WPA-PSK cannot take to AES.
            if (IsPskSecurity(in.security) && !CipherOffered(in.security, in.cipher))
                in.cipher = kCipherAes;
            return {};
        }
        names.push_back(entry.key);
    }
    return "--security is one of " + Join(names);
}

std::string ApplyCipher(const std::string& value, BridgeSecurityInput& in) {
    if (!IsPskSecurity(in.security)) return "--cipher: the chosen security has no cipher";
    std::vector<std::string> names;
    for (int cipher : {kCipherAes, kCipherTkip, kCipherTkipAes}) {
        if (!CipherOffered(in.security, cipher)) continue;
        if (value == CipherName(cipher)) {
            in.cipher = cipher;
            return {};
        }
        names.push_back(CipherName(cipher));
    }
    return "--cipher " + value + " is not offered with this security; offered: " + Join(names);
}

std::string ApplyKeyFlags(const BridgeOptions& o, BridgeSecurityInput& in) {
    const bool psk = IsPskSecurity(in.security);
    const bool wep = in.security == kBridgeWep;
    if (o.key_interval && !psk) return "--key-interval: the chosen security has no key renewal";
    if (o.key_interval) {
        const std::string& v = *o.key_interval;
        if (v.empty() || v.size() > kKeyTimeDigits ||
            v.find_first_not_of("0123456789") != std::string::npos)
            return "--key-interval takes at most five digits";
        in.key_time = v;
    }
    if ((o.key_type || o.wep_default || o.wep_auth) && !wep)
        return "--key-type, --wep-default and --wep-auth go with --security WEP";
    if (o.wep_auth) {
        if (*o.wep_auth != "Open" && *o.wep_auth != "Share") return "--wep-auth is Open or Share";
        in.wep.auth_type = *o.wep_auth == "Share" ? 1 : 0;
    }
    if (o.wep_default) in.wep.default_key = *o.wep_default;
    const std::size_t slot = static_cast<std::size_t>(in.wep.default_key - 1);
    if (o.key_type) {
        if (*o.key_type != "ASCII" && *o.key_type != "Hex") return "--key-type is ASCII or Hex";
        in.wep.types[slot] = *o.key_type == "Hex" ? kWepHex : kWepAscii;
    }
    if (o.key) {
        if (!psk && !wep) return "--key: the chosen security has no key";
        if (psk) in.key = *o.key;
        if (wep) in.wep.keys[slot] = *o.key;
    }
    return {};
}

std::string ApplySecurityFlags(const ap_info_stu& record, const config_otherwl_basic& ap,
                               const BridgeOptions& o, BridgeSecurityInput& in) {
    if (o.ssid) in.ssid = *o.ssid;
    std::string refused;
    if (o.channel) refused = ApplyChannel(record, ap, *o.channel, in);
    if (refused.empty() && o.security) refused = ApplySecurity(*o.security, in);
    if (refused.empty() && o.cipher) refused = ApplyCipher(*o.cipher, in);
    if (refused.empty()) refused = ApplyKeyFlags(o, in);
    return refused;
}

void ApplyIpFlags(const BridgeOptions& o, BridgeIpInput& in) {
    const std::pair<const std::optional<std::string>*, std::string*> fields[] = {
        {&o.ip, &in.ip},     {&o.mask, &in.mask}, {&o.gateway, &in.gateway},
        {&o.dns1, &in.dns1}, {&o.dns2, &in.dns2},
    };
    for (const auto& [flag, field] : fields)
        if (*flag) *field = **flag;
}

int Refuse(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return kExitRefused;
}

// Waits as long as the engine repeats the command; the answer is handled, its status
// stored, before the wait ends.
bool WaitForBridgeAnswer(EngineSession& session, const FlowCommand& command, std::uint64_t seen) {
    const auto deadline = session.AnswerDeadline(std::chrono::steady_clock::now());
    return session.Engine().WaitForAnswer(command.ip, command.mac, command.type, seen, deadline);
}

int RunBridge(const BridgeOptions& o) {
    EngineSession session;
    if (!session.Open(o.session)) return kExitFailure;
    ap_info_stu record = ZeroRecord();
    if (!session.FindDevice(o.mac, o.seconds, "bridge", record)) return kExitFailure;
    if (!ModeSwitchAllowsBridge(record)) return Refuse(Translate(kMsgModeSwitch));

    const std::string ip = record.IpText();
    session.Survey(ip, o.mac);
    config_otherwl_basic ap{};
    // The query succeeds for a MAC the table lacks too; only a row of that MAC counts.
    const bool heard = session.Store().GetScanEntry(o.ap, ap) && MacBytesToText(ap.mac) == o.ap;
    session.Store().ClearScanResults();
    if (!heard) {
        std::fprintf(stderr, "bridge: %s did not hear %s in its survey\n", o.mac.c_str(),
                     o.ap.c_str());
        return kExitFailure;
    }

    BridgeSecurityInput security = PresetSecurityStep(record, ap, BridgeSecurityInput{});
    const std::string refused = ApplySecurityFlags(record, ap, o, security);
    if (!refused.empty()) return Refuse(refused);
    const BridgeSecurityResult step1 = CheckSecurityStep(record, ap, security);
    if (step1.rejection) return Refuse(step1.rejection->text);

    BridgeIpInput addresses = PresetIpStep(record);
    ApplyIpFlags(o, addresses);
    std::vector<std::string> stored_ips;
    session.Store().GetAllIps(stored_ips);
    const BridgeIpResult step2 = CheckIpStep(record, addresses, stored_ips);
    if (step2.rejection) return Refuse(step2.rejection->text);

    const FlowCommand command = BridgeCommand(ip, o.mac, BridgePayload(step1.block, step2.block));
    if (o.dry_run) {
        std::printf("%s %zu %s\n", MessageTypeName(command.type).c_str(), command.payload.size(),
                    HexText(command.payload).c_str());
        std::fflush(stdout);
        return kExitOk;
    }
    // Counted before the send: the answer may be handled before the send returns.
    const std::uint64_t seen = session.Engine().WatchAnswers(ip, o.mac, command.type);
    CSendAndWait save({command}, std::nullopt);
    session.Run(save);
    if (!WaitForBridgeAnswer(session, command, seen)) {
        std::fprintf(stderr, "bridge: %s did not answer\n", o.mac.c_str());
        return kExitFailure;
    }
    const int status = session.Store().GetStatus(o.mac);
    std::printf("%s\n", StatusName(status).c_str());
    std::fflush(stdout);
    return status == STATUS_BRIDGE_SUCCESS ? kExitOk : kExitFailure;
}

}  // namespace

void AddBridgeCommand(CLI::App& cli, CCommandTable& table) {
    auto o = std::make_shared<BridgeOptions>();
    CLI::App* command = cli.add_subcommand(
        "bridge",
        "make one radio a station of an access point it hears, as the bridge wizard "
        "does (exit 3: refused, 1: no answer or \"Bridge fail\")");
    AddMacOption(*command, o->mac);
    AddMacOption(*command, o->ap, "--ap", "the access point to join, as the survey lists it");
    const std::pair<const char*, std::optional<std::string>*> texts[] = {
        {"--ssid", &o->ssid},         {"--channel", &o->channel},
        {"--security", &o->security}, {"--cipher", &o->cipher},
        {"--key", &o->key},           {"--key-interval", &o->key_interval},
        {"--key-type", &o->key_type}, {"--wep-auth", &o->wep_auth},
    };
    const char* const helps[] = {"the network name (default: the access point's)",
                                 "a channel number or Auto",
                                 "None|WEP|WPA-PSK|WPA2-PSK|\"Mixed WPA/WPA2-PSK\"",
                                 "AES|TKIP|TKIP&AES",
                                 "the pass phrase or WEP key",
                                 "the group key interval in seconds",
                                 "ASCII|Hex: the WEP key's form",
                                 "Open|Share"};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        command->add_option(texts[i].first, *texts[i].second, helps[i])->group("Security step");
    command->add_option("--wep-default", o->wep_default, "the WEP key in use")
        ->check(CLI::Range(1, 4))
        ->group("Security step");
    const std::pair<const char*, std::optional<std::string>*> addresses[] = {
        {"--ip", &o->ip},
        {"--mask", &o->mask},
        {"--gateway", &o->gateway},
        {"--dns1", &o->dns1},
        {"--dns2", &o->dns2}};
    for (const auto& [name, slot] : addresses) {
        const bool may_be_empty = std::string(name) != "--ip" && std::string(name) != "--mask";
        command->add_option(name, *slot, "the station's address setting")
            ->transform(may_be_empty ? Ipv4TextOrEmpty() : Ipv4Text())
            ->group("Address step");
    }
    command->add_flag("--dry-run", o->dry_run, "print the command's bytes instead of sending");
    AddSecondsOption(*command, o->seconds, "the longest search for the radio");
    AddSessionOptions(*command, o->session);
    table.Add(command, [o] { return RunBridge(*o); });
}

}  // namespace fk::cli
