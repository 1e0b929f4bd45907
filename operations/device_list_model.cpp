#include "operations/device_list_model.h"

#include <cstdio>

#include "app/language.h"
#include "protocol/device_link.h"
#include "store/display_codes.h"
#include "store/store_view.h"

namespace fk {

namespace {

using C = ListColumn;

const std::vector<ListColumn> kStatusColumns = {
    C::Tick,    C::Serial,  C::Location,          C::Type,
    C::Ip,      C::Mac,     C::OperationMode,     C::Ssid,
    C::Channel, C::Version, C::TransparentBridge, C::Slotra,
    C::Time,    C::Operate};
const std::vector<ListColumn> kManagementColumns = {
    C::Serial, C::Location, C::Type,       C::Ip,    C::Mac,    C::OperationMode,
    C::Ssid,   C::Channel,  C::SecureMode, C::Power, C::Operate};
const std::vector<ListColumn> kBridgeColumns = {
    C::Serial, C::Location, C::Type,       C::Ip,     C::Mac,    C::OperationMode,
    C::Ssid,   C::Channel,  C::SecureMode, C::Status, C::Operate};
const std::vector<ListColumn> kRebootColumns = {
    C::Tick,          C::Serial, C::Location, C::Type,       C::Ip,    C::Mac,
    C::OperationMode, C::Ssid,   C::Channel,  C::SecureMode, C::Status};
const std::vector<ListColumn> kUpgradeColumns = {C::Tick,    C::Serial, C::Location,      C::Type,
                                                 C::Ip,      C::Mac,    C::OperationMode, C::Ssid,
                                                 C::Version, C::Status};
const std::vector<ListColumn> kRestoreColumns = {
    C::Tick,          C::Serial, C::Location, C::Type,       C::Ip,    C::Mac,
    C::OperationMode, C::Ssid,   C::Channel,  C::SecureMode, C::Power, C::Status};

// Store sort index of a column; -1 for columns whose header never sorts.
int StoreSortIndex(ListColumn column) {
    switch (column) {
        case C::Mac:
            return 0;
        case C::Ip:
            return 1;
        case C::Location:
            return 2;
        case C::Type:
            return 3;
        case C::OperationMode:
            return 4;
        case C::Ssid:
            return 5;
        case C::Channel:
            return 6;
        case C::SecureMode:
            return 7;
        case C::Power:
            return 8;
        case C::Version:
            return 9;
        case C::TransparentBridge:
            return 10;
        case C::Slotra:
            return 11;
        case C::Time:
            return 12;
        case C::Status:
            return 13;
        default:
            return -1;
    }
}

std::string Format(const char* pattern, int a) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), pattern, a);
    return buf;
}

ListRow MakeRow(int page_code, const ap_info_stu& record, int serial, bool announced) {
    ListRow row;
    for (ListColumn column : PageColumns(page_code))
        row.cells.push_back(column == C::Tick ? std::string() : CellText(column, record, serial));
    row.record = record;
    row.announced = announced;
    return row;
}

}  // namespace

const std::vector<ListColumn>& PageColumns(int page_code) {
    switch (page_code) {
        case PAGE_MANAGEMENT:
            return kManagementColumns;
        case PAGE_BRIDGE:
            return kBridgeColumns;
        case PAGE_REBOOT:
            return kRebootColumns;
        case PAGE_UPGRADE:
            return kUpgradeColumns;
        case PAGE_RESTORE:
            return kRestoreColumns;
        default:
            return kStatusColumns;
    }
}

bool HasTickColumn(int page_code) {
    return PageColumns(page_code).front() == C::Tick;
}

int ColumnIndex(int page_code, ListColumn column) {
    const auto& columns = PageColumns(page_code);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i] == column) return static_cast<int>(i);
    return -1;
}

