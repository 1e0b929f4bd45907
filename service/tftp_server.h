// The server: one thread takes the requests on the well-known port, answers refusals
// itself and starts each accepted transfer, then hands it to the transfer loop that
// runs the fewest (see transfer_loop.h). A loop per core, not a thread per transfer:
// the number of transfers is bounded, a loop runs many at once without locks, and
// more threads than cores would only take turns.
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
#include "service/transfer_loop.h"

namespace fk::tftp {

struct ServerOptions {
    std::uint16_t port = kDefaultPort;
    // Ten radios are upgraded at once; the rest is room for their retries and for a
    // second controller's worth of requests. Beyond it a request is refused at once,
    // so a flood cannot exhaust descriptors or memory.
    std::size_t max_transfers = 32;
    int max_retries = CTftpTransfer::kDefaultMaxRetries;
    // 0: one per core, at most four.
    std::size_t transfer_loops = 0;
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
    using TimePoint = CTftpTransfer::TimePoint;

    bool StartLoops();
    void ReceiveRequests(TimePoint now);
    void HandleRequest(const Endpoint& from, std::uint32_t local_ip, ByteView packet,
                       TimePoint now);
    void StartTransfer(const Endpoint& from, std::uint32_t local_ip, const Request& request,
                       TimePoint now);
    void Refuse(const Endpoint& to, std::uint32_t local_ip, ErrorCode code, const char* message);
    bool Serving(const Endpoint& client) const;
    std::size_t Running() const;
    CTransferLoop& LeastLoaded();

    CServedFolder folder_;
    ServerOptions options_;
    int listen_fd_ = -1;
    std::vector<std::unique_ptr<CTransferLoop>> loops_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace fk::tftp
