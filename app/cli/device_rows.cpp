#include "app/cli/device_rows.h"

#include <algorithm>
#include <cstdio>

#include "store/display_codes.h"

namespace fk::cli {
namespace {

constexpr std::array<const char*, kDeviceColumns> kCaptions = {
    "Status", "Model", "IP", "MAC", "Name", "SSID", "Channel", "Version", "Transparent bridge",
    "Slotra", "Uptime"};

// An announced device has no status name; its code is what tells it apart.
std::string StatusText(int code) {
    const std::string name = StatusName(code);
    return name.empty() ? std::to_string(code) : name;
}

std::string CsvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string FormatCsv(const std::vector<DeviceRow>& rows) {
    std::string out;
    for (std::size_t i = 0; i < kDeviceColumns; ++i) out += (i ? "," : "") + CsvCell(kCaptions[i]);
    out += "\n";
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < kDeviceColumns; ++i) out += (i ? "," : "") + CsvCell(row[i]);
        out += "\n";
    }
    return out;
}

std::string FormatJson(const std::vector<DeviceRow>& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r)
        out += (r ? ",\n " : "\n ") + DeviceRowJson(rows[r]);
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

// Width in characters, not bytes, so UTF-8 names line up.
std::size_t DisplayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

std::string FormatTable(const std::vector<DeviceRow>& rows) {
    std::array<std::size_t, kDeviceColumns> width{};
    for (std::size_t i = 0; i < kDeviceColumns; ++i) width[i] = DisplayWidth(kCaptions[i]);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < kDeviceColumns; ++i)
            width[i] = std::max(width[i], DisplayWidth(row[i]));
    }
    auto line = [&](auto cell_of) {
        std::string out;
        for (std::size_t i = 0; i < kDeviceColumns; ++i) {
            const std::string cell = cell_of(i);
            out += cell;
            if (i + 1 < kDeviceColumns) out += std::string(width[i] - DisplayWidth(cell) + 2, ' ');
        }
        return out + "\n";
    };
    std::string out = line([](std::size_t i) { return std::string(kCaptions[i]); });
    for (const auto& row : rows) out += line([&](std::size_t i) { return row[i]; });
    return out;
}

}  // namespace

bool ParseListFormat(const std::string& text, ListFormat& format) {
    if (text == "table") {
        format = ListFormat::Table;
    } else if (text == "csv") {
        format = ListFormat::Csv;
    } else if (text == "json") {
        format = ListFormat::Json;
    } else {
        return false;
    }
    return true;
}

DeviceRow MakeDeviceRow(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    return {StatusText(record.ap_status),
            ModelName(record.ap_type),
            record.IpText(),
            record.MacText(),
            std::string(r.ap_name.View()),
            std::string(r.ssid.View()),
            ChannelText(r.channel),
            std::string(r.version.View()),
            TransparentBridgeText(record.ap_type, r.work_mode, r.bridge_transparent),
            TdmaText(record.ap_type, r.tdmaEn),
            UptimeText(r.up_time)};
}

std::string FormatDeviceRows(const std::vector<DeviceRow>& rows, ListFormat format) {
    switch (format) {
        case ListFormat::Csv:
            return FormatCsv(rows);
        case ListFormat::Json:
            return FormatJson(rows);
        case ListFormat::Table:
            break;
    }
    return FormatTable(rows);
}

std::string DeviceRowJson(const DeviceRow& row) {
    std::string out = "{";
    for (std::size_t i = 0; i < kDeviceColumns; ++i) {
        out += (i ? ", " : "") + JsonText(kCaptions[i]) + ": " + JsonText(row[i]);
    }
    return out + "}";
}

// Length of the well-formed UTF-8 sequence at `i` (no overlong forms, surrogates or
// values beyond U+10FFFF), 0 when the bytes there are not one.
static std::size_t Utf8SequenceAt(const std::string& text, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        n = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        n = 3;
        if (lead == 0xe0) low = 0xa0;
        if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        n = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;
    }
    if (n == 0 || i + n > text.size()) return 0;
    if (at(1) < low || at(1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k) {
        if ((at(k) & 0xc0) != 0x80) return 0;
    }
    return n;
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const std::size_t n = Utf8SequenceAt(text, i);
        // Device texts are not always valid UTF-8; a JSON reader must still load them.
        if (n == 0) {
            out += "\\ufffd";
        } else if (n > 1) {
            out.append(text, i, n);
            i += n - 1;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace fk::cli
