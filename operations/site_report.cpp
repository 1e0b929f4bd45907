#include "operations/site_report.h"

#include <algorithm>

#include "app/adapter_table.h"
#include "app/language.h"
#include "protocol/address_text.h"
#include "protocol/device_link.h"

namespace fk {
namespace {

TextRow AdapterHeader() {
    return {Translate("ID"), Translate("Description"), Translate("MAC"), Translate("IP")};
}

std::vector<TextRow> AdapterCells(IDeviceLink& link) {
    std::vector<adapter_info_stu> adapters;
    link.GetLocalAdapters(adapters);
    std::vector<TextRow> rows;
    for (const adapter_row_stu& row : AdapterRows(adapters))
        rows.push_back({row.id, row.description, row.mac, row.ip});
    return rows;
}

std::vector<TextRow> RadioCells(IStoreView& store, IDeviceLink& link) {
    const bool ascending = true;
    const ListResult all =
        QueryList(store, &link, PAGE_STATUS, 1, ascending, ColumnIndex(PAGE_STATUS, ListColumn::Ip),
                  "", kEveryRowPageSize);
    // The store orders addresses by their stored number, which interleaves subnets;
    // the customer's copy lists each subnet in one run, address by address.
    std::vector<const ListRow*> ordered;
    for (const ListRow& row : all.rows) ordered.push_back(&row);
    std::stable_sort(ordered.begin(), ordered.end(), [](const ListRow* a, const ListRow* b) {
        return HostOrderOf(IpTextToOctets(a->record.IpText())) <
               HostOrderOf(IpTextToOctets(b->record.IpText()));
    });
    std::vector<TextRow> rows;
    for (const ListRow* row_at : ordered) {
        const ListRow& row = *row_at;
        TextRow cells;
        for (ListColumn column : SiteReportColumns())
            cells.push_back(CellText(column, row.record, 0));
        rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace

const std::vector<ListColumn>& SiteReportColumns() {
    using C = ListColumn;
    static const std::vector<ListColumn> columns = {
        C::Mac, C::Ip, C::Location, C::Type, C::Version, C::Ssid, C::Channel, C::OperationMode};
    return columns;
}

SiteReport BuildSiteReport(IStoreView& store, IDeviceLink& link, const std::string& date) {
    SiteReport report;
    report.title = Translate("Site report");
    report.date_caption = Translate("Date:");
    report.date = date;
    report.adapters_title = Translate("Adapters of this PC");
    report.adapter_header = AdapterHeader();
    report.adapter_rows = AdapterCells(link);
    report.radios_title = Translate("Radios");
    for (ListColumn column : SiteReportColumns())
        report.radio_header.push_back(Translate(ColumnHeaderKey(column)));
    report.radio_rows = RadioCells(store, link);
    return report;
}

}  // namespace fk
