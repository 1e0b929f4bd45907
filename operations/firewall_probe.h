// Whether a host firewall would drop the radios' datagrams. As root the nftables
// ruleset itself is read (`nft -j list ruleset`, which also holds what ufw, firewalld
// and iptables-nft put there) and walked for a datagram to each port; as any user only
// the front ends' state can be read: ufw's configuration files and firewalld's answer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "operations/diagnosis.h"

namespace fk {

// For each of `ports`, the IPv4 input chains of the ruleset (nft's JSON) that would
// drop a new UDP datagram to it from anywhere: a drop or reject rule that matches it,
// or a drop policy no accept rule before it lets it past. Rules that also match on
// something else (an interface, a source, a connection state) are not judged: they
// may or may not meet a radio's datagram. Unreadable JSON drops nothing.
std::vector<DroppedPort> NftDroppedPorts(std::string_view ruleset_json,
                                         std::span<const std::uint16_t> ports);

// ufw is on when its configuration says ENABLED=yes; the fieldkit profile is allowed
// when a rule of the user's rules names it.
bool UfwEnabled(std::string_view ufw_conf);
bool UfwRulesAllowFieldkit(std::string_view user_rules);

// The firewall as this user can see it.
FirewallFacts ProbeFirewall(std::span<const std::uint16_t> ports);

}  // namespace fk
