// The one object through which the controller talks to devices: four UDP sockets,
// eight threads, three receive queues, the local address table, the presence table
// and the commands awaiting acknowledgement. It never calls a window; what it learns
// goes into the device store, which the pages re-read on their own timers.
//
// Lock order: the resend lock and the presence lock may be held while a send takes
// the address lock, never the other way round; no engine lock is held while the
// store is called.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "protocol/adapter_source.h"
#include "protocol/device_link.h"
#include "protocol/engine_options.h"
#include "protocol/engine_stats.h"
#include "protocol/inbound_handlers.h"
#include "protocol/outbound_link.h"
#include "protocol/outgoing_batch.h"
#include "protocol/presence_table.h"
#include "protocol/receive_queue.h"
#include "protocol/resend_list.h"
#include "protocol/scan_progress.h"
#include "protocol/survey_requests.h"
#include "protocol/udp_socket.h"

namespace fk {

class CSqlManagement;

// One usable local address and the interface that carries it.
struct local_address_stu {
    std::string ip;
    std::string mask;
    std::uint32_t interface_index = 0;
};

enum class EngineQueue { announce = 0, keepalive = 1, reply = 2 };

class CCommEngine final : public IDeviceLink, public IOutboundLink {
  public:
    CCommEngine(EngineOptions options, std::unique_ptr<IAdapterSource> adapters,
                CSqlManagement& store);
    ~CCommEngine() override;
    CCommEngine(const CCommEngine&) = delete;
    CCommEngine& operator=(const CCommEngine&) = delete;

    // True when every socket and thread is up. A second call restarts the threads.
    bool Start(int retransmission_max, int retransmission_interval);
    // Ends every thread (each within a few milliseconds), then says goodbye
    // (MSG_RELEASE) to every device in the presence table and closes the sockets.
    void Stop();
    bool IsRunning() const { return running_.load(); }

    bool SendToDevice(const std::string& ip, std::uint16_t type,
                      std::span<const std::uint8_t> payload, const std::string& mac,
                      bool retransmit) override;
    void SearchDevices() override;
    void SetPendingIp(const std::string& mac, const std::string& old_ip,
                      const std::string& new_ip) override;
    void ReleasePendingDevices() override;
    void DropPendingDevices() override;
    void PruneStoreToPresent() override;
    void ListPendingDevices(int max, const std::string& filter,
                            std::vector<ap_info_stu>& list) override;
    void GetLocalAdapters(std::vector<adapter_info_stu>& list) override;
    bool ScanComplete() const override { return scan_.Complete(); }
    int ScanPacketsMissing() const override { return scan_.Missing(); }

    void Acknowledge(const std::string& ip, const std::string& mac, int type) override;
    void ScanPacketStored(int packet_id, int packet_count) override {
        scan_.Stored(packet_id, packet_count);
    }
    bool SurveyExpected(const std::string& ip, const std::string& mac) const override;
    void AnswerHandled(const std::string& ip, const std::string& mac, int type,
                       std::uint8_t result) override;
    // Starts counting the answers of `type` from `mac` at `ip`, for a headless caller
    // that is about to send a command and wait for its answer; returns how many have
    // been counted so far. Answers nobody watches are not kept: the desktop program,
    // which never waits this way, would otherwise keep a tally of every reply from
    // any source for the whole run. Only an answer the resend list would take counts:
    // from the device's own address.
    std::uint64_t WatchAnswers(const std::string& ip, const std::string& mac, int type);
    // How many watched answers have been handled; 0 for what is not watched.
    std::uint64_t AnswerCount(const std::string& ip, const std::string& mac, int type) const;
    // Waits until more than `seen` such answers have been handled or `deadline`
    // passes; true when they have.
    bool WaitForAnswer(const std::string& ip, const std::string& mac, int type, std::uint64_t seen,
                       std::chrono::steady_clock::time_point deadline) const;
    // The result byte of the latest such answer, or -1 when none has come.
    int LastAnswerResult(const std::string& ip, const std::string& mac, int type) const;
    // Whether some local address shares a subnet with `ip`, so a command can leave.
    bool HasLocalAddressFor(const std::string& ip) const;
    // Why a command to `ip` cannot leave, with the fix (the subnet, the adapter the
    // radio was heard on and an address to add there); empty when it can.
    std::string UnreachableReason(const std::string& ip) const override;

