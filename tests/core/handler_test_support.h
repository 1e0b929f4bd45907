// A recording stand-in for the engine's way out, and datagrams as devices send them,
// shared by the presence and handler tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "protocol/outbound_link.h"
#include "protocol/packet.h"
#include "protocol/scan_progress.h"
#include "protocol/udp_socket.h"
#include "support/send_recorder.h"

namespace fk::testing {

struct Acknowledgement {
    std::string ip;
    std::string mac;
    int type = 0;
};

class RecordingOutboundLink : public IOutboundLink, public test::SendRecorder {
  public:
    bool SendToDevice(const std::string& ip, std::uint16_t type,
                      std::span<const std::uint8_t> payload, const std::string& mac,
                      bool retransmit) override {
        return RecordSend(ip, type, payload, mac, retransmit);
    }
    void Acknowledge(const std::string& ip, const std::string& mac, int type) override {
        std::lock_guard lock(mutex_);
        acks.push_back({ip, mac, type});
    }
    // The flag goes up when the survey becomes complete, as the engine's does; a test
    // may lower it again to see whether a later packet raises it.
    void ScanPacketStored(int packet_id, int packet_count) override {
        if (on_scan_stored) on_scan_stored();
        const bool was_complete = scan.Complete();
        scan.Stored(packet_id, packet_count);
        if (!was_complete && scan.Complete()) scan_complete = true;
    }
    bool SurveyExpected(const std::string& ip, const std::string& mac) const override {
        (void)ip;
        (void)mac;
        return survey_expected;
    }
    void AnswerHandled(const std::string& ip, const std::string& mac, int type,
                       std::uint8_t result) override {
        if (on_answer) on_answer();
        std::lock_guard lock(mutex_);
        answers.push_back({ip, mac, type});
        answer_results.push_back(result);
    }

    std::vector<Acknowledgement> acks;
    std::vector<Acknowledgement> answers;
    std::vector<std::uint8_t> answer_results;
    std::function<void()> on_answer;
    bool scan_complete = false;
    bool survey_expected = true;  // as if every radio had been asked for a survey
    CScanProgress scan;
    std::function<void()> on_scan_stored;
};

// A queue element as the receivers build it: `wire_size` bytes of the datagram
// arrived (the rest of the area reads as 0), `len` is what the header claims.
inline udp_packet_stu Element(std::uint16_t type, const std::string& mac,
                              const std::string& source_ip,
                              const std::vector<std::uint8_t>& payload, std::uint16_t ap_type = 3) {
    auto bytes = BuildDatagram(type, payload, mac, false);
    bytes[2] = static_cast<std::uint8_t>(ap_type & 0xff);
    bytes[3] = static_cast<std::uint8_t>(ap_type >> 8);
    std::uint32_t ip = 0;
    ParseIpv4(source_ip, ip);
    return *MakeQueueElement(bytes, ip, 9999);
}

template <typename T>
std::vector<std::uint8_t> Bytes(const T& value) {
    std::vector<std::uint8_t> out(sizeof(T));
    std::memcpy(out.data(), &value, sizeof(T));
    return out;
}

}  // namespace fk::testing
