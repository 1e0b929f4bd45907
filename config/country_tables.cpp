#include "config/country_tables.h"

#include <array>

#include "app/language.h"

namespace fk {
namespace {

constexpr std::array<const char*, 62> kCountryCodes = {
    "CN", "US", "GB", "ES", "IT", "FR", "DE", "NL",  "CZ",  "PL",   "EE", "RU", "TR",
    "SE", "CH", "DK", "BE", "BG", "AM", "FI", "SI",  "SK",  "RO",   "PT", "AT", "GR",
    "CA", "MX", "BR", "AR", "CL", "CO", "PE", "LV",  "IN",  "ID",   "PH", "VN", "TH",
    "KR", "HK", "TW", "MY", "NZ", "AU", "PK", "AE",  "IQ",  "SA",   "ZA", "EG", "MA",
    "IL", "BD", "IR", "NP", "UA", "VE", "HU", "AUT", "CHL", "Test",
};

constexpr const char* G1 = "0,1,2,3,4,5,6,7,8,9,10,11,12,13";
constexpr const char* G2 = "0,1,2,3,4,5,6,7,8,9,10,11";

constexpr const char* T1 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr const char* T2 = "0,52,56,60,64,149,153,157,161,165";
constexpr const char* T3 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161,"
    "165";
constexpr const char* T4 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140";
constexpr const char* T5 =
    "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr const char* T6 = "0,36,40,44,48,149,153,157,161,165";
constexpr const char* T7 = "0,149,153,157,161,165";
constexpr const char* T8 = "0,36,40,44,48";
constexpr const char* T9 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165,"
    "179,181,188";

constexpr const char* F1 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,140l,149l,153u,"
    "157l,161u";
constexpr const char* F2 = "0,52l,56u,60l,64u,149l,153u,157l,161u";
constexpr const char* F3 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u,140l,"
    "144u,149l,153u,157l,161u";
constexpr const char* F4 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u";
constexpr const char* F5 =
    "0,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,140l,149l,153u,157l,161u";
constexpr const char* F6 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u,149,"
    "153,157,161";
constexpr const char* F7 = "0,149,153,157,161";
constexpr const char* F8 = "0,36,40,44,48";
constexpr const char* F9 = "0,36,40,44,48,149,153,157,161";
constexpr const char* F10 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,179,"
    "181,188";

constexpr const char* E1 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,132,136,140,144,149,153,157,161";
constexpr const char* E2 = "0,52,56,60,64,149,153,157,161";
constexpr const char* E3 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,149,153,157,161";
constexpr const char* E4 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161";
constexpr const char* E5 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128";
constexpr const char* E6 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr const char* E7 =
    "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr const char* E8 = "0,149,153,157,161";
constexpr const char* E9 = "0,36,40,44,48,149,153,157,161";
constexpr const char* E10 = "0,36,40,44,48";
constexpr const char* E11 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,179,"
    "181,188";

constexpr std::array<country_channel_stu, kCountryRowCount> kCountries = {{
    {"AU", FK_TR("Australia"), G1, T1, F1, E1},
    {"AR", FK_TR("Argentina"), G1, T2, F2, E2},
    {"BR", FK_TR("Brazil"), G1, T1, F1, E3},
    {"CA", FK_TR("Canada"), G2, T3, F3, E4},
    {"CN", FK_TR("China"), G1, T3, F3, E4},
    {"CO", FK_TR("Colombia"), G2, T3, F3, E4},
    {"CZ", FK_TR("CzechRepublic"), G1, T4, F4, E5},
    {"EG", FK_TR("Egypt"), G1, T4, F4, E5},
    {"GB", FK_TR("England"), G1, T4, F4, E5},
    {"FR", FK_TR("France"), G1, T4, F4, E5},
    {"DE", FK_TR("Germany"), G1, T4, F4, E5},
    {"HK", FK_TR("Hong Kong"), G1, T1, F1, E6},
    {"IN", FK_TR("India"), G1, T1, F1, E6},
    {"ID", FK_TR("Indonesia"), G1, T1, F1, E6},
    {"IR", FK_TR("Iran"), G1, T5, F5, E7},
    {"IQ", FK_TR("Iraq"), G1, T1, F1, E6},
    {"MY", FK_TR("Malaysia"), G1, T5, F5, E7},
    {"MX", FK_TR("Mexico"), G2, T1, F1, E6},
    {"PE", FK_TR("Peru"), G1, T5, F5, E7},
    {"PK", FK_TR("Pakistan"), G1, T5, F5, E7},
    {"PH", FK_TR("Philippines"), G1, T1, F1, E6},
    {"PL", FK_TR("Poland"), G1, T4, F4, E5},
    {"RO", FK_TR("Romania"), G1, T4, F4, E5},
    {"RU", FK_TR("Russia"), G1, T6, F6, E3},
    {"SA", FK_TR("Saudi Arabia"), G1, T1, F1, E6},
    {"ZA", FK_TR("South Afica"), G1, T1, F1, E3},
    {"ES", FK_TR("Spain"), G1, T4, F4, E5},
    {"TW", FK_TR("Taiwan"), G2, T5, F5, E7},
    {"TH", FK_TR("Thailand"), G1, T1, F1, E6},
    {"TR", FK_TR("Turkey"), G1, T4, F4, E5},
    {"AE", FK_TR("United Arab Emirates"), G1, T7, F7, E8},
    {"US", FK_TR("United States"), G2, T1, F1, E6},
    {"UA", FK_TR("Ukraine"), G1, T6, F6, E9},
    {"VE", FK_TR("Venezuela"), G1, T5, F5, E7},
    {"VN", FK_TR("Vietnam"), G1, T4, F4, E5},
    {"IT", FK_TR("Italy"), G1, T8, F8, E10},
    {"AM", FK_TR("Armenia"), G1, T8, F8, E10},
    {"HU", FK_TR("Hungary"), G1, T8, F8, E10},
    {"KR", FK_TR("Korea"), G1, T6, F9, E9},
    {"AUT", FK_TR("Austria"), G1, T6, F9, E9},
    {"CHL", FK_TR("Chile"), G1, T6, F9, E9},
    {"Test", FK_TR("Test"), G1, T9, F10, E11},
}};

bool IsRow(int row) {
    return row >= 0 && row < kCountryRowCount;
}

}  // namespace

std::string_view CountryCodeText(int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= kCountryCodes.size()) return {};
    return kCountryCodes[static_cast<std::size_t>(code)];
}

