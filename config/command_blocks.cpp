#include "config/command_blocks.h"

#include <algorithm>

#include "protocol/report.h"

namespace fk {

name_set_stu BuildNameBlock(std::string_view local_name) {
    const std::string wire = LocalToUtf8(local_name, kNameTextBytes);
    name_set_stu block{};
    std::copy(wire.begin(), wire.end(), block.begin());
    block[kNameTextBytes] = static_cast<std::uint8_t>(wire.size());
    return block;
}

ip_set_stu BuildIpBlock(const Ipv4Octets& ip, const Ipv4Octets& mask, const Ipv4Octets& gateway,
                        const Ipv4Octets& dns1, const Ipv4Octets& dns2, std::uint8_t ip_flag) {
    ip_set_stu block{};
    block[0] = 1;
    auto at = block.begin() + 1;
    for (const Ipv4Octets* part : {&ip, &mask, &gateway, &dns1, &dns2})
        at = std::copy(part->begin(), part->end(), at);
    block[kIpBlockSize - 1] = ip_flag;
    return block;
}

}  // namespace fk
