// Site survey entries as the command line shows them.
#pragma once

#include <string>
#include <vector>

#include "app/text_table.h"
#include "store/device_record.h"

namespace fk::cli {

// One survey entry as a JSON object: mac, ssid, signal, channel, secure_mode,
// exchannel, bandwidth.
Json ScanEntryJson(const config_otherwl_basic& entry);

// What the survey panel lists, in its column order, with the signal in dBm.
TextRow SurveyHeader();
std::vector<TextRow> SurveyTextRows(const std::vector<config_otherwl_basic>& entries);

}  // namespace fk::cli
