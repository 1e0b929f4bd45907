// The doctor's verdicts on made-up facts, and the readers of what the system says:
// /proc/net/udp, the nftables ruleset, ufw's files, a file capability and the text
// that tells an installer which address to add.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "operations/diagnosis.h"
#include "operations/diagnosis_probes.h"
#include "operations/firewall_probe.h"
#include "operations/port_holders.h"
#include "protocol/no_local_network.h"

namespace fk {
namespace {

adapter_info_stu Adapter(const std::string& name, const std::string& ip, const std::string& mask) {
    adapter_info_stu a;
    a.state = 1;
    a.name = name;
    a.addresses.push_back({ip, mask});
    return a;
}

DiagnosisFacts Healthy() {
    DiagnosisFacts f;
    f.adapters = {Adapter("eth0", "198.18.0.1", "255.255.255.0")};
    f.firewall.nft_readable = true;
    f.searched = true;
    f.radios_heard = 3;
    f.file_server = {"/usr/libexec/fieldkit/FileServer", true, true};
    return f;
}

// The line whose finding holds `part`, or null.
const DiagnosisLine* LineWith(const std::vector<DiagnosisLine>& lines, const std::string& part) {
    for (const DiagnosisLine& line : lines)
        if (line.finding.find(part) != std::string::npos) return &line;
    return nullptr;
}

TEST(Diagnose, JudgesEachCauseAndSaysTheFix) {
    using S = DiagnosisSeverity;
    const struct {
        const char* name;
        void (*change)(DiagnosisFacts&);
        std::string finding;
        S severity;
        std::string fix;
        bool blocks;
    } cases[] = {
        {"healthy", [](DiagnosisFacts&) {}, "eth0 is up with 198.18.0.1/24", S::Ok, "", false},
        {"no adapter", [](DiagnosisFacts& f) { f.adapters.clear(); },
         "No adapter is up with an IPv4 address.", S::Blocking, "Cable the PC", true},
        {"link-local only",
         [](DiagnosisFacts& f) {
             f.adapters.push_back(Adapter("eth1", "169.254.3.4", "255.255.0.0"));
         },
         "eth1 has only the link-local address 169.254.3.4/16", S::Note, "dev eth1", false},
        {"radio port held",
         [](DiagnosisFacts& f) {
             f.holders.push_back({9787, 4242, "python3"});
         },
         "UDP 9787 is held by python3 (pid 4242)", S::Blocking, "kill 4242", true},
        {"holder of another user",
         [](DiagnosisFacts& f) {
             f.holders.push_back({9785, 0, ""});
         },
         "UDP 9785 is held by a process of another user", S::Blocking, "end that program", true},
        {"file server port held",
         [](DiagnosisFacts& f) {
             f.holders.push_back({69, 77, "in.tftpd"});
         },
         "UDP 69 is held by in.tftpd (pid 77)", S::Note, "kill 77", false},
        {"nftables drops a radio port",
         [](DiagnosisFacts& f) {
             f.firewall.nft_dropped = {{9785, "inet t input"}};
         },
         "nftables chain inet t input drops UDP 9785", S::Blocking,
         "sudo nft insert rule inet t input udp dport", true},
        {"nftables drops only tftp",
         [](DiagnosisFacts& f) {
             f.firewall.nft_dropped = {{69, "ip filter INPUT"}};
         },
         "drops UDP 69", S::Note, "ip filter INPUT", false},
        {"nftables unreadable", [](DiagnosisFacts& f) { f.firewall.nft_readable = false; },
         "can be read only as root", S::Note, "sudo fieldkit-cli doctor", false},
        {"ufw without the profile", [](DiagnosisFacts& f) { f.firewall.ufw_active = true; },
         "ufw is active", S::Blocking, "sudo ufw allow fieldkit", true},
        {"firewalld without the service",
         [](DiagnosisFacts& f) { f.firewall.firewalld_running = true; }, "firewalld is running",
         S::Blocking, "--add-service=fieldkit", true},
        {"radio on a foreign subnet",
         [](DiagnosisFacts& f) {
             f.foreign.push_back({"02:46:4b:00:00:09", "192.168.1.20", "add one to eth0"});
         },
         "02:46:4b:00:00:09 answers from 192.168.1.20", S::Blocking, "add one to eth0", true},
        {"no search", [](DiagnosisFacts& f) { f.searched = false; }, "The search could not run",
         S::Blocking, "Free the ports", true},
        {"nothing heard", [](DiagnosisFacts& f) { f.radios_heard = 0; },
         "No radio answered the search.", S::Note, "power and cabling", false},
        {"file server without the capability",
         [](DiagnosisFacts& f) { f.file_server.can_bind_port = false; },
         "lacks the right to serve on port 69", S::Note,
         "sudo setcap cap_net_bind_service=+ep /usr/libexec/fieldkit/FileServer", false},
        {"file server missing", [](DiagnosisFacts& f) { f.file_server.exists = false; },
         "FileServer is missing", S::Note, "Reinstall", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DiagnosisFacts facts = Healthy();
        c.change(facts);
        const std::vector<DiagnosisLine> lines = Diagnose(facts);
        const DiagnosisLine* line = LineWith(lines, c.finding);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->severity, c.severity);
        EXPECT_NE(line->fix.find(c.fix), std::string::npos) << line->fix;
        EXPECT_EQ(AnyBlocking(lines), c.blocks);
    }
}

TEST(Diagnose, EveryPortHasALineFreeOrHeld) {
    DiagnosisFacts facts = Healthy();
    facts.holders.push_back({9788, 10, "nc"});
    const std::vector<DiagnosisLine> lines = Diagnose(facts);
    for (const char* free : {"UDP 9785 is free", "UDP 9787 is free", "UDP 69 is free"})
        EXPECT_NE(LineWith(lines, free), nullptr) << free;
    EXPECT_EQ(LineWith(lines, "UDP 9788 is free"), nullptr);
}

TEST(ProcNetUdp, ReadsPortAndInodeOfEachSocket) {
    const std::string text =
        "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode ref pointer drops\n"
        "  101: 00000000:2651 00000000:0000 07 00000000:00000000 00:00000000 00000000     0     "
        "   0 31337 2 0000000000000000 0\n"
        "  102: 0100007F:0045 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000     "
        "   0 42 2 0000000000000000 0\n"
        "  103: 00000000000000000000000000000000:2654 00000000000000000000000000000000:0000 07 "
        "00000000:00000000 00:00000000 00000000     0        0 7 2 0000000000000000 0\n"
        "  104: garbage\n"
        "  105: 00000000:ZZZZ 00000000:0000 07 00000000:00000000 00:00000000 00000000 0 0 9 2\n";
    const std::vector<UdpSocketEntry> sockets = ParseProcNetUdp(text);
    ASSERT_EQ(sockets.size(), 3u);
    const UdpSocketEntry expected[] = {{9809, 31337}, {69, 42}, {9812, 7}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sockets[i].port, expected[i].port) << i;
        EXPECT_EQ(sockets[i].inode, expected[i].inode) << i;
    }
}

// One input chain of family inet, table t, with `policy` and the rules' expressions.
std::string Ruleset(const std::string& policy, const std::vector<std::string>& rules,
                    const std::string& hook = "input", const std::string& extra = "") {
    std::string json = R"({"nftables":[{"metainfo":{"json_schema_version":1}},)"
                       R"({"table":{"family":"inet","name":"t","handle":1}},)"
                       R"({"chain":{"family":"inet","table":"t","name":"c","handle":1,)"
                       R"("type":"filter","hook":")" +
                       hook + R"(","prio":0,"policy":")" + policy + R"("}})" + extra;
    int handle = 2;
    for (const std::string& expr : rules)
        json += R"(,{"rule":{"family":"inet","table":"t","chain":"c","handle":)" +
                std::to_string(handle++) + R"(,"expr":)" + expr + "}}";
    return json + "]}";
}

