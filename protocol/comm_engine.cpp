#include "protocol/comm_engine.h"

#include <net/if.h>

#include <algorithm>
#include <condition_variable>
#include <utility>

#include "protocol/address_text.h"
#include "protocol/no_local_network.h"
#include "protocol/outgoing_batch.h"
#include "protocol/packet.h"
#include "protocol/pending_uptimes.h"
#include "protocol/subnet.h"
#include "store/sql_management.h"

namespace fk {

namespace {

constexpr int kOneMegabyte = 1048576;
constexpr int kTenMegabytes = 10485760;
// Nothing reads the search port; its receive buffer only has to exist. It still
// receives our own broadcasts, so it is kept as small as the system allows.
constexpr int kUnreadReceiveBuffer = 1;
// Other connections on the store see a burst of replies when its slice ends.
constexpr std::size_t kRepliesPerBurst = 256;
// After a failed receive that is not a stop, do not spin on the error.
constexpr std::chrono::milliseconds kReceiveRetry{10};

// Sleeps for `period` or until stop is requested; false on stop.
bool SleepFor(std::stop_token stop, std::chrono::milliseconds period) {
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    cv.wait_for(lock, stop, period, [] { return false; });
    return !stop.stop_requested();
}

std::uint16_t TypeOf(std::span<const std::uint8_t> datagram) {
    return static_cast<std::uint16_t>(datagram[4] | (datagram[5] << 8));
}

bool IsNeverRepeated(std::uint16_t type) {
    return type == MSG_DISCOVER || type == MSG_SCAN_AP || type == MSG_KEEPALIVE ||
           type == MSG_RELEASE;
}

bool IsUsable(const adapter_info_stu& a) {
    return a.state == 1 && !a.addresses.empty() && a.addresses.front().ip != "0.0.0.0";
}

bool ListHoldsAddress(const std::vector<adapter_info_stu>& list, const std::string& ip) {
    for (const auto& adapter : list) {
        for (const auto& address : adapter.addresses) {
            if (address.ip == ip) return true;
        }
    }
    return false;
}

}  // namespace

CCommEngine::CCommEngine(EngineOptions options, std::unique_ptr<IAdapterSource> adapters,
                         CSqlManagement& store)
    : options_(std::move(options)),
      adapters_(std::move(adapters)),
      store_(store),
      queues_{CReceiveQueue(options_.announce_queue_depth),
              CReceiveQueue(options_.keepalive_queue_depth),
              CReceiveQueue(options_.reply_queue_depth)},
      presence_(*this, store, options_.presence),
      handlers_(presence_, store, *this),
      retransmission_max_(options_.retransmission_max),
      retransmission_interval_(options_.retransmission_interval) {}

CCommEngine::~CCommEngine() {
    Stop();
}

bool CCommEngine::Start(int retransmission_max, int retransmission_interval) {
    std::lock_guard lifecycle(lifecycle_lock_);
    retransmission_max_.store(retransmission_max);
    retransmission_interval_.store(retransmission_interval);
    StopThreads();
    if (!OpenSockets()) return false;
    StartThreads();
    running_.store(true);
    std::vector<adapter_info_stu> adapters;
    GetLocalAdapters(adapters);
    return true;
}

bool CCommEngine::OpenSockets() {
    UdpSocketConfig search{options_.search_port, true, kOneMegabyte, kUnreadReceiveBuffer};
    // Every radio announces within a few hundred milliseconds of a search: ten
    // thousand of them overflow a 1 MB buffer while the worker answers the first, and
    // a radio whose announcement the kernel dropped waits for the next search.
    UdpSocketConfig announce{options_.announce_port, false, kOneMegabyte, kTenMegabytes};
    // Commands leave through this socket too; our own multicast must not come back.
    UdpSocketConfig keepalive{options_.keepalive_port, false, kOneMegabyte, kOneMegabyte, false};
    UdpSocketConfig reply{options_.reply_port, false, kTenMegabytes, kTenMegabytes};
    if (!search_socket_.Open(search)) return false;
    search_socket_.ShutdownReceive();
    return announce_socket_.Open(announce) && keepalive_socket_.Open(keepalive) &&
           reply_socket_.Open(reply);
}

void CCommEngine::StartThreads() {
    auto receiver = [this](CUdpSocket& socket, EngineQueue which, int type) {
        return std::jthread([this, &socket, which, type](std::stop_token stop) {
            ReceiveLoop(stop, socket, which, type);
        });
    };
    auto worker = [this](EngineQueue which) {
        return std::jthread([this, which](std::stop_token stop) { WorkLoop(stop, which); });
    };
    threads_.push_back(receiver(announce_socket_, EngineQueue::announce, MSG_DISCOVER));
    threads_.push_back(receiver(keepalive_socket_, EngineQueue::keepalive, MSG_KEEPALIVE));
    threads_.push_back(receiver(reply_socket_, EngineQueue::reply, -1));
    threads_.push_back(worker(EngineQueue::announce));
    threads_.push_back(worker(EngineQueue::keepalive));
    threads_.push_back(worker(EngineQueue::reply));
    threads_.emplace_back([this](std::stop_token stop) { AgerLoop(stop); });
    threads_.emplace_back([this](std::stop_token stop) { ResendLoop(stop); });
}

void CCommEngine::StopThreads() {
    for (auto& t : threads_) t.request_stop();
    // Receivers block in the kernel; a receive shutdown wakes them, while the
    // keep-alive socket stays able to send the goodbyes.
    announce_socket_.ShutdownReceive();
    keepalive_socket_.ShutdownReceive();
    reply_socket_.ShutdownReceive();
    for (auto& t : threads_) {
        if (t.joinable()) t.join();
    }
    threads_.clear();
}

void CCommEngine::Stop() {
    std::lock_guard lifecycle(lifecycle_lock_);
    if (!running_.exchange(false)) return;
    StopThreads();
    for (const auto& [ip, mac] : presence_.AllDevices()) {
        SendToDevice(ip, MSG_RELEASE, {}, mac, false);
    }
    search_socket_.Close();
    announce_socket_.Close();
    keepalive_socket_.Close();
    reply_socket_.Close();
}

void CCommEngine::ReceiveLoop(std::stop_token stop, CUdpSocket& socket, EngineQueue which,
                              int accepted_type) {
    // Keep-alives only need an answer within seconds: after taking what was queued,
    // the thread naps for the gather time unless it took a full batch, so many
    // radios cost a wake-up per gather instead of a context switch per datagram.
    const std::chrono::milliseconds nap =
        which == EngineQueue::keepalive ? options_.keepalive_gather : std::chrono::milliseconds(0);
    std::vector<std::uint8_t> buffer(CUdpSocket::kMaxBatch * kMaxDatagram);
    std::array<UdpReceive, CUdpSocket::kMaxBatch> got{};
    while (!stop.stop_requested()) {
        const int taken = socket.ReceiveMany(buffer, kMaxDatagram, got);
        if (stop.stop_requested()) return;
        if (taken <= 0) {
            if (!SleepFor(stop, kReceiveRetry)) return;
            continue;
        }
        for (int k = 0; k < taken; ++k) {
            const auto slot =
                std::span(buffer).subspan(static_cast<std::size_t>(k) * kMaxDatagram, kMaxDatagram);
            TakeDatagram(got[static_cast<std::size_t>(k)], slot, which, accepted_type);
        }
        queues_[static_cast<int>(which)].WakeWorker();
        const bool full = static_cast<std::size_t>(taken) == got.size();
        if (nap.count() > 0 && !full && !SleepFor(stop, nap)) return;
    }
}

void CCommEngine::TakeDatagram(const UdpReceive& got, std::span<const std::uint8_t> buffer,
                               EngineQueue which, int accepted_type) {
    const int at = static_cast<int>(which);
    received_[at].fetch_add(1, std::memory_order_relaxed);
    // A datagram larger than the buffer was cut off: it fails the size check.
    const bool fits = got.size <= static_cast<long>(kMaxDatagram);
    const auto datagram = buffer.first(fits ? static_cast<std::size_t>(got.size) : 0);
    if (!fits || !IsAcceptableDatagram(datagram) ||
        (accepted_type >= 0 && TypeOf(datagram) != accepted_type)) {
        rejected_[at].fetch_add(1, std::memory_order_relaxed);
        return;
    }
    if (queues_[at].Push(datagram, got.source_ip, got.source_port, CReceiveQueue::Wake::Later)) {
        queued_[at].fetch_add(1, std::memory_order_relaxed);
    }
    if (which == EngineQueue::announce) NoteHeardOn(got.source_ip, got.interface_index);
}

void CCommEngine::WorkLoop(std::stop_token stop, EngineQueue which) {
    if (which == EngineQueue::keepalive) return KeepaliveWorkLoop(stop);
    CReceivedBatch batch;
    udp_packet_stu element;
    while (queues_[static_cast<int>(which)].WaitAndTakeAll(stop, batch)) {
        for (std::size_t from = 0; from < batch.Count(); from += kRepliesPerBurst) {
            // Replies are mostly device reports, which arrive in bursts when many
            // radios answer one search; each slice of them shares one transaction.
            const bool burst = which == EngineQueue::reply && store_.BeginWriteBurst();
            const std::size_t to = std::min(batch.Count(), from + kRepliesPerBurst);
            {
                CPassSends answers = PassSends();
                for (std::size_t k = from; k < to && !stop.stop_requested(); ++k) {
                    batch.Load(k, element);
                    Dispatch(which, element);
                }
            }
            if (burst) store_.EndWriteBurst();
            if (stop.stop_requested()) return;
        }
        batch.Trim();
    }
}

void CCommEngine::KeepaliveWorkLoop(std::stop_token stop) {
    CReceivedBatch batch;
    udp_packet_stu element;
    CPendingUptimes pending(options_.keepalive_store_interval);
    UptimeUpdate uptime;
    CReceiveQueue& queue = queues_[static_cast<int>(EngineQueue::keepalive)];
    // The receiver already let the keep-alives gather before it handed them over.
    while (queue.WaitAndTakeAll(stop, batch, std::chrono::milliseconds(0),
                                options_.keepalive_store_interval)) {
        {
            CPassSends answers = PassSends();
            for (std::size_t k = 0; k < batch.Count() && !stop.stop_requested(); ++k) {
                batch.Load(k, element);
                if (handlers_.HandleKeepalive(element, uptime)) pending.Add(uptime);
            }
        }
        store_.UpdateUptimes(pending.TakeIfDue(CPendingUptimes::Clock::now()));
        batch.Trim();
    }
    // What was heard is not lost with the session: the store outlives the engine.
    store_.UpdateUptimes(pending.TakeIfDue(CPendingUptimes::Clock::now(), true));
}

void CCommEngine::Dispatch(EngineQueue which, const udp_packet_stu& element) {
    switch (which) {
        case EngineQueue::announce:
            handlers_.OnAnnouncement(element);
            break;
        case EngineQueue::keepalive:
            handlers_.OnKeepalive(element);
            break;
        case EngineQueue::reply:
            handlers_.OnReply(element);
            break;
    }
}

void CCommEngine::AgerLoop(std::stop_token stop) {
    while (SleepFor(stop, options_.ager_period)) presence_.AgeOnce();
}

std::chrono::milliseconds CCommEngine::ResendInterval() const {
    const auto configured = std::chrono::milliseconds(retransmission_interval_.load());
    return std::max(configured, options_.min_resend_interval);
}

void CCommEngine::ResendLoop(std::stop_token stop) {
    while (resend_.WaitUntilDue(stop)) {
        resend_wakeups_.fetch_add(1);
        resend_.RunPass(ResendClock::now(), ResendInterval(), [this](const resend_item_stu& item) {
            SendToDevice(item.ip, static_cast<std::uint16_t>(item.type), item.payload, item.mac,
                         false);
        });
    }
}

bool CCommEngine::SendToDevice(const std::string& ip, std::uint16_t type,
                               std::span<const std::uint8_t> payload, const std::string& mac,
                               bool retransmit) {
    if (payload.size() > kMaxPayload) payload = payload.first(kMaxPayload);
    if (!retransmit || IsNeverRepeated(type)) return SendNow(ip, type, payload, mac);
    resend_item_stu item{retransmission_max_.load(),
                         ip,
                         type,
                         std::vector<std::uint8_t>(payload.begin(), payload.end()),
                         mac,
                         ResendClock::now() + ResendInterval()};
    return resend_.SendAndAppend(std::move(item), [&] { return SendNow(ip, type, payload, mac); });
}

const local_address_stu* CCommEngine::LocalAddressForLocked(const std::string& ip) const {
    const auto from =
        std::find_if(address_table_.begin(), address_table_.end(), [&](const local_address_stu& a) {
            return !a.ip.empty() && InSameSubnet(a.ip, a.mask, ip);
        });
    return from == address_table_.end() ? nullptr : &*from;
}

bool CCommEngine::HasLocalAddressFor(const std::string& ip) const {
    std::lock_guard lock(address_lock_);
    return LocalAddressForLocked(ip) != nullptr;
}

void CCommEngine::NoteHeardOn(std::uint32_t source_ip, std::uint32_t interface_index) {
    if (interface_index == 0) return;
    std::lock_guard lock(heard_lock_);
    if (heard_on_.size() >= kMaxHeardOn && !heard_on_.contains(source_ip)) heard_on_.clear();
    heard_on_[source_ip] = interface_index;
}

std::string CCommEngine::UnreachableReason(const std::string& ip) const {
    if (HasLocalAddressFor(ip)) return {};
    std::uint32_t source = 0;
    if (!ParseIpv4(ip, source)) return {};
    std::uint32_t index = 0;
    {
        std::lock_guard lock(heard_lock_);
        const auto heard = heard_on_.find(source);
        if (heard != heard_on_.end()) index = heard->second;
    }
    char name[IF_NAMESIZE] = {};
    const bool named = index != 0 && if_indextoname(index, name) != nullptr;
    return NoLocalNetworkText(ip, named ? name : "");
}

bool CCommEngine::SendNow(const std::string& ip, std::uint16_t type,
                          std::span<const std::uint8_t> payload, const std::string& mac) {
    std::lock_guard lock(address_lock_);
    const local_address_stu* from = LocalAddressForLocked(ip);
    if (from == nullptr) return false;
    if (type == MSG_SCAN_AP) {
        scan_.Reset();
        // Before the send: the first result packet may be handled before it returns.
        surveys_.Asked(ip, mac, CSurveyRequests::Clock::now());
    }
    auto bytes = BuildDatagram(type, payload, mac, true);
    if (COutgoingBatch* pass = COutgoingBatch::OfThisThread()) {
        std::uint32_t source = 0;
        if (!ParseIpv4(from->ip, source)) return false;
        pass->Add(from->interface_index, source, std::move(bytes));
        return true;
    }
    return keepalive_socket_.SendFromInterface(
        from->interface_index, from->ip, options_.command_group, options_.keepalive_port, bytes);
}

CPassSends CCommEngine::PassSends() {
    return CPassSends(keepalive_socket_, options_.command_group, options_.keepalive_port);
}

void CCommEngine::Acknowledge(const std::string& ip, const std::string& mac, int type) {
    resend_.Acknowledge(ip, mac, type);
}

void CCommEngine::SearchDevices() {
    std::vector<adapter_info_stu> adapters;
    GetLocalAdapters(adapters);
    std::vector<std::string> targets;
    for (const auto& adapter : adapters) {
        for (const auto& address : adapter.addresses) {
            if (address.ip.empty()) continue;
            const auto target = DirectedBroadcast(address.ip, address.mask);
            if (target && std::find(targets.begin(), targets.end(), *target) == targets.end()) {
                targets.push_back(*target);
            }
        }
    }
    if (targets.empty()) targets.push_back("255.255.255.255");
    const auto bytes = BuildDatagram(MSG_DISCOVER, {}, "", false);
    for (const auto& target : targets) search_socket_.SendTo(target, options_.search_port, bytes);
}

void CCommEngine::GetLocalAdapters(std::vector<adapter_info_stu>& list) {
    {
        std::lock_guard lock(adapter_lock_);
        list.clear();
        if (adapters_) {
            for (auto& adapter : adapters_->List()) {
                if (!IsUsable(adapter)) continue;
                if (adapter.addresses.size() > kMaxAdapterAddresses) {
                    adapter.addresses.resize(kMaxAdapterAddresses);
                }
                list.push_back(std::move(adapter));
            }
        }
    }
    SyncAddressTable(list);
}

void CCommEngine::SyncAddressTable(const std::vector<adapter_info_stu>& list) {
    std::lock_guard lock(address_lock_);
    std::erase_if(address_table_, [&](const local_address_stu& entry) {
        return !ListHoldsAddress(list, entry.ip);
    });
    for (const auto& adapter : list) {
        for (const auto& address : adapter.addresses) {
            const auto known = std::find_if(
                address_table_.begin(), address_table_.end(),
                [&](const local_address_stu& entry) { return entry.ip == address.ip; });
            if (known == address_table_.end()) {
                address_table_.push_back({address.ip, address.mask, adapter.index});
            } else if (known->interface_index != adapter.index || known->mask != address.mask) {
                // The address moved to another interface or got a new mask: the entry
                // keeps its place but must send where the address now lives.
                known->mask = address.mask;
                known->interface_index = adapter.index;
            }
        }
    }
}

std::vector<local_address_stu> CCommEngine::AddressTable() const {
    std::lock_guard lock(address_lock_);
    return address_table_;
}

void CCommEngine::SetPendingIp(const std::string& mac, const std::string& old_ip,
                               const std::string& new_ip) {
    presence_.SetPendingIp(mac, old_ip, new_ip);
}

void CCommEngine::ReleasePendingDevices() {
    presence_.ReleasePendingDevices();
}

void CCommEngine::DropPendingDevices() {
    presence_.DropPendingDevices();
}

void CCommEngine::PruneStoreToPresent() {
    presence_.PruneStoreToPresent();
}

void CCommEngine::ListPendingDevices(int max, const std::string& filter,
                                     std::vector<ap_info_stu>& list) {
    presence_.ListPendingDevices(max, filter, list);
}

bool CCommEngine::SurveyExpected(const std::string& ip, const std::string& mac) const {
    return surveys_.Expected(ip, mac, CSurveyRequests::Clock::now());
}

void CCommEngine::AnswerHandled(const std::string& ip, const std::string& mac, int type,
                                std::uint8_t result) {
    {
        std::lock_guard guard(answer_lock_);
        const auto it = answers_.find({ip, mac, type});
        if (it == answers_.end()) {
            ++answers_unwatched_;
            return;
        }
        ++it->second.count;
        it->second.last_result = result;
    }
    answered_.notify_all();
}

std::uint64_t CCommEngine::WatchAnswers(const std::string& ip, const std::string& mac, int type) {
    std::lock_guard guard(answer_lock_);
    return answers_[{ip, mac, type}].count;
}

bool CCommEngine::WaitForAnswer(const std::string& ip, const std::string& mac, int type,
                                std::uint64_t seen,
                                std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock lock(answer_lock_);
    return answered_.wait_until(lock, deadline, [&] {
        const auto it = answers_.find({ip, mac, type});
        return it != answers_.end() && it->second.count > seen;
    });
}

std::uint64_t CCommEngine::AnswerCount(const std::string& ip, const std::string& mac,
                                       int type) const {
    std::lock_guard guard(answer_lock_);
    const auto it = answers_.find({ip, mac, type});
    return it == answers_.end() ? 0 : it->second.count;
}

int CCommEngine::LastAnswerResult(const std::string& ip, const std::string& mac, int type) const {
    std::lock_guard guard(answer_lock_);
    const auto it = answers_.find({ip, mac, type});
    return it == answers_.end() ? -1 : it->second.last_result;
}

PortStats CCommEngine::PortStatsOf(EngineQueue which) const {
    const int at = static_cast<int>(which);
    return {received_[at].load(std::memory_order_relaxed),
            rejected_[at].load(std::memory_order_relaxed), queues_[at].Dropped()};
}

EngineStats CCommEngine::Stats() const {
    EngineStats s;
    s.announce = PortStatsOf(EngineQueue::announce);
    s.keepalive = PortStatsOf(EngineQueue::keepalive);
    s.reply = PortStatsOf(EngineQueue::reply);
    s.presence = presence_.Counters();
    s.handlers = handlers_.Counters();
    s.resend_pending = resend_.Size();
    s.resend_replaced = resend_.Replaced();
    std::lock_guard guard(answer_lock_);
    s.answers_watched = answers_.size();
    s.answers_unwatched = answers_unwatched_;
    return s;
}

}  // namespace fk
