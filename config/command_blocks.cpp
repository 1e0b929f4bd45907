#include "config/command_blocks.h"

#include <algorithm>
#include <cstdio>

#include "protocol/report.h"

namespace fk {

name_set_stu BuildNameBlock(std::string_view local_name) {
    const std::string wire = LocalToUtf8(local_name, kNameBytesMax);
    name_set_stu block{};
    std::copy(wire.begin(), wire.end(), block.begin());
    block[kNameBytesMax] = static_cast<std::uint8_t>(wire.size());
    return block;
}

ip_set_stu BuildIpBlock(const ip_octets& ip, const ip_octets& mask, const ip_octets& gateway,
                        const ip_octets& dns1, const ip_octets& dns2, std::uint8_t ip_flag) {
    ip_set_stu block{};
    block[0] = 1;
    auto at = block.begin() + 1;
    for (const ip_octets* part : {&ip, &mask, &gateway, &dns1, &dns2})
        at = std::copy(part->begin(), part->end(), at);
    block[21] = ip_flag;
    return block;
}

ip_octets OctetsFromText(std::string_view text) {
    int parts[4] = {0, 0, 0, 0};
    const std::string copy(text);
    std::sscanf(copy.c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    ip_octets out{};
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(parts[i] & 0xFF);
    return out;
}

std::string OctetsToText(const ip_octets& o) {
    char buf[20];
    std::snprintf(buf, sizeof(buf), "%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
    return buf;
}

}  // namespace fk
