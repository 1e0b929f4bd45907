#include "service/active_transfer.h"

#include <unistd.h>

#include "service/udp_socket.h"

namespace fk::tftp {

CActiveTransfer::CActiveTransfer(int socket, const OpenedFile& opened)
    : socket_fd(socket), blocks(opened.fd, opened.size) {}

CActiveTransfer::~CActiveTransfer() {
    close(socket_fd);
}

void CActiveTransfer::Send(const Endpoint& to, ByteView datagram) {
    SendDatagram(socket_fd, to, datagram);
}

}  // namespace fk::tftp
