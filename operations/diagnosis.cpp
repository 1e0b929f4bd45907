#include "operations/diagnosis.h"

#include <algorithm>
#include <bit>
#include <initializer_list>

#include "app/language.h"
#include "protocol/address_text.h"

namespace fk {
namespace {

using Severity = DiagnosisSeverity;

// A language-pack text with {1}, {2}, … put in; a translator may reorder them.
std::string Put(std::string text, std::initializer_list<std::string> values) {
    int n = 1;
    for (const std::string& value : values) {
        const std::string mark = "{" + std::to_string(n++) + "}";
        for (std::size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + value.size()))
            text.replace(at, mark.size(), value);
    }
    return text;
}

std::string Fill(const char* key, std::initializer_list<std::string> values) {
    return Put(Translate(key), values);
}

DiagnosisLine Line(const char* check, Severity severity, std::string finding,
                   std::string fix = {}) {
    return {Translate(check), severity, std::move(finding), std::move(fix)};
}

bool IsLinkLocal(const std::string& ip) {
    const Ipv4Octets o = IpTextToOctets(ip);
    return o[0] == 169 && o[1] == 254;
}

std::string WithPrefix(const adapter_addr_stu& address) {
    const int bits = std::popcount(HostOrderOf(IpTextToOctets(address.mask)));
    return address.ip + "/" + std::to_string(bits);
}

std::string AddressList(const adapter_info_stu& adapter) {
    std::string text;
    for (const adapter_addr_stu& a : adapter.addresses)
        text += (text.empty() ? "" : ", ") + WithPrefix(a);
    return text;
}

void CheckAdapters(const DiagnosisFacts& facts, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("Adapters");
    if (facts.adapters.empty()) {
        out.push_back(Line(kCheck, Severity::Blocking,
                           Translate("No adapter is up with an IPv4 address."),
                           Translate("Cable the PC to the radios' network and give that adapter "
                                     "an address in the radios' subnet.")));
        return;
    }
    for (const adapter_info_stu& adapter : facts.adapters) {
        const bool link_local_only =
            std::all_of(adapter.addresses.begin(), adapter.addresses.end(),
                        [](const adapter_addr_stu& a) { return IsLinkLocal(a.ip); });
        if (link_local_only) {
            out.push_back(Line(
                kCheck, Severity::Note,
                Fill(FK_TR("{1} has only the link-local address {2}: no address was handed out "
                           "there."),
                     {adapter.name, AddressList(adapter)}),
                Fill(FK_TR("Give {1} an address in the radios' subnet, for example: sudo ip addr "
                           "add 192.168.1.250/24 dev {1}"),
                     {adapter.name})));
            continue;
        }
        out.push_back(
            Line(kCheck, Severity::Ok,
                 Fill(FK_TR("{1} is up with {2}"), {adapter.name, AddressList(adapter)})));
    }
}

std::string HolderText(const PortHolder& holder) {
    if (holder.pid == 0) return Translate("a process of another user");
    return holder.process + " (pid " + std::to_string(holder.pid) + ")";
}

void CheckPort(const DiagnosisFacts& facts, std::uint16_t port, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("Ports");
    const std::string name = "UDP " + std::to_string(port);
    const bool upgrade_only = port == kFileServerPort;
    bool held = false;
    for (const PortHolder& holder : facts.holders) {
        if (holder.port != port) continue;
        held = true;
        const std::string by = HolderText(holder);
        const std::string stop =
            holder.pid == 0 ? Translate("end that program") : "kill " + std::to_string(holder.pid);
        out.push_back(
            upgrade_only
                ? Line(kCheck, Severity::Note,
                       Fill(FK_TR("{1} is held by {2}: the file server cannot serve upgrades."),
                            {name, by}),
                       Fill(FK_TR("Stop that server before an upgrade ({1})."), {stop}))
                : Line(kCheck, Severity::Blocking,
                       Fill(FK_TR("{1} is held by {2}, which takes the radios' datagrams."),
                            {name, by}),
                       Fill(FK_TR("End it ({1}) or move it off {2}."), {stop, name})));
    }
    if (!held) out.push_back(Line(kCheck, Severity::Ok, Fill(FK_TR("{1} is free"), {name})));
}

std::string PortsText(const std::vector<std::uint16_t>& ports) {
    std::string text;
    for (std::uint16_t p : ports) text += (text.empty() ? "" : ", ") + std::to_string(p);
    return text;
}

void CheckNftables(const FirewallFacts& f, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("Firewall");
    if (!f.nft_readable) {
        out.push_back(Line(kCheck, Severity::Note,
                           Translate("The nftables rules can be read only as root."),
                           Translate("Run sudo fieldkit-cli doctor to check them.")));
        return;
    }
    if (f.nft_dropped.empty()) {
        out.push_back(
            Line(kCheck, Severity::Ok, Translate("nftables lets UDP 9785, 9787, 9788 and 69 in")));
        return;
    }
    std::vector<std::string> chains;
    for (const DroppedPort& d : f.nft_dropped)
        if (std::find(chains.begin(), chains.end(), d.chain) == chains.end())
            chains.push_back(d.chain);
    for (const std::string& chain : chains) {
        std::vector<std::uint16_t> ports;
        bool blocks = false;
        for (const DroppedPort& d : f.nft_dropped) {
            if (d.chain != chain) continue;
            ports.push_back(d.port);
            blocks = blocks || d.port != kFileServerPort;
        }
        out.push_back(Line(
            kCheck, blocks ? Severity::Blocking : Severity::Note,
            Fill(FK_TR("nftables chain {1} drops UDP {2} coming in."), {chain, PortsText(ports)}),
            Put("sudo nft insert rule {1} udp dport { 9785, 9787, 9788, 69 } accept", {chain})));
    }
}

void CheckFrontEnds(const FirewallFacts& f, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("Firewall");
    if (f.ufw_active && !f.ufw_allows_fieldkit)
        out.push_back(Line(kCheck, Severity::Blocking,
                           Translate("ufw is active and does not allow the fieldkit profile."),
                           "sudo ufw allow fieldkit"));
    else if (f.ufw_active)
        out.push_back(Line(kCheck, Severity::Ok, Translate("ufw allows the fieldkit profile")));
    if (f.firewalld_running && !f.firewalld_allows_fieldkit)
        out.push_back(Line(kCheck, Severity::Blocking,
                           Translate("firewalld is running without the fieldkit service."),
                           "sudo firewall-cmd --permanent --add-service=fieldkit && sudo "
                           "firewall-cmd --reload"));
    else if (f.firewalld_running)
        out.push_back(
            Line(kCheck, Severity::Ok, Translate("firewalld allows the fieldkit service")));
}

void CheckRadios(const DiagnosisFacts& facts, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("Radios");
    for (const ForeignRadio& radio : facts.foreign)
        out.push_back(
            Line(kCheck, Severity::Blocking,
                 Fill(FK_TR("{1} answers from {2}, a subnet no address of this PC is in."),
                      {radio.mac, radio.ip}),
                 radio.reason));
    if (!facts.foreign.empty()) return;
    if (!facts.searched) {
        out.push_back(Line(kCheck, Severity::Blocking,
                           Translate("The search could not run: the radio ports could not be "
                                     "opened."),
                           Translate("Free the ports named above.")));
        return;
    }
    if (facts.radios_heard == 0) {
        out.push_back(Line(kCheck, Severity::Note, Translate("No radio answered the search."),
                           Translate("Check the radios' power and cabling, and the lines above.")));
        return;
    }
    out.push_back(Line(kCheck, Severity::Ok,
                       Fill(FK_TR("{1} radios answered, each in a local network"),
                            {std::to_string(facts.radios_heard)})));
}

void CheckFileServer(const FileServerFacts& f, std::vector<DiagnosisLine>& out) {
    constexpr const char* kCheck = FK_TR("File server");
    if (!f.exists) {
        out.push_back(Line(kCheck, Severity::Note,
                           Fill(FK_TR("{1} is missing: upgrades cannot start."), {f.path}),
                           Translate("Reinstall Fieldkit.")));
        return;
    }
    if (!f.can_bind_port) {
        out.push_back(
            Line(kCheck, Severity::Note,
                 Fill(FK_TR("{1} lacks the right to serve on port 69: upgrades cannot start."),
                      {f.path}),
                 "sudo setcap cap_net_bind_service=+ep " + f.path));
        return;
    }
    out.push_back(Line(kCheck, Severity::Ok, Fill(FK_TR("{1} may serve on port 69"), {f.path})));
}

}  // namespace

std::vector<DiagnosisLine> Diagnose(const DiagnosisFacts& facts) {
    std::vector<DiagnosisLine> lines;
    CheckAdapters(facts, lines);
    for (std::uint16_t port : kRadioPorts) CheckPort(facts, port, lines);
    CheckPort(facts, kFileServerPort, lines);
    CheckNftables(facts.firewall, lines);
    CheckFrontEnds(facts.firewall, lines);
    CheckRadios(facts, lines);
    CheckFileServer(facts.file_server, lines);
    return lines;
}

bool AnyBlocking(const std::vector<DiagnosisLine>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const DiagnosisLine& line) {
        return line.severity == DiagnosisSeverity::Blocking;
    });
}

const char* SeverityName(DiagnosisSeverity severity) {
    switch (severity) {
        case DiagnosisSeverity::Ok:
            return "ok";
        case DiagnosisSeverity::Note:
            return "note";
        case DiagnosisSeverity::Blocking:
            return "blocking";
    }
    return "";
}

}  // namespace fk
