// The two wrappers the device store reaches SQLite through: a connection that also runs
// statements without result rows, and a cursor over one query's result through which
// rows are added and changed. No error escapes either one; every failure is a false
// result. Every text that comes from a user or a device travels as a bound parameter.
//
// Neither class locks: the store serialises every use under its own lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace fk {

// One value bound to a '?' of a statement: NULL, integer, real or text.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlParams = std::vector<SqlValue>;

class CADODatabase {
  public:
    CADODatabase();
    ~CADODatabase();
    CADODatabase(const CADODatabase&) = delete;
    CADODatabase& operator=(const CADODatabase&) = delete;

    // The connection string is the path of the database file. The new file is readable
    // by its owner only: it holds the radios' keys. Fails when anything is at the path.
    static bool CreateDatabase(const std::string& connection_string);

    // Closes first; an empty string reopens the one last used.
    bool Open(const std::string& connection_string = "");
    bool IsOpen() const { return db_ != nullptr; }
    bool Execute(const std::string& statement);
    bool Execute(const std::string& statement, const SqlParams& params);
    int GetRecordsAffected() const { return affected_; }
    const std::string& GetConnectionString() const { return connection_; }
    void Close();

    // A prepared statement kept for reuse with its result's column layout; the store
    // runs the same few statements thousands of times, and preparing the 14-column
    // search costs more than running it on a small table.
    struct Layout {
        std::vector<std::string> names;                // result columns, in order
        std::unordered_map<std::string, int> by_name;  // lower-case name -> index
        std::string table;    // the one table every result column comes from, else empty
        int key_column = -1;  // result column that is that table's rowid
    };
    struct Prepared {
        sqlite3_stmt* stmt = nullptr;
        std::shared_ptr<const Layout> layout;
        int layout_version = -1;  // SQLite re-prepares after a schema change
    };
    // Null when the statement does not compile, holds more than one statement or the
    // connection is closed. Valid until the next Prepare or Close.
    Prepared* Prepare(const std::string& sql);
    // Texts are bound without a copy: `params` must outlive the statement's steps, and
    // the caller clears the bindings before it goes.
    static bool Bind(sqlite3_stmt* stmt, const SqlParams& params);
    sqlite3* Handle() const { return db_; }

  private:
    void ClearCache();

    sqlite3* db_ = nullptr;
    std::string connection_;
    int affected_ = 0;
    std::vector<std::pair<std::string, std::unique_ptr<Prepared>>> cache_;
};

class CADORecordset {
  public:
    enum class EditMode { None, Adding, Editing };

    explicit CADORecordset(CADODatabase& db) : db_(db) {}
    ~CADORecordset() { Close(); }
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    // Runs the query and keeps its whole result, so the row count is known before the
    // first read and rows can be changed while the cursor walks them.
    bool Open(const std::string& query);
    bool Open(const std::string& query, const SqlParams& params);
    bool IsOpen() const { return open_; }
    const std::string& GetQuery() const { return query_; }

    int GetRecordCount() const { return open_ ? static_cast<int>(rowids_.size()) : 0; }
    bool IsEOF() const { return !open_ || row_ >= rowids_.size(); }
    void MoveFirst() { row_ = 0; }
    void MoveNext() {
        if (row_ < rowids_.size()) ++row_;
    }

    // Columns are found by name, ignoring case; -1 when the result has no such column.
    int ColumnIndex(std::string_view column) const;
    int ColumnCount() const { return static_cast<int>(columns_); }

    // NULL or empty reads as 0 or an empty text. The 32-bit read keeps the low 32 bits,
    // the 16-bit read the low 16 bits, both as signed numbers.
    bool GetFieldValue(std::string_view column, int& value) const;
    bool GetFieldValue(std::string_view column, short& value) const;
    bool GetFieldValue(std::string_view column, std::string& value) const;
    bool GetFieldValue(int index, int& value) const;
    bool GetFieldValue(int index, short& value) const;
    bool GetFieldValue(int index, std::string& value) const;

    bool AddNew();
    bool Edit();
    EditMode GetEditMode() const { return mode_; }

    // Only while adding or editing. An empty text is written as NULL; the integer
    // writes keep the low 32 bits, as a signed or an unsigned number.
    bool SetFieldValue(std::string_view column, long value);
    bool SetFieldValue(std::string_view column, unsigned long value);
    bool SetFieldValue(std::string_view column, int value) {
        return SetFieldValue(column, static_cast<long>(value));
    }
    bool SetFieldValue(std::string_view column, unsigned int value) {
        return SetFieldValue(column, static_cast<unsigned long>(value));
    }
    bool SetFieldValue(std::string_view column, std::string_view value);
    bool SetFieldValue(std::string_view column, const std::string& value) {
        return SetFieldValue(column, std::string_view(value));
    }
    bool SetFieldValue(std::string_view column, const char* value) {
        return SetFieldValue(column, std::string_view(value));
    }

    // Writes the pending row; a write the database refuses is cancelled and false.
    // Either way the edit state returns to none.
    bool Update();
    void CancelUpdate();
    void Close();

  private:
    enum class CellType : std::uint8_t { Null, Integer, Real, Text };
    struct Cell {
        CellType type = CellType::Null;
        std::uint32_t length = 0;  // text bytes
        union {
            std::int64_t integer;
            double real;
            std::uint64_t offset;  // into text_
        } v{0};
    };

    const Cell* CurrentCell(int index) const;
    Cell MakeCell(const SqlValue& value);
    bool ReadRows(CADODatabase::Prepared& prepared);
    bool SetPending(std::string_view column, SqlValue value);
    bool WriteUpdate();
    bool WriteInsert();
    void StorePending(std::size_t row);

    CADODatabase& db_;
    bool open_ = false;
    std::string query_;
    std::shared_ptr<const CADODatabase::Layout> layout_;
    std::size_t columns_ = 0;
    std::vector<Cell> cells_;  // row-major, columns_ per row
    std::vector<std::int64_t> rowids_;
    std::string text_;
    std::size_t row_ = 0;
    EditMode mode_ = EditMode::None;
    std::vector<std::pair<int, SqlValue>> pending_;
};

}  // namespace fk
