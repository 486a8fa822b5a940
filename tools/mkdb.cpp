// Build-time tool: turns one committed CSV file (header row, integer cells)
// into a one-table SQLite database.
//   paipan-mkdb OUT.db TABLE KEY1[,KEY2...] IN.csv [TEXT1[,TEXT2...]]
// Every column is INTEGER except the ones named as TEXT (UTF-8, no commas);
// the key columns form the primary key. The file is
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

int Build(const std::filesystem::path& out, const std::string& table, const std::string& keys,
          const std::filesystem::path& csv, const std::vector<std::string>& textColumns) {
    std::ifstream in(csv);
    std::string line;
    if (!in || !std::getline(in, line)) {
        std::cerr << "paipan-mkdb: cannot read " << csv << "\n";
        return 1;
    }
    const auto columns = Split(line, ',');
    std::string create = "CREATE TABLE " + table + " (";
    std::string insert = "INSERT INTO " + table + " VALUES (";
    std::vector<bool> isText;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        isText.push_back(std::find(textColumns.begin(), textColumns.end(), columns[i]) != textColumns.end());
        create += columns[i] + (isText[i] ? " TEXT" : " INTEGER") +
                  (columns[i] == "LeapFlag" ? "" : " NOT NULL") + ", ";
        insert += (i ? ",?" : "?");
    }
    create += "PRIMARY KEY (" + keys + "))";
    insert += ")";

    const auto tmp = std::filesystem::path(out.string() + ".tmp");
    std::filesystem::remove(tmp);
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::cerr << "paipan-mkdb: cannot create " << tmp << "\n";
        sqlite3_close(db);
        return 1;
    }
    bool ok = Exec(db, create) && Exec(db, "BEGIN");
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr) == SQLITE_OK;
    int lineNo = 1;
    while (ok && std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line == "\r") continue;
        const auto cells = Split(line, ',');
        if (cells.size() != columns.size()) {
            std::cerr << "paipan-mkdb: " << csv << ":" << lineNo << ": wrong number of cells\n";
            ok = false;
            break;
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (isText[i]) {
                sqlite3_bind_text(st, static_cast<int>(i + 1), cells[i].c_str(),
                                  static_cast<int>(cells[i].size()), SQLITE_TRANSIENT);
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
                std::cerr << "paipan-mkdb: " << csv << ":" << lineNo << ": not an integer: " << cells[i] << "\n";
                ok = false;
                break;
            }
            sqlite3_bind_int64(st, static_cast<int>(i + 1), v);
        }
        if (ok && sqlite3_step(st) != SQLITE_DONE) {
            std::cerr << "paipan-mkdb: " << csv << ":" << lineNo << ": " << sqlite3_errmsg(db) << "\n";
            ok = false;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    ok = ok && Exec(db, "COMMIT");
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
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: paipan-mkdb OUT.db TABLE KEY1[,KEY2...] IN.csv [TEXT1[,TEXT2...]]\n";
        return 2;
    }
    return Build(argv[1], argv[2], argv[3], argv[4], argc == 6 ? Split(argv[5], ',') : std::vector<std::string>{});
}
