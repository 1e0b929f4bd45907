#include "app/cli/batch_report.h"

#include <cstdio>

#include "store/display_codes.h"

namespace fk::cli {

CStatusChangeLog::CStatusChangeLog(TextTableFormat format)
    : format_(format), started_(std::chrono::steady_clock::now()) {}

void CStatusChangeLog::Restart() {
    started_ = std::chrono::steady_clock::now();
}

void CStatusChangeLog::Know(const std::string& mac, int status) {
    last_[mac] = status;
}

void CStatusChangeLog::Record(const std::string& mac, int status) {
    const auto known = last_.find(mac);
    if (known != last_.end() && known->second == status) return;
    last_[mac] = status;
    TextRow change{SecondsText(Elapsed()), mac, StatusName(status)};
    std::FILE* to = format_ == TextTableFormat::Table ? stdout : stderr;
    std::fprintf(to, "%7s  %s  %s\n", change[0].c_str(), change[1].c_str(), change[2].c_str());
    std::fflush(to);
    changes_.push_back(std::move(change));
}

double CStatusChangeLog::Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", seconds);
    return text;
}

void PrintBatchResult(const TextRow& header, const std::vector<TextRow>& radios,
                      const CStatusChangeLog& log, TextTableFormat format) {
    if (format == TextTableFormat::Json) {
        const Json document = {{"changes", JsonRows({"Seconds", "MAC", "Status"}, log.Changes())},
                               {"radios", JsonRows(header, radios)}};
        std::fputs(JsonDocument(document).c_str(), stdout);
    } else {
        std::fputs(FormatTextRows(header, radios, format).c_str(), stdout);
    }
    std::fflush(stdout);
}

}  // namespace fk::cli
