// Build-time tool: turns one committed CSV file (header row, integer cells)
// into a one-table SQLite database.
//   paipan-mkdb OUT.db TABLE KEY1[,KEY2...] IN.csv [TEXT1[,TEXT2...] [AFTER.sql]]
// Every column is INTEGER except the ones named as TEXT (UTF-8, no commas);
// the key columns form the primary key. AFTER.sql, when given, runs once the
// rows are in (to add tables derived from them, such as an index of names). The file is
// written under a temporary name and renamed, so a failed run leaves no
// half-built database behind.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, sep)) {
        if (!cell.empty() && cell.back() == '\r') cell.pop_back();
        out.push_back(cell);
    }
    return out;
}

bool Exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::cerr << "paipan-mkdb: " << (err ? err : "error") << " in: " << sql << "\n";
        sqlite3_free(err);
        return false;
    }
    return true;
}

// The CREATE and INSERT statements of the table, and which columns are text.
struct TableSql {
    std::string create, insert;
    std::vector<bool> isText;
};

TableSql SqlFor(const std::string& table, const std::string& keys, const std::vector<std::string>& columns,
                const std::vector<std::string>& textColumns) {
    TableSql sql{"CREATE TABLE " + table + " (", "INSERT INTO " + table + " VALUES (", {}};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql.isText.push_back(std::find(textColumns.begin(), textColumns.end(), columns[i]) != textColumns.end());
        sql.create += columns[i] + (sql.isText[i] ? " TEXT" : " INTEGER") +
                      (columns[i] == "LeapFlag" ? "" : " NOT NULL") + ", ";
        sql.insert += (i ? ",?" : "?");
    }
    sql.create += "PRIMARY KEY (" + keys + "))";
    sql.insert += ")";
    return sql;
}

// Binds one row's cells; an integer column that holds no integer is an error.
bool BindRow(sqlite3_stmt* st, const std::vector<std::string>& cells, const std::vector<bool>& isText,
             const std::string& where) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int column = static_cast<int>(i + 1);
        if (isText[i]) {
            sqlite3_bind_text(st, column, cells[i].c_str(), static_cast<int>(cells[i].size()), SQLITE_TRANSIENT);
            continue;
        }
        std::size_t used = 0;
        long long v = 0;
        try {
            v = std::stoll(cells[i], &used);
        } catch (...) {
            used = 0;
        }
        if (used != cells[i].size() || cells[i].empty()) {
            std::cerr << "paipan-mkdb: " << where << ": not an integer: " << cells[i] << "\n";
            return false;
        }
        sqlite3_bind_int64(st, column, v);
    }
    return true;
}

// Inserts the remaining lines of `in`, one row each (empty lines skipped).
bool InsertRows(sqlite3* db, std::istream& in, const TableSql& sql, const std::filesystem::path& csv) {
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, sql.insert.c_str(), -1, &st, nullptr) == SQLITE_OK;
    std::string line;
    for (int lineNo = 2; ok && std::getline(in, line); ++lineNo) {
        if (line.empty() || line == "\r") continue;
        const auto cells = Split(line, ',');
        const std::string where = csv.string() + ":" + std::to_string(lineNo);
        if (cells.size() != sql.isText.size()) {
            std::cerr << "paipan-mkdb: " << where << ": wrong number of cells\n";
            ok = false;
        } else if (!BindRow(st, cells, sql.isText, where)) {
            ok = false;
        } else if (sqlite3_step(st) != SQLITE_DONE) {
            std::cerr << "paipan-mkdb: " << where << ": " << sqlite3_errmsg(db) << "\n";
            ok = false;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return ok;
}

// The text of the SQL file run after the rows are in; empty without one.
bool ReadAfterSql(const std::string& file, std::string& sql) {
    if (file.empty()) return true;
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    sql = text.str();
    if (!in || sql.empty()) std::cerr << "paipan-mkdb: cannot read " << file << "\n";
    return in && !sql.empty();
}

int Build(const std::filesystem::path& out, const std::string& table, const std::string& keys,
          const std::filesystem::path& csv, const std::vector<std::string>& textColumns, const std::string& afterFile) {
    std::string after;
    if (!ReadAfterSql(afterFile, after)) return 1;
    std::ifstream in(csv);
    std::string header;
    if (!in || !std::getline(in, header)) {
        std::cerr << "paipan-mkdb: cannot read " << csv << "\n";
        return 1;
    }
    const TableSql sql = SqlFor(table, keys, Split(header, ','), textColumns);
    const auto tmp = std::filesystem::path(out.string() + ".tmp");
    std::filesystem::remove(tmp);
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::cerr << "paipan-mkdb: cannot create " << tmp << "\n";
        sqlite3_close(db);
        return 1;
    }
    const bool ok = Exec(db, sql.create) && Exec(db, "BEGIN") && InsertRows(db, in, sql, csv) &&
                    (after.empty() || Exec(db, after)) && Exec(db, "COMMIT");
    sqlite3_close(db);
    if (!ok) {
        std::filesystem::remove(tmp);
        return 1;
    }
    std::filesystem::rename(tmp, out);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 7) {
        std::cerr << "usage: paipan-mkdb OUT.db TABLE KEY1[,KEY2...] IN.csv [TEXT1[,TEXT2...] [AFTER.sql]]\n";
        return 2;
    }
    return Build(argv[1], argv[2], argv[3], argv[4], argc >= 6 ? Split(argv[5], ',') : std::vector<std::string>{},
                 argc == 7 ? argv[6] : "");
}
