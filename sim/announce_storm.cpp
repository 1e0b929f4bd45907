#include "sim/announce_storm.h"

#include <algorithm>

#include "protocol/packet.h"

namespace fk::sim {
namespace {

// A model code radios really have, so nothing but the MAC gives the phantom away.
constexpr std::uint16_t kStormModel = 3;

}  // namespace

AnnounceStorm::AnnounceStorm(StormPlan plan, std::uint32_t seed)
    : plan_(std::move(plan)), rng_(seed) {}

void AnnounceStorm::Start(std::uint32_t controller, Clock now) {
    controller_ = controller;
    started_ = now;
}

std::vector<Datagram> AnnounceStorm::Due(Clock now, std::size_t limit) {
    std::vector<Datagram> out;
    if (!Started() || now < started_) return out;
    std::uint64_t due = (now - started_) * static_cast<std::uint64_t>(plan_.rate) / 1000;
    if (plan_.count > 0) due = std::min(due, plan_.count);
    while (sent_ < due && out.size() < limit) {
        out.push_back(Next());
        ++sent_;
    }
    return out;
}

Datagram AnnounceStorm::Next() {
    const std::uint64_t bits = rng_();
    std::uint8_t mac[6];
    for (int k = 0; k < 6; ++k) mac[k] = static_cast<std::uint8_t>(bits >> (8 * k));
    // Unicast and never all zero, as a radio's own MAC would be.
    mac[0] = static_cast<std::uint8_t>((mac[0] & 0xfe) | 0x02);
    std::vector<std::uint8_t> version(kShortAnnouncementSize, 0);
    const char text[] = "storm";
    std::copy(text, text + 5, version.begin());
    version[kShortAnnouncementSize - 1] = 5;
    Datagram d = BuildDatagram(MSG_DISCOVER, version, MacBytesToText(mac), false);
    d[2] = static_cast<std::uint8_t>(kStormModel & 0xff);
    d[3] = static_cast<std::uint8_t>(kStormModel >> 8);
    return d;
}

}  // namespace fk::sim
