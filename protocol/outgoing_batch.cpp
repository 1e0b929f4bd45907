#include "protocol/outgoing_batch.h"

#include <utility>

namespace fk {
namespace {

thread_local COutgoingBatch* t_open_batch = nullptr;

}  // namespace

void COutgoingBatch::Add(std::uint32_t interface_index, std::uint32_t source_ip,
                         std::vector<std::uint8_t> bytes) {
    held_.push_back({interface_index, source_ip, std::move(bytes)});
}

std::size_t COutgoingBatch::SendAll(CUdpSocket& socket, const std::string& group,
                                    std::uint16_t port) {
    std::vector<GroupDatagram> datagrams;
    datagrams.reserve(held_.size());
    for (const Held& h : held_) datagrams.push_back({h.interface_index, h.source_ip, h.bytes});
    const std::size_t sent = socket.SendManyFromInterface(datagrams, group, port);
    held_.clear();
    return sent;
}

COutgoingBatch* COutgoingBatch::OfThisThread() {
    return t_open_batch;
}

CPassSends::CPassSends(CUdpSocket& socket, std::string group, std::uint16_t port)
    : socket_(socket), group_(std::move(group)), port_(port), outer_(t_open_batch) {
    t_open_batch = &batch_;
}

CPassSends::~CPassSends() {
    t_open_batch = outer_;
    batch_.SendAll(socket_, group_, port_);
}

}  // namespace fk
