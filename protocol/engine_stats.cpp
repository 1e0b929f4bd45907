#include "protocol/engine_stats.h"

namespace fk {
namespace {

void AddPort(std::vector<std::pair<std::string, std::uint64_t>>& out, const std::string& port,
             const PortStats& s) {
    out.emplace_back(port + "_received", s.received);
    out.emplace_back(port + "_rejected", s.rejected);
    out.emplace_back(port + "_queue_dropped", s.queue_dropped);
}

}  // namespace

std::vector<std::pair<std::string, std::uint64_t>> StatsFields(const EngineStats& stats) {
    std::vector<std::pair<std::string, std::uint64_t>> out;
    AddPort(out, "announce", stats.announce);
    AddPort(out, "keepalive", stats.keepalive);
    AddPort(out, "reply", stats.reply);
    out.emplace_back("presence_records", stats.presence.records_now);
    out.emplace_back("presence_announced", stats.presence.announced_now);
    out.emplace_back("announced_over_cap", stats.presence.over_announced_cap);
    out.emplace_back("announced_over_source_limit", stats.presence.over_source_limit);
    out.emplace_back("scan_packets_unasked", stats.handlers.scan_packets_unasked);
    out.emplace_back("scan_packets_short", stats.handlers.scan_packets_short);
    out.emplace_back("resend_pending", stats.resend_pending);
    out.emplace_back("resend_replaced", stats.resend_replaced);
    out.emplace_back("answers_watched", stats.answers_watched);
    out.emplace_back("answers_unwatched", stats.answers_unwatched);
    return out;
}

}  // namespace fk
