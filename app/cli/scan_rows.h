// Site survey entries as the command line shows them.
#pragma once

#include <string>

#include "store/device_record.h"

namespace fk::cli {

// One survey entry as a JSON object: mac, ssid, signal, channel, secure_mode,
// exchannel, bandwidth.
std::string ScanEntryJson(const config_otherwl_basic& entry);

}  // namespace fk::cli
