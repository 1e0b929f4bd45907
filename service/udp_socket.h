// The few UDP calls the server makes, on non-blocking IPv4 sockets. Requests are read
// with the address they were sent to, so that every answer leaves from that same
// address: a client on one of several networks of this PC accepts replies only from
// the address it asked.
#pragma once

#include <cstdint>
#include <span>

#include "service/tftp_transfer.h"

namespace fk::tftp {

// A bound socket, or -1 with errno set. `local_ip` 0 binds every address; `port` 0
// lets the kernel pick one (a fresh transfer ID).
int OpenUdpSocket(std::uint32_t local_ip, std::uint16_t port, bool want_destination);

struct Received {
    long long size = -1;  // -1 when nothing is waiting
    Endpoint from;
    std::uint32_t local_ip = 0;  // 0 unless the socket was opened with want_destination
};
Received ReceiveDatagram(int fd, std::span<std::uint8_t> buffer);

// From `local_ip` when it is not 0. Failures are not reported: a lost datagram.
void SendDatagram(int fd, const Endpoint& to, ByteView bytes, std::uint32_t local_ip = 0);

}  // namespace fk::tftp
