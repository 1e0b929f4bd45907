// Address arithmetic on dotted texts: which broadcast reaches a local network, and
// which local address shares a subnet with a device.
#pragma once

#include <optional>
#include <string>

namespace fk {

// address OR NOT mask; nothing for an unset address or mask.
std::optional<std::string> DirectedBroadcast(const std::string& address, const std::string& mask);

// (address AND mask) == (other AND mask); false when any side is unset.
bool InSameSubnet(const std::string& address, const std::string& mask, const std::string& other);

}  // namespace fk
