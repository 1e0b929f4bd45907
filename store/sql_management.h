// The device store: what the running system has learned about devices, in a scratch
// SQLite file (data.mdb) that lives for one run. One lock serialises every operation;
// it covers only database work, never a call into the engine.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "store/ado_database.h"
#include "store/device_record.h"
#include "store/store_view.h"

namespace fk {

class IPrompter;

// What one keep-alive writes: the device's address and uptime.
struct UptimeUpdate {
    std::string ip;
    std::string mac;
    std::uint32_t seconds = 0;
};

class CSqlManagement final : public IOperationStore {
  public:
    // A store whose data.mdb lives in `directory` (with or without a trailing '/').
    // Any old file there is deleted first; the file is deleted again on destruction.
    // An open failure is told once through `prompter` (standard error if null).
    explicit CSqlManagement(const std::string& directory, IPrompter* prompter = nullptr);
    ~CSqlManagement() override;
    CSqlManagement(const CSqlManagement&) = delete;
    CSqlManagement& operator=(const CSqlManagement&) = delete;

    bool IsOpen() const;
    const std::string& DatabasePath() const { return path_; }
    bool ExecuteSql(const std::string& statement);

    // Updates from device messages.
    bool SaveDeviceReport(ap_info_stu record);
    bool SaveScanResults(const ScanResults& packet);
    bool ClearScanResults() override;
    bool DeleteDevice(const std::string& mac);
    bool UpdateUptime(const std::string& ip, const std::string& mac, std::uint32_t seconds);
    // The keep-alives of one pass of the engine's worker, in one transaction; how many
    // rows were written. Readers see all of them or none.
    std::size_t UpdateUptimes(const std::vector<UptimeUpdate>& updates);

    // Lets the writes that follow, from any thread, share one transaction until
    // EndWriteBurst: a burst of device reports then takes the file's locks once
    // instead of once per report. Readers on this store's connection (every page)
    // see each write as it is made; other connections see the burst when it ends.
    // False (and nothing to end) when a transaction is already open.
    bool BeginWriteBurst();
    void EndWriteBurst();
    bool SetStatus(const std::string& mac, int status);
    bool MarkUpgrading(const std::string& mac);
    bool ResetUpgradeFail(const std::string& mac) override;
    int GetStatus(const std::string& mac) override;
    bool IsUpgradeWaiting(const std::string& mac) override;
    bool HasBridgedStation(const std::string& mac) override;
    bool FindBridgePeer(const std::string& mac, std::string& peer);

    // List queries.
    bool QueryDevicePage(int sort, std::vector<ap_info_stu>& list, int& page_count,
                         int& online_count, int size, int page, bool ascending,
                         const std::string& text) override;
    bool GetDevice(const std::string& mac, ap_info_stu& record) override;
    bool GetAllIps(std::vector<std::string>& ips) override;
    bool GetAllMacs(std::vector<std::string>& macs) override;
    bool GetScanList(int sort, std::vector<config_otherwl_basic>& list, bool ascending) override;
    bool GetScanEntry(const std::string& mac, config_otherwl_basic& entry) override;

  private:
    bool CreateSchema();
    bool TuneConnection();
    bool ExecuteSql(const std::string& statement, const SqlParams& params);
    // Opens `query` on the store's cursor; the caller holds the lock.
    bool OpenLocked(const std::string& query, const SqlParams& params);
    // Update-or-insert of the row `key_query` selects; the caller holds the lock.
    template <typename Row, typename Columns>
    bool WriteRowLocked(const std::string& key_query, const SqlParams& key, const Columns& columns,
                        const Row& row);
    // Commits the open transaction, or rolls it back when readers keep it from ending.
    bool CommitLocked();
    bool ChangeStatus(const std::string& query, const SqlParams& params, int status, bool set_mac);

    std::string path_;
    CADODatabase db_;
    std::unique_ptr<CADORecordset> rs_;
    mutable std::mutex lock_;
};

// The numeric address the lists sort by: the four octets read as one little-endian
// number, so that within one /24 devices sort by their last octet.
std::uint32_t IpNumber(std::string_view ip_text);

}  // namespace fk
