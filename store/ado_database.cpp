#include "store/ado_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace fk {
namespace {

// The page query alone comes in 56 forms (sort column, direction, search or not);
// past this many the whole cache is dropped, which keeps memory bounded.
constexpr std::size_t kMaxCachedStatements = 128;

// Another connection on the file (a second program, a look with a database tool) may
// hold a read lock for a moment; a write waits this long for it instead of failing.
constexpr int kBusyTimeoutMs = 2000;

bool IsBlank(const char* text) {
    for (; text && *text; ++text) {
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    }
    return true;
}

}  // namespace

bool CADODatabase::Bind(sqlite3_stmt* stmt, const SqlParams& params) {
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt)) return false;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        const SqlValue& p = params[i];
        int rc = SQLITE_OK;
        if (const auto* n = std::get_if<std::int64_t>(&p)) {
            rc = sqlite3_bind_int64(stmt, at, *n);
        } else if (const auto* d = std::get_if<double>(&p)) {
            rc = sqlite3_bind_double(stmt, at, *d);
        } else if (const auto* s = std::get_if<std::string>(&p)) {
            // Not copied: every caller steps the statement and clears its bindings
            // while `params` still lives.
            rc = sqlite3_bind_text(stmt, at, s->data(), static_cast<int>(s->size()), SQLITE_STATIC);
        } else {
            rc = sqlite3_bind_null(stmt, at);
        }
        if (rc != SQLITE_OK) return false;
    }
    return true;
}

CADODatabase::CADODatabase() = default;

CADODatabase::~CADODatabase() {
    Close();
}

bool CADODatabase::CreateDatabase(const std::string& connection_string) {
    if (connection_string.empty()) return false;
    // O_EXCL and O_NOFOLLOW: never adopt a file or a link someone else put there.
    const int fd = ::open(connection_string.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    if (!ok) return false;
    // An empty file is an empty SQLite database; opening it proves the path is usable.
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(connection_string.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

bool CADODatabase::Open(const std::string& connection_string) {
    Close();
    if (!connection_string.empty()) connection_ = connection_string;
    if (connection_.empty()) return false;
    sqlite3* db = nullptr;
    // No SQLITE_OPEN_CREATE: the file must have been made by CreateDatabase. No mutex
    // inside SQLite either: a connection is only ever used under its owner's lock, and
    // SQLite's own would be taken and dropped for every column of every row read.
    const int rc = sqlite3_open_v2(connection_.c_str(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    db_ = db;
    return true;
}

void CADODatabase::ClearCache() {
    for (auto& entry : cache_) sqlite3_finalize(entry.second->stmt);
    cache_.clear();
}

void CADODatabase::Close() {
    ClearCache();
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

CADODatabase::Prepared* CADODatabase::Prepare(const std::string& sql) {
    if (!db_) return nullptr;
    for (auto& entry : cache_) {
        if (entry.first == sql) return entry.second.get();
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size() + 1), &stmt, &tail);
    // A second statement hidden behind the first is refused rather than ignored.
    if (rc != SQLITE_OK || stmt == nullptr || !IsBlank(tail)) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (cache_.size() >= kMaxCachedStatements) ClearCache();
    auto prepared = std::make_unique<Prepared>();
    prepared->stmt = stmt;
    cache_.emplace_back(sql, std::move(prepared));
    return cache_.back().second.get();
}

bool CADODatabase::Execute(const std::string& statement) {
    return Execute(statement, {});
}

bool CADODatabase::Execute(const std::string& statement, const SqlParams& params) {
    affected_ = 0;
    Prepared* prepared = Prepare(statement);
    if (!prepared) return false;
    sqlite3_stmt* stmt = prepared->stmt;
    bool ok = Bind(stmt, params);
    int rc = SQLITE_DONE;
    // Some statements (a PRAGMA) answer with a row; it is passed over.
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    ok = ok && rc == SQLITE_DONE;
    if (ok) affected_ = sqlite3_changes(db_);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return ok;
}

}  // namespace fk
