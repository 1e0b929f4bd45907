// A thin owner of one IPv4 UDP socket with exactly the operations the engine needs.
// No method throws; failures come back as false or a negative count.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fk {

struct UdpSocketConfig {
    std::uint16_t port = 0;
    bool broadcast = false;
    int send_buffer = 0;  // bytes; 0 leaves the system default
    int receive_buffer = 0;
    bool multicast_loop = true;
};

// What one receive produced.
struct UdpReceive {
    long size = -1;  // full size of the datagram, even when it did not fit; -1 on failure
    std::uint32_t source_ip = 0;  // host byte order
    std::uint16_t source_port = 0;
    std::uint32_t interface_index = 0;  // where it came in; 0 when the kernel did not say
};

class CUdpSocket {
  public:
    CUdpSocket() = default;
    ~CUdpSocket();
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Creates the socket with address reuse and the given options and binds it to
    // the wildcard address. Any socket held before is closed first.
    bool Open(const UdpSocketConfig& config);
    void Close();
    bool IsOpen() const { return fd_.load() >= 0; }

    // Wakes every thread blocked in Receive (it returns a failure) while sends keep
    // working; what the engine needs to stop its receivers and still say goodbye.
    void ShutdownReceive();

    // Blocks for one datagram; bytes beyond `buffer` are cut off but counted in size.
    UdpReceive Receive(std::span<std::uint8_t> buffer);

    bool SendTo(const std::string& ip, std::uint16_t port, std::span<const std::uint8_t> bytes);

    // Sends to a multicast group out of one interface with a chosen source address,
    // without binding a socket to that address: on Linux a socket bound to
    // address:port takes every unicast datagram to that pair (keep-alives) while it
    // exists.
    bool SendFromInterface(std::uint32_t interface_index, const std::string& source_ip,
                           const std::string& group, std::uint16_t port,
                           std::span<const std::uint8_t> bytes);

  private:
    std::atomic<int> fd_{-1};
};

}  // namespace fk
