#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "store/display_codes.h"
#include "store/sql_device_row.h"
#include "store/sql_management.h"

namespace fk {
namespace {

const std::string kSelectDevice = "select * from ap_info where mac=?";
const std::string kSelectDeviceInStatus = "select * from ap_info where mac=? and ap_status=?";
const std::string kSelectScanEntry = "select * from ap_other_info where mac=?";
const std::string kNoMac = "00:00:00:00:00:00";
const std::string kUpdateUptime =
    "update ap_info set up_time=?, up_time_str=?, ip=?, ip_num=? "
    "where rowid=(select min(rowid) from ap_info where mac=?)";

using Lock = std::lock_guard<std::mutex>;

constexpr int kCommitTries = 3;

SqlParams Key(const std::string& mac) {
    return {SqlValue{mac}};
}

// Empty text is stored as NULL, as the cursor stores it.
SqlValue TextOrNull(const std::string& text) {
    return text.empty() ? SqlValue{} : SqlValue{text};
}

// A zero MAC is how a device says "no link"; matching on it would pair every
// unlinked Station with every device that reports no wireless MAC.
bool IsLinkMac(const std::string& mac) {
    return !mac.empty() && mac != kNoMac;
}

// Every present radio says this every few seconds, so it is one prepared statement
// instead of a cursor round trip. Only the first row with the MAC is written, as a
// lookup by MAC would find it; no row means an unknown device and nothing is added.
SqlParams UptimeParams(const UptimeUpdate& u) {
    return {SqlValue{std::int64_t{u.seconds}}, TextOrNull(UptimeText(u.seconds)), TextOrNull(u.ip),
            SqlValue{std::int64_t{IpNumber(u.ip)}}, SqlValue{u.mac}};
}

// A value as the cursor would store it: numbers as the 32-bit field they come from
// (signed codes below zero), empty text as NULL.
SqlValue AsCursorStores(const SqlValue& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        return *n < 0 ? std::int64_t{static_cast<std::int32_t>(*n)}
                      : std::int64_t{static_cast<std::uint32_t>(*n)};
    }
    if (const auto* text = std::get_if<std::string>(&value); text && !text->empty()) return *text;
    return SqlValue{};
}

// A report is written by two prepared statements rather than a cursor round trip:
// every present radio reports at each search of a session, ten thousand of them ten
// times in the window's thirty seconds. The first row with the MAC is the one
// written, as a lookup by MAC finds it; without one, a row is added. The update does
// not set the MAC again: the row found has it already, and setting the indexed column
// would rewrite its index entry at every report. Both statements take their values
// in one order, every column but the MAC and then the MAC, so one list serves both.
constexpr std::size_t kMacColumn = ColumnAt(kApInfoColumns, "mac");

std::string UpdateDeviceSql() {
    std::string sets;
    for (std::size_t i = 0; i < kApInfoColumns.size(); ++i) {
        if (i == kMacColumn) continue;
        sets += std::string(sets.empty() ? "" : ",") + kApInfoColumns[i].name + "=?";
    }
    return "update ap_info set " + sets +
           " where rowid=(select min(rowid) from ap_info where mac=?)";
}

std::string InsertDeviceSql() {
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < kApInfoColumns.size(); ++i) {
        if (i == kMacColumn) continue;
        names += std::string(kApInfoColumns[i].name) + ",";
        marks += "?,";
    }
    return "insert into ap_info (" + names + "mac) values (" + marks + "?)";
}

const std::string kUpdateDevice = UpdateDeviceSql();
const std::string kInsertDevice = InsertDeviceSql();

}  // namespace

bool CSqlManagement::OpenLocked(const std::string& query, const SqlParams& params) {
    return db_.IsOpen() && rs_->Open(query, params);
}

template <typename Row, typename Columns>
bool CSqlManagement::WriteRowLocked(const std::string& key_query, const SqlParams& key,
                                    const Columns& columns, const Row& row) {
    if (!OpenLocked(key_query, key)) return false;
    // The first matching row is the one a key has; a failed write keeps its old values.
    const bool ready = rs_->GetRecordCount() > 0 ? rs_->Edit() : rs_->AddNew();
    if (ready) {
        SetRowValues(*rs_, columns, row);
        rs_->Update();
    }
    rs_->Close();
    return true;
}

