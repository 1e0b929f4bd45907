// What every subcommand that talks to radios shares: a store of
// its own (a scratch directory unless one is named, so two runs never fight over
// one data.mdb), the running engine, and the status page's search and list.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/options.h"
#include "operations/command_sender.h"
#include "operations/flow_executor.h"
#include "operations/flow_runner.h"
#include "protocol/comm_engine.h"
#include "store/device_record.h"
#include "store/sql_management.h"

namespace fk::cli {

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
    // Searches until `mac` has reported, at most `seconds`; false, and said on standard
    // error under `command`, when it never did. With `whole_search` the search runs its
    // full length, so every radio that answers is in the store, not only those that
    // happened to report before `mac`.
    bool FindDevice(const std::string& mac, int seconds, const char* command, ap_info_stu& record,
                    bool whole_search = false);
    // Searches at least `min_seconds`, so devices not named (a station bridged to a
    // named access point) report too, and on while a named one has not reported, up
    // to `max_seconds`. Returns the named devices that reported, in the order named.
    std::vector<ap_info_stu> FindDevices(const std::vector<std::string>& macs, int min_seconds,
                                         int max_seconds);
    // A batch's radios in the order named, each with its record if it reported: the
    // search runs at least `min_seconds` and on while one is missing, up to the status
    // page's 30 s; a radio that never reported is named on standard error.
    std::vector<std::optional<ap_info_stu>> FindBatch(const std::vector<std::string>& macs,
                                                      int min_seconds, const char* command);
    // Stored devices by address, then the announced ones with status 10.
    std::vector<ap_info_stu> ListDevices();
    // When an answer to a command sent at `sent` is given up on: after the engine's
    // last repetition has had its full interval.
    std::chrono::steady_clock::time_point AnswerDeadline(
        std::chrono::steady_clock::time_point sent) const;

  private:
    // On standard error: why `mac` has no record, the fix when its network is foreign.
    void SayWhyNotReported(const char* command, const std::string& mac, int seconds);

    SessionOptions options_;
    std::string scratch_dir_;
    std::unique_ptr<CSqlManagement> store_;
    std::unique_ptr<CCommEngine> engine_;
    std::unique_ptr<CCommandSender> sender_;
    std::unique_ptr<CFlowExecutor> executor_;
};

}  // namespace fk::cli
