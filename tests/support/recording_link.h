// A device link that sends nothing: it keeps every call with its bytes so a widget
// test can check what a page would have put on the wire, and hands back the adapter
// and pending-device lists the test chose. Sender threads call it, so it locks.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "protocol/device_link.h"
#include "support/send_recorder.h"

namespace fk::test {

struct PendingIpCall {
    std::string mac;
    std::string old_ip;
    std::string new_ip;
};

class RecordingLink final : public IDeviceLink, public SendRecorder {
  public:
    bool SendToDevice(const std::string& ip, std::uint16_t type,
                      std::span<const std::uint8_t> payload, const std::string& mac,
                      bool retransmit) override {
        return RecordSend(ip, type, payload, mac, retransmit);
    }
    void SearchDevices() override { Count(searches_, "search"); }
    void SetPendingIp(const std::string& mac, const std::string& old_ip,
                      const std::string& new_ip) override {
        std::lock_guard lock(mutex_);
        pending_ip_calls_.push_back({mac, old_ip, new_ip});
        events_.push_back("pending " + mac + " " + new_ip);
    }
    void ReleasePendingDevices() override { Count(releases_, "release"); }
    void DropPendingDevices() override { Count(drops_, "drop"); }
    void PruneStoreToPresent() override { Count(prunes_, "prune"); }
    void ListPendingDevices(int max, const std::string& filter,
                            std::vector<ap_info_stu>& list) override {
        std::lock_guard lock(mutex_);
        last_pending_filter_ = filter;
        list.clear();
        for (const auto& record : pending_) {
            if (max >= 0 && static_cast<int>(list.size()) >= max) break;
            list.push_back(record);
        }
    }
    void GetLocalAdapters(std::vector<adapter_info_stu>& list) override {
        std::lock_guard lock(mutex_);
        ++adapter_queries_;
        list = adapters_;
    }
    bool ScanComplete() const override {
        std::lock_guard lock(mutex_);
        return scan_complete_;
    }
    std::string UnreachableReason(const std::string& ip) const override {
        std::lock_guard lock(mutex_);
        const auto found = unreachable_.find(ip);
        return found == unreachable_.end() ? std::string() : found->second;
    }
    int ScanPacketsMissing() const override {
        std::lock_guard lock(mutex_);
        return scan_missing_;
    }

    // What the test hands out.
    void SetAdapters(std::vector<adapter_info_stu> adapters) {
        std::lock_guard lock(mutex_);
        adapters_ = std::move(adapters);
    }
    void SetPending(std::vector<ap_info_stu> pending) {
        std::lock_guard lock(mutex_);
        pending_ = std::move(pending);
    }
    // Commands to `ip` cannot leave, for `reason`.
    void SetUnreachable(const std::string& ip, const std::string& reason) {
        std::lock_guard lock(mutex_);
        unreachable_[ip] = reason;
    }
    void SetScanComplete(bool complete) {
        std::lock_guard lock(mutex_);
        scan_complete_ = complete;
    }
    void SetScanPacketsMissing(int missing) {
        std::lock_guard lock(mutex_);
        scan_missing_ = missing;
    }
    // What the test reads back, beside the sends.
    std::vector<PendingIpCall> PendingIpCalls() const {
        std::lock_guard lock(mutex_);
        return pending_ip_calls_;
    }
    // Every engine call in the order it came: "send TYPE MAC", "pending MAC NEWIP",
    // "search", "release", "drop", "prune".
    std::vector<std::string> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::string LastPendingFilter() const {
        std::lock_guard lock(mutex_);
        return last_pending_filter_;
    }
    int Searches() const { return Read(searches_); }
    int Releases() const { return Read(releases_); }
    int Drops() const { return Read(drops_); }
    int Prunes() const { return Read(prunes_); }
    int AdapterQueries() const { return Read(adapter_queries_); }

  private:
    void Recorded(const SentCommand& sent) override {
        events_.push_back("send " + std::to_string(sent.type) + " " + sent.mac);
    }
    void Count(int& counter, const char* event) {
        std::lock_guard lock(mutex_);
        ++counter;
        events_.push_back(event);
    }
    int Read(const int& counter) const {
        std::lock_guard lock(mutex_);
        return counter;
    }

    std::vector<PendingIpCall> pending_ip_calls_;
    std::vector<std::string> events_;
    std::vector<adapter_info_stu> adapters_;
    std::vector<ap_info_stu> pending_;
    std::string last_pending_filter_;
    bool scan_complete_ = false;
    std::map<std::string, std::string> unreachable_;
    int scan_missing_ = 0;
    int searches_ = 0;
    int releases_ = 0;
    int drops_ = 0;
    int prunes_ = 0;
    int adapter_queries_ = 0;
};

}  // namespace fk::test
