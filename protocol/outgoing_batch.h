// The datagrams one pass of a worker sends, held until the pass ends and then sent in
// as few system calls as the kernel takes. Ten thousand radios answering one search
// make the announcement worker send twenty thousand datagrams; one system call each
// was most of what a search cost the controller.
//
// A worker opens a pass with CPassSends; while it is open, the engine's sends from
// that thread land here instead of on the socket. Sends from any other thread (the
// resend timer, a caller's command) are not held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/udp_socket.h"

namespace fk {

class COutgoingBatch {
  public:
    void Add(std::uint32_t interface_index, std::uint32_t source_ip,
             std::vector<std::uint8_t> bytes);
    // Sends what is held to the group and forgets it; how many went.
    std::size_t SendAll(CUdpSocket& socket, const std::string& group, std::uint16_t port);
    std::size_t Size() const { return held_.size(); }

    // The batch of the calling thread's open pass, or null.
    static COutgoingBatch* OfThisThread();

  private:
    friend class CPassSends;
    struct Held {
        std::uint32_t interface_index;
        std::uint32_t source_ip;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Held> held_;
};

// Holds the calling thread's sends from construction and sends them on destruction.
class CPassSends {
  public:
    CPassSends(CUdpSocket& socket, std::string group, std::uint16_t port);
    ~CPassSends();
    CPassSends(const CPassSends&) = delete;
    CPassSends& operator=(const CPassSends&) = delete;

  private:
    CUdpSocket& socket_;
    std::string group_;
    std::uint16_t port_;
    COutgoingBatch batch_;
    COutgoingBatch* outer_;
};

}  // namespace fk
