// Which process holds a UDP port: the kernel lists every socket of this network
// namespace in /proc/net/udp and udp6 (a dual-stack IPv6 socket takes IPv4 datagrams
// too) with its inode, and /proc/PID/fd links name the inode of each open socket.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "operations/diagnosis.h"

namespace fk {

struct UdpSocketEntry {
    std::uint16_t port = 0;
    std::uint64_t inode = 0;
};

// The bound sockets of one /proc/net/udp or udp6 text; lines it cannot read are left out.
std::vector<UdpSocketEntry> ParseProcNetUdp(std::string_view text);

// The processes holding `ports`, leaving out `own_pid` (the caller's own engine).
// A socket whose process cannot be seen (another user's, without root) is reported
// with pid 0.
std::vector<PortHolder> FindPortHolders(std::span<const std::uint16_t> ports, int own_pid);

}  // namespace fk
