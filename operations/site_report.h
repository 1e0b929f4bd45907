// The site report an installer leaves with the customer: when it was made, the PC's
// adapters, and one row per radio with what the next crew needs to find and reach it.
// The texts only; the window half lays them out on paper.
#pragma once

#include <string>
#include <vector>

#include "app/text_table.h"
#include "operations/device_list_model.h"

namespace fk {

class IStoreView;
class IDeviceLink;

struct SiteReport {
    std::string title;
    std::string date_caption;
    std::string date;
    std::string adapters_title;
    TextRow adapter_header;
    std::vector<TextRow> adapter_rows;
    std::string radios_title;
    TextRow radio_header;
    std::vector<TextRow> radio_rows;
};

// The report's radio columns, in order.
const std::vector<ListColumn>& SiteReportColumns();

// Every radio the status page knows, stored and announced, in address order, with
// captions in the running language. `date` is printed as given.
SiteReport BuildSiteReport(IStoreView& store, IDeviceLink& link, const std::string& date);

}  // namespace fk
