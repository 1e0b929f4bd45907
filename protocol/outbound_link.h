// What the presence table and the inbound handlers need from the engine: the one
// way out to a device, and the two pieces of engine state a reply may touch. Tests
// implement it to record every send without a socket.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace fk {

class IOutboundLink {
  public:
    virtual ~IOutboundLink() = default;
    virtual bool SendToDevice(const std::string& ip, std::uint16_t type,
                              std::span<const std::uint8_t> payload, const std::string& mac,
                              bool retransmit) = 0;
    virtual void Acknowledge(const std::string& ip, const std::string& mac, int type) = 0;
    // A survey result packet's entries are in the store.
    virtual void ScanPacketStored(int packet_id, int packet_count) = 0;
    // Whether `mac` at `ip` was asked for a survey recently enough that its result
    // packets are awaited.
    virtual bool SurveyExpected(const std::string& ip, const std::string& mac) const = 0;
    // An answer of `type` from `mac` at `ip` has been handled, store updates included,
    // so a waiter that reads the store now sees what the answer changed. `result` is
    // its first payload byte (0 when it carries none, as the zero-filled area reads).
    virtual void AnswerHandled(const std::string& ip, const std::string& mac, int type,
                               std::uint8_t result) {
        (void)ip;
        (void)mac;
        (void)type;
        (void)result;
    }
};

}  // namespace fk
