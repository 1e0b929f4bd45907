#include <sys/stat.h>

#include <filesystem>

#include "store_test_support.h"

namespace fk::testing {
namespace {

namespace fs = std::filesystem;

std::string ColumnNames(const std::string& path, const std::string& table) {
    sqlite3* db = nullptr;
    std::string names;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = "select name from pragma_table_info('" + table + "')";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                if (!names.empty()) names += ',';
                names += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return names;
}

TEST_F(StoreTest, TablesHoldTheColumnsOtherToolsQueryByName) {
    EXPECT_EQ(ColumnNames(store->DatabasePath(), "ap_info"),
              "ID,mac,ap_type,ap_type_str,ap_status,ap_status_str,work_mode,work_mode_str,"
              "mode_btn_status,up_time,up_time_str,ip_mode,ip_num,ip,ip_mask,ip_gateway,ip_dns1,"
              "ip_dns2,ap_name,version,restart_en,restart_type,restart_time,rf_count,rf_en,"
              "rf_type,country_code,network_mode,bandwidth,channel,expand_channel,tx_power,"
              "tx_power_min,tx_power_max,ssid_count,ssid_rf_type,ssid_id,ssid_hide,ssid_mac,ssid,"
              "secure_mode,secure_mode_str,wpapsk_auth_type,wpapsk_key_value,wpapsk_key_time,"
              "wep_auth_type,wep_key_index,wep_key_value0,wep_key_type0,wep_key_value1,"
              "wep_key_type1,wep_key_value2,wep_key_type2,wep_key_value3,wep_key_type3,"
              "wpa_auth_type,wpa_radius_ip,wpa_radius_port,wpa_key,wpa_key_time,"
              "bridge_work_mode,bridge_mac,bridge_channel,bridge_ssid,vlan_en,vlan_id,"
              "vlan_id_wlan,vlan_id_lan,bridge_transparent,bridge_transparent_str,tdmaEn,"
              "tdmaEn_str,vlan_pvid,vlan_id_lan3,vlan_id_lan4");
    EXPECT_EQ(ColumnNames(store->DatabasePath(), "ap_other_info"),
              "ID,packet_count,packet_id,icount,mac,ssid,signal,channel,secure_mode,exchannel,"
              "bandwidth");
}

TEST_F(StoreTest, FileIsOwnerOnlyAndOpensWithoutAMessage) {
    EXPECT_TRUE(store->IsOpen());
    EXPECT_TRUE(prompter.Records().empty());
    EXPECT_EQ(store->DatabasePath(), dir.Dir() + "data.mdb");
    struct stat st {};
    ASSERT_EQ(::stat(store->DatabasePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(StoreTest, FileIsGoneAfterDestruction) {
    const std::string path = store->DatabasePath();
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    store.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + "-journal"));
}

TEST_F(StoreTest, FileOfAnEarlierRunIsDiscardedNotRead) {
    ASSERT_TRUE(store->SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    // A second store on the same directory while the first still holds the file:
    // the new one starts empty.
    CSqlManagement second(dir.Dir(), &prompter);
    std::vector<std::string> macs;
    ASSERT_TRUE(second.GetAllMacs(macs));
    EXPECT_TRUE(macs.empty());
    EXPECT_TRUE(prompter.Records().empty());
}

TEST(StoreSchemaTest, GarbageLeftInThePlaceOfTheFileIsReplaced) {
    ScratchDir dir;
    dir.Write("data.mdb", "not a database at all");
    test::RecordingPrompter prompter;
    CSqlManagement store(dir.Dir(), &prompter);
    EXPECT_TRUE(store.IsOpen());
    EXPECT_TRUE(store.SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    EXPECT_TRUE(prompter.Records().empty());
}

TEST(StoreSchemaTest, DirectoryWithoutTrailingSlashIsAccepted) {
    ScratchDir dir;
    test::RecordingPrompter prompter;
    std::string plain = dir.Dir();
    plain.pop_back();
    CSqlManagement store(plain, &prompter);
    EXPECT_EQ(store.DatabasePath(), dir.Dir() + "data.mdb");
    EXPECT_TRUE(store.IsOpen());
}

// A regular file where the directory should be: nothing can be created there, even
// for root, which ignores permission bits.
TEST(StoreSchemaTest, UnusableDirectoryTellsOnceAndEveryOperationFailsAtOnce) {
    ScratchDir dir;
    const std::string blocker = dir.Write("blocker", "x");
    test::RecordingPrompter prompter;
    CSqlManagement store(blocker + "/", &prompter);
    ASSERT_EQ(prompter.Records().size(), 1u);
    EXPECT_EQ(prompter.Records()[0].title, "");
    EXPECT_EQ(prompter.Records()[0].text, "Failed to open database, unable to get data.");
    EXPECT_EQ(prompter.Records()[0].icon, MsgIcon::Warning);
    EXPECT_FALSE(store.IsOpen());

    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    EXPECT_FALSE(store.QueryDevicePage(0, list, pages, online, 15, 1, true, ""));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(store.SaveDeviceReport(MakeDevice(MacOf(1), "198.18.0.20")));
    EXPECT_EQ(store.GetStatus(MacOf(1)), 0);
    std::vector<std::string> macs;
    EXPECT_FALSE(store.GetAllMacs(macs));
    EXPECT_FALSE(store.GetAllIps(macs));
    EXPECT_TRUE(macs.empty());
    EXPECT_FALSE(store.ExecuteSql("delete from ap_info"));
    EXPECT_FALSE(store.DeleteDevice(MacOf(1)));
    const std::uint8_t packet[3] = {1, 0, 0};
    EXPECT_TRUE(store.SaveScanResults(DecodeScanResults(packet)));  // the survey goes on regardless
    ap_info_stu record = MakeDevice(MacOf(2), "198.18.0.21");
    EXPECT_FALSE(store.GetDevice(MacOf(2), record));
    EXPECT_EQ(record.MacText(), "");
    EXPECT_EQ(prompter.Records().size(), 1u);
}

}  // namespace
}  // namespace fk::testing
