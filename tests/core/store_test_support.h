// Shared pieces of the device store tests: a store on a private directory, a prompter
// that keeps what it was told, device records with chosen values, and a direct look
// into the database file that bypasses the store.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "protocol/packet.h"
#include "scratch_dir.h"
#include "store/sql_management.h"
#include "support/recording_prompter.h"

namespace fk::testing {

inline std::string MacOf(int n) {
    char text[18];
    std::snprintf(text, sizeof(text), "02:00:00:00:%02x:%02x", (n >> 8) & 0xff, n & 0xff);
    return text;
}

inline ap_info_stu MakeDevice(const std::string& mac, const std::string& ip,
                              const std::string& name = "mast", int work_mode = 1) {
    ap_info_stu r = ZeroRecord();
    r.SetMac(mac);
    r.ap_type = 3;
    const auto octets = IpTextToOctets(ip);
    std::copy(octets.begin(), octets.end(), r.report.ip);
    r.report.ap_name.Assign(name);
    r.report.version.Assign("1.2.3");
    r.report.work_mode = static_cast<std::uint8_t>(work_mode);
    r.report.channel = 6;
    r.report.ssid.Assign("field");
    return r;
}

inline void SetMacBytes(std::uint8_t* out, const std::string& mac) {
    const auto bytes = MacTextToBytes(mac);
    std::copy(bytes.begin(), bytes.end(), out);
}

// Runs `sql` on the store's file through a connection of its own; the first column
// of the first row as text ("" when NULL or no row).
inline std::string PeekFile(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string out = "<error>";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            out.clear();
            if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0)) {
                out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return out;
}

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override { store = std::make_unique<CSqlManagement>(dir.Dir(), &prompter); }

    std::string Peek(const std::string& sql) const { return PeekFile(store->DatabasePath(), sql); }

    std::vector<ap_info_stu> Page(int sort, bool ascending, const std::string& text = "",
                                  int size = 100, int page = 1) {
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        EXPECT_TRUE(store->QueryDevicePage(sort, list, pages, online, size, page, ascending, text));
        return list;
    }

    ScratchDir dir;
    test::RecordingPrompter prompter;
    std::unique_ptr<CSqlManagement> store;
};

}  // namespace fk::testing
