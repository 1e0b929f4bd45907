// Which local address a command leaves from and where searches go: the address
// arithmetic and the address table's life as adapters come and go.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/comm_engine.h"
#include "protocol/subnet.h"
#include "scratch_dir.h"
#include "store/sql_management.h"

namespace fk {
namespace {

TEST(EngineSubnet, DirectedBroadcastAndSharedSubnetOfALocalAddress) {
    const struct {
        const char* address;
        const char* mask;
        std::optional<std::string> expected;
    } broadcasts[] = {{"192.168.0.5", "255.255.255.0", "192.168.0.255"},
                      {"10.0.0.5", "255.0.0.0", "10.255.255.255"},
                      {"198.18.3.9", "255.255.252.0", "198.18.3.255"},
                      {"0.0.0.0", "255.255.255.0", std::nullopt},
                      {"192.168.0.5", "", std::nullopt},
                      {"192.168.0.5", "0.0.0.0", std::nullopt},
                      {"not an address", "255.255.255.0", std::nullopt}};
    for (const auto& c : broadcasts) {
        EXPECT_EQ(DirectedBroadcast(c.address, c.mask), c.expected) << c.address << "/" << c.mask;
    }
    const struct {
        const char* address;
        const char* mask;
        const char* other;
        bool same;
    } subnets[] = {{"192.168.0.5", "255.255.255.0", "192.168.0.20", true},
                   {"192.168.0.5", "255.255.255.0", "192.168.1.20", false},
                   {"10.0.0.5", "255.0.0.0", "10.1.2.3", true},
                   {"0.0.0.0", "255.255.255.0", "0.0.0.9", false},
                   {"192.168.0.5", "255.255.255.0", "", false},
                   {"192.168.0.5", "255.255.255.0", "0.0.0.0", false},
                   {"192.168.0.5", "0.0.0.0", "8.8.8.8", false}};
    for (const auto& c : subnets) {
        EXPECT_EQ(InSameSubnet(c.address, c.mask, c.other), c.same) << c.address << " " << c.other;
    }
}

// An adapter list the test changes between calls.
class ChangingAdapters : public IAdapterSource {
  public:
    explicit ChangingAdapters(std::vector<adapter_info_stu>* list) : list_(list) {}
    std::vector<adapter_info_stu> List() override { return *list_; }

  private:
    std::vector<adapter_info_stu>* list_;
};

adapter_info_stu Adapter(std::uint32_t index, std::vector<adapter_addr_stu> addresses,
                         std::uint8_t state = 1) {
    adapter_info_stu a;
    a.state = state;
    a.index = index;
    a.name = "if" + std::to_string(index);
    a.addresses = std::move(addresses);
    return a;
}

std::vector<std::string> Ips(const std::vector<local_address_stu>& table) {
    std::vector<std::string> ips;
    for (const auto& e : table) ips.push_back(e.ip);
    return ips;
}

TEST(EngineAddressTable, KeepsSurvivorsInOrderAndAppendsNewcomers) {
    testing::ScratchDir dir;
    CSqlManagement store(dir.Dir());
    std::vector<adapter_info_stu> adapters = {
        Adapter(2, {{"192.168.0.5", "255.255.255.0"}, {"192.168.7.5", "255.255.255.0"}}),
        Adapter(3, {{"10.0.0.5", "255.0.0.0"}}),
        Adapter(4, {{"172.16.0.1", "255.255.0.0"}}, 0),  // down: never listed
        Adapter(5, {{"0.0.0.0", "255.0.0.0"}}),          // no address yet
    };
    CCommEngine engine(EngineOptions{}, std::make_unique<ChangingAdapters>(&adapters), store);
    std::vector<adapter_info_stu> listed;
    engine.GetLocalAdapters(listed);
    EXPECT_EQ(listed.size(), 2u);
    EXPECT_EQ(Ips(engine.AddressTable()),
              (std::vector<std::string>{"192.168.0.5", "192.168.7.5", "10.0.0.5"}));

    // The first adapter loses one address and a new adapter comes up before it in
    // the list: survivors keep their places, the newcomer goes to the end.
    adapters = {Adapter(6, {{"172.20.0.1", "255.255.0.0"}}),
                Adapter(2, {{"192.168.7.5", "255.255.255.0"}}),
                Adapter(3, {{"10.0.0.5", "255.0.0.0"}})};
    engine.GetLocalAdapters(listed);
    const auto table = engine.AddressTable();
    EXPECT_EQ(Ips(table), (std::vector<std::string>{"192.168.7.5", "10.0.0.5", "172.20.0.1"}));
    EXPECT_EQ(table.back().interface_index, 6u);

    adapters.clear();
    engine.GetLocalAdapters(listed);
    EXPECT_TRUE(listed.empty());
    EXPECT_TRUE(engine.AddressTable().empty());
    EXPECT_FALSE(engine.SendToDevice("10.0.0.9", MSG_REBOOT, {}, "00:11:22:33:44:55", true))
        << "without a local address nothing can be sent";
    EXPECT_EQ(engine.PendingCommands(), 0u);
}

}  // namespace
}  // namespace fk
