// Gathering what the diagnosis judges: the ports, the firewall and the file server
// from the system, the adapters and the radios heard from the engine.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "operations/diagnosis.h"
#include "store/device_record.h"

namespace fk {

class IDeviceLink;

// Whether a file's "security.capability" attribute (struct vfs_cap_data, any
// revision) grants cap_net_bind_service in its permitted set.
bool CapabilityAllowsBind(std::span<const std::uint8_t> attribute);

// The ports (held by a process other than `own_pid`), the firewall, and the file
// server at `file_server_path`.
DiagnosisFacts ProbeSystem(const std::string& file_server_path, int own_pid);

// The adapters the engine sends from, and of the radios its search heard those no
// local address can reach, each with the engine's reason.
void AddRadioFacts(IDeviceLink& link, const std::vector<ap_info_stu>& heard, DiagnosisFacts& facts);

}  // namespace fk
