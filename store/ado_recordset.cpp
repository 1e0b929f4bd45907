#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "store/ado_database.h"

namespace fk {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Quoted(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n\v\f");
    return text.substr(first, last - first + 1);
}

bool IsRowidColumn(sqlite3* db, sqlite3_stmt* stmt, int column) {
    const char* table = sqlite3_column_table_name(stmt, column);
    const char* origin = sqlite3_column_origin_name(stmt, column);
    if (!table || !origin) return false;
    const char* type = nullptr;
    int not_null = 0, primary = 0, autoinc = 0;
    if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(stmt, column), table, origin,
                                      &type, nullptr, &not_null, &primary, &autoinc) != SQLITE_OK) {
        return false;
    }
    return primary && type && sqlite3_stricmp(type, "INTEGER") == 0;
}

std::shared_ptr<const CADODatabase::Layout> ReadLayout(sqlite3* db, sqlite3_stmt* stmt) {
    auto layout = std::make_shared<CADODatabase::Layout>();
    const int count = sqlite3_column_count(stmt);
    bool one_table = count > 0;
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        layout->names.emplace_back(name ? name : "");
        layout->by_name.emplace(Lower(layout->names.back()), i);
        const char* table = sqlite3_column_table_name(stmt, i);
        if (!table) {
            one_table = false;
        } else if (layout->table.empty()) {
            layout->table = table;
        } else if (layout->table != table) {
            one_table = false;
        }
        if (layout->key_column < 0 && IsRowidColumn(db, stmt, i)) layout->key_column = i;
    }
    if (!one_table) {
        layout->table.clear();
        layout->key_column = -1;
    }
    return layout;
}

}  // namespace

bool CADORecordset::Open(const std::string& query) {
    return Open(query, {});
}

bool CADORecordset::Open(const std::string& query, const SqlParams& params) {
    Close();
    query_ = query;
    CADODatabase::Prepared* prepared = db_.Prepare(query);
    if (!prepared) return false;
    if (!CADODatabase::Bind(prepared->stmt, params) || !ReadRows(*prepared)) {
        sqlite3_reset(prepared->stmt);
        sqlite3_clear_bindings(prepared->stmt);
        Close();
        return false;
    }
    sqlite3_reset(prepared->stmt);
    sqlite3_clear_bindings(prepared->stmt);
    open_ = true;
    row_ = 0;
    return true;
}

bool CADORecordset::ReadRows(CADODatabase::Prepared& prepared) {
    sqlite3_stmt* stmt = prepared.stmt;
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
    const int version = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (!prepared.layout || prepared.layout_version != version) {
        prepared.layout = ReadLayout(db_.Handle(), stmt);
        prepared.layout_version = version;
    }
    layout_ = prepared.layout;
    columns_ = layout_->names.size();
    const int key = layout_->key_column;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) {
        for (std::size_t c = 0; c < columns_; ++c) {
            const int i = static_cast<int>(c);
            Cell cell;
            switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    cell.type = CellType::Integer;
                    cell.v.integer = sqlite3_column_int64(stmt, i);
                    break;
                case SQLITE_FLOAT:
                    cell.type = CellType::Real;
                    cell.v.real = sqlite3_column_double(stmt, i);
                    break;
                case SQLITE_NULL:
                    break;
                default: {
                    const auto* text = sqlite3_column_text(stmt, i);
                    cell.type = CellType::Text;
                    cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(stmt, i));
                    cell.v.offset = text_.size();
                    if (text) text_.append(reinterpret_cast<const char*>(text), cell.length);
                    break;
                }
            }
            cells_.push_back(cell);
        }
        rowids_.push_back(key >= 0 ? sqlite3_column_int64(stmt, key) : 0);
    }
    return rc == SQLITE_DONE;
}

void CADORecordset::Close() {
    CancelUpdate();
    open_ = false;
    layout_.reset();
    columns_ = 0;
    cells_.clear();
    rowids_.clear();
    text_.clear();
    row_ = 0;
}

int CADORecordset::ColumnIndex(std::string_view column) const {
    if (!layout_) return -1;
    const auto it = layout_->by_name.find(Lower(column));
    return it == layout_->by_name.end() ? -1 : it->second;
}

const CADORecordset::Cell* CADORecordset::CurrentCell(int index) const {
    if (IsEOF() || index < 0 || static_cast<std::size_t>(index) >= columns_) return nullptr;
    return &cells_[row_ * columns_ + static_cast<std::size_t>(index)];
}

bool CADORecordset::GetFieldValue(int index, int& value) const {
    const Cell* cell = CurrentCell(index);
    if (!cell) return false;
    std::int64_t wide = 0;
    switch (cell->type) {
        case CellType::Null:
            break;
        case CellType::Integer:
            wide = cell->v.integer;
            break;
        case CellType::Real:
            if (!std::isfinite(cell->v.real) || std::fabs(cell->v.real) >= 9.2e18) return false;
            wide = static_cast<std::int64_t>(cell->v.real);
            break;
        case CellType::Text: {
            const auto text = Trimmed(std::string_view(text_).substr(cell->v.offset, cell->length));
            if (text.empty()) break;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
            if (ec != std::errc() || end != text.data() + text.size()) return false;
            break;
        }
    }
    value = static_cast<std::int32_t>(wide);
    return true;
}

