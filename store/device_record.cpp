#include "store/device_record.h"

#include "protocol/packet.h"

namespace fk {

std::string ap_info_stu::IpText() const {
    return IpOctetsToText(report.ip);
}

}  // namespace fk
