// Real-socket engine tests run in a network namespace of their own, made by the test
// process before any engine thread starts: fixed ports never collide with another
// test or with the machine, and nothing leaves the namespace. Links are veth pairs;
// the far end of each pair plays the LAN, watched by a packet capture.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/adapter_source.h"

namespace fk::testing {

// One IPv4/UDP datagram seen on an interface.
struct CapturedDatagram {
    std::string source_ip;
    std::string destination_ip;
    std::uint16_t source_port = 0;
    std::uint16_t destination_port = 0;
    std::vector<std::uint8_t> payload;
};

// Everything UDP that arrives on one interface, kept in arrival order.
class FrameCapture {
  public:
    explicit FrameCapture(const std::string& interface_name);
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    std::vector<CapturedDatagram> Snapshot() const;
    // Waits until `done(snapshot)` holds or the deadline passes; returns the last check.
    bool WaitUntil(const std::function<bool(const std::vector<CapturedDatagram>&)>& done,
                   std::chrono::milliseconds deadline = std::chrono::seconds(5)) const;

  private:
    void Run();

    int fd_ = -1;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<CapturedDatagram> frames_;
    std::thread thread_;
};

// A device's side of a conversation: a UDP socket bound to one local address.
class TestPeer {
  public:
    explicit TestPeer(const std::string& bind_ip, std::uint16_t port = 0);
    ~TestPeer();
    TestPeer(const TestPeer&) = delete;
    TestPeer& operator=(const TestPeer&) = delete;

    bool Send(const std::string& ip, std::uint16_t port, const std::vector<std::uint8_t>& bytes,
              bool broadcast = false);

  private:
    int fd_ = -1;
};

// A fixed adapter list handed to the engine.
class FixedAdapterSource : public IAdapterSource {
  public:
    explicit FixedAdapterSource(std::vector<adapter_info_stu> adapters)
        : adapters_(std::move(adapters)) {}
    std::vector<adapter_info_stu> List() override { return adapters_; }

  private:
    std::vector<adapter_info_stu> adapters_;
};

class NetnsTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Creates `near` <-> `far`, gives `near` the address (with prefix), brings both up.
    void AddLink(const std::string& near, const std::string& near_cidr, const std::string& far);
    // Adds a /32 on `interface_name`: a device address the test can send from.
    void AddHostAddress(const std::string& interface_name, const std::string& ip);
    // The adapter entry the system would list for `interface_name`.
    static adapter_info_stu Adapter(const std::string& interface_name,
                                    std::vector<adapter_addr_stu> addresses);
    // An engine's view of one adapter with one /24 address.
    static std::unique_ptr<FixedAdapterSource> OneLan(const std::string& interface_name,
                                                      const std::string& ip) {
        return std::make_unique<FixedAdapterSource>(
            std::vector{Adapter(interface_name, {{ip, "255.255.255.0"}})});
    }
    static bool Run(const std::string& command);
};

// The bytes a device sends: header with its model code and MAC, then the payload.
std::vector<std::uint8_t> DeviceDatagram(std::uint16_t type, const std::string& mac,
                                         std::uint16_t ap_type,
                                         const std::vector<std::uint8_t>& payload);

// The header type of a captured controller datagram, 0 when it is too short.
std::uint16_t TypeOf(const CapturedDatagram& d);

}  // namespace fk::testing
