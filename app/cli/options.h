// The options several subcommands share, declared once with their validators: the
// engine session, the radio selection, search lengths and the listing format. A value
// that fails its validator is a usage error (exit 2) before anything is sent.
#pragma once

#include <CLI/CLI.hpp>
#include <chrono>
#include <string>
#include <vector>

#include "app/text_table.h"

namespace fk::cli {

// What shapes the engine and its store for one run.
struct SessionOptions {
    std::string store_dir;  // empty: a scratch directory removed at the end
    int retransmission_max = 3;
    int retransmission_interval = 2000;
    std::chrono::milliseconds ager_period{10000};
};

// "aa:bb:cc:dd:ee:ff" in either case, stored in the lower-case form the store keys by.
const CLI::Validator& MacText();
// Four decimal octets of 0..255 and nothing else, stored in its plain form.
const CLI::Validator& Ipv4Text();
// The same, or empty where a setting may be left without an address.
const CLI::Validator& Ipv4TextOrEmpty();

// --store-dir, --retransmission-max, --retransmission-interval, --ager-period-ms.
void AddSessionOptions(CLI::App& command, SessionOptions& options);
// --format table|csv|json.
void AddFormatOption(CLI::App& command, TextTableFormat& format);
// --seconds: how long the search that finds the radios may take.
void AddSecondsOption(CLI::App& command, int& seconds, const std::string& help);
// --seconds of a batch subcommand: its search for the named radios.
void AddBatchSecondsOption(CLI::App& command, int& seconds);
// One required --mac.
CLI::Option* AddMacOption(CLI::App& command, std::string& mac, const std::string& name = "--mac",
                          const std::string& help = "the radio's MAC");
// --mac repeated: the radios in the order named, each once.
void AddMacsOption(CLI::App& command, std::vector<std::string>& macs);

}  // namespace fk::cli
