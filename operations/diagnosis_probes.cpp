#include "operations/diagnosis_probes.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cstring>

#include "operations/firewall_probe.h"
#include "operations/port_holders.h"
#include "protocol/device_link.h"

namespace fk {
namespace {

std::vector<std::uint16_t> AllPorts() {
    std::vector<std::uint16_t> ports(std::begin(kRadioPorts), std::end(kRadioPorts));
    ports.push_back(kFileServerPort);
    return ports;
}

FileServerFacts ProbeFileServer(const std::string& path) {
    FileServerFacts facts;
    facts.path = path;
    struct stat info {};
    facts.exists = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    std::array<std::uint8_t, sizeof(vfs_ns_cap_data)> attribute{};
    const ssize_t n =
        getxattr(path.c_str(), "security.capability", attribute.data(), attribute.size());
    facts.can_bind_port =
        n > 0 && CapabilityAllowsBind(std::span(attribute).first(static_cast<std::size_t>(n)));
    return facts;
}

}  // namespace

bool CapabilityAllowsBind(std::span<const std::uint8_t> attribute) {
    // magic_etc, then (permitted, inheritable) pairs of 32-bit words, little-endian.
    constexpr std::size_t kFirstPermitted = 4;
    if (attribute.size() < kFirstPermitted + 4) return false;
    std::uint32_t magic = 0;
    std::uint32_t permitted = 0;
    std::memcpy(&magic, attribute.data(), sizeof(magic));
    std::memcpy(&permitted, attribute.data() + kFirstPermitted, sizeof(permitted));
    const std::uint32_t revision = magic & VFS_CAP_REVISION_MASK;
    if (revision != VFS_CAP_REVISION_1 && revision != VFS_CAP_REVISION_2 &&
        revision != VFS_CAP_REVISION_3)
        return false;
    return (permitted & (1u << CAP_NET_BIND_SERVICE)) != 0;
}

DiagnosisFacts ProbeSystem(const std::string& file_server_path, int own_pid) {
    DiagnosisFacts facts;
    const std::vector<std::uint16_t> ports = AllPorts();
    facts.holders = FindPortHolders(ports, own_pid);
    facts.firewall = ProbeFirewall(ports);
    facts.file_server = ProbeFileServer(file_server_path);
    return facts;
}

void AddRadioFacts(IDeviceLink& link, const std::vector<ap_info_stu>& heard,
                   DiagnosisFacts& facts) {
    link.GetLocalAdapters(facts.adapters);
    facts.searched = true;
    facts.radios_heard = static_cast<int>(heard.size());
    for (const ap_info_stu& radio : heard) {
        const std::string ip = radio.IpText();
        std::string reason = link.UnreachableReason(ip);
        if (!reason.empty()) facts.foreign.push_back({radio.MacText(), ip, std::move(reason)});
    }
}

}  // namespace fk
