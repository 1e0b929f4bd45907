// Why a radio that announced itself cannot be reached: commands leave only from a local
// address in the radio's own subnet (the radios answer on the multicast group from
// there), so a radio set to an address none of the PC's adapters holds stays listed
// but deaf. The text names the subnet and the adapter it was heard on, and an address
// the installer can add there.
#pragma once

#include <string>

namespace fk {

// The /24 the radio sits in: the radio's own mask is in the report it cannot send
// until it is reached, and /24 is what the radios ship with.
std::string AssumedSubnetText(const std::string& radio_ip);

// An address of that subnet to give the adapter: .250, or .251 when the radio has .250.
std::string SuggestedLocalAddress(const std::string& radio_ip);

// "This PC has no address in 192.168.1.0/24; add one to eth0, for example
// 192.168.1.250/24", in the running language. Empty `adapter` (the receive did not
// say where) names none.
std::string NoLocalNetworkText(const std::string& radio_ip, const std::string& adapter);

}  // namespace fk
