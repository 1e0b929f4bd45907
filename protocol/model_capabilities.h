// What each radio model is called and what it can do, one row per model. Every rule
// that depends on the device type code reads its row here: a new model is one new
// row, and nothing else has to learn its code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/wire_sizes.h"

namespace fk {

// The channel widths a model offers in the 5 GHz band.
enum class BandwidthFamily {
    Basic,   // 20 and 40 MHz
    Narrow,  // 10, 20, 30 and 40 MHz
    Wide,    // Auto, 10 to 40 MHz, and with 11ac also 50, 60 and 80 MHz
};

// The Ethernet ports whose VLAN identifiers a model takes besides the management and
// wireless ones.
enum class VlanPorts {
    None,
    OneLan,    // a port VLAN and one port, shown as "LAN"
    ThreeLan,  // a port VLAN and the ports LAN2, LAN3 and LAN4
};

struct ModelCapabilities {
    std::uint16_t code;  // the type code in every packet header
    std::string_view name;
    // Names and SSIDs limited to letters, digits, Chinese and a few marks.
    bool restricted_names;
    bool transparent_bridge;
    bool tdma;  // the Slotra switch
    bool has_11ac;
    BandwidthFamily bandwidths;
    // Leaves channels 8, 179, 181 and 188 out of the "Test" country row.
    bool test_row_skips_channels;
    VlanPorts vlan_ports;
    // MSG_SET_VLAN bytes the model takes: the head alone, or the head with the switch
    // and port fields (kVlanBlockShort or kVlanBlockFull).
    std::size_t vlan_block_size;
};

std::span<const ModelCapabilities> KnownModels();

// A code or name the table does not know gets the first row: devices of unknown
// models are shown as the first model and have no capability beyond the common ones.
const ModelCapabilities& ModelByCode(int code);
// The name must match exactly, case included.
const ModelCapabilities& ModelByName(std::string_view name);

}  // namespace fk
