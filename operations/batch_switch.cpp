#include "operations/batch_switch.h"

#include "protocol/device_link.h"
#include "protocol/packet.h"
#include "store/display_codes.h"
#include "store/store_view.h"

namespace fk {

std::uint16_t SwitchCommand(SwitchKind kind) {
    return kind == SwitchKind::TransparentBridge ? MSG_SET_TRANSPARENT_BRIDGE : MSG_SET_TDMA;
}

std::size_t SwitchByte(SwitchKind kind) {
    return kind == SwitchKind::TransparentBridge ? 0 : 1;
}

std::vector<ap_select_stu> SelectSwitchable(SwitchKind kind,
                                            const std::vector<ap_info_stu>& ticked) {
    std::vector<ap_select_stu> out;
    for (const ap_info_stu& r : ticked) {
        const bool has = kind == SwitchKind::TransparentBridge
                             ? HasTransparentBridgeSwitch(r.ap_type, r.report.work_mode)
                             : HasTdmaSwitch(r.ap_type);
        if (has) out.push_back(SelectionOf(r));
    }
    return out;
}

switch_set_stu PresetSwitchBlock(IStoreView& store, SwitchKind kind, const ap_select_stu& first) {
    switch_set_stu block{};
    ap_info_stu record = ZeroRecord();
    store.GetDevice(first.mac, record);
    block[SwitchByte(kind)] = kind == SwitchKind::TransparentBridge
                                  ? record.report.bridge_transparent
                                  : record.report.tdmaEn;
    return block;
}

void SetSwitchChoice(switch_set_stu& block, SwitchKind kind, bool enable) {
    block[SwitchByte(kind)] = enable ? 1 : 0;
}

void SendSwitchBatch(IDeviceLink& link, SwitchKind kind, const switch_set_stu& block,
                     const std::vector<ap_select_stu>& batch, std::stop_token stop,
                     const std::function<void()>& done) {
    for (const ap_select_stu& device : batch) {
        if (stop.stop_requested()) return;
        link.SendToDevice(device.ip, SwitchCommand(kind), block, device.mac, true);
    }
    if (done && !stop.stop_requested()) done();
}

}  // namespace fk
