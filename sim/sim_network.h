// The simulator's few sockets. Every radio shares them: replies choose their source
// address per datagram (IP_PKTINFO), so a thousand radios need three sockets, not
// three thousand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/radio_behaviour.h"

namespace fk::sim {

struct Inbound {
    std::uint32_t source = 0;  // host order
    std::uint16_t source_port = 0;
    std::uint32_t destination = 0;  // host order; the group, a broadcast or a local address
    int ifindex = 0;
    std::vector<std::uint8_t> bytes;
};

class SimNetwork {
  public:
    SimNetwork() = default;
    SimNetwork(const SimNetwork&) = delete;
    SimNetwork& operator=(const SimNetwork&) = delete;
    ~SimNetwork();

    // Binds the search and command ports on the wildcard address and joins the
    // command group on every interface named.
    bool Open(std::uint16_t search_port, std::uint16_t command_port, const std::string& group,
              const std::vector<std::string>& ifaces, std::string& error);

    int search_fd() const { return search_fd_; }
    int command_fd() const { return command_fd_; }

    // One datagram, or false when nothing (more) is waiting.
    bool Receive(int fd, Inbound& out);
    bool Send(std::uint32_t from, std::uint32_t to, std::uint16_t port, const Datagram& bytes);

    std::uint64_t sent() const { return sent_; }
    std::uint64_t send_failures() const { return send_failures_; }

  private:
    int search_fd_ = -1;
    int command_fd_ = -1;
    int send_fd_ = -1;
    std::uint64_t sent_ = 0;
    std::uint64_t send_failures_ = 0;
};

struct AddressOnLink {
    std::uint32_t ip = 0;
    int prefix = 24;
    std::string iface;
};

// Puts the addresses on their interfaces in one `ip -batch` run; addresses already
// present are not an error (two radios may share one on purpose).
bool AddAddresses(const std::vector<AddressOnLink>& addresses, std::string& error);

}  // namespace fk::sim
