// Handing a range of addresses to a batch of devices, and the progress that follows
// while the devices restart under their new addresses.
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "config/command_blocks.h"
#include "store/device_record.h"

namespace fk {

class IDeviceLink;

struct ip_range_stu {
    Ipv4Octets begin{};
    Ipv4Octets end{};
    Ipv4Octets mask{};
    Ipv4Octets gateway{};
    Ipv4Octets dns1{};
    Ipv4Octets dns2{};
};

struct IpAssignment {
    ap_select_stu device;
    std::string new_ip;
};

// Which device gets which address: ascending through the range, skipping host parts
// .0 and .255 (network and broadcast on the usual /24 segments), in selection order.
// A single device always gets the begin address; a range shorter than the selection
// leaves the rest out; an end below the begin gives nobody anything.
std::vector<IpAssignment> AssignAddresses(const std::vector<ap_select_stu>& selection,
                                          const ip_range_stu& range);

// Sends one MSG_SET_IP per assignment, telling the engine each new address first so
// the device is recognised when it announces itself from there.
void SendBatchIp(IDeviceLink& link, const std::vector<ap_select_stu>& selection,
                 const ip_range_stu& range, std::stop_token stop);

// 15 seconds of 500 ms ticks. Devices take about 10 s to come back under a new
// address, so the engine searches for them only in the last three seconds of each
// six-tick stretch from tick 18 on.
class CBatchIpProgress {
  public:
    struct Step {
        int position = 0;
        bool release = false;  // release devices that announced but never reported
        bool search = false;
        bool close = false;
    };
    static constexpr int kTicks = 30;
    static constexpr int kPasses = 3;

    Step Tick();
    int Position() const { return ticks_; }

  private:
    int ticks_ = 0;
    int passes_left_ = kPasses;
};

}  // namespace fk
