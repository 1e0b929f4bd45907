#include "config/batch_ip.h"

#include "protocol/device_link.h"
#include "protocol/packet.h"

namespace fk {

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

void SendBatchIp(IDeviceLink& link, const std::vector<ap_select_stu>& selection,
                 const ip_range_stu& range, std::stop_token stop) {
    for (const IpAssignment& a : AssignAddresses(selection, range)) {
        if (stop.stop_requested()) return;
        const ip_set_stu block = BuildIpBlock(IpTextToOctets(a.new_ip), range.mask, range.gateway,
                                              range.dns1, range.dns2);
        link.SetPendingIp(a.device.mac, a.device.ip, a.new_ip);
        link.SendToDevice(a.device.ip, MSG_SET_IP, block, a.device.mac, true);
    }
}

CBatchIpProgress::Step CBatchIpProgress::Tick() {
    Step step;
    if (ticks_ >= kTicks) {
        step.position = ticks_;
        step.close = true;
        return step;
    }
    ++ticks_;
    step.position = ticks_;
    if (passes_left_ > 0 && ticks_ == kTicks - 6 * passes_left_ + 6) {
        step.release = passes_left_ == kPasses;
        --passes_left_;
        step.search = true;
    }
    step.close = ticks_ >= kTicks;
    return step;
}

}  // namespace fk
