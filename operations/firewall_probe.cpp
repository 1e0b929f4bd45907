#include "operations/firewall_probe.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

namespace fk {
namespace {

using Json = nlohmann::json;

// Jumps nest; a ruleset that loops must not make the walk loop.
constexpr int kMaxJumpDepth = 16;

enum class Verdict { None, Accept, Drop, Return };

struct Chain {
    std::string family;
    std::string table;
    std::string name;
    std::string hook;
    std::string policy;
    std::vector<Json> rules;  // each rule's "expr"
};

using ChainKey = std::tuple<std::string, std::string, std::string>;

bool Ipv4Family(const std::string& family) {
    return family == "ip" || family == "inet";
}

// Whether the value of a match (a number, a set of numbers and ranges, a range) holds `port`.
bool ValueHolds(const Json& value, std::uint16_t port) {
    if (value.is_number_integer()) return value.get<int>() == port;
    if (value.is_object() && value.contains("range")) {
        const Json& r = value["range"];
        return r.is_array() && r.size() == 2 && r[0].is_number() && r[1].is_number() &&
               r[0].get<int>() <= port && port <= r[1].get<int>();
    }
    if (value.is_object() && value.contains("set")) return ValueHolds(value["set"], port);
    if (value.is_array()) {
        for (const Json& item : value)
            if (ValueHolds(item, port)) return true;
    }
    return false;
}

bool ValueHoldsText(const Json& value, const std::string& text) {
    if (value.is_string()) return value.get<std::string>() == text;
    if (value.is_object() && value.contains("set")) return ValueHoldsText(value["set"], text);
    if (value.is_array()) {
        for (const Json& item : value)
            if (ValueHoldsText(item, text)) return true;
    }
    return false;
}

// What one match says of a new UDP datagram to `port`: true or false when it is about
// the protocol or the destination port, nothing when it is about anything else.
std::optional<bool> JudgeMatch(const Json& match, std::uint16_t port) {
    const std::string op = match.value("op", "==");
    const Json& left = match.contains("left") ? match["left"] : Json();
    const Json& right = match.contains("right") ? match["right"] : Json();
    std::optional<bool> holds;
    if (left.contains("payload")) {
        const Json& p = left["payload"];
        const std::string protocol = p.value("protocol", "");
        if (p.value("field", "") == "dport" && (protocol == "udp" || protocol == "th"))
            holds = ValueHolds(right, port);
        else if (p.value("field", "") == "protocol" && protocol == "ip")
            holds = ValueHoldsText(right, "udp");
    } else if (left.contains("meta") && left["meta"].value("key", "") == "l4proto") {
        holds = ValueHoldsText(right, "udp");
    }
    if (!holds) return std::nullopt;
    return op == "!=" ? !*holds : *holds;
}

struct RuleReading {
    bool applies = false;  // every match is known and holds
    Verdict verdict = Verdict::None;
    std::string jump;
};

RuleReading ReadRule(const Json& expressions, std::uint16_t port) {
    RuleReading reading;
    reading.applies = true;
    for (const Json& e : expressions) {
        if (e.contains("match")) {
            const std::optional<bool> judged = JudgeMatch(e["match"], port);
            if (!judged || !*judged) reading.applies = false;
        } else if (e.contains("accept")) {
            reading.verdict = Verdict::Accept;
        } else if (e.contains("drop") || e.contains("reject")) {
            reading.verdict = Verdict::Drop;
        } else if (e.contains("return")) {
            reading.verdict = Verdict::Return;
        } else if (e.contains("jump") || e.contains("goto")) {
            const Json& target = e.contains("jump") ? e["jump"] : e["goto"];
            reading.jump = target.value("target", "");
        }
    }
    return reading;
}

class CRulesetWalk {
  public:
    explicit CRulesetWalk(const Json& document) {
        if (!document.contains("nftables") || !document["nftables"].is_array()) return;
        for (const Json& item : document["nftables"]) {
            if (item.contains("chain")) AddChain(item["chain"]);
            if (item.contains("rule")) AddRule(item["rule"]);
        }
    }

