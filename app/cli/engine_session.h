// What `discover` and `send` share: the options that shape the engine, a store of
// their own (a scratch directory unless one is named, so two runs never fight over
// one data.mdb), the running engine, and the status page's search and list.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "operations/command_sender.h"
#include "operations/flow_executor.h"
#include "operations/flow_runner.h"
#include "protocol/comm_engine.h"
#include "store/device_record.h"
#include "store/sql_management.h"

namespace fk::cli {

struct SessionOptions {
    std::string store_dir;  // empty: a scratch directory removed at the end
    int retransmission_max = 3;
    int retransmission_interval = 2000;
    std::chrono::milliseconds ager_period{10000};
};

// Takes `args[i]` (and its value) when it is one of the session's options:
// --store-dir DIR, --retransmission-max N, --retransmission-interval MS,
// --ager-period-ms MS. Returns false when it is not one; `error` is set when it is
// one but its value is missing or unusable.
bool TakeSessionOption(const CommandArgs& args, std::size_t& i, SessionOptions& options,
                       std::string& error);

// Reads `name VALUE` or `name=VALUE` at args[i]; advances i past the value.
bool TakeValue(const CommandArgs& args, std::size_t& i, const std::string& name, std::string& value,
               bool& missing);

// The whole text as a non-negative decimal number.
bool ParseCount(const std::string& text, int& value);

// "aa:bb:cc:dd:ee:ff" in either case; `mac` gets the lower-case key form.
bool ParseMacText(const std::string& text, std::string& mac);

class EngineSession {
  public:
    EngineSession() = default;
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // Creates the store and starts the engine; false (with a message on stderr) when
    // the store cannot be opened or the engine's sockets cannot be set up.
    bool Open(const SessionOptions& options);
    CCommEngine& Engine() { return *engine_; }
    CSqlManagement& Store() { return *store_; }

    // Runs a flow of the windows to its end on the real clock, its commands on the
    // session's sender thread, and waits until every command has been handed out.
    FlowOutcome Run(IFlow& flow, const FlowStepObserver& on_step = {},
                    const FlowStopRequest& stop_requested = {});
    // The status page's search session, `seconds` ticks long.
    void Discover(int seconds);
    // The bridge wizard's site survey of one device; its results are in the store's
    // scan table afterwards.
    FlowOutcome Survey(const std::string& ip, const std::string& mac,
                       const FlowStopRequest& stop_requested = {});
    // Searches until `mac` has reported, at most `seconds`; false when it never did.
    bool FindDevice(const std::string& mac, int seconds, ap_info_stu& record);
    // Searches at least `min_seconds`, so devices not named (a station bridged to a
    // named access point) report too, and on while a named one has not reported, up
    // to `max_seconds`. Returns the named devices that reported, in the order named.
    std::vector<ap_info_stu> FindDevices(const std::vector<std::string>& macs, int min_seconds,
                                         int max_seconds);
    // Stored devices by address, then the announced ones with status 10.
    std::vector<ap_info_stu> ListDevices();

  private:
    std::string scratch_dir_;
    std::unique_ptr<CSqlManagement> store_;
    std::unique_ptr<CCommEngine> engine_;
    std::unique_ptr<CCommandSender> sender_;
    std::unique_ptr<CFlowExecutor> executor_;
};

}  // namespace fk::cli