bool CSqlManagement::SaveDeviceReport(ap_info_stu record) {
    const DeviceRow row = DeviceRowValues(record);
    const std::string mac = record.MacText();
    // A row without a key could never be found again, and every report would add one.
    if (mac.empty()) return false;
    SqlParams params;
    params.reserve(row.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i != kMacColumn) params.push_back(AsCursorStores(row[i]));
    }
    params.emplace_back(mac);  // the update's key, the insert's last column
    Lock guard(lock_);
    if (!db_.IsOpen() || !db_.Execute(kUpdateDevice, params)) return false;
    if (db_.GetRecordsAffected() == 1) return true;
    return db_.Execute(kInsertDevice, params);
}

bool CSqlManagement::SaveScanResults(const ScanResults& packet) {
    std::vector<ScanRow> rows;
    rows.reserve(packet.entries.size());
    for (const scan_entry_stu& entry : packet.entries) rows.push_back(ScanRowValues(packet, entry));

    Lock guard(lock_);
    for (const ScanRow& row : rows) {
        WriteRowLocked(kSelectScanEntry, {row[ColumnAt(kScanColumns, "mac")]}, kScanColumns, row);
    }
    return true;
}

bool CSqlManagement::ClearScanResults() {
    return ExecuteSql("delete from ap_other_info");
}

bool CSqlManagement::DeleteDevice(const std::string& mac) {
    return ExecuteSql("delete from ap_info where mac=?", Key(mac));
}

bool CSqlManagement::UpdateUptime(const std::string& ip, const std::string& mac,
                                  std::uint32_t seconds) {
    const SqlParams params = UptimeParams({ip, mac, seconds});
    Lock guard(lock_);
    return db_.IsOpen() && db_.Execute(kUpdateUptime, params) && db_.GetRecordsAffected() == 1;
}

std::size_t CSqlManagement::UpdateUptimes(const std::vector<UptimeUpdate>& updates) {
    std::vector<SqlParams> all;
    all.reserve(updates.size());
    for (const UptimeUpdate& u : updates) all.push_back(UptimeParams(u));
    Lock guard(lock_);
    if (!db_.IsOpen() || all.empty()) return 0;
    // Taking and dropping the file's locks is most of what a lone update costs (about
    // 26 of 28 us here); a whole pass of keep-alives shares one transaction. Without
    // it (the begin failed) each update still commits on its own.
    const bool together = db_.Execute("BEGIN");
    std::size_t written = 0;
    for (const SqlParams& params : all) {
        if (db_.Execute(kUpdateUptime, params) && db_.GetRecordsAffected() == 1) ++written;
    }
    if (together && !CommitLocked()) return 0;  // the next keep-alives bring them again
    return written;
}

bool CSqlManagement::BeginWriteBurst() {
    Lock guard(lock_);
    return db_.IsOpen() && db_.Execute("BEGIN");
}

void CSqlManagement::EndWriteBurst() {
    Lock guard(lock_);
    if (db_.IsOpen()) CommitLocked();
}

bool CSqlManagement::CommitLocked() {
    // A commit waits the busy timeout for a reader on another connection each try;
    // only after all of them is the transaction given up rather than left open
    // behind every later write.
    for (int attempt = 0; attempt < kCommitTries; ++attempt) {
        if (db_.Execute("COMMIT")) return true;
    }
    db_.Execute("ROLLBACK");
    return false;
}

bool CSqlManagement::ChangeStatus(const std::string& query, const SqlParams& params, int status,
                                  bool set_mac) {
    const std::string name = StatusName(status);
    Lock guard(lock_);
    if (!OpenLocked(query, params)) return false;
    bool written = false;
    if (rs_->GetRecordCount() > 0 && rs_->Edit()) {
        rs_->SetFieldValue("ap_status", static_cast<long>(status));
        rs_->SetFieldValue("ap_status_str", name);
        if (set_mac) rs_->SetFieldValue("mac", std::get<std::string>(params.front()));
        written = rs_->Update();
    }
    rs_->Close();
    return written;
}

