#include "config/batch_ip.h"

#include "protocol/packet.h"

namespace fk {

ValidationResult CollectIpRange(const IpRangeInput& in, int device_count, ip_range_stu& range) {
    const ValidationResult check =
        CheckIpRange(in.begin, in.end, in.mask, in.gateway, in.dns1, in.dns2, device_count);
    if (!check) return check;
    const std::pair<const std::string*, Ipv4Octets*> fields[] = {
        {&in.begin, &range.begin},     {&in.end, &range.end},   {&in.mask, &range.mask},
        {&in.gateway, &range.gateway}, {&in.dns1, &range.dns1}, {&in.dns2, &range.dns2}};
    for (const auto& [text, octets] : fields) ParseIpv4(*text, *octets);
    return check;
}

std::vector<IpAssignment> AssignAddresses(const std::vector<ap_select_stu>& selection,
                                          const ip_range_stu& range) {
    std::vector<IpAssignment> out;
    if (selection.empty()) return out;
    if (selection.size() == 1) {
        out.push_back({selection.front(), IpOctetsToText(range.begin)});
        return out;
    }
    const std::uint32_t begin = HostOrderOf(range.begin);
    const std::uint32_t end = HostOrderOf(range.end);
    // A 64-bit counter: an end of 255.255.255.255 must not wrap the loop forever.
    for (std::uint64_t v = begin; v <= end && out.size() < selection.size(); ++v) {
        const auto last = static_cast<std::uint8_t>(v & 0xFF);
        if (last == 0 || last == 255) continue;
        out.push_back({selection[out.size()],
                       IpOctetsToText(OctetsOfHostOrder(static_cast<std::uint32_t>(v)))});
    }
    return out;
}

std::vector<FlowCommand> BatchIpCommands(const std::vector<ap_select_stu>& selection,
                                         const ip_range_stu& range) {
    std::vector<FlowCommand> commands;
    for (const IpAssignment& a : AssignAddresses(selection, range)) {
        const ip_set_stu block = BuildIpBlock(IpTextToOctets(a.new_ip), range.mask, range.gateway,
                                              range.dns1, range.dns2);
        FlowCommand c;
        c.ip = a.device.ip;
        c.mac = a.device.mac;
        c.type = MSG_SET_IP;
        c.payload.assign(block.begin(), block.end());
        c.pending_ip = a.new_ip;
        commands.push_back(std::move(c));
    }
    return commands;
}

FlowStep CBatchIpFlow::Start(FlowTime now) {
    FlowStep step = schedule_.Start(now);
    step.commands = BatchIpCommands(selection_, range_);
    return step;
}

}  // namespace fk
