#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

#include "protocol/adapter_source.h"
#include "protocol/address_text.h"

namespace fk {
namespace {

std::string Ipv4Text(const sockaddr* sa) {
    if (sa == nullptr || sa->sa_family != AF_INET) return "0.0.0.0";
    const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
    return IpHostOrderToText(ntohl(in->sin_addr.s_addr));
}

bool IsUp(unsigned int flags) {
    return (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0;
}

// No radio is ever reached through the host's own loopback: listing it would show the
// user an adapter that is no network, and a search would broadcast to 127.255.255.255.
// The whole 127/8 block is loopback wherever it is configured, so such an address on
// another interface is left out too.
bool IsLoopbackAddress(const sockaddr* sa) {
    if (sa == nullptr || sa->sa_family != AF_INET) return false;
    const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
    return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
}

struct Collected {
    adapter_info_stu info;
    bool up = false;
    bool loopback = false;
};

Collected& EntryFor(std::vector<Collected>& list, const char* name) {
    for (auto& c : list) {
        if (c.info.name == name) return c;
    }
    Collected c;
    c.info.name = name;
    c.info.description = name;
    c.info.index = if_nametoindex(name);
    list.push_back(std::move(c));
    return list.back();
}

void TakeEntry(Collected& c, const ifaddrs* ifa) {
    c.up = c.up || IsUp(ifa->ifa_flags);
    c.loopback = c.loopback || (ifa->ifa_flags & IFF_LOOPBACK) != 0;
    const int family = ifa->ifa_addr->sa_family;
    if (family == AF_PACKET) {
        const auto* ll = reinterpret_cast<const sockaddr_ll*>(ifa->ifa_addr);
        if (ll->sll_halen == 6) std::memcpy(c.info.mac.data(), ll->sll_addr, 6);
    } else if (family == AF_INET && !IsLoopbackAddress(ifa->ifa_addr) &&
               c.info.addresses.size() < kMaxAdapterAddresses) {
        c.info.addresses.push_back({Ipv4Text(ifa->ifa_addr), Ipv4Text(ifa->ifa_netmask)});
    }
}

class SystemAdapterSource : public IAdapterSource {
  public:
    std::vector<adapter_info_stu> List() override {
        ifaddrs* head = nullptr;
        if (getifaddrs(&head) != 0) return {};
        auto out = AdaptersFromInterfaceList(head);
        freeifaddrs(head);
        return out;
    }
};

}  // namespace

std::vector<adapter_info_stu> AdaptersFromInterfaceList(const ifaddrs* head) {
    std::vector<Collected> collected;
    for (const ifaddrs* ifa = head; ifa != nullptr; ifa = ifa->ifa_next) {
        if (ifa->ifa_name == nullptr || ifa->ifa_addr == nullptr) continue;
        TakeEntry(EntryFor(collected, ifa->ifa_name), ifa);
    }
    std::vector<adapter_info_stu> out;
    for (auto& c : collected) {
        // An adapter without a usable address cannot reach a device: leave it out.
        if (!c.up || c.loopback || c.info.addresses.empty() ||
            c.info.addresses[0].ip == "0.0.0.0") {
            continue;
        }
        c.info.state = 1;
        out.push_back(std::move(c.info));
    }
    return out;
}

std::unique_ptr<IAdapterSource> MakeSystemAdapterSource() {
    return std::make_unique<SystemAdapterSource>();
}

}  // namespace fk