std::string ColumnHeaderKey(ListColumn column) {
    switch (column) {
        case C::Tick:
            return "";
        case C::Serial:
            return FK_TR("Serial");
        case C::Location:
            return FK_TR("Location");
        case C::Type:
            return FK_TR("Type");
        case C::Ip:
            return FK_TR("IP");
        case C::Mac:
            return FK_TR("MAC");
        case C::OperationMode:
            return FK_TR("OperationMode");
        case C::Ssid:
            return FK_TR("SSID");
        case C::Channel:
            return FK_TR("Channel");
        case C::SecureMode:
            return FK_TR("SecureMode");
        case C::Power:
            return FK_TR("Power");
        case C::Version:
            return FK_TR("Version");
        case C::TransparentBridge:
            return FK_TR("Transparent bridge");
        case C::Slotra:
            return FK_TR("Slotra");
        case C::Time:
            return FK_TR("Time");
        case C::Status:
            return FK_TR("Status");
        case C::Operate:
            return FK_TR("Operate");
    }
    return "";
}

int SortIndexForColumn(int page_code, int grid_column) {
    const auto& columns = PageColumns(page_code);
    if (grid_column < 0 || grid_column >= static_cast<int>(columns.size())) return -1;
    const ListColumn column = columns[grid_column];
    // Status sorts only where it is a lasting state (the bridge outcome); on the
    // batch pages it flickers through transient states while the batch runs.
    if (column == C::Status && page_code != PAGE_BRIDGE) return -1;
    return StoreSortIndex(column);
}

int EffectiveSortIndex(int page_code, int grid_column) {
    const int index = SortIndexForColumn(page_code, grid_column);
    return index < 0 ? kSortByIpNum : index;
}

int SerialNumber(int page, int page_size, int row) {
    return (page - 1) * page_size + row + 1;
}

int PagerPage(int current_page, int page_count) {
    return page_count < current_page ? 1 : current_page;
}

std::string CellText(ListColumn column, const ap_info_stu& r, int serial) {
    const ap_report_stu& p = r.report;
    switch (column) {
        case C::Tick:
            return "";
        case C::Serial:
            return Format("%d", serial);
        case C::Location:
            return std::string(p.ap_name.View());
        case C::Type:
            return ModelName(r.ap_type);
        case C::Ip:
            return r.IpText();
        case C::Mac:
            return r.MacText();
        case C::OperationMode:
            return WorkModeName(p.work_mode);
        case C::Ssid:
            return std::string(p.ssid.View());
        case C::Channel:
            return ChannelText(p.channel);
        case C::SecureMode:
            return SecurityName(p.secure_mode);
        case C::Power:
            return Format("%d", p.tx_power);
        case C::Version:
            return std::string(p.version.View());
        case C::TransparentBridge:
            return TransparentBridgeText(r.ap_type, p.work_mode, p.bridge_transparent);
        case C::Slotra:
            return TdmaText(r.ap_type, p.tdmaEn);
        case C::Time:
            return UptimeText(p.up_time);
        case C::Status:
            return StatusName(r.ap_status);
        case C::Operate:
            return "";
    }
    return "";
}

CListState::CListState(int page_code)
    : page_code_(page_code), sort_column_(ColumnIndex(page_code, C::Ip)) {}

bool CListState::HeaderClicked(int grid_column, bool& ascending) {
    if (SortIndexForColumn(page_code_, grid_column) < 0) return false;
    ascending = sort_toggle_;
    sort_toggle_ = !sort_toggle_;
    return true;
}

ListResult QueryList(IStoreView& store, IDeviceLink* pending, int page_code, int page,
                     bool ascending, int grid_sort_column, const std::string& text, int page_size) {
    ListResult result;
    std::vector<ap_info_stu> records;
    store.QueryDevicePage(EffectiveSortIndex(page_code, grid_sort_column), records,
                          result.page_count, result.online_count, page_size, page, ascending, text);
    const std::size_t stored = records.size();
    const bool last_page = page == result.page_count || result.page_count == 0;
    if (pending && static_cast<int>(stored) < page_size && last_page) {
        std::vector<ap_info_stu> announced;
        pending->ListPendingDevices(page_size - static_cast<int>(stored), text, announced);
        records.insert(records.end(), announced.begin(), announced.end());
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool is_announced = i >= stored;
        result.rows.push_back(MakeRow(page_code, records[i],
                                      SerialNumber(page, page_size, static_cast<int>(i)),
                                      is_announced));
        // Only an announced device can be out of reach: one that reported was asked.
        if (is_announced)
            result.rows.back().unreachable = pending->UnreachableReason(records[i].IpText());
    }
    return result;
}

}  // namespace fk
