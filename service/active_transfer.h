// A running transfer with what it owns: its own socket (the server's transfer ID),
// the open file it reads, and the state machine. It is its own packet sink: what the
// transfer sends goes out of its socket.
#pragma once

#include <optional>

#include "service/file_blocks.h"
#include "service/served_folder.h"
#include "service/tftp_transfer.h"

namespace fk::tftp {

struct CActiveTransfer final : IPacketSink {
    CActiveTransfer(int socket, const OpenedFile& opened);
    ~CActiveTransfer() override;
    CActiveTransfer(const CActiveTransfer&) = delete;
    CActiveTransfer& operator=(const CActiveTransfer&) = delete;

    void Send(const Endpoint& to, ByteView datagram) override;

    int socket_fd;
    CFileBlocks blocks;
    std::optional<CTftpTransfer> transfer;
};

}  // namespace fk::tftp
