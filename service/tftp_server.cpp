#include "service/tftp_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "service/file_blocks.h"
#include "service/udp_socket.h"

namespace fk::tftp {
namespace {

// A burst of requests is taken per wake-up, but never so many that the requests
// starve the running transfers or the timers.
constexpr int kRequestsPerWake = 64;
constexpr std::size_t kReceiveBuffer = 65536;

}  // namespace

struct CTftpServer::Active final : IPacketSink {
    Active(int socket, const OpenedFile& opened)
        : socket_fd(socket), blocks(opened.fd, opened.size) {}
    ~Active() override { close(socket_fd); }
    Active(const Active&) = delete;
    Active& operator=(const Active&) = delete;

    void Send(const Endpoint& to, ByteView datagram) override {
        SendDatagram(socket_fd, to, datagram);
    }

    int socket_fd;
    CFileBlocks blocks;
    std::optional<CTftpTransfer> transfer;
};

CTftpServer::CTftpServer(CServedFolder folder, ServerOptions options)
    : folder_(std::move(folder)), options_(options), buffer_(kReceiveBuffer) {}

CTftpServer::~CTftpServer() {
    active_.clear();
    if (listen_fd_ >= 0) close(listen_fd_);
}

int CTftpServer::Bind() {
    listen_fd_ = OpenUdpSocket(0, options_.port, true);
    return listen_fd_ < 0 ? errno : 0;
}

bool CTftpServer::Run(int stop_fd) {
    std::vector<pollfd> fds;
    while (true) {
        fds.clear();
        fds.push_back({stop_fd, POLLIN, 0});
        fds.push_back({listen_fd_, POLLIN, 0});
        for (const auto& a : active_) fds.push_back({a->socket_fd, POLLIN, 0});
        const int ready = poll(fds.data(), fds.size(), PollTimeoutMs(CTftpTransfer::Clock::now()));
        if (ready < 0 && errno != EINTR) return false;
        if (fds[0].revents != 0) return true;
        const auto now = CTftpTransfer::Clock::now();
        // Requests may add transfers at the end; the ones polled keep their places.
        const std::size_t polled = fds.size() - 2;
        if (fds[1].revents & POLLIN) ReceiveRequests(now);
        for (std::size_t i = 0; i < polled; ++i) {
            if (fds[i + 2].revents != 0) ReceiveOnTransfer(*active_[i], now);
        }
        StepTimers(CTftpTransfer::Clock::now());
        std::erase_if(active_, [](const auto& a) { return a->transfer->Finished(); });
    }
}

void CTftpServer::ReceiveRequests(TimePoint now) {
    for (int i = 0; i < kRequestsPerWake; ++i) {
        const Received r = ReceiveDatagram(listen_fd_, buffer_);
        if (r.size < 0) return;
        HandleRequest(r.from, r.local_ip,
                      ByteView(buffer_.data(), static_cast<std::size_t>(r.size)), now);
    }
}

void CTftpServer::HandleRequest(const Endpoint& from, std::uint32_t local_ip, ByteView packet,
                                TimePoint now) {
    // Never answer an error with an error: two servers would bounce them forever.
    if (from.port == 0 || PeekOpcode(packet) == Opcode::kError) return;
    // A client that heard nothing yet repeats its request; its transfer already
    // resends on its own timer, and a second transfer would only compete with it.
    if (Serving(from)) return;
    const auto request = ParseRequest(packet);
    if (!request)
        return Refuse(from, local_ip, ErrorCode::kIllegalOperation, "Illegal TFTP operation");
    if (request->opcode == Opcode::kWriteRequest) {
        return Refuse(from, local_ip, ErrorCode::kAccessViolation, "This server only sends files");
    }
    // netascii is sent as the file holds it: the images are binary, and converting
    // line ends would make the transfer size differ from the file size the controller
    // announced to the radio.
    if (request->mode != "octet" && request->mode != "netascii") {
        return Refuse(from, local_ip, ErrorCode::kIllegalOperation, "Unsupported transfer mode");
    }
    if (active_.size() >= options_.max_transfers) {
        return Refuse(from, local_ip, ErrorCode::kNotDefined,
                      "Too many transfers, try again later");
    }
    StartTransfer(from, local_ip, *request, now);
}

void CTftpServer::StartTransfer(const Endpoint& from, std::uint32_t local_ip,
                                const Request& request, TimePoint now) {
    OpenedFile opened = folder_.OpenFile(request.filename);
    if (opened.fd < 0) return Refuse(from, local_ip, opened.error, opened.message.c_str());
    // The transfer's own socket is its transfer ID, on the address the client asked.
    const int socket = OpenUdpSocket(local_ip, 0, false);
    if (socket < 0) {
        close(opened.fd);
        return Refuse(from, local_ip, ErrorCode::kNotDefined, "Out of sockets");
    }
    auto active = std::make_unique<Active>(socket, opened);
    active->transfer.emplace(from, Negotiate(request.options, opened.size, options_.limits),
                             active->blocks, *active, options_.max_retries);
    active->transfer->Start(now);
    if (!active->transfer->Finished()) active_.push_back(std::move(active));
}

void CTftpServer::Refuse(const Endpoint& to, std::uint32_t local_ip, ErrorCode code,
                         const char* message) {
    SendDatagram(listen_fd_, to, BuildError(code, message), local_ip);
}

// One datagram per wake-up: a transfer socket rarely holds more than one ACK, and
// poll reports it again at once if it does, so draining it would only add a read
// that finds nothing for every datagram.
void CTftpServer::ReceiveOnTransfer(Active& active, TimePoint now) {
    const Received r = ReceiveDatagram(active.socket_fd, buffer_);
    if (r.size < 0) return;
    active.transfer->OnPacket(r.from, ByteView(buffer_.data(), static_cast<std::size_t>(r.size)),
                              now);
}

void CTftpServer::StepTimers(TimePoint now) {
    for (auto& a : active_) a->transfer->OnTimer(now);
}

int CTftpServer::PollTimeoutMs(TimePoint now) const {
    if (active_.empty()) return -1;
    TimePoint earliest = TimePoint::max();
    for (const auto& a : active_) earliest = std::min(earliest, a->transfer->Deadline());
    if (earliest <= now) return 0;
    // Rounded up: waking a millisecond early would find nothing due and spin.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - now);
    return static_cast<int>(std::min<long long>(wait.count(), 60'000));
}

bool CTftpServer::Serving(const Endpoint& client) const {
    return std::any_of(active_.begin(), active_.end(),
                       [&](const auto& a) { return a->transfer->Peer() == client; });
}

}  // namespace fk::tftp
