// A thin owner of one IPv4 UDP socket with exactly the operations the engine needs.
// No method throws; failures come back as false or a negative count.
#pragma once

#include <netinet/in.h>

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

// One datagram for a multicast group: the interface it leaves by and its source
// address (host byte order).
struct GroupDatagram {
    std::uint32_t interface_index = 0;
    std::uint32_t source_ip = 0;
    std::span<const std::uint8_t> bytes;
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

    // Blocks until a datagram is queued, then takes it and up to out.size() - 1 more
    // that are already queued, in one system call. Datagram k goes to the k-th
    // `slot_size` bytes of `buffer` (cut off beyond it, but counted in its size).
    // How many were taken; -1 on a failure, 0 once ShutdownReceive has woken it.
    int ReceiveMany(std::span<std::uint8_t> buffer, std::size_t slot_size,
                    std::span<UdpReceive> out);

    bool SendTo(const std::string& ip, std::uint16_t port, std::span<const std::uint8_t> bytes);

    // Sends to a multicast group out of one interface with a chosen source address,
    // without binding a socket to that address: on Linux a socket bound to
    // address:port takes every unicast datagram to that pair (keep-alives) while it
    // exists.
    bool SendFromInterface(std::uint32_t interface_index, const std::string& source_ip,
                           const std::string& group, std::uint16_t port,
                           std::span<const std::uint8_t> bytes);
    // The same for many datagrams, in as few system calls as the kernel takes them;
    // one that cannot be sent does not hold back the rest. How many went.
    std::size_t SendManyFromInterface(std::span<const GroupDatagram> datagrams,
                                      const std::string& group, std::uint16_t port);

    // Datagrams one system call takes or gives at most.
    static constexpr std::size_t kMaxBatch = 64;

  private:
    std::size_t SendBatch(std::span<const GroupDatagram> datagrams, const sockaddr_in& destination);

    std::atomic<int> fd_{-1};
};

}  // namespace fk
