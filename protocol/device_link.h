// What windows and pages may ask of the communication engine. The engine implements
// it; UI and flow tests hand a recorder that keeps every call with its bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/adapter_source.h"
#include "store/device_record.h"

namespace fk {

// The one thing a flow may read from the engine: whether the survey it asked for has
// delivered its last result packet, and how many of its other packets are still out.
class IScanState {
  public:
    virtual ~IScanState() = default;
    virtual bool ScanComplete() const = 0;
    virtual int ScanPacketsMissing() const { return 0; }
};

class IDeviceLink : public IScanState {
  public:
    // True when the command left the host. With `retransmit` the engine repeats it
    // until the device answers with the same type or the retry limit is reached.
    virtual bool SendToDevice(const std::string& ip, std::uint16_t type,
                              std::span<const std::uint8_t> payload, const std::string& mac,
                              bool retransmit) = 0;
    virtual void SearchDevices() = 0;
    virtual void SetPendingIp(const std::string& mac, const std::string& old_ip,
                              const std::string& new_ip) = 0;
    virtual void ReleasePendingDevices() = 0;
    virtual void DropPendingDevices() = 0;
    virtual void PruneStoreToPresent() = 0;
    virtual void ListPendingDevices(int max, const std::string& filter,
                                    std::vector<ap_info_stu>& list) = 0;
    virtual void GetLocalAdapters(std::vector<adapter_info_stu>& list) = 0;
    // Why a command to `ip` could not leave (no local address in its subnet) and what
    // fixes it; empty when nothing stands in the way.
    virtual std::string UnreachableReason(const std::string& ip) const {
        (void)ip;
        return {};
    }
};

}  // namespace fk
