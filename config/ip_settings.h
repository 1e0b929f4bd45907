// The IP settings and name tab as a rule: what it shows for a record, and what Save
// makes of the user's input. Addresses are checked only when one of them changed, so
// a device whose stored settings fail today's rules can still be renamed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/command_blocks.h"
#include "config/pane_rejection.h"
#include "store/device_record.h"

namespace fk {

enum IpField : int {
    kIpFieldNone,
    kIpFieldIp,
    kIpFieldMask,
    kIpFieldGateway,
    kIpFieldDns1,
    kIpFieldDns2,
    kIpFieldName
};

struct IpPaneInput {
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
    std::string name;
};

struct IpPaneResult {
    ip_set_stu ip_block{};
    bool ip_changed = false;
    name_set_stu name_block{};
    bool name_changed = false;
    std::optional<PaneRejection> rejection;
};

IpPaneInput IpPaneShown(const ap_info_stu& record);

// `stored_ips` are the addresses of every stored device, online or not.
IpPaneResult CollectIpSettings(const ap_info_stu& record, const IpPaneInput& input,
                               const std::vector<std::string>& stored_ips);

}  // namespace fk
