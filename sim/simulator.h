// The event loop that plays every radio: two shared sockets in, one out, a timer
// queue for everything that happens later (delayed answers, keep-alives, restarts),
// and a control socket through which a test reads state and switches faults.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "sim/announce_storm.h"
#include "sim/sim_config.h"
#include "sim/sim_network.h"
#include "sim/sim_radio.h"

namespace fk::sim {

struct SimOptions {
    std::uint16_t search_port = 9786;
    std::uint16_t command_port = 9787;
    std::uint16_t announce_port = 9785;
    std::uint16_t keepalive_port = 9787;
    std::uint16_t reply_port = 9788;
    std::string group = "239.255.255.250";
    std::string state_path;    // written on SIGUSR1 and at exit
    std::string control_path;  // Unix socket for "state", "dump", "set", "announce", "quit"
    std::string log_path;      // empty: standard error
    bool quiet = false;        // log only start, stop and errors
    bool add_addresses = true;
    int announce_jitter_ms = 0;
    int duration_s = 0;  // 0: until told to stop
    std::uint32_t seed = 1;
    std::uint16_t tftp_port = 69;  // where radios with tftp=1 fetch their firmware
    int tftp_timeout_s = 30;
    std::optional<StormPlan> storm;  // a host announcing made-up radios
};

class Simulator {
  public:
    Simulator(SimOptions options, std::vector<SimRadio> radios);
    ~Simulator();

    // Runs until SIGTERM/SIGINT, "quit" or the duration; returns the exit code.
    int Run();

  private:
    struct Timer {
        Clock at;
        std::uint64_t seq;
        std::function<void()> action;
        bool operator>(const Timer& o) const { return at != o.at ? at > o.at : seq > o.seq; }
    };

    Clock Now() const;
    void After(int ms, std::function<void()> action);
    void RunDueTimers();
    void Log(const std::string& line);

    void OnSearch(const Inbound& in);
    void OnCommand(const Inbound& in);
    void HandleCommand(std::size_t index, const Inbound& in);
    void CarryOut(std::size_t index, std::uint16_t type, const CommandOutcome& out,
                  std::uint32_t to, std::uint32_t old_ip);
    void SendReport(std::size_t index, std::uint32_t to, bool registered_now);
    void FinishUpgrade(std::size_t index, std::uint32_t to);
    void SendAnswer(std::size_t index, std::uint32_t from, std::uint32_t to, std::uint16_t port,
                    const Datagram& datagram, int extra_delay_ms = 0);
    void Announce(std::size_t index, std::uint32_t to);
    void StartKeepalives(std::size_t index);
    void KeepaliveTick(std::size_t index, std::uint64_t generation);
    void Restart(std::size_t index, bool factory, std::function<void()> after);
    bool EnsureAddress(const SimRadio& radio);
    void ReportFetch(std::size_t index, std::uint32_t to);
    void StartTftpFetch(std::size_t index, std::uint32_t to);
    void RunFinishedFetches();
    void PumpStorm();

    void OpenControl();
    void OnControlClient();
    std::string Execute(const std::string& request);
    std::string Counters() const;
    bool WriteState(const std::string& path);

    SimOptions options_;
    std::vector<SimRadio> radios_;
    std::unordered_map<std::string, std::vector<std::size_t>> by_mac_;
    std::map<std::string, int> searches_;
    Clock first_search_ms_ = 0;  // 0: none heard yet
    Clock last_report_ms_ = 0;
    SimNetwork net_;
    std::priority_queue<Timer, std::vector<Timer>, std::greater<>> timers_;
    std::uint64_t timer_seq_ = 0;
    std::mt19937 rng_;
    std::uint64_t start_ns_ = 0;
    int control_fd_ = -1;
    bool stop_ = false;
    FILE* log_ = nullptr;
    // Firmware fetches block in libcurl, so each runs on its own thread and hands its
    // outcome back to the loop through `finished_`.
    std::mutex finished_mutex_;
    std::vector<std::function<void()>> finished_;
    std::vector<std::thread> fetches_;
    std::unique_ptr<AnnounceStorm> storm_;
};

// Asks a running simulator through its control socket; the answer goes to `reply`.
bool ControlRequest(const std::string& path, const std::string& request, std::string& reply);

}  // namespace fk::sim
