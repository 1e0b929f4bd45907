// "Why isn't my radio here?": what the PC looks like from the radios' side, turned into
// one line per check with its finding and the fix. The facts are gathered elsewhere
// (diagnosis_probes); this file only judges them, so every verdict is testable with
// made-up facts. `fieldkit-cli doctor` and the system tool page's "Diagnose" show the
// same lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/adapter_source.h"

namespace fk {

// The radios' ports: announcements, keep-alives and commands, answers; then the file
// server's, which only upgrades need.
inline constexpr std::uint16_t kRadioPorts[] = {9785, 9787, 9788};
inline constexpr std::uint16_t kFileServerPort = 69;

enum class DiagnosisSeverity {
    Ok,
    Note,      // worth knowing; it does not keep a radio from being found or told
    Blocking,  // stands between the PC and a radio
};

struct DiagnosisLine {
    std::string check;  // "Adapters", "Ports", "Firewall", "Radios", "File server"
    DiagnosisSeverity severity = DiagnosisSeverity::Ok;
    std::string finding;
    std::string fix;  // empty when there is nothing to do
};

// A socket of another program on one of the ports.
struct PortHolder {
    std::uint16_t port = 0;
    int pid = 0;  // 0 when no process could be named (another user's, without root)
    std::string process;
};

// An input chain's verdict on datagrams to one port.
struct DroppedPort {
    std::uint16_t port = 0;
    std::string chain;  // "inet filter input"
};

struct FirewallFacts {
    bool nft_readable = false;  // the ruleset could be listed (as root)
    std::vector<DroppedPort> nft_dropped;
    bool ufw_active = false;
    bool ufw_allows_fieldkit = false;
    bool firewalld_running = false;
    bool firewalld_allows_fieldkit = false;
};

struct ForeignRadio {
    std::string mac;
    std::string ip;
    std::string reason;  // the subnet, the adapter and the address to add
};

struct FileServerFacts {
    std::string path;
    bool exists = false;
    bool can_bind_port = false;  // has cap_net_bind_service
};

struct DiagnosisFacts {
    std::vector<adapter_info_stu> adapters;
    std::vector<PortHolder> holders;
    FirewallFacts firewall;
    bool searched = false;  // the engine could open its ports and search
    int radios_heard = 0;
    std::vector<ForeignRadio> foreign;
    FileServerFacts file_server;
};

std::vector<DiagnosisLine> Diagnose(const DiagnosisFacts& facts);
// Whether any line stands between the PC and a radio.
bool AnyBlocking(const std::vector<DiagnosisLine>& lines);
// "ok", "note", "blocking".
const char* SeverityName(DiagnosisSeverity severity);

}  // namespace fk
