// The PC's own network adapters and their IPv4 addresses. The engine derives its
// address table and search targets from this list; the system tool page shows it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ifaddrs;

namespace fk {

inline constexpr std::size_t kMaxAdapterAddresses = 10;

struct adapter_addr_stu {
    std::string ip;    // dotted text
    std::string mask;  // dotted text
};

struct adapter_info_stu {
    std::uint8_t state = 0;  // 1 when the adapter is up
    std::array<std::uint8_t, 6> mac{};
    std::string name;                         // interface name ("eth0")
    std::string description;                  // what the system tool page shows
    std::uint32_t index = 0;                  // kernel interface index
    std::vector<adapter_addr_stu> addresses;  // at most kMaxAdapterAddresses
};

class IAdapterSource {
  public:
    virtual ~IAdapterSource() = default;
    // Every adapter that is up and running, is not a loopback and has an IPv4 address
    // whose first address is not 0.0.0.0, with up to ten address/mask pairs (none of
    // them in 127/8).
    virtual std::vector<adapter_info_stu> List() = 0;
};

// Reads the kernel's interface list.
std::unique_ptr<IAdapterSource> MakeSystemAdapterSource();

// The adapters a getifaddrs list describes, chosen as List() says; tests hand it lists
// of their own.
std::vector<adapter_info_stu> AdaptersFromInterfaceList(const ifaddrs* head);

}  // namespace fk
