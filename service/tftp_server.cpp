#include "service/tftp_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "service/udp_socket.h"

namespace fk::tftp {
namespace {

// A burst of requests is taken per wake-up, but never so many that a flood of them
// keeps the server from seeing the signal to stop.
constexpr int kRequestsPerWake = 64;
constexpr std::size_t kReceiveBuffer = 65536;

}  // namespace

CTftpServer::CTftpServer(CServedFolder folder, ServerOptions options)
    : folder_(std::move(folder)), options_(options), buffer_(kReceiveBuffer) {}

CTftpServer::~CTftpServer() {
    loops_.clear();
    if (listen_fd_ >= 0) close(listen_fd_);
}

int CTftpServer::Bind() {
    listen_fd_ = OpenUdpSocket(0, options_.port, true);
    return listen_fd_ < 0 ? errno : 0;
}

bool CTftpServer::StartLoops() {
    std::size_t count = options_.transfer_loops;
    if (count == 0) count = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    for (std::size_t i = 0; i < count; ++i) {
        loops_.push_back(std::make_unique<CTransferLoop>());
        if (!loops_.back()->Start()) return false;
    }
    return true;
}

bool CTftpServer::Run(int stop_fd) {
    if (!StartLoops()) return false;
    pollfd fds[2] = {{stop_fd, POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    while (true) {
        fds[0].revents = fds[1].revents = 0;
        const int ready = poll(fds, 2, -1);
        if (ready < 0 && errno != EINTR) return false;
        if (fds[0].revents != 0) return true;
        if (fds[1].revents & POLLIN) ReceiveRequests(CTftpTransfer::Clock::now());
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
    if (Running() >= options_.max_transfers) {
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
    auto active = std::make_unique<CActiveTransfer>(socket, opened);
    active->transfer.emplace(from, Negotiate(request.options, opened.size, options_.limits),
                             active->blocks, *active, options_.max_retries);
    active->transfer->Start(now);
    if (!active->transfer->Finished()) LeastLoaded().Add(std::move(active));
}

void CTftpServer::Refuse(const Endpoint& to, std::uint32_t local_ip, ErrorCode code,
                         const char* message) {
    SendDatagram(listen_fd_, to, BuildError(code, message), local_ip);
}

bool CTftpServer::Serving(const Endpoint& client) const {
    return std::any_of(loops_.begin(), loops_.end(),
                       [&](const auto& loop) { return loop->Serving(client); });
}

std::size_t CTftpServer::Running() const {
    std::size_t running = 0;
    for (const auto& loop : loops_) running += loop->Load();
    return running;
}

CTransferLoop& CTftpServer::LeastLoaded() {
    return **std::min_element(loops_.begin(), loops_.end(),
                              [](const auto& a, const auto& b) { return a->Load() < b->Load(); });
}

}  // namespace fk::tftp
