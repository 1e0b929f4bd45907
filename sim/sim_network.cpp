#include "sim/sim_network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "protocol/address_text.h"
#include "sim/sim_config.h"

extern char** environ;

namespace fk::sim {
namespace {

int OpenUdp(std::uint16_t port, std::string& error) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    const int one = 1;
    // Bursts of a thousand answers must not be cut short by the sender's own queue.
    const int buffer = 8 << 20;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    // Ten thousand radios share this socket, where each real radio has its own: as
    // root (in the tests' namespaces) the buffer is forced past the system's cap, so
    // that a burst of commands meant for many radios is not dropped here.
    if (setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &buffer, sizeof buffer) != 0)
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error = "bind port " + std::to_string(port) + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

SimNetwork::~SimNetwork() {
    for (int fd : {search_fd_, command_fd_, send_fd_}) {
        if (fd >= 0) close(fd);
    }
}

bool SimNetwork::Open(std::uint16_t search_port, std::uint16_t command_port,
                      const std::string& group, const std::vector<std::string>& ifaces,
                      std::string& error) {
    search_fd_ = OpenUdp(search_port, error);
    if (search_fd_ < 0) return false;
    command_fd_ = OpenUdp(command_port, error);
    if (command_fd_ < 0) return false;
    send_fd_ = OpenUdp(0, error);
    if (send_fd_ < 0) return false;
    std::uint32_t group_ip = 0;
    if (!ParseIpv4(group, group_ip)) {
        error = "bad multicast group " + group;
        return false;
    }
    in_addr group_addr{};
    group_addr.s_addr = htonl(group_ip);
    for (const std::string& iface : std::set<std::string>(ifaces.begin(), ifaces.end())) {
        ip_mreqn request{};
        request.imr_multiaddr = group_addr;
        request.imr_ifindex = static_cast<int>(if_nametoindex(iface.c_str()));
        if (request.imr_ifindex == 0 ||
            setsockopt(command_fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0) {
            error = "join " + group + " on " + iface + ": " + std::strerror(errno);
            return false;
        }
    }
    if (ifaces.empty()) {
        ip_mreqn request{};
        request.imr_multiaddr = group_addr;
        if (setsockopt(command_fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0) {
            error = "join " + group + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool SimNetwork::Receive(int fd, Inbound& out) {
    std::uint8_t buffer[2048];
    alignas(cmsghdr) char control[256];
    sockaddr_in from{};
    iovec iov{buffer, sizeof buffer};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = recvmsg(fd, &msg, 0);
    if (n < 0) return false;
    out.source = ntohl(from.sin_addr.s_addr);
    out.source_port = ntohs(from.sin_port);
    out.destination = 0;
    out.ifindex = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            out.destination = ntohl(info.ipi_addr.s_addr);
            out.ifindex = info.ipi_ifindex;
        }
    }
    out.bytes.assign(buffer, buffer + n);
    return true;
}

bool SimNetwork::Send(std::uint32_t from, std::uint32_t to, std::uint16_t port,
                      const Datagram& bytes) {
    sockaddr_in dest{};
    dest.sin_family = AF_INET;
    dest.sin_port = htons(port);
    dest.sin_addr.s_addr = htonl(to);
    iovec iov{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &dest;
    msg.msg_namelen = sizeof dest;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(from);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (sendmsg(send_fd_, &msg, 0) == static_cast<ssize_t>(bytes.size())) {
            ++sent_;
            return true;
        }
        if (errno != EAGAIN && errno != ENOBUFS) break;
        usleep(200);  // the queue drains in microseconds; a burst only needs a breath
    }
    ++send_failures_;
    return false;
}

bool AddAddresses(const std::vector<AddressOnLink>& addresses, std::string& error) {
    std::set<std::pair<std::uint32_t, std::string>> seen;
    std::string script;
    for (const AddressOnLink& a : addresses) {
        if (a.iface.empty() || !seen.insert({a.ip, a.iface}).second) continue;
        script += "addr replace " + IpText(a.ip) + "/" + std::to_string(a.prefix) + " dev " +
                  a.iface + "\n";
    }
    if (script.empty()) return true;
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], STDIN_FILENO);
    char* argv[] = {const_cast<char*>("ip"), const_cast<char*>("-force"),
                    const_cast<char*>("-batch"), const_cast<char*>("-"), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "ip", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[0]);
    if (rc != 0) {
        close(pipe_fds[1]);
        error = std::string("cannot run ip: ") + std::strerror(rc);
        return false;
    }
    std::size_t done = 0;
    while (done < script.size()) {
        const ssize_t n = write(pipe_fds[1], script.data() + done, script.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    close(pipe_fds[1]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "ip -batch failed while adding radio addresses";
        return false;
    }
    return true;
}

}  // namespace fk::sim