bool CADORecordset::GetFieldValue(int index, short& value) const {
    int wide = 0;
    if (!GetFieldValue(index, wide)) return false;
    value = static_cast<std::int16_t>(wide);
    return true;
}

bool CADORecordset::GetFieldValue(int index, std::string& value) const {
    const Cell* cell = CurrentCell(index);
    if (!cell) return false;
    switch (cell->type) {
        case CellType::Null:
            value.clear();
            break;
        case CellType::Integer:
            value = std::to_string(cell->v.integer);
            break;
        case CellType::Real: {
            char buf[32];
            std::snprintf(buf, sizeof(buf), "%.15g", cell->v.real);
            value = buf;
            break;
        }
        case CellType::Text:
            value.assign(text_, cell->v.offset, cell->length);
            break;
    }
    return true;
}

bool CADORecordset::GetFieldValue(std::string_view column, int& value) const {
    return GetFieldValue(ColumnIndex(column), value);
}

bool CADORecordset::GetFieldValue(std::string_view column, short& value) const {
    return GetFieldValue(ColumnIndex(column), value);
}

bool CADORecordset::GetFieldValue(std::string_view column, std::string& value) const {
    return GetFieldValue(ColumnIndex(column), value);
}

bool CADORecordset::AddNew() {
    if (!open_ || !layout_ || layout_->table.empty()) return false;
    pending_.clear();
    mode_ = EditMode::Adding;
    return true;
}

bool CADORecordset::Edit() {
    if (IsEOF() || layout_->key_column < 0) return false;
    pending_.clear();
    mode_ = EditMode::Editing;
    return true;
}

bool CADORecordset::SetPending(std::string_view column, SqlValue value) {
    if (mode_ == EditMode::None) return false;
    const int index = ColumnIndex(column);
    if (index < 0) return false;
    for (auto& entry : pending_) {
        if (entry.first == index) {
            entry.second = std::move(value);
            return true;
        }
    }
    pending_.emplace_back(index, std::move(value));
    return true;
}

bool CADORecordset::SetFieldValue(std::string_view column, long value) {
    return SetPending(column, std::int64_t{static_cast<std::int32_t>(value)});
}

bool CADORecordset::SetFieldValue(std::string_view column, unsigned long value) {
    return SetPending(column, std::int64_t{static_cast<std::uint32_t>(value)});
}

bool CADORecordset::SetFieldValue(std::string_view column, std::string_view value) {
    if (value.empty()) return SetPending(column, std::monostate{});
    return SetPending(column, std::string(value));
}

void CADORecordset::CancelUpdate() {
    pending_.clear();
    mode_ = EditMode::None;
}

bool CADORecordset::Update() {
    if (mode_ == EditMode::None) return true;
    const bool ok = mode_ == EditMode::Editing ? WriteUpdate() : WriteInsert();
    CancelUpdate();
    return ok;
}

bool CADORecordset::WriteUpdate() {
    if (IsEOF()) return false;
    if (pending_.empty()) return true;
    std::string sql = "UPDATE " + Quoted(layout_->table) + " SET ";
    SqlParams params;
    params.reserve(pending_.size() + 1);
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (i) sql += ',';
        sql += Quoted(layout_->names[static_cast<std::size_t>(pending_[i].first)]) + "=?";
        params.push_back(pending_[i].second);
    }
    sql += " WHERE rowid=?";
    params.emplace_back(rowids_[row_]);
    // A row that vanished under the cursor is a refused write, not a success.
    if (!db_.Execute(sql, params) || db_.GetRecordsAffected() != 1) return false;
    StorePending(row_);
    return true;
}

bool CADORecordset::WriteInsert() {
    std::string sql = "INSERT INTO " + Quoted(layout_->table);
    SqlParams params;
    params.reserve(pending_.size());
    if (pending_.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string marks;
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            sql += i ? ',' : '(';
            sql += Quoted(layout_->names[static_cast<std::size_t>(pending_[i].first)]);
            marks += i ? ",?" : "?";
            params.push_back(pending_[i].second);
        }
        sql += ") VALUES(" + marks + ")";
    }
    if (!db_.Execute(sql, params)) return false;
    const std::int64_t rowid = sqlite3_last_insert_rowid(db_.Handle());
    cells_.resize(cells_.size() + columns_);
    rowids_.push_back(rowid);
    row_ = rowids_.size() - 1;
    if (layout_->key_column >= 0) {
        Cell& key = cells_[row_ * columns_ + static_cast<std::size_t>(layout_->key_column)];
        key.type = CellType::Integer;
        key.v.integer = rowid;
    }
    StorePending(row_);
    return true;
}

CADORecordset::Cell CADORecordset::MakeCell(const SqlValue& value) {
    Cell cell;
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        cell.type = CellType::Integer;
        cell.v.integer = *n;
    } else if (const auto* d = std::get_if<double>(&value)) {
        cell.type = CellType::Real;
        cell.v.real = *d;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        cell.type = CellType::Text;
        cell.length = static_cast<std::uint32_t>(s->size());
        cell.v.offset = text_.size();
        text_ += *s;
    }
    return cell;
}

// Keeps the cursor's copy of the row equal to what was written, so a read after the
// write sees the new values.
void CADORecordset::StorePending(std::size_t row) {
    for (const auto& [index, value] : pending_) {
        cells_[row * columns_ + static_cast<std::size_t>(index)] = MakeCell(value);
    }
}

}  // namespace fk
