// What one list refresh, one burst of device reports and one keep-alive cost, next to
// the cheapest possible full read of the same table with SQLite alone.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "protocol/model_capabilities.h"
#include "protocol/packet.h"
#include "store/sql_management.h"

namespace {

constexpr int kDevices = 1000;
constexpr int kPageSize = 30;

class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fk-store-bench-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Dir() const { return path_ + "/"; }

  private:
    std::string path_;
};

fk::ap_info_stu Device(int n, int round) {
    fk::ap_info_stu r = fk::ZeroRecord();
    char mac[18];
    std::snprintf(mac, sizeof(mac), "02:00:00:00:%02x:%02x", (n >> 8) & 0xff, n & 0xff);
    r.SetMac(mac);
    r.ap_type = fk::KnownModels()[static_cast<std::size_t>(n) % fk::KnownModels().size()].code;
    const auto ip =
        fk::IpTextToOctets("198.18." + std::to_string(n / 250) + "." + std::to_string(n % 250 + 2));
    std::copy(ip.begin(), ip.end(), r.report.ip);
    r.report.ap_name.Assign("mast " + std::to_string(n) + " round " + std::to_string(round));
    r.report.version.Assign("2.4." + std::to_string(n % 7));
    r.report.ssid.Assign("field-" + std::to_string(n % 13));
    r.report.wpapsk_key_value.Assign("a fairly long pass phrase " + std::to_string(n));
    r.report.work_mode = static_cast<std::uint8_t>(1 + n % 2);
    r.report.channel = static_cast<std::uint8_t>(n % 2 ? 36 : 6);
    r.report.up_time = static_cast<std::uint32_t>(n * 97 + round);
    r.report.tx_power = 20;
    return r;
}

void Fill(fk::CSqlManagement& store, int round) {
    for (int n = 0; n < kDevices; ++n) store.SaveDeviceReport(Device(n, round));
}

struct FilledStore {
    ScratchDirectory dir;
    fk::CSqlManagement store{dir.Dir()};
    FilledStore() { Fill(store, 0); }
};

FilledStore& Shared() {
    static FilledStore filled;
    return filled;
}

void QueryPage(benchmark::State& state, const std::string& text) {
    auto& store = Shared().store;
    int page = 1;
    for (auto _ : state) {
        std::vector<fk::ap_info_stu> list;
        int pages = 0, online = 0;
        store.QueryDevicePage(1, list, pages, online, kPageSize, page, true, text);
        benchmark::DoNotOptimize(list.data());
        page = page % 30 + 1;
    }
    state.SetItemsProcessed(state.iterations() * kDevices);
}

void BM_QueryDevicePage(benchmark::State& state) {
    QueryPage(state, "");
}
// "5" matches about half the rows, through several columns (names, addresses, uptimes).
void BM_QueryDevicePageSearch(benchmark::State& state) {
    QueryPage(state, "5");
}

// The floor: one prepared statement, every column of every row read once.
void BM_FloorFullRead(benchmark::State& state) {
    auto& store = Shared().store;
    sqlite3* db = nullptr;
    sqlite3_open_v2(store.DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select * from ap_info order by ap_info.ip_num asc, ap_info.ID asc", -1,
                       &stmt, nullptr);
    for (auto _ : state) {
        std::int64_t sum = 0;
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                if (sqlite3_column_type(stmt, i) == SQLITE_TEXT) {
                    sum += sqlite3_column_bytes(stmt, i) + *sqlite3_column_text(stmt, i);
                } else {
                    sum += sqlite3_column_int64(stmt, i);
                }
            }
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kDevices);
}

void BM_SaveNewDevices(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<ScratchDirectory>();
        auto store = std::make_unique<fk::CSqlManagement>(dir->Dir());
        state.ResumeTiming();
        Fill(*store, 1);
        state.PauseTiming();
        store.reset();
        dir.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kDevices);
}

void BM_SaveKnownDevices(benchmark::State& state) {
    auto& store = Shared().store;
    int round = 1;
    for (auto _ : state) Fill(store, round++);
    state.SetItemsProcessed(state.iterations() * kDevices);
}

// Every radio reporting again, in the engine's bursts of 256 in one transaction:
// with its uptime further on and nothing else changed (what each search of a session
// after the first brings; argument 0), or with its name changed too (argument 1).
void BM_SaveReportsInBursts(benchmark::State& state) {
    constexpr int kBurst = 256;
    auto& store = Shared().store;
    std::vector<fk::ap_info_stu> reports;
    for (int n = 0; n < kDevices; ++n) reports.push_back(Device(n, 0));
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int from = 0; from < kDevices; from += kBurst) {
            const bool burst = store.BeginWriteBurst();
            for (int n = from; n < std::min(kDevices, from + kBurst); ++n) {
                fk::ap_info_stu& r = reports[static_cast<std::size_t>(n)];
                r.report.up_time += 3;
                if (state.range(0) == 1)
                    r.report.ap_name.Assign("mast " + std::to_string(n) + " round " +
                                            std::to_string(round));
                store.SaveDeviceReport(r);
            }
            if (burst) store.EndWriteBurst();
        }
    }
    state.SetItemsProcessed(state.iterations() * kDevices);
}

// A keep-alive from every stored radio, in the order they were stored.
std::vector<fk::UptimeUpdate> KeepalivesFromAll() {
    std::vector<fk::UptimeUpdate> all;
    all.reserve(kDevices);
    for (int n = 0; n < kDevices; ++n) {
        const fk::ap_info_stu r = Device(n, 0);
        all.push_back({r.IpText(), r.MacText(), 0});
    }
    return all;
}

// One keep-alive each from every stored radio in turn: the controller's cost per
// keep-alive when a thousand radios are present.
void BM_UpdateUptime(benchmark::State& state) {
    auto& store = Shared().store;
    const std::vector<fk::UptimeUpdate> keys = KeepalivesFromAll();
    std::uint32_t seconds = 1;
    std::size_t next = 0;
    for (auto _ : state) {
        const fk::UptimeUpdate& k = keys[next];
        if (!store.UpdateUptime(k.ip, k.mac, seconds++))
            state.SkipWithError("a known radio was refused");
        next = (next + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
}

// One second of keep-alives from a thousand radios that send one every 5 s, written
// as the keep-alive worker writes them: 200 uptimes in one transaction.
void BM_UpdateUptimesPass(benchmark::State& state) {
    constexpr std::size_t kPerPass = kDevices / 5;
    auto& store = Shared().store;
    const std::vector<fk::UptimeUpdate> all = KeepalivesFromAll();
    std::uint32_t seconds = 1;
    std::size_t from = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<fk::UptimeUpdate> pass(all.begin() + static_cast<long>(from),
                                           all.begin() + static_cast<long>(from + kPerPass));
        for (auto& u : pass) u.seconds = seconds++;
        from = (from + kPerPass) % all.size();
        state.ResumeTiming();
        if (store.UpdateUptimes(pass) != pass.size())
            state.SkipWithError("a known radio was refused");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPerPass));
}

BENCHMARK(BM_QueryDevicePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QueryDevicePageSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorFullRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveNewDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKnownDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveReportsInBursts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateUptime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateUptimesPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
