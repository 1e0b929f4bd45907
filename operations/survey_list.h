// The site survey's list without the widgets: the security text of a scan code, the
// signal image of a dBm value, the header sorting with its one shared direction, and
// the single marked row that decides whether the wizard may go on.
#pragma once

#include <string>
#include <vector>

#include "store/device_record.h"

namespace fk {

enum SurveyColumn : int {
    kSurveySelect,
    kSurveySsid,
    kSurveyChannel,
    kSurveyMac,
    kSurveySecure,
    kSurveySignal,
    kSurveyColumnCount
};

// Header language keys, in column order.
const char* SurveyHeaderKey(int column);

// Shown as the device reports it, untranslated; every code from 10 up reads as the
// widest WPA form.
std::string ScanSecurityText(int code);

// Images 1, 3 and 5 of the six signal images: up to -75 dBm, -74 to -60, from -59.
int SignalImageIndex(int dbm);

// The store's scan sort index of a column; -1 for "Select".
int SurveySortIndex(int column);

struct SurveyRow {
    std::string mac;
    std::string ssid;
    std::string channel;
    std::string security;
    int signal_image = 1;
    int signal_dbm = 0;
};
std::vector<SurveyRow> SurveyRows(const std::vector<config_otherwl_basic>& entries);

class CSurveyListState {
  public:
    int SortColumn() const { return sort_column_; }
    int SortIndex() const { return SurveySortIndex(sort_column_); }
    // The flag starts at descending (strongest signal first); every header click
    // inverts it whichever column was clicked, so the first click sorts ascending.
    bool Ascending() const { return ascending_; }
    // False for "Select", which does not sort.
    bool HeaderClicked(int column);

    int MarkedRow() const { return marked_; }
    // A click on a row's "Select" cell: the other rows lose their mark, this one
    // changes; returns whether a row is marked now.
    bool SelectClicked(int row);
    void ClearMark() { marked_ = -1; }

  private:
    int sort_column_ = kSurveySignal;
    bool ascending_ = false;
    int marked_ = -1;
};

}  // namespace fk
