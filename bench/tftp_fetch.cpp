// A TFTP read client for the file server benchmark: it asks for a block size and a
// window (RFC 7440) and writes what it gets to a file. Written here because none of
// Debian's TFTP clients (curl, tftp-hpa, atftp) asks for a window, and the window is
// what the benchmark compares. It takes what the server grants: a server that leaves
// the window out of its acknowledgement gets lock-step ACKs, so one client measures
// both servers.
//
//   tftp_fetch SERVER PORT FILE OUT [BLKSIZE] [WINDOWSIZE]
//
// Exits 0 with the whole file written, 1 on an error packet, a timeout or bad usage.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "service/tftp_packet.h"

namespace {

using namespace fk::tftp;

constexpr int kTimeoutMs = 1000;
constexpr int kMaxSilences = 10;

struct Granted {
    std::size_t block_size = kDefaultBlockSize;
    unsigned window = 1;
};

Granted ReadGrant(const std::vector<Option>& options) {
    Granted granted;
    for (const auto& option : options) {
        if (option.name == "blksize") granted.block_size = std::stoul(option.value);
        if (option.name == "windowsize") granted.window = std::stoul(option.value);
    }
    return granted;
}

class CFetch {
  public:
    CFetch(int socket, sockaddr_in server, std::ofstream& out)
        : socket_(socket), server_(server), out_(out) {}

    bool Run(const Bytes& request) {
        Send(request);
        int silences = 0;
        std::vector<std::uint8_t> buffer(65536 + 4);
        while (!done_) {
            pollfd fd{socket_, POLLIN, 0};
            if (poll(&fd, 1, kTimeoutMs) <= 0) {
                if (++silences > kMaxSilences) return Fail("the server went silent");
                Resend(request);
                continue;
            }
            silences = 0;
            sockaddr_in from{};
            socklen_t from_size = sizeof from;
            const auto got = recvfrom(socket_, buffer.data(), buffer.size(), 0,
                                      reinterpret_cast<sockaddr*>(&from), &from_size);
            if (got < 0) return Fail("receive failed");
            if (!FromServer(from)) continue;
            if (!OnPacket(ByteView(buffer.data(), static_cast<std::size_t>(got)))) return false;
        }
        return true;
    }

  private:
    bool FromServer(const sockaddr_in& from) {
        if (from.sin_addr.s_addr != server_.sin_addr.s_addr) return false;
        if (!transfer_port_) transfer_port_ = from.sin_port;  // the server's transfer ID
        return from.sin_port == transfer_port_;
    }

    bool OnPacket(ByteView packet) {
        const auto opcode = PeekOpcode(packet);
        if (opcode == Opcode::kOptionAck && !started_) {
            const auto options = ParseOptionAck(packet);
            if (!options) return Fail("malformed option acknowledgement");
            granted_ = ReadGrant(*options);
            started_ = true;
            Acknowledge(0);
            return true;
        }
        if (opcode == Opcode::kData) {
            const auto data = ParseData(packet);
            return data ? OnData(*data) : true;
        }
        if (const auto error = ParseError(packet)) return Fail(error->message.c_str());
        return true;
    }

    bool OnData(const DataPacket& data) {
        started_ = true;
        const auto expected = static_cast<std::uint16_t>(last_ + 1);
        if (data.block != expected) {
            // A gap: asking again from the last block we hold restarts the window there.
            if (static_cast<std::uint16_t>(data.block - last_) < 0x8000) Acknowledge(last_);
            return true;
        }
        out_.write(reinterpret_cast<const char*>(data.payload.data()),
                   static_cast<std::streamsize>(data.payload.size()));
        last_ = data.block;
        done_ = data.payload.size() < granted_.block_size;
        if (done_ || ++in_window_ >= granted_.window) Acknowledge(last_);
        return true;
    }

    void Resend(const Bytes& request) {
        if (started_)
            Acknowledge(last_);
        else
            Send(request);
    }

    void Acknowledge(std::uint16_t block) {
        in_window_ = 0;
        sockaddr_in to = server_;
        to.sin_port = transfer_port_;
        const auto ack = BuildAck(block);
        sendto(socket_, ack.data(), ack.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    }

    void Send(const Bytes& datagram) {
        sendto(socket_, datagram.data(), datagram.size(), 0,
               reinterpret_cast<const sockaddr*>(&server_), sizeof server_);
    }

    static bool Fail(const char* why) {
        std::fprintf(stderr, "tftp_fetch: %s\n", why);
        return false;
    }

    int socket_;
    sockaddr_in server_;
    std::ofstream& out_;
    std::uint16_t transfer_port_ = 0;
    Granted granted_;
    bool started_ = false;
    bool done_ = false;
    std::uint16_t last_ = 0;
    unsigned in_window_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 7) {
        std::fprintf(stderr, "usage: tftp_fetch SERVER PORT FILE OUT [BLKSIZE] [WINDOWSIZE]\n");
        return 1;
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[2])));
    if (inet_pton(AF_INET, argv[1], &server.sin_addr) != 1) {
        std::fprintf(stderr, "tftp_fetch: %s is not an IPv4 address\n", argv[1]);
        return 1;
    }
    Request request{Opcode::kReadRequest, argv[3], "octet", {}};
    if (argc > 5) request.options.push_back({"blksize", argv[5]});
    if (argc > 6) request.options.push_back({"windowsize", argv[6]});

    std::ofstream out(argv[4], std::ios::binary | std::ios::trunc);
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (!out || socket < 0) {
        std::fprintf(stderr, "tftp_fetch: cannot open %s or a socket\n", argv[4]);
        return 1;
    }
    const bool fetched = CFetch(socket, server, out).Run(BuildRequest(request));
    close(socket);
    return fetched ? 0 : 1;
}
