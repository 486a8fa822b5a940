#include "util/data_file.h"

#include <sqlite3.h>
#include <unistd.h>

#include <memory>
#include <system_error>

namespace paipan {
namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

}  // namespace

std::string DataFileName(const std::filesystem::path& file) { return file.filename().string(); }

[[noreturn]] void ThrowUnreadable(const std::filesystem::path& file) {
    throw DataError("无法读取数据文件 " + DataFileName(file) + "（" + file.string() +
                    "），文件可能已损坏，请重新安装本程序。");
}

namespace {

// The file must exist, be a plain file and be readable; each failure has its
// own message.
void CheckDataFile(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        throw DataError("找不到数据文件 " + DataFileName(file) + "（" + file.string() +
                        "），请把它放回程序所在的文件夹。");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw DataError(DataFileName(file) + "（" + file.string() +
                        "）不是数据文件（是文件夹或特殊文件），请把程序附带的数据文件放回程序所在的文件夹。");
    }
    if (access(file.c_str(), R_OK) != 0) {
        throw DataError("没有读取数据文件 " + DataFileName(file) + "（" + file.string() +
                        "）的权限，请检查这个文件的权限设置。");
    }
}

DbHandle OpenReadOnly(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) ThrowUnreadable(file);
    return db;
}

// The query ready to step.
StmtHandle Prepare(sqlite3* db, const std::filesystem::path& file, const std::string& sql) {
    sqlite3_stmt* rawStmt = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &rawStmt, nullptr);
    StmtHandle stmt(rawStmt);
    if (rc != SQLITE_OK || !stmt) ThrowUnreadable(file);  // not a database, or no such table
    return stmt;
}

// The same with integer parameters bound.
StmtHandle Prepare(sqlite3* db, const std::filesystem::path& file, const std::string& sql,
                   const std::vector<long long>& params) {
    StmtHandle stmt = Prepare(db, file, sql);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (sqlite3_bind_int64(stmt.get(), static_cast<int>(i + 1), params[i]) != SQLITE_OK) ThrowUnreadable(file);
    }
    return stmt;
}

// The asked-for columns' places in the result, by name.
std::vector<int> ColumnPlaces(sqlite3_stmt* stmt, const std::filesystem::path& file,
                              const std::vector<std::string>& columnNames) {
    std::vector<int> places;
    const int count = sqlite3_column_count(stmt);
    for (const auto& name : columnNames) {
        int index = -1;
        for (int c = 0; c < count && index < 0; ++c) {
            const char* n = sqlite3_column_name(stmt, c);
            if (n && sqlite3_stricmp(n, name.c_str()) == 0) index = c;
        }
        if (index < 0) ThrowUnreadable(file);
        places.push_back(index);
    }
    return places;
}

QueryRow RowAt(sqlite3_stmt* stmt, const std::vector<int>& places) {
    QueryRow row;
    for (const int index : places) {
        const int type = sqlite3_column_type(stmt, index);
        // Integers only: a real number (6.9) is as damaged as a text.
        if (type == SQLITE_INTEGER)
            row.columns.emplace_back(sqlite3_column_int64(stmt, index));
        else
            row.columns.emplace_back(std::nullopt);
        row.damaged = row.damaged || (type != SQLITE_NULL && !row.columns.back());
    }
    return row;
}

}  // namespace

std::vector<QueryRow> QueryRows(const std::filesystem::path& file, const std::string& sql,
                                const std::vector<long long>& params, const std::vector<std::string>& columnNames,
                                std::size_t limit) {
    CheckDataFile(file);
    const DbHandle db = OpenReadOnly(file);
    const StmtHandle stmt = Prepare(db.get(), file, sql, params);
    const std::vector<int> places = ColumnPlaces(stmt.get(), file, columnNames);
    std::vector<QueryRow> rows;
    int rc = SQLITE_DONE;
    while (rows.size() < limit && (rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        rows.push_back(RowAt(stmt.get(), places));
    if (rows.size() < limit && rc != SQLITE_DONE) ThrowUnreadable(file);
    return rows;
}

std::string DataRowReader::Text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
}

long long DataRowReader::Number(int column) const { return sqlite3_column_int64(stmt_, column); }

void ForEachRow(const std::filesystem::path& file, const std::string& sql, const std::vector<std::string>& params,
                const std::function<void(const DataRowReader&)>& row) {
    const DbHandle db = OpenReadOnly(file);
    const StmtHandle stmt = Prepare(db.get(), file, sql);
    for (std::size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(stmt.get(), static_cast<int>(i + 1), params[i].data(), static_cast<int>(params[i].size()),
                          SQLITE_STATIC);
    const DataRowReader reader(stmt.get());
    int step = 0;
    while ((step = sqlite3_step(stmt.get())) == SQLITE_ROW) row(reader);
    if (step != SQLITE_DONE) ThrowUnreadable(file);
}

}  // namespace paipan
