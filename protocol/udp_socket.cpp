#include "protocol/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

UdpReceive CUdpSocket::Receive(std::span<std::uint8_t> buffer) {
    UdpReceive result;
    const int fd = fd_.load();
    if (fd < 0) return result;
    sockaddr_in source{};
    iovec io{buffer.data(), buffer.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &source;
    message.msg_namelen = sizeof(source);
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    const ssize_t n = recvmsg(fd, &message, MSG_TRUNC);
    if (n < 0) return result;
    result.size = static_cast<long>(n);
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
    const int fd = fd_.load();
    std::uint32_t source = 0;
    std::uint32_t target = 0;
    if (fd < 0 || !ParseIpv4(source_ip, source) || !ParseIpv4(group, target)) return false;

    sockaddr_in destination = MakeAddress(target, port);
    iovec io{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof(destination);
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);

    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interface_index);
    info.ipi_spec_dst.s_addr = htonl(source);
    std::memcpy(CMSG_DATA(header), &info, sizeof(info));

    return sendmsg(fd, &message, 0) > 0;
}

}  // namespace fk
