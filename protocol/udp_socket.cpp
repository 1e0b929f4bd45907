#include "protocol/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "protocol/address_text.h"

namespace fk {

namespace {

bool SetIntOption(int fd, int level, int name, int value) {
    return setsockopt(fd, level, name, &value, sizeof(value)) == 0;
}

// The ordinary option is capped by the system's maximum; as root the forcing variant
// gets the size the reply burst of many devices needs.
bool SetBufferSize(int fd, int force_name, int name, int bytes) {
    if (bytes <= 0) return true;
    if (SetIntOption(fd, SOL_SOCKET, force_name, bytes)) return true;
    return SetIntOption(fd, SOL_SOCKET, name, bytes);
}

sockaddr_in MakeAddress(std::uint32_t host_order_ip, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(host_order_ip);
    return address;
}

bool Configure(int fd, const UdpSocketConfig& config) {
    if (!SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1)) return false;
    // Which adapter a datagram came in on: a radio heard from an address no local
    // address shares a subnet with is named with the adapter to give one.
    if (!SetIntOption(fd, IPPROTO_IP, IP_PKTINFO, 1)) return false;
    if (config.broadcast && !SetIntOption(fd, SOL_SOCKET, SO_BROADCAST, 1)) return false;
    if (!config.multicast_loop && !SetIntOption(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0)) return false;
    if (!SetBufferSize(fd, SO_SNDBUFFORCE, SO_SNDBUF, config.send_buffer)) return false;
    if (!SetBufferSize(fd, SO_RCVBUFFORCE, SO_RCVBUF, config.receive_buffer)) return false;
    const sockaddr_in address = MakeAddress(INADDR_ANY, config.port);
    return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

// Where a received datagram came from and on which interface.
UdpReceive Describe(mmsghdr& received, const sockaddr_in& source) {
    UdpReceive result;
    msghdr& message = received.msg_hdr;
    result.size = static_cast<long>(received.msg_len);
    result.source_ip = ntohl(source.sin_addr.s_addr);
    result.source_port = ntohs(source.sin_port);
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(header), sizeof(info));
        result.interface_index = static_cast<std::uint32_t>(info.ipi_ifindex);
    }
    return result;
}

}  // namespace

CUdpSocket::~CUdpSocket() {
    Close();
}

bool CUdpSocket::Open(const UdpSocketConfig& config) {
    Close();
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (!Configure(fd, config)) {
        ::close(fd);
        return false;
    }
    fd_.store(fd);
    return true;
}

void CUdpSocket::Close() {
    const int fd = fd_.exchange(-1);
    if (fd >= 0) ::close(fd);
}

void CUdpSocket::ShutdownReceive() {
    const int fd = fd_.load();
    // An unconnected UDP socket reports ENOTCONN here but is marked shut all the
    // same, and blocked receivers are woken.
    if (fd >= 0) ::shutdown(fd, SHUT_RD);
}

int CUdpSocket::ReceiveMany(std::span<std::uint8_t> buffer, std::size_t slot_size,
                            std::span<UdpReceive> out) {
    const int fd = fd_.load();
    const std::size_t count =
        std::min({out.size(), buffer.size() / std::max<std::size_t>(slot_size, 1), kMaxBatch});
    if (fd < 0 || count == 0) return -1;
    struct Slot {
        sockaddr_in source{};
        iovec io{};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    };
    std::array<Slot, kMaxBatch> slots{};
    std::array<mmsghdr, kMaxBatch> messages{};
    for (std::size_t k = 0; k < count; ++k) {
        Slot& slot = slots[k];
        slot.io = {buffer.data() + k * slot_size, slot_size};
        msghdr& message = messages[k].msg_hdr;
        message.msg_name = &slot.source;
        message.msg_namelen = sizeof(slot.source);
        message.msg_iov = &slot.io;
        message.msg_iovlen = 1;
        message.msg_control = slot.control;
        message.msg_controllen = sizeof(slot.control);
    }
    const int n = recvmmsg(fd, messages.data(), static_cast<unsigned>(count),
                           MSG_TRUNC | MSG_WAITFORONE, nullptr);
    for (int k = 0; k < n; ++k) out[k] = Describe(messages[k], slots[k].source);
    return n;
}

bool CUdpSocket::SendTo(const std::string& ip, std::uint16_t port,
                        std::span<const std::uint8_t> bytes) {
    const int fd = fd_.load();
    std::uint32_t target = 0;
    if (fd < 0 || !ParseIpv4(ip, target)) return false;
    const sockaddr_in address = MakeAddress(target, port);
    const ssize_t n = sendto(fd, bytes.data(), bytes.size(), 0,
                             reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    return n > 0;
}

bool CUdpSocket::SendFromInterface(std::uint32_t interface_index, const std::string& source_ip,
                                   const std::string& group, std::uint16_t port,
                                   std::span<const std::uint8_t> bytes) {
    std::uint32_t source = 0;
    if (!ParseIpv4(source_ip, source)) return false;
    const GroupDatagram one{interface_index, source, bytes};
    return SendManyFromInterface({&one, 1}, group, port) == 1;
}

std::size_t CUdpSocket::SendManyFromInterface(std::span<const GroupDatagram> datagrams,
                                              const std::string& group, std::uint16_t port) {
    std::uint32_t target = 0;
    if (!ParseIpv4(group, target)) return 0;
    const sockaddr_in destination = MakeAddress(target, port);
    std::size_t sent = 0;
    for (std::size_t at = 0; at < datagrams.size(); at += kMaxBatch) {
        sent += SendBatch(datagrams.subspan(at, std::min(kMaxBatch, datagrams.size() - at)),
                          destination);
    }
    return sent;
}

std::size_t CUdpSocket::SendBatch(std::span<const GroupDatagram> datagrams,
                                  const sockaddr_in& destination) {
    const int fd = fd_.load();
    if (fd < 0) return 0;
    struct Slot {
        iovec io{};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    };
    std::array<Slot, kMaxBatch> slots{};
    std::array<mmsghdr, kMaxBatch> messages{};
    for (std::size_t k = 0; k < datagrams.size(); ++k) {
        const GroupDatagram& datagram = datagrams[k];
        Slot& slot = slots[k];
        slot.io = {const_cast<std::uint8_t*>(datagram.bytes.data()), datagram.bytes.size()};
        msghdr& message = messages[k].msg_hdr;
        message.msg_name = const_cast<sockaddr_in*>(&destination);
        message.msg_namelen = sizeof(destination);
        message.msg_iov = &slot.io;
        message.msg_iovlen = 1;
        message.msg_control = slot.control;
        message.msg_controllen = sizeof(slot.control);
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(datagram.interface_index);
        info.ipi_spec_dst.s_addr = htonl(datagram.source_ip);
        std::memcpy(CMSG_DATA(header), &info, sizeof(info));
    }
    std::size_t sent = 0;
    for (std::size_t at = 0; at < datagrams.size();) {
        const int n =
            sendmmsg(fd, messages.data() + at, static_cast<unsigned>(datagrams.size() - at), 0);
        // The kernel stops at the first datagram it refuses: that one is passed over.
        if (n <= 0) {
            ++at;
            continue;
        }
        at += static_cast<std::size_t>(n);
        sent += static_cast<std::size_t>(n);
    }
    return sent;
}

}  // namespace fk
