#include "service/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fk::tftp {
namespace {

sockaddr_in ToSockaddr(std::uint32_t ip, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(ip);
    addr.sin_port = htons(port);
    return addr;
}

}  // namespace

int OpenUdpSocket(std::uint32_t local_ip, std::uint16_t port, bool want_destination) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int on = 1;
    if (want_destination && setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof(on)) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    const sockaddr_in addr = ToSockaddr(local_ip, port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

Received ReceiveDatagram(int fd, std::span<std::uint8_t> buffer) {
    sockaddr_in from{};
    iovec iov{buffer.data(), buffer.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof(from);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    Received received;
    const ssize_t n = recvmsg(fd, &msg, MSG_DONTWAIT);
    if (n < 0) return received;
    received.size = n;
    received.from = {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof(info));
            // spec_dst, not addr: for a broadcast request it is this host's address
            // on the interface the request came in by.
            received.local_ip = ntohl(info.ipi_spec_dst.s_addr);
        }
    }
    return received;
}

void SendDatagram(int fd, const Endpoint& to, ByteView bytes, std::uint32_t local_ip) {
    sockaddr_in addr = ToSockaddr(to.ip, to.port);
    iovec iov{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &addr;
    msg.msg_namelen = sizeof(addr);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    if (local_ip != 0) {
        msg.msg_control = control;
        msg.msg_controllen = sizeof(control);
        cmsghdr* c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst.s_addr = htonl(local_ip);
        std::memcpy(CMSG_DATA(c), &info, sizeof(info));
    }
    (void)sendmsg(fd, &msg, MSG_DONTWAIT | MSG_NOSIGNAL);
}

}  // namespace fk::tftp
