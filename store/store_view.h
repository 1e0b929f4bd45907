// What pages, windows and flows may read from the device store, and the two writes an
// operation makes itself. The store implements both; nothing above the engine sees
// its SQL, so no window can change a device row behind the handlers' back.
#pragma once

#include <string>
#include <vector>

#include "store/device_record.h"

namespace fk {

class IStoreView {
  public:
    virtual ~IStoreView() = default;
    virtual bool QueryDevicePage(int sort, std::vector<ap_info_stu>& list, int& page_count,
                                 int& online_count, int size, int page, bool ascending,
                                 const std::string& text) = 0;
    virtual bool GetDevice(const std::string& mac, ap_info_stu& record) = 0;
    virtual int GetStatus(const std::string& mac) = 0;
    virtual bool IsUpgradeWaiting(const std::string& mac) = 0;
    virtual bool HasBridgedStation(const std::string& mac) = 0;
    virtual bool GetAllIps(std::vector<std::string>& ips) = 0;
    virtual bool GetAllMacs(std::vector<std::string>& macs) = 0;
    virtual bool GetScanList(int sort, std::vector<config_otherwl_basic>& list, bool ascending) = 0;
    virtual bool GetScanEntry(const std::string& mac, config_otherwl_basic& entry) = 0;
};

// The read-only view plus the writes a flow's driver carries out for it.
class IOperationStore : public IStoreView {
  public:
    virtual bool ResetUpgradeFail(const std::string& mac) = 0;
    virtual bool ClearScanResults() = 0;
};

}  // namespace fk