bool CSqlManagement::SetStatus(const std::string& mac, int status) {
    return ChangeStatus(kSelectDevice, Key(mac), status, true);
}

bool CSqlManagement::MarkUpgrading(const std::string& mac) {
    return ChangeStatus(kSelectDeviceInStatus,
                        {SqlValue{mac}, SqlValue{std::int64_t{STATUS_UPGRADE_WAIT}}},
                        STATUS_UPGRADING, true);
}

bool CSqlManagement::ResetUpgradeFail(const std::string& mac) {
    return ChangeStatus(kSelectDeviceInStatus,
                        {SqlValue{mac}, SqlValue{std::int64_t{STATUS_UPGRADE_FAIL}}}, STATUS_ONLINE,
                        false);
}

int CSqlManagement::GetStatus(const std::string& mac) {
    Lock guard(lock_);
    int status = 0;
    if (!OpenLocked("select ap_status from ap_info where mac=?", Key(mac))) return 0;
    if (rs_->GetRecordCount() > 0) rs_->GetFieldValue("ap_status", status);
    rs_->Close();
    return status;
}

bool CSqlManagement::IsUpgradeWaiting(const std::string& mac) {
    Lock guard(lock_);
    if (!OpenLocked(kSelectDeviceInStatus,
                    {SqlValue{mac}, SqlValue{std::int64_t{STATUS_UPGRADE_WAIT}}})) {
        return false;
    }
    const bool waiting = rs_->GetRecordCount() > 0;
    rs_->Close();
    return waiting;
}

bool CSqlManagement::HasBridgedStation(const std::string& mac) {
    Lock guard(lock_);
    if (!OpenLocked("select ssid_mac from ap_info where mac=?", Key(mac))) return false;
    std::string ssid_mac;
    if (rs_->GetRecordCount() > 0) rs_->GetFieldValue("ssid_mac", ssid_mac);
    rs_->Close();
    ssid_mac = std::string(TrimText(ssid_mac));
    if (!IsLinkMac(ssid_mac)) return false;
    if (!OpenLocked("select mac from ap_info where work_mode=? and bridge_mac=?",
                    {SqlValue{std::int64_t{WORK_MODE_STATION}}, SqlValue{ssid_mac}})) {
        return false;
    }
    const bool bridged = rs_->GetRecordCount() > 0;
    rs_->Close();
    return bridged;
}

bool CSqlManagement::FindBridgePeer(const std::string& mac, std::string& peer) {
    Lock guard(lock_);
    if (!OpenLocked("select work_mode,ssid_mac,bridge_mac from ap_info where mac=?", Key(mac)) ||
        rs_->GetRecordCount() == 0) {
        rs_->Close();
        return false;
    }
    int work_mode = 0;
    std::string ssid_mac, bridge_mac;
    rs_->GetFieldValue("work_mode", work_mode);
    rs_->GetFieldValue("ssid_mac", ssid_mac);
    rs_->GetFieldValue("bridge_mac", bridge_mac);
    rs_->Close();
    // A Station looks for the access point it is linked to; anything else looks for a
    // Station linked to it.
    const bool station = work_mode == WORK_MODE_STATION;
    const std::string link(TrimText(station ? bridge_mac : ssid_mac));
    if (!IsLinkMac(link)) return false;
    const char* query = station ? "select mac from ap_info where work_mode<>? and ssid_mac=?"
                                : "select mac from ap_info where work_mode=? and bridge_mac=?";
    if (!OpenLocked(query, {SqlValue{std::int64_t{WORK_MODE_STATION}}, SqlValue{link}})) {
        return false;
    }
    bool found = false;
    std::string text;
    if (rs_->GetRecordCount() > 0 && rs_->GetFieldValue("mac", text)) {
        peer = std::string(TrimText(text));
        found = true;
    }
    rs_->Close();
    return found;
}

}  // namespace fk
