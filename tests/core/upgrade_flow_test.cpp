#include "operations/upgrade_flow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/scratch_dir.h"
#include "protocol/packet.h"
#include "support/flow_stepper.h"

namespace fk {
namespace {

constexpr int kChosen = 3;
constexpr int kOther = 5;

ap_select_stu Device(char name, int type = kChosen) {
    return {"198.18.0." + std::to_string(20 + (name - 'a')), std::string("02:00:00:00:00:0") + name,
            type};
}

std::vector<long long> TimesOfType(const test::FlowRun& run, std::uint16_t type) {
    std::vector<long long> out;
    for (const auto& s : run.steps)
        for (const FlowCommand& c : s.step.commands)
            if (c.type == type) out.push_back(s.at_ms);
    return out;
}

long long TimeOfLabel(const test::FlowRun& run, const std::string& label) {
    for (const auto& s : run.steps)
        if (s.step.progress && s.step.progress->label == label) return s.at_ms;
    return -1;
}

std::vector<std::string> Macs(const std::vector<test::SentCommand>& sent) {
    std::vector<std::string> out;
    for (const auto& s : sent) out.push_back(s.mac);
    return out;
}

// What the radios report, as the status each one is in from a given second on.
struct Report {
    long long from_ms;
    char device;
    int status;
};

struct ScheduleCase {
    const char* label;
    std::vector<Report> reports;
    std::vector<std::string> status_to;  // radios sent MSG_UPGRADE_STATUS
    long long status_at;                 // -1: never
    long long write_at;                  // -1: no write phase
    std::vector<long long> searches;
    long long end_at;
    std::map<char, UpgradeResult> results;
};

class UpgradeSchedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(UpgradeSchedule, PhasesFollowTheRadiosReports) {
    const ScheduleCase& c = GetParam();
    test::RecordingLink link;
    test::FakeStore store;
    const std::vector<ap_select_stu> selection{Device('a'), Device('x', kOther), Device('b')};
    for (const auto& d : selection) store.SetStatusOf(d.mac, STATUS_ONLINE);
    CUpgradeFlow flow(selection, kChosen, UpgradePayload("fw.bin", 1000), store);
    const test::FlowRun run = test::StepFlow(flow, link, store, [&](long long ms) {
        for (const Report& r : c.reports)
            if (ms == r.from_ms) store.SetStatusOf(Device(r.device).mac, r.status);
    });

