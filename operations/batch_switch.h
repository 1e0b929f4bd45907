// Switching transparent bridging or Slotra on or off for a batch of ticked devices.
// Devices without the feature (by model, and for bridging by work mode) would answer
// the command without acting on it, so they are left out of the batch.
#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "config/command_blocks.h"
#include "store/device_record.h"

namespace fk {

class IDeviceLink;
class IStoreView;

enum class SwitchKind { TransparentBridge, Slotra };

std::uint16_t SwitchCommand(SwitchKind kind);
// Byte of the block (and of the report) that carries the choice.
std::size_t SwitchByte(SwitchKind kind);

// The ticked devices that have the feature, in the order given.
std::vector<ap_select_stu> SelectSwitchable(SwitchKind kind,
                                            const std::vector<ap_info_stu>& ticked);

// The block preset from the first device's stored state (0 when it is not stored).
switch_set_stu PresetSwitchBlock(IStoreView& store, SwitchKind kind, const ap_select_stu& first);
void SetSwitchChoice(switch_set_stu& block, SwitchKind kind, bool enable);

// One command per device in batch order; `done` runs after the last one, so the
// owner can refresh its list once the devices had time to answer.
void SendSwitchBatch(IDeviceLink& link, SwitchKind kind, const switch_set_stu& block,
                     const std::vector<ap_select_stu>& batch, std::stop_token stop,
                     const std::function<void()>& done);

}  // namespace fk
