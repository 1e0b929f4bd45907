#include <algorithm>
#include <array>
#include <cstdint>

#include "store/sql_device_row.h"
#include "store/sql_management.h"

namespace fk {
namespace {

using Lock = std::lock_guard<std::mutex>;

struct SortColumn {
    const char* name;
    bool text;  // texts sort without regard to case, numbers as numbers
};

constexpr std::array<SortColumn, 14> kDeviceSort = {{
    {"mac", true},
    {"ip_num", false},
    {"ap_name", true},
    {"ap_type", false},
    {"work_mode", false},
    {"ssid", true},
    {"channel", false},
    {"secure_mode", false},
    {"tx_power", false},
    {"version", true},
    {"bridge_transparent", false},
    {"tdmaEn", false},
    {"up_time", false},
    {"ap_status", false},
}};

constexpr std::array<SortColumn, 5> kScanSort = {{
    {"mac", true},
    {"ssid", true},
    {"channel", false},
    {"secure_mode", false},
    {"signal", false},
}};

constexpr const char* kSearchedColumns[] = {
    "ap_name",       "ip",
    "mac",           "ssid",
    "version",       "work_mode_str",
    "channel",       "ap_type_str",
    "tx_power",      "bridge_transparent_str",
    "tdmaEn_str",    "up_time_str",
    "ap_status_str", "secure_mode_str",
};

// A misspelt sort or search column fails the build instead of every query at run time.
static_assert(std::ranges::all_of(kDeviceSort, [](const SortColumn& c) {
    return HasColumn(kApInfoColumns, c.name);
}));
static_assert(std::ranges::all_of(kScanSort, [](const SortColumn& c) {
    return HasColumn(kScanColumns, c.name);
}));
static_assert(std::ranges::all_of(kSearchedColumns, [](const char* name) {
    return HasColumn(kApInfoColumns, name);
}));

// The search text is bound once and used by every column: it is a pattern, so "%"
// and "_" keep their meaning, and a quote in it is just a character.
std::string SearchClause() {
    std::string clause = " where ";
    bool first = true;
    for (const char* column : kSearchedColumns) {
        if (!first) clause += " or ";
        first = false;
        clause += std::string("ap_info.") + column + " like ?1";
    }
    return clause;
}

const std::string kDeviceCounts =
    "select count(*) as n, coalesce(sum(cast(ap_status as integer)<>0), 0) as online"
    " from ap_info";

// The row number breaks ties, so equal keys keep one order from refresh to refresh and
// a device never shows on two pages.
std::string OrderClause(const char* table, const SortColumn& column, bool ascending) {
    std::string order = std::string(" order by ") + table + "." + column.name;
    if (column.text) order += " COLLATE NOCASE";
    order += ascending ? " asc" : " desc";
    return order + ", " + table + ".ID" + (ascending ? " asc" : " desc");
}

}  // namespace

bool CSqlManagement::QueryDevicePage(int sort, std::vector<ap_info_stu>& list, int& page_count,
                                     int& online_count, int size, int page, bool ascending,
                                     const std::string& text) {
    if (sort < 0 || sort >= static_cast<int>(kDeviceSort.size()) || size < 1) return false;
    // The pages refresh every few seconds while thousands of radios report: only the
    // counts and the page shown are read, never every row.
    const std::string where = text.empty() ? "" : SearchClause();
    SqlParams params;
    if (!text.empty()) params.emplace_back("%" + text + "%");

    Lock guard(lock_);
    if (!OpenLocked(kDeviceCounts + where, params)) return false;
    int n = 0;
    int online = 0;
    rs_->GetFieldValue("n", n);
    rs_->GetFieldValue("online", online);
    rs_->Close();
    online_count += online;
    page_count = n / size + (n % size != 0 ? 1 : 0);
    if (page < 1) return true;

    params.emplace_back(std::int64_t{size});
    params.emplace_back((static_cast<std::int64_t>(page) - 1) * size);
    const std::string query =
        "select * from ap_info" + where +
        OrderClause("ap_info", kDeviceSort[static_cast<std::size_t>(sort)], ascending) +
        " limit ? offset ?";
    if (!OpenLocked(query, params)) return false;
    const auto at = ResolveColumns(*rs_, kApInfoColumns);
    for (int i = 0, rows = rs_->GetRecordCount(); i < rows; ++i, rs_->MoveNext())
        list.push_back(ReadDeviceRow(*rs_, at));
    rs_->Close();
    return true;
}

bool CSqlManagement::GetDevice(const std::string& mac, ap_info_stu& record) {
    record = ZeroRecord();
    Lock guard(lock_);
    const bool opened = mac.empty() ? OpenLocked("select * from ap_info order by ID", {})
                                    : OpenLocked("select * from ap_info where mac=?", {mac});
    if (!opened) return false;
    if (rs_->GetRecordCount() > 0)
        record = ReadDeviceRow(*rs_, ResolveColumns(*rs_, kApInfoColumns));
    rs_->Close();
    return true;
}

namespace {

bool ReadAllTexts(CADORecordset& rs, const std::string& query, const char* column,
                  std::vector<std::string>& out) {
    if (!rs.Open(query)) return false;
    const int at = rs.ColumnIndex(column);
    std::string text;
    for (int i = 0, n = rs.GetRecordCount(); i < n; ++i, rs.MoveNext()) {
        if (rs.GetFieldValue(at, text)) out.emplace_back(TrimText(text));
    }
    rs.Close();
    return true;
}

}  // namespace

bool CSqlManagement::GetAllIps(std::vector<std::string>& ips) {
    Lock guard(lock_);
    if (!db_.IsOpen()) return false;
    ReadAllTexts(*rs_, "select ip from ap_info order by ID", "ip", ips);
    return true;
}

bool CSqlManagement::GetAllMacs(std::vector<std::string>& macs) {
    Lock guard(lock_);
    if (!db_.IsOpen()) return false;
    ReadAllTexts(*rs_, "select mac from ap_info order by ID", "mac", macs);
    return true;
}

bool CSqlManagement::GetScanList(int sort, std::vector<config_otherwl_basic>& list,
                                 bool ascending) {
    if (sort < 0 || sort >= static_cast<int>(kScanSort.size())) return false;
    const std::string query =
        "select * from ap_other_info" +
        OrderClause("ap_other_info", kScanSort[static_cast<std::size_t>(sort)], ascending);
    Lock guard(lock_);
    if (!OpenLocked(query, {})) return false;
    const auto at = ResolveColumns(*rs_, kScanColumns);
    for (int i = 0, n = rs_->GetRecordCount(); i < n; ++i, rs_->MoveNext()) {
        list.push_back(ReadScanRow(*rs_, at));
    }
    rs_->Close();
    return true;
}

bool CSqlManagement::GetScanEntry(const std::string& mac, config_otherwl_basic& entry) {
    entry = config_otherwl_basic{};
    Lock guard(lock_);
    if (!OpenLocked("select * from ap_other_info where mac=?", {mac})) return false;
    if (rs_->GetRecordCount() > 0) entry = ReadScanRow(*rs_, ResolveColumns(*rs_, kScanColumns));
    rs_->Close();
    return true;
}

}  // namespace fk
