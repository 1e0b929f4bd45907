#include "netns_fixture.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "protocol/packet.h"

namespace fk::testing {

namespace {

std::string AddressText(std::uint32_t network_order) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = network_order;
    inet_ntop(AF_INET, &a, text, sizeof(text));
    return text;
}

bool ParseUdp(const std::uint8_t* data, std::size_t size, CapturedDatagram& out) {
    if (size < sizeof(iphdr)) return false;
    iphdr ip{};
    std::memcpy(&ip, data, sizeof(ip));
    const std::size_t header = static_cast<std::size_t>(ip.ihl) * 4;
    if (ip.version != 4 || ip.protocol != IPPROTO_UDP || size < header + sizeof(udphdr))
        return false;
    udphdr udp{};
    std::memcpy(&udp, data + header, sizeof(udp));
    const std::size_t udp_len = ntohs(udp.len);
    if (udp_len < sizeof(udphdr) || header + udp_len > size) return false;
    out.source_ip = AddressText(ip.saddr);
    out.destination_ip = AddressText(ip.daddr);
    out.source_port = ntohs(udp.source);
    out.destination_port = ntohs(udp.dest);
    const auto* body = data + header + sizeof(udphdr);
    out.payload.assign(body, body + (udp_len - sizeof(udphdr)));
    return true;
}

}  // namespace

FrameCapture::FrameCapture(const std::string& interface_name) {
    fd_ = socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_IP));
    if (fd_ < 0) return;
    // The default buffer holds about ninety frames: a burst of answers to more radios
    // would be dropped here, under a sanitizer's slow reader, and read as never sent.
    const int bytes = 8 << 20;
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof(bytes)) != 0)
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes));
    sockaddr_ll where{};
    where.sll_family = AF_PACKET;
    where.sll_protocol = htons(ETH_P_IP);
    where.sll_ifindex = static_cast<int>(if_nametoindex(interface_name.c_str()));
    if (bind(fd_, reinterpret_cast<sockaddr*>(&where), sizeof(where)) != 0) {
        close(fd_);
        fd_ = -1;
        return;
    }
    thread_ = std::thread([this] { Run(); });
}

FrameCapture::~FrameCapture() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) close(fd_);
}

void FrameCapture::Run() {
    std::vector<std::uint8_t> buffer(65536);
    while (!stop_.load()) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        sockaddr_ll from{};
        socklen_t from_len = sizeof(from);
        const ssize_t n = recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &from_len);
        if (n <= 0 || from.sll_pkttype == PACKET_OUTGOING) continue;
        CapturedDatagram d;
        if (!ParseUdp(buffer.data(), static_cast<std::size_t>(n), d)) continue;
        {
            std::lock_guard lock(mutex_);
            frames_.push_back(std::move(d));
        }
        changed_.notify_all();
    }
}

std::vector<CapturedDatagram> FrameCapture::Snapshot() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

bool FrameCapture::WaitUntil(const std::function<bool(const std::vector<CapturedDatagram>&)>& done,
                             std::chrono::milliseconds deadline) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return done(frames_); });
}

TestPeer::TestPeer(const std::string& bind_ip, std::uint16_t port) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, bind_ip.c_str(), &a.sin_addr);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
}

TestPeer::~TestPeer() {
    if (fd_ >= 0) close(fd_);
}

bool TestPeer::Send(const std::string& ip, std::uint16_t port,
                    const std::vector<std::uint8_t>& bytes, bool broadcast) {
    const int on = broadcast ? 1 : 0;
    setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof(a)) ==
           static_cast<ssize_t>(bytes.size());
}

void NetnsTest::SetUp() {
    if (geteuid() != 0) GTEST_SKIP() << "needs root for a private network namespace";
    if (unshare(CLONE_NEWNET) != 0) GTEST_SKIP() << "cannot create a network namespace";
    ASSERT_TRUE(Run("ip link set lo up"));
}

bool NetnsTest::Run(const std::string& command) {
    const std::string quiet = command + " >/dev/null 2>&1";
    return std::system(quiet.c_str()) == 0;
}

void NetnsTest::AddLink(const std::string& near, const std::string& near_cidr,
                        const std::string& far) {
    ASSERT_TRUE(Run("ip link add " + near + " type veth peer name " + far));
    ASSERT_TRUE(Run("ip addr add " + near_cidr + " dev " + near));
    ASSERT_TRUE(Run("ip link set " + near + " up"));
    ASSERT_TRUE(Run("ip link set " + far + " up"));
}

void NetnsTest::AddHostAddress(const std::string& interface_name, const std::string& ip) {
    ASSERT_TRUE(Run("ip addr add " + ip + "/32 dev " + interface_name));
}

adapter_info_stu NetnsTest::Adapter(const std::string& interface_name,
                                    std::vector<adapter_addr_stu> addresses) {
    adapter_info_stu a;
    a.state = 1;
    a.name = interface_name;
    a.description = interface_name;
    a.index = if_nametoindex(interface_name.c_str());
    a.addresses = std::move(addresses);
    return a;
}

std::vector<std::uint8_t> DeviceDatagram(std::uint16_t type, const std::string& mac,
                                         std::uint16_t ap_type,
                                         const std::vector<std::uint8_t>& payload) {
    auto bytes = BuildDatagram(type, payload, mac, false);
    bytes[2] = static_cast<std::uint8_t>(ap_type & 0xff);
    bytes[3] = static_cast<std::uint8_t>(ap_type >> 8);
    return bytes;
}

std::uint16_t TypeOf(const CapturedDatagram& d) {
    if (d.payload.size() < kHeaderSize) return 0;
    return static_cast<std::uint16_t>(d.payload[4] | (d.payload[5] << 8));
}

}  // namespace fk::testing