    void SyncAddressTable(const std::vector<adapter_info_stu>& list);
    std::vector<local_address_stu> AddressTable() const;

    // Read-only views for diagnostics and tests.
    const CPresenceTable& Presence() const { return presence_; }
    std::size_t PendingCommands() const { return resend_.Size(); }
    std::uint64_t ResendWakeups() const { return resend_wakeups_.load(); }
    std::uint64_t QueuedCount(EngineQueue queue) const {
        return queued_[static_cast<int>(queue)].load();
    }
    EngineStats Stats() const;
    int RetransmissionMax() const { return retransmission_max_.load(); }
    std::chrono::milliseconds ResendInterval() const;

  private:
    bool OpenSockets();
    void StartThreads();
    void StopThreads();
    void ReceiveLoop(std::stop_token stop, CUdpSocket& socket, EngineQueue which,
                     int accepted_type);
    void TakeDatagram(const UdpReceive& got, std::span<const std::uint8_t> buffer,
                      EngineQueue which, int accepted_type);
    void WorkLoop(std::stop_token stop, EngineQueue which);
    void KeepaliveWorkLoop(std::stop_token stop);
    // Holds what the calling worker sends until the pass it opens ends.
    CPassSends PassSends();
    PortStats PortStatsOf(EngineQueue which) const;
    void AgerLoop(std::stop_token stop);
    void ResendLoop(std::stop_token stop);
    void Dispatch(EngineQueue which, const udp_packet_stu& element);
    // The first local address whose subnet holds `ip`; the caller holds the address lock.
    const local_address_stu* LocalAddressForLocked(const std::string& ip) const;
    // Remembers the adapter an announcement came in on, for UnreachableReason.
    void NoteHeardOn(std::uint32_t source_ip, std::uint32_t interface_index);
    bool SendNow(const std::string& ip, std::uint16_t type, std::span<const std::uint8_t> payload,
                 const std::string& mac);

    const EngineOptions options_;
    std::unique_ptr<IAdapterSource> adapters_;
    CSqlManagement& store_;

    CUdpSocket search_socket_;
    CUdpSocket announce_socket_;
    CUdpSocket keepalive_socket_;
    CUdpSocket reply_socket_;

    std::array<CReceiveQueue, 3> queues_;
    std::array<std::atomic<std::uint64_t>, 3> received_{};
    std::array<std::atomic<std::uint64_t>, 3> rejected_{};
    std::array<std::atomic<std::uint64_t>, 3> queued_{};

    CPresenceTable presence_;
    CInboundHandlers handlers_;
    CResendList resend_;

    mutable std::mutex adapter_lock_;
    mutable std::mutex address_lock_;  // also serialises every send to a device
    std::vector<local_address_stu> address_table_;

    std::atomic<int> retransmission_max_;
    std::atomic<int> retransmission_interval_;
    CScanProgress scan_;
    CSurveyRequests surveys_;
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> resend_wakeups_{0};

    mutable std::mutex answer_lock_;
    mutable std::condition_variable answered_;
    struct AnswerTally {
        std::uint64_t count = 0;
        std::uint8_t last_result = 0;
    };
    std::map<std::tuple<std::string, std::string, int>, AnswerTally> answers_;
    std::uint64_t answers_unwatched_ = 0;

    // Source address of each announcement -> interface index. Bounded: a flood of
    // made-up sources empties it rather than growing it.
    static constexpr std::size_t kMaxHeardOn = 16384;
    mutable std::mutex heard_lock_;
    std::unordered_map<std::uint32_t, std::uint32_t> heard_on_;

    std::mutex lifecycle_lock_;  // Start and Stop never overlap
    std::vector<std::jthread> threads_;
};

}  // namespace fk
