// Which of the kernel's interfaces become adapters: on lists made here, and on the
// real interface list of a private namespace holding a loopback and a veth.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <deque>

#include "netns_fixture.h"
#include "protocol/adapter_source.h"

namespace fk {
namespace {

constexpr unsigned kUpRunning = IFF_UP | IFF_RUNNING;

struct Entry {
    const char* name;
    unsigned flags;
    const char* ip;  // nullptr: the interface's hardware address entry
    const char* mask;
};

// A getifaddrs-shaped chain over storage it owns.
class InterfaceList {
  public:
    explicit InterfaceList(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            ifaddrs& node = nodes_.emplace_back();
            node.ifa_name = const_cast<char*>(e.name);
            node.ifa_flags = e.flags;
            if (e.ip == nullptr) {
                sockaddr_ll& ll = links_.emplace_back();
                ll.sll_family = AF_PACKET;
                ll.sll_halen = 6;
                const std::uint8_t mac[6] = {0x02, 0xfc, 0, 0, 0, 0x07};
                std::memcpy(ll.sll_addr, mac, 6);
                node.ifa_addr = reinterpret_cast<sockaddr*>(&ll);
            } else {
                node.ifa_addr = Ipv4(e.ip);
                node.ifa_netmask = Ipv4(e.mask);
            }
        }
        for (std::size_t i = 0; i + 1 < nodes_.size(); ++i) nodes_[i].ifa_next = &nodes_[i + 1];
    }
    const ifaddrs* Head() const { return nodes_.empty() ? nullptr : &nodes_.front(); }

  private:
    sockaddr* Ipv4(const char* text) {
        sockaddr_in& in = addresses_.emplace_back();
        in.sin_family = AF_INET;
        inet_pton(AF_INET, text, &in.sin_addr);
        return reinterpret_cast<sockaddr*>(&in);
    }
    std::deque<ifaddrs> nodes_;
    std::deque<sockaddr_in> addresses_;
    std::deque<sockaddr_ll> links_;
};

std::string Listed(const std::vector<adapter_info_stu>& adapters) {
    std::string out;
    for (const auto& a : adapters) {
        out += a.name + "=";
        for (const auto& addr : a.addresses) out += addr.ip + "/" + addr.mask + ",";
        out += ";";
    }
    return out;
}

TEST(SystemAdapterSource, ChoosesInterfacesThatCanReachARadio) {
    const struct {
        const char* what;
        std::vector<Entry> entries;
        std::string listed;
    } cases[] = {
        {"loopback left out, ethernet kept",
         {{"lo", kUpRunning | IFF_LOOPBACK, nullptr, nullptr},
          {"lo", kUpRunning | IFF_LOOPBACK, "127.0.0.1", "255.0.0.0"},
          {"eth0", kUpRunning | IFF_BROADCAST, nullptr, nullptr},
          {"eth0", kUpRunning | IFF_BROADCAST, "198.18.0.1", "255.255.255.0"}},
         "eth0=198.18.0.1/255.255.255.0,;"},
        {"a loopback flagged interface with a LAN address is still loopback",
         {{"lo", kUpRunning | IFF_LOOPBACK, "198.18.9.1", "255.255.255.0"}},
         ""},
        {"127/8 addresses on another interface dropped, the rest kept",
         {{"dummy0", kUpRunning, "127.0.0.2", "255.0.0.0"},
          {"dummy0", kUpRunning, "198.19.0.1", "255.255.255.0"},
          {"dummy1", kUpRunning, "127.1.2.3", "255.255.0.0"}},
         "dummy0=198.19.0.1/255.255.255.0,;"},
        {"up but not running, or down",
         {{"eth1", IFF_UP, "198.18.1.1", "255.255.255.0"},
          {"eth2", IFF_RUNNING, "198.18.2.1", "255.255.255.0"},
          {"eth3", kUpRunning, "198.18.3.1", "255.255.255.0"}},
         "eth3=198.18.3.1/255.255.255.0,;"},
        {"no IPv4 address, or 0.0.0.0 first",
         {{"eth4", kUpRunning, nullptr, nullptr},
          {"eth5", kUpRunning, "0.0.0.0", "0.0.0.0"},
          {"eth5", kUpRunning, "198.18.5.1", "255.255.255.0"}},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const InterfaceList list(c.entries);
        EXPECT_EQ(Listed(AdaptersFromInterfaceList(list.Head())), c.listed);
    }
}

TEST(SystemAdapterSource, KeepsHardwareAddressAndAtMostTenAddresses) {
    std::vector<Entry> entries = {{"eth0", kUpRunning, nullptr, nullptr}};
    static const char* kIps[] = {"198.18.0.1", "198.18.0.2",  "198.18.0.3", "198.18.0.4",
                                 "198.18.0.5", "198.18.0.6",  "198.18.0.7", "198.18.0.8",
                                 "198.18.0.9", "198.18.0.10", "198.18.0.11"};
    for (const char* ip : kIps) entries.push_back({"eth0", kUpRunning, ip, "255.255.255.0"});
    const InterfaceList list(entries);
    const auto adapters = AdaptersFromInterfaceList(list.Head());
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].state, 1);
    EXPECT_EQ(adapters[0].mac, (std::array<std::uint8_t, 6>{0x02, 0xfc, 0, 0, 0, 0x07}));
    ASSERT_EQ(adapters[0].addresses.size(), kMaxAdapterAddresses);
    EXPECT_EQ(adapters[0].addresses.back().ip, "198.18.0.10");
}

unsigned KernelFlags(const std::string& name) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
    const bool ok = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (fd >= 0) close(fd);
    return ok ? static_cast<unsigned short>(request.ifr_flags) : 0u;
}

class SystemAdapterNetTest : public testing::NetnsTest {};

TEST_F(SystemAdapterNetTest, ListsTheVethAndNeverTheLoopback) {
    AddLink("fs0", "198.18.0.1/24", "fs1");
    // A loopback-range address outside lo, as a misconfigured PC might have one.
    ASSERT_TRUE(Run("ip addr add 127.0.0.2/8 dev fs1"));
    // A veth reports running only once its peer is up; wait for the kernel to say so.
    for (int i = 0; i < 200 && (KernelFlags("fs0") & KernelFlags("fs1") & IFF_RUNNING) == 0; ++i)
        usleep(10'000);

    const auto adapters = MakeSystemAdapterSource()->List();
    for (const auto& a : adapters) {
        EXPECT_EQ(KernelFlags(a.name) & IFF_LOOPBACK, 0u) << a.name;
        for (const auto& addr : a.addresses) EXPECT_NE(addr.ip.rfind("127.", 0), 0u) << a.name;
    }
    ASSERT_EQ(adapters.size(), 1u) << Listed(adapters);
    EXPECT_EQ(adapters[0].name, "fs0");
    EXPECT_EQ(adapters[0].index, if_nametoindex("fs0"));
    EXPECT_NE(adapters[0].mac, (std::array<std::uint8_t, 6>{}));
}

}  // namespace
}  // namespace fk
