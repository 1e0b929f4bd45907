// Handing a range of addresses to a batch of devices, and the progress that follows
// while the devices restart under their new addresses.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/command_blocks.h"
#include "config/validation.h"
#include "operations/flow.h"
#include "operations/wait_schedule.h"
#include "store/device_record.h"

namespace fk {

struct ip_range_stu {
    Ipv4Octets begin{};
    Ipv4Octets end{};
    Ipv4Octets mask{};
    Ipv4Octets gateway{};
    Ipv4Octets dns1{};
    Ipv4Octets dns2{};
};

// The six fields of the batch window as typed; an empty one is 0.0.0.0.
struct IpRangeInput {
    std::string begin;
    std::string end;
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
};

// The range rules on what was typed; when they pass, `range` holds the addresses
// exactly as typed (the end of a single device's range, which is not used, is 0.0.0.0
// when it is no address).
ValidationResult CollectIpRange(const IpRangeInput& in, int device_count, ip_range_stu& range);

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

// One MSG_SET_IP per assignment, each telling the engine the new address first so the
// device is recognised when it announces itself from there.
std::vector<FlowCommand> BatchIpCommands(const std::vector<ap_select_stu>& selection,
                                         const ip_range_stu& range);

// Save of the batch address window: the commands at once, then 15 seconds of the wait
// window's schedule with three rediscovery passes while the devices come back under
// their new addresses (about 10 s each).
class CBatchIpFlow final : public IFlow {
  public:
    static constexpr int kSeconds = 15;
    static constexpr int kPasses = 3;

    CBatchIpFlow(std::vector<ap_select_stu> selection, const ip_range_stu& range)
        : selection_(std::move(selection)), range_(range), schedule_(kSeconds, true, kPasses) {}

    std::chrono::milliseconds Period() const override { return schedule_.Period(); }
    FlowStep Start(FlowTime now) override;
    FlowStep Tick(FlowTime now) override { return schedule_.Tick(now); }

  private:
    std::vector<ap_select_stu> selection_;
    ip_range_stu range_;
    CWaitSchedule schedule_;
};

}  // namespace fk
