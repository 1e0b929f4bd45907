// The PC's adapters as rows of text: what the system tool page and `fieldkit-cli
// adapters` show, one row per adapter in list order.
#pragma once

#include <string>
#include <vector>

#include "app/text_table.h"
#include "protocol/adapter_source.h"

namespace fk {

struct adapter_row_stu {
    std::string id;           // position in the list, from 1
    std::string description;  // adapter name text
    std::string mac;          // "%02x:%02x:%02x:%02x:%02x:%02x"
    std::string ip;           // address texts joined with "--"
};

std::string AdapterAddressText(const adapter_info_stu& adapter);
std::vector<adapter_row_stu> AdapterRows(const std::vector<adapter_info_stu>& adapters);

using AdapterTableFormat = TextTableFormat;

// The rows with a header line ("ID", "Description", "MAC", "IP").
std::string FormatAdapterRows(const std::vector<adapter_row_stu>& rows, AdapterTableFormat format);

}  // namespace fk
