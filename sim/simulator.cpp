#include "sim/simulator.h"

#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "protocol/packet.h"
#include "sim/sim_config.h"
#include "sim/state_json.h"
#include "sim/tftp_fetch.h"

namespace fk::sim {
namespace {

volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_dump = 0;

void OnStopSignal(int) {
    g_stop = 1;
}
void OnDumpSignal(int) {
    g_dump = 1;
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;  // no SA_RESTART: poll must wake up
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnDumpSignal;
    sigaction(SIGUSR1, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

std::uint64_t MonotonicNs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

std::uint32_t DirectedBroadcast(std::uint32_t ip, int prefix) {
    const std::uint32_t mask = prefix >= 32 ? 0xffffffffu : ~((1u << (32 - prefix)) - 1);
    return ip | ~mask;
}

bool HeaderLooksRight(const std::vector<std::uint8_t>& bytes) {
    return IsAcceptableDatagram(bytes);
}

std::uint16_t TypeOf(const std::vector<std::uint8_t>& bytes) {
    return static_cast<std::uint16_t>(bytes[4] | (bytes[5] << 8));
}

}  // namespace

Simulator::Simulator(SimOptions options, std::vector<SimRadio> radios)
    : options_(std::move(options)), radios_(std::move(radios)), rng_(options_.seed) {
    start_ns_ = MonotonicNs();
    for (std::size_t k = 0; k < radios_.size(); ++k) {
        by_mac_[radios_[k].mac_text].push_back(k);
        TakeFactorySettings(radios_[k]);
    }
    if (!options_.log_path.empty()) log_ = std::fopen(options_.log_path.c_str(), "a");
    if (options_.storm) storm_ = std::make_unique<AnnounceStorm>(*options_.storm, options_.seed);
}

Simulator::~Simulator() {
    for (std::thread& t : fetches_) t.join();  // each is bounded by its transfer timeout
    if (control_fd_ >= 0) {
        close(control_fd_);
        unlink(options_.control_path.c_str());
    }
    if (log_ != nullptr) std::fclose(log_);
}

Clock Simulator::Now() const {
    return (MonotonicNs() - start_ns_) / 1000000;
}

void Simulator::After(int ms, std::function<void()> action) {
    timers_.push(
        Timer{Now() + static_cast<Clock>(ms < 0 ? 0 : ms), timer_seq_++, std::move(action)});
}

void Simulator::Log(const std::string& line) {
    FILE* out = log_ != nullptr ? log_ : stderr;
    std::fprintf(out, "[%8.3f] %s\n", static_cast<double>(Now()) / 1000.0, line.c_str());
    std::fflush(out);
}

void Simulator::RunDueTimers() {
    // A bounded batch per pass keeps the sockets served during a flood of timers.
    for (int k = 0; k < 4096 && !timers_.empty() && timers_.top().at <= Now(); ++k) {
        auto action = timers_.top().action;
        timers_.pop();
        action();
    }
}

bool Simulator::EnsureAddress(const SimRadio& radio) {
    if (!options_.add_addresses || radio.iface.empty()) return true;
    std::string error;
    if (!AddAddresses({{radio.ip, radio.prefix, radio.iface}}, error)) {
        Log("error: " + error);
        return false;
    }
    return true;
}

void Simulator::SendAnswer(std::size_t index, std::uint32_t from, std::uint32_t to,
                           std::uint16_t port, const Datagram& datagram, int extra_delay_ms) {
    const SimRadio& radio = radios_[index];
    const std::uint32_t source = radio.faults.reply_from ? radio.faults.reply_from : from;
    auto copies = ShapeAnswer(radio, datagram);
    auto send = [this, source, to, port, copies = std::move(copies)] {
        for (const Datagram& d : copies) net_.Send(source, to, port, d);
    };
    const int delay = radio.faults.delay_ms + extra_delay_ms;
    if (delay > 0) {
        After(delay, std::move(send));
    } else {
        send();
    }
}

void Simulator::Announce(std::size_t index, std::uint32_t to) {
    SimRadio& radio = radios_[index];
    if (to == 0 || radio.phase != Phase::kOnline || radio.faults.silent) return;
    ++radio.announcements_sent;
    SendAnswer(index, radio.ip, to, options_.announce_port, Announcement(radio, Now()));
}

void Simulator::OnSearch(const Inbound& in) {
    if (!HeaderLooksRight(in.bytes) || TypeOf(in.bytes) != MSG_DISCOVER) return;
    ++searches_[IpText(in.source) + "->" + IpText(in.destination)];
    if (first_search_ms_ == 0) first_search_ms_ = std::max<Clock>(1, Now());
    if (storm_ && !storm_->Started()) storm_->Start(in.source, Now());
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> jitter(0, std::max(0, options_.announce_jitter_ms));
    int answering = 0;
    for (std::size_t k = 0; k < radios_.size(); ++k) {
        SimRadio& radio = radios_[k];
        if (radio.phase != Phase::kOnline) continue;
        if (radio.ifindex != 0 && in.ifindex != 0 && radio.ifindex != in.ifindex) continue;
        if (in.destination != 0xffffffffu && in.destination != radio.ip &&
            in.destination != DirectedBroadcast(radio.ip, radio.prefix)) {
            continue;
        }
        if (radio.faults.loss > 0 && chance(rng_) < radio.faults.loss) continue;
        radio.controller = in.source;
        ++answering;
        if (options_.announce_jitter_ms > 0) {
            const std::uint32_t to = in.source;
            After(jitter(rng_), [this, k, to] { Announce(k, to); });
        } else {
            Announce(k, in.source);
        }
    }
    if (!options_.quiet) {
        Log("search from " + IpText(in.source) + " to " + IpText(in.destination) + ": " +
            std::to_string(answering) + " radios answer");
    }
}

void Simulator::PumpStorm() {
    if (!storm_) return;
    // Bounded like the socket drains, so the radios are still served during a storm.
    for (const Datagram& d : storm_->Due(Now(), 512)) {
        net_.Send(storm_->plan().from, storm_->controller(), options_.announce_port, d);
    }
}

void Simulator::OnCommand(const Inbound& in) {
    if (!HeaderLooksRight(in.bytes)) return;
    const std::string mac = MacBytesToText(in.bytes.data() + 8);
    auto it = by_mac_.find(mac);
    if (it == by_mac_.end()) return;
    for (std::size_t index : it->second) HandleCommand(index, in);
}

void Simulator::HandleCommand(std::size_t index, const Inbound& in) {
    SimRadio& radio = radios_[index];
    const std::uint16_t type = TypeOf(in.bytes);
    if (radio.phase != Phase::kOnline) {
        ++radio.lost;  // a restarting radio hears nothing
        return;
    }
    ++radio.received[type];
    radio.first_heard_ms.try_emplace(type, Now());
    ++radio.command_sources[IpText(in.source)];
    if (!options_.quiet) {
        Log(radio.mac_text + " got type " + std::to_string(type) + " from " + IpText(in.source));
    }
    if (radio.faults.unanswered.count(type) > 0) return;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    if (radio.faults.loss > 0 && chance(rng_) < radio.faults.loss) {
        ++radio.lost;
        return;
    }
    if (radio.faults.silent) return;
    radio.controller = in.source;
    const std::uint32_t old_ip = radio.ip;
    const std::size_t declared = in.bytes[14] | (in.bytes[15] << 8);
    const auto payload = std::span<const std::uint8_t>(in.bytes).subspan(kHeaderSize);
    radio.last_payload[type].assign(payload.begin(),
                                    payload.begin() + std::min(payload.size(), declared));
    const CommandOutcome out = ApplyCommand(radio, type, payload, declared, Now());
    if (out.address_changed) EnsureAddress(radio);
    CarryOut(index, type, out, in.source, old_ip);
}

void Simulator::CarryOut(std::size_t index, std::uint16_t type, const CommandOutcome& out,
                         std::uint32_t to, std::uint32_t old_ip) {
    SimRadio& radio = radios_[index];
    // The answer leaves from the address the command was sent to: the controller
    // matches it against that address (a new one is committed only by this answer).
    if (out.answer) {
        SendAnswer(index, old_ip, to, options_.reply_port,
                   RadioDatagram(radio, type, out.reply_payload));
    }
    if (out.send_report) SendReport(index, to, out.registered_now);
    if (out.send_scan) {
        int gap = 0;
        for (const Datagram& packet : ScanResultPackets(radio)) {
            SendAnswer(index, radio.ip, to, options_.reply_port, packet, gap);
            gap += radio.scan_gap_ms;  // apart, so that their order on the wire is the chosen one
        }
    }
    if (out.released) ++radio.generation;  // stops its keep-alives
    if (out.restart) {
        const bool factory = type == MSG_RESTORE;
        Restart(index, factory, [this, index] { Announce(index, radios_[index].controller); });
    }
    if (out.upgrade_fetch) {
        if (radio.tftp_fetch) {
            StartTftpFetch(index, to);
        } else {
            After(500, [this, index, to] { ReportFetch(index, to); });
        }
    }
    if (out.upgrade_write) {
        Restart(index, false, [this, index, to] { FinishUpgrade(index, to); });
    }
}

void Simulator::SendReport(std::size_t index, std::uint32_t to, bool registered_now) {
    SimRadio& radio = radios_[index];
    ++radio.reports_sent;
    last_report_ms_ = Now();
    SendAnswer(index, radio.ip, to, options_.reply_port, Report(radio, Now()));
    if (radio.faults.silent_after_report) {
        radio.faults.silent = true;
        radio.faults.keepalives = false;
        Log(radio.mac_text + " falls silent after its report");
    } else if (registered_now) {
        StartKeepalives(index);
    }
}

// Back from writing the image: the new version is the file's name, and the radio
// says how the write went before it announces itself again.
void Simulator::FinishUpgrade(std::size_t index, std::uint32_t to) {
    SimRadio& r = radios_[index];
    std::string version = r.upgrade_file;
    if (version.size() > 4 && version.ends_with(".bin")) version.resize(version.size() - 4);
    r.report.version.Assign(version.substr(0, 32));
    SendAnswer(
        index, r.ip, to, options_.reply_port,
        RadioDatagram(r, MSG_UPGRADE_RESULT, std::vector<std::uint8_t>{r.results.upgrade_final}));
    Announce(index, r.controller);
}

void Simulator::ReportFetch(std::size_t index, std::uint32_t to) {
    SimRadio& r = radios_[index];
    if (r.phase != Phase::kOnline || r.faults.silent) return;
    const bool fetched =
        !r.tftp_fetch || (r.fetch_error.empty() && r.fetched_bytes == r.upgrade_size);
    const std::uint8_t result = fetched ? r.results.upgrade_fetch : 1;
    SendAnswer(index, r.ip, to, options_.reply_port,
               RadioDatagram(r, MSG_UPGRADE_RESULT, std::vector<std::uint8_t>{result}));
}

void Simulator::StartTftpFetch(std::size_t index, std::uint32_t to) {
    const std::string file = radios_[index].upgrade_file;
    const std::uint16_t port = options_.tftp_port;
    const int timeout = options_.tftp_timeout_s;
    fetches_.emplace_back([this, index, to, file, port, timeout] {
        const FetchResult fetched = FetchTftp(to, port, file, timeout);
        std::lock_guard lock(finished_mutex_);
        finished_.push_back([this, index, to, fetched] {
            SimRadio& r = radios_[index];
            r.fetched_bytes = fetched.bytes;
            r.fetch_error = fetched.error;
            if (!fetched.ok)
                Log(r.mac_text + " could not fetch " + r.upgrade_file + ": " + fetched.error);
            ReportFetch(index, to);
        });
    });
}

void Simulator::RunFinishedFetches() {
    std::vector<std::function<void()>> ready;
    {
        std::lock_guard lock(finished_mutex_);
        ready.swap(finished_);
    }
    for (auto& action : ready) action();
}

void Simulator::Restart(std::size_t index, bool factory, std::function<void()> after) {
    SimRadio& radio = radios_[index];
    // The answer leaves first (it may be delayed), then the radio goes dark.
    After(radio.faults.delay_ms + 1, [this, index, factory, after = std::move(after)] {
        SimRadio& r = radios_[index];
        r.phase = Phase::kRestarting;
        ++r.generation;
        Log(r.mac_text + " restarting for " + std::to_string(r.restart_ms) + " ms");
        After(r.restart_ms, [this, index, factory, after] {
            if (Reboot(radios_[index], Now(), factory)) EnsureAddress(radios_[index]);
            after();
        });
    });
}

void Simulator::StartKeepalives(std::size_t index) {
    SimRadio& radio = radios_[index];
    const std::uint64_t generation = ++radio.generation;
    std::uniform_int_distribution<int> offset(0, radio.keepalive_ms);
    After(offset(rng_), [this, index, generation] { KeepaliveTick(index, generation); });
}

void Simulator::KeepaliveTick(std::size_t index, std::uint64_t generation) {
    SimRadio& radio = radios_[index];
    if (generation != radio.generation || !radio.registered || radio.phase != Phase::kOnline) {
        return;
    }
    if (radio.faults.keepalives && !radio.faults.silent && radio.controller != 0) {
        ++radio.keepalives_sent;
        const std::uint32_t from = radio.faults.reply_from ? radio.faults.reply_from : radio.ip;
        net_.Send(from, radio.controller, options_.keepalive_port, Keepalive(radio, Now()));
    }
    After(radio.keepalive_ms, [this, index, generation] { KeepaliveTick(index, generation); });
}

bool Simulator::WriteState(const std::string& path) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << StateJson(radios_, Now(), searches_);
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

std::string Simulator::Execute(const std::string& request) {
    std::istringstream words(request);
    std::string verb;
    words >> verb;
    std::string rest;
    std::getline(words, rest);
    if (const auto first = rest.find_first_not_of(' '); first != std::string::npos) {
        rest = rest.substr(first);
    } else {
        rest.clear();
    }
    if (verb == "state") return StateJson(radios_, Now(), searches_);
    if (verb == "dump")
        return WriteState(rest.empty() ? options_.state_path : rest) ? "ok\n" : "error\n";
    if (verb == "quit") {
        stop_ = true;
        return "ok\n";
    }
    if (verb == "counters") return Counters();
    const std::size_t space = rest.find(' ');
    const std::string selector = rest.substr(0, space);
    const std::string settings = space == std::string::npos ? "" : rest.substr(space + 1);
    auto chosen = SelectRadios(radios_, selector);
    if (chosen.empty()) return "error no radio matches '" + selector + "'\n";
    if (verb == "set") {
        for (SimRadio* r : chosen) {
            const std::uint32_t ip = r->ip;
            std::string error;
            if (!ApplySettings(*r, settings, error)) return "error " + error + "\n";
            if (r->ip != ip) EnsureAddress(*r);
        }
        return "ok " + std::to_string(chosen.size()) + "\n";
    }
    if (verb == "announce") {
        for (SimRadio* r : chosen)
            Announce(static_cast<std::size_t>(r - radios_.data()), r->controller);
        return "ok " + std::to_string(chosen.size()) + "\n";
    }
    return "error unknown request '" + verb + "'\n";
}

// Totals cheap enough to poll while a thousand radios run.
std::string Simulator::Counters() const {
    long searches = 0, reports = 0, registered = 0, keepalives = 0, answered = 0, commands = 0;
    for (const auto& [key, count] : searches_) searches += count;
    for (const SimRadio& r : radios_) {
        reports += r.reports_sent;
        registered += r.registered ? 1 : 0;
        keepalives += r.keepalives_sent;
        for (const auto& [type, count] : r.received) {
            commands += count;
            if (type == MSG_KEEPALIVE) answered += count;
        }
    }
    return "sent " + std::to_string(net_.sent()) + " failed " +
           std::to_string(net_.send_failures()) + " searches " + std::to_string(searches) +
           " reports " + std::to_string(reports) + " registered " + std::to_string(registered) +
           " keepalives " + std::to_string(keepalives) + " keepalive_answers " +
           std::to_string(answered) + " commands " + std::to_string(commands) + " now_ms " +
           std::to_string(Now()) + " first_search_ms " + std::to_string(first_search_ms_) +
           " last_report_ms " + std::to_string(last_report_ms_) + " storm_sent " +
           std::to_string(storm_ ? storm_->sent() : 0) + "\n";
}

void Simulator::OpenControl() {
    if (options_.control_path.empty()) return;
    unlink(options_.control_path.c_str());
    control_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, options_.control_path.c_str(), sizeof addr.sun_path - 1);
    if (control_fd_ < 0 ||
        bind(control_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(control_fd_, 16) != 0) {
        Log("error: control socket " + options_.control_path + ": " + std::strerror(errno));
        if (control_fd_ >= 0) close(control_fd_);
        control_fd_ = -1;
    }
}

void Simulator::OnControlClient() {
    const int client = accept4(control_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    timeval timeout{2, 0};  // a stuck client must not stall every radio
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    std::string request;
    char buf[512];
    while (request.find('\n') == std::string::npos && request.size() < 65536) {
        const ssize_t n = read(client, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
    }
    if (const auto nl = request.find('\n'); nl != std::string::npos) request.resize(nl);
    if (!options_.quiet) Log("control: " + request);
    const std::string reply = Execute(request);
    std::size_t done = 0;
    while (done < reply.size()) {
        const ssize_t n = write(client, reply.data() + done, reply.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    close(client);
}

int Simulator::Run() {
    InstallSignals();
    std::vector<std::string> ifaces;
    std::vector<AddressOnLink> addresses;
    for (SimRadio& r : radios_) {
        if (r.iface.empty()) continue;
        ifaces.push_back(r.iface);
        r.ifindex = static_cast<int>(if_nametoindex(r.iface.c_str()));
        addresses.push_back({r.ip, r.prefix, r.iface});
        if (r.faults.reply_from) addresses.push_back({r.faults.reply_from, r.prefix, r.iface});
    }
    if (storm_ && !storm_->plan().iface.empty()) {
        addresses.push_back({storm_->plan().from, storm_->plan().prefix, storm_->plan().iface});
    }
    std::string error;
    if (options_.add_addresses && !AddAddresses(addresses, error)) {
        Log("error: " + error);
        return 2;
    }
    if (!net_.Open(options_.search_port, options_.command_port, options_.group, ifaces, error)) {
        Log("error: " + error);
        return 2;
    }
    OpenControl();
    Log("playing " + std::to_string(radios_.size()) + " radios");
    const Clock deadline = options_.duration_s > 0 ? Now() + options_.duration_s * 1000ULL : 0;
    while (!stop_ && !g_stop) {
        if (g_dump) {
            g_dump = 0;
            if (!options_.state_path.empty()) WriteState(options_.state_path);
        }
        if (deadline != 0 && Now() >= deadline) break;
        int timeout = 200;
        if (!timers_.empty()) {
            const Clock next = timers_.top().at;
            const Clock now = Now();
            timeout = next <= now ? 0 : static_cast<int>(std::min<Clock>(200, next - now));
        }
        if (storm_ && storm_->Started()) timeout = std::min(timeout, 1);
        pollfd fds[3] = {{net_.search_fd(), POLLIN, 0},
                         {net_.command_fd(), POLLIN, 0},
                         {control_fd_, POLLIN, 0}};
        const int ready = poll(fds, control_fd_ >= 0 ? 3 : 2, timeout);
        if (ready > 0) {
            Inbound in;
            // Bounded drains: a flood on one socket must not starve the other.
            for (int k = 0; k < 256 && (fds[0].revents & POLLIN) && net_.Receive(fds[0].fd, in);
                 ++k) {
                OnSearch(in);
            }
            for (int k = 0; k < 256 && (fds[1].revents & POLLIN) && net_.Receive(fds[1].fd, in);
                 ++k) {
                OnCommand(in);
            }
            if (control_fd_ >= 0 && (fds[2].revents & POLLIN)) OnControlClient();
        }
        RunDueTimers();
        RunFinishedFetches();
        PumpStorm();
    }
    if (!options_.state_path.empty()) WriteState(options_.state_path);
    Log("stopped; datagrams sent " + std::to_string(net_.sent()) + ", send failures " +
        std::to_string(net_.send_failures()));
    return 0;
}

bool ControlRequest(const std::string& path, const std::string& request, std::string& reply) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return false;
    }
    const std::string line = request + "\n";
    bool ok = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    char buf[4096];
    reply.clear();
    for (ssize_t n; ok && (n = read(fd, buf, sizeof buf)) > 0;) reply.append(buf, n);
    close(fd);
    return ok;
}

}  // namespace fk::sim
