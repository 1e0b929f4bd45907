// Another connection reading data.mdb holds a shared lock for a moment; the store's
// writes wait for it instead of being lost.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "store_test_support.h"

namespace fk::testing {
namespace {

constexpr auto kHold = std::chrono::milliseconds(150);
constexpr auto kReaderReady = std::chrono::seconds(10);

struct BusyCase {
    const char* name;
    std::function<bool(CSqlManagement&)> write;
    const char* check;     // a query on the file after the write
    const char* expected;  // its first column
};

class StoreBusyTest : public StoreTest, public ::testing::WithParamInterface<BusyCase> {
  protected:
    // A second connection opens a read transaction and keeps it for kHold, then ends it.
    // `holding` is fulfilled once the lock is taken (true) or could not be (false).
    void HoldReadLock(std::promise<bool>& holding) {
        sqlite3* db = nullptr;
        sqlite3_stmt* stmt = nullptr;
        bool locked = sqlite3_open_v2(store->DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY,
                                      nullptr) == SQLITE_OK &&
                      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
                      sqlite3_prepare_v2(db, "select count(*) from ap_info", -1, &stmt, nullptr) ==
                          SQLITE_OK &&
                      sqlite3_step(stmt) == SQLITE_ROW;
        holding.set_value(locked);
        if (locked) std::this_thread::sleep_for(kHold);
        released = true;
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    std::atomic<bool> released{false};
};

TEST_P(StoreBusyTest, WriteWaitsForAReaderInsteadOfFailing) {
    const BusyCase& c = GetParam();
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", "one")));
    std::promise<bool> holding;
    auto locked = holding.get_future();
    std::thread reader([&] { HoldReadLock(holding); });
    ASSERT_EQ(locked.wait_for(kReaderReady), std::future_status::ready);
    const bool reader_has_lock = locked.get();
    const bool written = reader_has_lock && c.write(*store);
    // Had the write gone through while the lock was held, the lock was not a lock.
    const bool waited = released.load();
    reader.join();
    ASSERT_TRUE(reader_has_lock);
    EXPECT_TRUE(written);
    EXPECT_TRUE(waited);
    EXPECT_EQ(Peek(c.check), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, StoreBusyTest,
    ::testing::Values(
        BusyCase{"new_device",
                 [](CSqlManagement& s) {
                     return s.SaveDeviceReport(MakeDevice(MacOf(2), "198.18.0.30", "two"));
                 },
                 "select ap_name from ap_info where mac='02:00:00:00:00:02'", "two"},
        BusyCase{"known_device",
                 [](CSqlManagement& s) {
                     return s.SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20", "renamed"));
                 },
                 "select ap_name from ap_info where mac='02:00:00:00:00:01'", "renamed"},
        BusyCase{"keep_alive",
                 [](CSqlManagement& s) { return s.UpdateUptime("198.18.0.21", MacOf(1), 61); },
                 "select ip || ' ' || up_time from ap_info", "198.18.0.21 61"},
        BusyCase{"delete", [](CSqlManagement& s) { return s.DeleteDevice(MacOf(1)); },
                 "select count(*) from ap_info", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fk::testing
