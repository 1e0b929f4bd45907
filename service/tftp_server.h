// The server's socket loop: one thread, one poll over the well-known port and every
// transfer's own socket, woken by the first datagram or the earliest retransmission
// deadline. One thread is enough and keeps the transfers free of locks: the number of
// transfers is bounded, and the work per datagram is one read from a file the page
// cache already holds and one send, so the thread keeps up with a LAN long before a
// core is busy. A thread per transfer would buy nothing but the locking.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "service/served_folder.h"
#include "service/server_config.h"
#include "service/tftp_options.h"
#include "service/tftp_transfer.h"

namespace fk::tftp {

struct ServerOptions {
    std::uint16_t port = kDefaultPort;
    // Ten radios are upgraded at once; the rest is room for their retries and for a
    // second controller's worth of requests. Beyond it a request is refused at once,
    // so a flood cannot exhaust descriptors or memory.
    std::size_t max_transfers = 32;
    int max_retries = CTftpTransfer::kDefaultMaxRetries;
    NegotiationLimits limits;
};

class CTftpServer {
  public:
    CTftpServer(CServedFolder folder, ServerOptions options);
    ~CTftpServer();
    CTftpServer(const CTftpServer&) = delete;
    CTftpServer& operator=(const CTftpServer&) = delete;

    // 0 once the well-known port is bound, else the errno of the failure.
    int Bind();
    // Serves until `stop_fd` turns readable. False when polling fails for good.
    bool Run(int stop_fd);

  private:
    struct Active;
    using TimePoint = CTftpTransfer::TimePoint;

    void ReceiveRequests(TimePoint now);
    void HandleRequest(const Endpoint& from, std::uint32_t local_ip, ByteView packet,
                       TimePoint now);
    void StartTransfer(const Endpoint& from, std::uint32_t local_ip, const Request& request,
                       TimePoint now);
    void Refuse(const Endpoint& to, std::uint32_t local_ip, ErrorCode code, const char* message);
    void ReceiveOnTransfer(Active& active, TimePoint now);
    void StepTimers(TimePoint now);
    int PollTimeoutMs(TimePoint now) const;
    bool Serving(const Endpoint& client) const;

    CServedFolder folder_;
    ServerOptions options_;
    int listen_fd_ = -1;
    std::vector<std::unique_ptr<Active>> active_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace fk::tftp