    std::vector<const Chain*> InputChains() const {
        std::vector<const Chain*> out;
        for (const auto& [key, chain] : chains_)
            if (chain.hook == "input" && Ipv4Family(chain.family)) out.push_back(&chain);
        return out;
    }

    Verdict Walk(const Chain& chain, std::uint16_t port, int depth) const {
        if (depth > kMaxJumpDepth) return Verdict::None;
        for (const Json& rule : chain.rules) {
            const RuleReading r = ReadRule(rule, port);
            if (!r.applies) continue;
            if (!r.jump.empty()) {
                const auto target = chains_.find({chain.family, chain.table, r.jump});
                if (target == chains_.end()) continue;
                const Verdict inner = Walk(target->second, port, depth + 1);
                if (inner == Verdict::Accept || inner == Verdict::Drop) return inner;
                continue;
            }
            // A return in a base chain hands the datagram to the chain's policy.
            if (r.verdict == Verdict::Return && !chain.hook.empty()) break;
            if (r.verdict != Verdict::None) return r.verdict;
        }
        if (chain.hook.empty()) return Verdict::Return;
        return chain.policy == "drop" ? Verdict::Drop : Verdict::Accept;
    }

  private:
    void AddChain(const Json& c) {
        Chain chain{c.value("family", ""), c.value("table", ""),        c.value("name", ""),
                    c.value("hook", ""),   c.value("policy", "accept"), {}};
        chains_[{chain.family, chain.table, chain.name}] = std::move(chain);
    }

    void AddRule(const Json& r) {
        const auto chain =
            chains_.find({r.value("family", ""), r.value("table", ""), r.value("chain", "")});
        if (chain != chains_.end() && r.contains("expr")) chain->second.rules.push_back(r["expr"]);
    }

    std::map<ChainKey, Chain> chains_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard output of a fixed command line (never anything a user typed), bounded in
// time so a hung D-Bus cannot hang the report.
std::string CommandOutput(const std::string& command, int& status) {
    std::string out;
    std::FILE* pipe = popen(("timeout 5 " + command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
    status = pclose(pipe);
    return out;
}

bool HasLine(std::string_view text, std::string_view prefix, std::string_view word) {
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line))
        if (line.starts_with(prefix) && line.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace

std::vector<DroppedPort> NftDroppedPorts(std::string_view ruleset_json,
                                         std::span<const std::uint16_t> ports) {
    const Json document = Json::parse(ruleset_json, nullptr, false);
    if (document.is_discarded()) return {};
    const CRulesetWalk walk(document);
    std::vector<DroppedPort> dropped;
    for (const Chain* chain : walk.InputChains())
        for (std::uint16_t port : ports)
            if (walk.Walk(*chain, port, 0) == Verdict::Drop)
                dropped.push_back({port, chain->family + " " + chain->table + " " + chain->name});
    return dropped;
}

bool UfwEnabled(std::string_view ufw_conf) {
    return HasLine(ufw_conf, "ENABLED=yes", "");
}

bool UfwRulesAllowFieldkit(std::string_view user_rules) {
    return HasLine(user_rules, "### tuple ### allow", "fieldkit");
}

FirewallFacts ProbeFirewall(std::span<const std::uint16_t> ports) {
    FirewallFacts facts;
    int status = 0;
    const std::string ruleset = CommandOutput("nft -j list ruleset", status);
    facts.nft_readable = status == 0 && !ruleset.empty();
    if (facts.nft_readable) facts.nft_dropped = NftDroppedPorts(ruleset, ports);

    const std::string ufw_conf = ReadFile("/etc/ufw/ufw.conf");
    facts.ufw_active = UfwEnabled(ufw_conf);
    facts.ufw_allows_fieldkit = UfwRulesAllowFieldkit(ReadFile("/etc/ufw/user.rules"));

    const std::string state = CommandOutput("firewall-cmd --state", status);
    facts.firewalld_running = status == 0 && state.starts_with("running");
    if (facts.firewalld_running) {
        const std::string services = CommandOutput("firewall-cmd --list-services", status);
        facts.firewalld_allows_fieldkit = HasLine(services, "", "fieldkit");
    }
    return facts;
}

}  // namespace fk
