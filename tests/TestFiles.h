#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "TempDir.h"

namespace netsim::test {

// Reads a results database with plain queries.
class ResultsReader {
public:
    explicit ResultsReader(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~ResultsReader() { sqlite3_close(db_); }
    ResultsReader(const ResultsReader&) = delete;
    ResultsReader& operator=(const ResultsReader&) = delete;

    // The first column of the first row as text ("NULL" for null, "" without rows).
    std::string text(const std::string& sql) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("bad query: ") + sqlite3_errmsg(db_));
        std::string result;
        if (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* value = sqlite3_column_text(statement, 0);
            result = value != nullptr ? reinterpret_cast<const char*>(value) : "NULL";
        }
        sqlite3_finalize(statement);
        return result;
    }
    long long integer(const std::string& sql) const { return std::stoll(text(sql)); }
    double real(const std::string& sql) const { return std::stod(text(sql)); }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace netsim::test
