#include "operations/survey_list.h"

#include "app/language.h"
#include "protocol/address_text.h"

namespace fk {

const char* SurveyHeaderKey(int column) {
    static const char* kKeys[kSurveyColumnCount] = {FK_TR("Select"),  FK_TR("SingleName"),
                                                    FK_TR("Channel"), FK_TR("MAC"),
                                                    FK_TR("Secure"),  FK_TR("SingleStrength")};
    return column >= 0 && column < kSurveyColumnCount ? kKeys[column] : "";
}

std::string ScanSecurityText(int code) {
    static const char* kTexts[] = {"None",
                                   "WEP",
                                   "WPA-PSK/AES",
                                   "WPA-PSK/TKIP",
                                   "WPA2-PSK/AES",
                                   "WPA2-PSK/TKIP",
                                   "WPA2-PSK/TKIP&AES",
                                   "WPA/WPA2-PSK/AES",
                                   "WPA/WPA2-PSK/TKIP",
                                   "WPA/WPA2-PSK/TKIP&AES"};
    if (code >= 0 && code < static_cast<int>(std::size(kTexts))) return kTexts[code];
    return "WPA-PSK/TKIP&AES";
}

int SignalImageIndex(int dbm) {
    if (dbm <= -75) return 1;
    if (dbm <= -60) return 3;
    return 5;
}

int SurveySortIndex(int column) {
    switch (column) {
        case kSurveySsid:
            return 1;
        case kSurveyChannel:
            return 2;
        case kSurveyMac:
            return 0;
        case kSurveySecure:
            return 3;
        case kSurveySignal:
            return 4;
        default:
            return -1;
    }
}

std::vector<SurveyRow> SurveyRows(const std::vector<config_otherwl_basic>& entries) {
    std::vector<SurveyRow> rows;
    for (const config_otherwl_basic& e : entries) {
        SurveyRow row;
        row.mac = MacBytesToText(e.mac);
        row.ssid = std::string(e.ssid.View());
        row.channel = std::to_string(e.channel);
        row.security = ScanSecurityText(e.secure_mode);
        row.signal_dbm = e.signal;
        row.signal_image = SignalImageIndex(e.signal);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool CSurveyListState::HeaderClicked(int column) {
    if (SurveySortIndex(column) < 0) return false;
    ascending_ = !ascending_;
    sort_column_ = column;
    return true;
}

bool CSurveyListState::SelectClicked(int row) {
    marked_ = marked_ == row ? -1 : row;
    return marked_ >= 0;
}

}  // namespace fk
