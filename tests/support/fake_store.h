// A store view for flow tests: the records and statuses the test puts in, and the
// writes a flow's driver made, in order. Sender threads never read it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "store/store_view.h"

namespace fk::test {

class FakeStore final : public IOperationStore {
  public:
    void Put(const ap_info_stu& record) { records_[record.MacText()] = record; }
    void SetStatusOf(const std::string& mac, int status) { statuses_[mac] = status; }
    void SetScan(std::vector<config_otherwl_basic> entries) { scan_ = std::move(entries); }
    const std::vector<std::string>& Writes() const { return writes_; }

    bool QueryDevicePage(int, std::vector<ap_info_stu>& list, int& page_count, int& online_count,
                         int, int, bool, const std::string&) override {
        list.clear();
        for (const auto& [mac, record] : records_) list.push_back(record);
        page_count = 1;
        online_count = static_cast<int>(list.size());
        return true;
    }
    bool GetDevice(const std::string& mac, ap_info_stu& record) override {
        const auto it = records_.find(mac);
        if (it == records_.end()) return false;
        record = it->second;
        return true;
    }
    int GetStatus(const std::string& mac) override {
        const auto it = statuses_.find(mac);
        return it == statuses_.end() ? 0 : it->second;
    }
    bool IsUpgradeWaiting(const std::string& mac) override { return GetStatus(mac) == 6; }
    bool HasBridgedStation(const std::string& mac) override { return bridged_.count(mac) > 0; }
    void SetBridged(const std::string& ap_mac) { bridged_[ap_mac] = true; }
    bool GetAllIps(std::vector<std::string>& ips) override {
        ips.clear();
        for (const auto& [mac, record] : records_) ips.push_back(record.IpText());
        return true;
    }
    bool GetAllMacs(std::vector<std::string>& macs) override {
        macs.clear();
        for (const auto& [mac, record] : records_) macs.push_back(mac);
        return true;
    }
    bool GetScanList(int, std::vector<config_otherwl_basic>& list, bool) override {
        list = scan_;
        return true;
    }
    bool GetScanEntry(const std::string&, config_otherwl_basic&) override { return false; }
    bool ResetUpgradeFail(const std::string& mac) override {
        writes_.push_back("reset-upgrade-fail " + mac);
        return true;
    }
    bool ClearScanResults() override {
        writes_.push_back("clear-scan");
        scan_.clear();
        return true;
    }

  private:
    std::map<std::string, ap_info_stu> records_;
    std::map<std::string, int> statuses_;
    std::map<std::string, bool> bridged_;
    std::vector<config_otherwl_basic> scan_;
    std::vector<std::string> writes_;
};

}  // namespace fk::test