int FindCountryRow(int country_code) {
    const std::string_view code = CountryCodeText(country_code);
    if (code.empty()) return -1;
    for (int row = 0; row < kCountryRowCount; ++row) {
        if (code == kCountries[static_cast<std::size_t>(row)].code) return row;
    }
    return -1;
}

int GetCountryCode(int row) {
    if (!IsRow(row)) return -1;
    const std::string_view code = CountryRow(row).code;
    for (std::size_t i = 0; i < kCountryCodes.size(); ++i) {
        if (code == kCountryCodes[i]) return static_cast<int>(i);
    }
    return -1;
}

std::string GetCountryName(int row) {
    return IsRow(row) ? CountryRow(row).name : "";
}

std::string GetChannelList(int row, int bandwidth, int rf_type) {
    if (!IsRow(row)) return {};
    const auto& r = CountryRow(row);
    if (rf_type == 0) return r.channels_24g;
    switch (bandwidth) {
        case 0:
        case 2:
        case 4:
        case 5:
            return r.channels_5g_20m;
        case 1:
            return r.channels_5g_40m;
        default:
            return r.channels_5g_80m;
    }
}

std::vector<int> ParseChannelList(std::string_view list) {
    std::vector<int> channels;
    std::size_t pos = 0;
    while (pos <= list.size() && !list.empty()) {
        std::size_t end = list.find(',', pos);
        if (end == std::string_view::npos) end = list.size();
        int value = 0;
        bool any_digit = false;
        for (std::size_t i = pos; i < end && list[i] >= '0' && list[i] <= '9'; ++i) {
            value = value * 10 + (list[i] - '0');
            any_digit = true;
        }
        if (any_digit) channels.push_back(value);
        pos = end + 1;
    }
    return channels;
}

const country_channel_stu& CountryRow(int row) {
    return kCountries[static_cast<std::size_t>(row)];
}

}  // namespace fk
