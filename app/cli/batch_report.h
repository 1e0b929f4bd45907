// What every batch subcommand prints: each status change as it happens, then one row
// per radio. The table form writes the changes to standard output as they come; csv
// and json keep standard output for one document, so the live lines go to standard
// error there and json also carries the changes in its document.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "app/text_table.h"

namespace fk::cli {

class CStatusChangeLog {
  public:
    explicit CStatusChangeLog(TextTableFormat format);

    // Seconds are counted from here; the statuses already known are not changes.
    void Restart();
    void Know(const std::string& mac, int status);
    // Prints and keeps the change when `status` differs from the last one of `mac`.
    void Record(const std::string& mac, int status);
    double Elapsed() const;
    const std::vector<TextRow>& Changes() const { return changes_; }

  private:
    TextTableFormat format_;
    std::chrono::steady_clock::time_point started_;
    std::map<std::string, int> last_;
    std::vector<TextRow> changes_;
};

// Seconds with one decimal, as the status lines show them.
std::string SecondsText(double seconds);

// One row per radio under `header`; in json an object {"changes": …, "radios": …}.
void PrintBatchResult(const TextRow& header, const std::vector<TextRow>& radios,
                      const CStatusChangeLog& log, TextTableFormat format);

}  // namespace fk::cli