    EXPECT_EQ(run.outcome, FlowOutcome::Done);
    EXPECT_EQ(TimesOfType(run, MSG_UPGRADE), (std::vector<long long>{3000, 3000}));
    EXPECT_EQ(Macs(link.SentOfType(MSG_UPGRADE)),
              (std::vector<std::string>{Device('a').mac, Device('b').mac}));
    EXPECT_EQ(store.Writes(), (std::vector<std::string>{"reset-upgrade-fail " + Device('a').mac,
                                                        "reset-upgrade-fail " + Device('b').mac}));
    EXPECT_EQ(Macs(link.SentOfType(MSG_UPGRADE_STATUS)), c.status_to);
    const std::vector<long long> status_times = TimesOfType(run, MSG_UPGRADE_STATUS);
    EXPECT_EQ(status_times.empty() ? -1 : status_times.front(), c.status_at);
    EXPECT_EQ(TimeOfLabel(run, "Firmware upgrading progress"), c.write_at);
    EXPECT_EQ(run.TimesOf(EngineAction::Search), c.searches);
    EXPECT_EQ(run.EndMs(), c.end_at);
    EXPECT_EQ(run.steps.front().step.file_server, FileServerAction::Start);
    EXPECT_EQ(run.steps.back().step.file_server, FileServerAction::Stop);
    for (const auto& s : run.steps) {
        if (!s.step.statuses.empty()) {
            EXPECT_EQ(s.step.statuses.size(), selection.size());
        }
    }
    for (const UpgradeTarget& t : flow.Targets())
        EXPECT_EQ(t.result, c.results.at(t.device.mac.back())) << t.device.mac;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeSchedule,
    ::testing::Values(
        // Status at the batch's next second, the write phase at the transfer timer's
        // next one, searches 124/127/130 s into it.
        ScheduleCase{"all_fetch_within_seconds",
                     {{5000, 'a', 6}, {5000, 'b', 6}, {7000, 'a', 7}, {7000, 'b', 7}},
                     {Device('a').mac, Device('b').mac},
                     5000,
                     6000,
                     {130000, 133000, 136000},
                     136000,
                     {{'a', UpgradeResult::Success}, {'b', UpgradeResult::Success}}},
        ScheduleCase{"no_report_batch_ends_after_120_s",
                     {},
                     {},
                     -1,
                     124000,
                     {248000, 251000, 254000},
                     254000,
                     {{'a', UpgradeResult::NoAnswer}, {'b', UpgradeResult::NoAnswer}}},
        ScheduleCase{"all_fail_closes_without_writing",
                     {{8000, 'a', 9}, {9000, 'b', 9}},
                     {},
                     -1,
                     -1,
                     {},
                     10000,
                     {{'a', UpgradeResult::Fail}, {'b', UpgradeResult::Fail}}},
        // One slow radio holds the batch; the write phase waits for it.
        ScheduleCase{"one_fails_one_fetches_late",
                     {{4000, 'b', 9}, {60000, 'a', 6}, {62000, 'a', 7}},
                     {Device('a').mac},
                     60000,
                     61000,
                     {185000, 188000, 191000},
                     191000,
                     {{'a', UpgradeResult::Success}, {'b', UpgradeResult::Fail}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(UpgradeFlow, ClosingAbandonsTheUpgradeAndEndsTheServer) {
    test::FakeStore store;
    const ap_select_stu a = Device('a');
    store.SetStatusOf(a.mac, STATUS_UPGRADE_WAIT);
    CUpgradeFlow flow({a}, kChosen, UpgradePayload("fw.bin", 1), store);
    FlowTime now{};
    flow.Start(now);
    for (int i = 0; i < 3; ++i) flow.Tick(now += std::chrono::seconds(1));
    const FlowStep stop = flow.Stop(now);
    EXPECT_EQ(stop.outcome, FlowOutcome::Stopped);
    EXPECT_EQ(stop.file_server, FileServerAction::Stop);
    const FlowStep after = flow.Tick(now += std::chrono::seconds(1));
    EXPECT_TRUE(after.commands.empty());
    EXPECT_TRUE(after.Finished());
}

TEST(UpgradePayload, NameLengthAndSizeAtTheirOffsets) {
    const std::vector<std::uint8_t> p = UpgradePayload("abc", 1000);
    std::vector<std::uint8_t> expected(268, 0);
    expected[0] = 'a';
    expected[1] = 'b';
    expected[2] = 'c';
    expected[260] = 3;
    expected[264] = 1000 & 0xff;
    expected[265] = 1000 >> 8;
    EXPECT_EQ(p, expected);
    const std::vector<std::uint8_t> big = UpgradePayload("x", 0xFFFFFFFFu);
    EXPECT_EQ(std::vector<std::uint8_t>(big.begin() + 264, big.end()),
              (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0xff}));
}

TEST(UpgradeTypes, DistinctModelsInOrderOfFirstAppearance) {
    const auto types =
        UpgradeTypes({Device('a', kOther), Device('b', kChosen), Device('c', kOther)});
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].code, kOther);
    EXPECT_EQ(types[1].code, kChosen);
    EXPECT_NE(types[0].name, types[1].name);
}

TEST(UpgradeSelection, OneToTenAccepted) {
    std::vector<ap_select_stu> selection;
    EXPECT_EQ(CheckUpgradeSelection(selection), "Please select the devices!");
    for (int i = 0; i < 10; ++i) selection.push_back(Device('a'));
    EXPECT_EQ(CheckUpgradeSelection(selection), "");
    selection.push_back(Device('a'));
    EXPECT_EQ(CheckUpgradeSelection(selection), "Maximum selection of 10 devices!");
}

// An unlisted code would be offered under the first model's name and its radios never
// told; the batch is refused instead.
TEST(UpgradeSelection, UnlistedModelsAreRefused) {
    const struct {
        const char* label;
        std::vector<ap_select_stu> selection;
        bool refused;
    } cases[] = {
        {"listed models", {Device('a', kChosen), Device('b', 270)}, false},
        {"one unlisted model", {Device('a', 99)}, true},
        {"listed beside unlisted", {Device('a', kChosen), Device('b', 12)}, true},
        {"code zero", {Device('a', 0)}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckUpgradeModels(c.selection),
                  c.refused ? "The model of a selected device is not known!" : "")
            << c.label;
    }
}

struct FileCase {
    const char* label;
    std::string name;  // created in the scratch folder unless `create` is false
    int create;        // 0 nothing, 1 a file of 1000 bytes, 2 a folder
    std::string expected;
};

class UpgradeFileCheck : public ::testing::TestWithParam<FileCase> {};

TEST_P(UpgradeFileCheck, RefusesWhatCannotBeAnnounced) {
    const FileCase& c = GetParam();
    fk::testing::ScratchDir dir;
    const std::string path = c.name.empty() ? "" : dir.Dir() + c.name;
    if (c.create == 1) std::ofstream(path, std::ios::binary) << std::string(1000, 'x');
    if (c.create == 2) std::filesystem::create_directory(path);
    if (c.create == 3) {
        std::ofstream(path, std::ios::binary).put('x');
        std::filesystem::resize_file(path, kMaxUpgradeFileSize + 1);
    }
    UpgradeFile file;
    EXPECT_EQ(CheckUpgradeFile(path, file), c.expected);
    if (c.expected.empty()) {
        EXPECT_EQ(file.name, c.name);
        EXPECT_EQ(file.size, 1000u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpgradeFileCheck,
    ::testing::Values(FileCase{"lower_bin", "fw.bin", 1, ""},
                      FileCase{"upper_bin", "FW.BIN", 1, ""},
                      FileCase{"mixed_case_refused", "fw.Bin", 1, "Upgrade file is not .bin file!"},
                      FileCase{"no_path", "", 0, "Please select the upgrade file!"},
                      FileCase{"missing_file", "gone.bin", 0, "The upgrade file cannot be read!"},
                      FileCase{"larger_than_the_size_field", "big.bin", 3,
                               "The upgrade file is larger than 4 GiB!"},
                      FileCase{"folder_named_bin", "dir.bin", 2,
                               "The upgrade file cannot be read!"},
                      FileCase{"name_of_255_bytes", std::string(251, 'n') + ".bin", 1, ""},
                      FileCase{"name_of_256_bytes", std::string(252, 'n') + ".bin", 0,
                               "The upgrade file name is too long!"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace fk