const std::string kDport9785Drop =
    R"([{"match":{"op":"==","left":{"payload":{"protocol":"udp","field":"dport"}},"right":9785}},{"drop":null}])";
const std::string kSetAccept =
    R"([{"match":{"op":"==","left":{"payload":{"protocol":"udp","field":"dport"}},"right":{"set":[9785,9787,{"range":[9788,9790]}]}}},{"accept":null}])";
const std::string kFromLanAccept =
    R"([{"match":{"op":"==","left":{"meta":{"key":"iifname"}},"right":"eth0"}},{"accept":null}])";
const std::string kJumpToRadios =
    R"([{"match":{"op":"==","left":{"meta":{"key":"l4proto"}},"right":"udp"}},{"jump":{"target":"radios"}}])";

TEST(NftRuleset, FindsTheChainsThatDropEachPort) {
    const std::vector<std::uint16_t> ports = {9785, 9787, 9788, 69};
    const std::string radios_chain =
        R"(,{"chain":{"family":"inet","table":"t","name":"radios","handle":9}})"
        R"(,{"rule":{"family":"inet","table":"t","chain":"radios","handle":10,"expr":)" +
        kDport9785Drop + "}}";
    const struct {
        const char* name;
        std::string json;
        std::vector<std::uint16_t> dropped;
    } cases[] = {
        {"accept policy, no rules", Ruleset("accept", {}), {}},
        {"a drop rule for one port", Ruleset("accept", {kDport9785Drop}), {9785}},
        {"drop policy, a set accepted first", Ruleset("drop", {kSetAccept}), {69}},
        {"accept before drop wins", Ruleset("accept", {kSetAccept, kDport9785Drop}), {}},
        // An interface match may or may not meet the radios: it is not judged.
        {"conditional accept, drop policy",
         Ruleset("drop", {kFromLanAccept}),
         {9785, 9787, 9788, 69}},
        {"drop in a jumped-to chain",
         Ruleset("accept", {kJumpToRadios}, "input", radios_chain),
         {9785}},
        {"an output chain is not in the way", Ruleset("drop", {}, "output"), {}},
        {"not JSON", "nft: permission denied", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint16_t> got;
        for (const DroppedPort& d : NftDroppedPorts(c.json, ports)) {
            EXPECT_EQ(d.chain, "inet t c");
            got.push_back(d.port);
        }
        EXPECT_EQ(got, c.dropped);
    }
}

TEST(Ufw, ReadsWhetherItIsOnAndAllowsTheProfile) {
    EXPECT_TRUE(UfwEnabled("# comment\nENABLED=yes\nLOGLEVEL=low\n"));
    EXPECT_FALSE(UfwEnabled("ENABLED=no\n"));
    EXPECT_FALSE(UfwEnabled(""));
    EXPECT_TRUE(
        UfwRulesAllowFieldkit("*filter\n### tuple ### allow udp 9785,9787,9788,69 0.0.0.0/0 any "
                              "0.0.0.0/0 fieldkit - in\n"));
    EXPECT_FALSE(UfwRulesAllowFieldkit(
        "### tuple ### deny udp 9785 0.0.0.0/0 any 0.0.0.0/0 fieldkit - in\n"));
    EXPECT_FALSE(UfwRulesAllowFieldkit("### tuple ### allow tcp 22 0.0.0.0/0 any 0.0.0.0/0 in\n"));
}

TEST(FileCapability, GrantsBindOnlyWithTheBitInThePermittedSet) {
    const struct {
        std::vector<std::uint8_t> attribute;
        bool allows;
    } cases[] = {
        // revision 2, effective flag, permitted = 1 << 10
        {{0x01, 0x00, 0x00, 0x02, 0x00, 0x04, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         true},
        // revision 3 (namespaced) the same
        {{0x01, 0x00, 0x00, 0x03, 0x00, 0x04, 0x00, 0x00, 0, 0, 0, 0,
          0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0},
         true},
        // cap_net_raw (13) only
        {{0x01, 0x00, 0x00, 0x02, 0x00, 0x20, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         false},
        // an unknown revision
        {{0x00, 0x00, 0x00, 0x07, 0x00, 0x04, 0x00, 0x00}, false},
        // cut short
        {{0x01, 0x00, 0x00, 0x02, 0x00}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(CapabilityAllowsBind(c.attribute), c.allows);
}

TEST(NoLocalNetwork, NamesTheSubnetTheAdapterAndAnAddressToAdd) {
    const struct {
        const char* ip;
        const char* adapter;
        const char* text;
    } cases[] = {
        {"192.168.1.20", "eth0",
         "This PC has no address in 192.168.1.0/24; add one to eth0, for example "
         "192.168.1.250/24"},
        {"10.0.7.250", "enp3s0",
         "This PC has no address in 10.0.7.0/24; add one to enp3s0, for example 10.0.7.251/24"},
        {"172.16.4.1", "",
         "This PC has no address in 172.16.4.0/24; add one to the adapter the radio is cabled "
         "to, for example 172.16.4.250/24"},
    };
    for (const auto& c : cases) EXPECT_EQ(NoLocalNetworkText(c.ip, c.adapter), c.text);
}

}  // namespace
}  // namespace fk
