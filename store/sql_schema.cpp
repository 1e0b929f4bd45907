#include <unistd.h>

#include <cerrno>

#include "app/language.h"
#include "app/prompter.h"
#include "store/sql_device_row.h"
#include "store/sql_management.h"

namespace fk {
namespace {

constexpr int kExecuteTries = 3;

std::string DatabasePathIn(const std::string& directory) {
    if (directory.empty()) return "./data.mdb";
    return directory.back() == '/' ? directory + "data.mdb" : directory + "/data.mdb";
}

}  // namespace

CSqlManagement::CSqlManagement(const std::string& directory, IPrompter* prompter)
    : path_(DatabasePathIn(directory)), rs_(std::make_unique<CADORecordset>(db_)) {
    // Nothing survives from an earlier run: an old file is removed, never read.
    const bool cleared = ::unlink(path_.c_str()) == 0 || errno == ENOENT;
    // A file that could not be removed is someone else's; it is not opened either.
    const bool created = cleared && CreateSchema();
    if (!created || !db_.Open(path_) || !TuneConnection()) {
        db_.Close();
        CStderrPrompter no_desktop;
        (prompter ? *prompter : no_desktop)
            .Warn("", Translate("Failed to open database, unable to get data."), MsgIcon::Warning);
    }
}

CSqlManagement::~CSqlManagement() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        rs_->Close();
        db_.Close();
    }
    ::unlink(path_.c_str());
}

bool CSqlManagement::IsOpen() const {
    std::lock_guard<std::mutex> guard(lock_);
    return db_.IsOpen();
}

// The file lives for one run and is rebuilt at every start, so durability buys
// nothing; the journal stays (in memory) so that a refused write is rolled back whole.
bool CSqlManagement::TuneConnection() {
    return db_.Execute("PRAGMA journal_mode=MEMORY") && db_.Execute("PRAGMA synchronous=OFF");
}

bool CSqlManagement::CreateSchema() {
    if (!CADODatabase::CreateDatabase(path_)) return false;
    if (!db_.Open(path_)) return false;
    TuneConnection();
    // The lists look devices and survey entries up by MAC on every report and packet.
    const std::string script[] = {
        CreateTableSql("ap_info", kApInfoColumns),
        CreateTableSql("ap_other_info", kScanColumns),
        "CREATE INDEX ap_info_mac ON ap_info(mac)",
        "CREATE INDEX ap_other_info_mac ON ap_other_info(mac)",
    };
    // A statement that fails is passed over: the queries on a missing table fail later
    // as queries, which every caller already handles.
    for (const std::string& statement : script) ExecuteSql(statement);
    db_.Close();
    return true;
}

bool CSqlManagement::ExecuteSql(const std::string& statement) {
    return ExecuteSql(statement, {});
}

bool CSqlManagement::ExecuteSql(const std::string& statement, const SqlParams& params) {
    for (int attempt = 0; attempt < kExecuteTries; ++attempt) {
        std::lock_guard<std::mutex> guard(lock_);
        if (db_.IsOpen() && db_.Execute(statement, params)) return true;
    }
    return false;
}

}  // namespace fk
