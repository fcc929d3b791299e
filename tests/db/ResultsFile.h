#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "TempDir.h"
#include "gtest/gtest.h"

namespace netsim::test {

// One column value as SQLite stores it.
struct Value : std::variant<std::monostate, int64_t, double, std::string> {
    using variant::variant;
};
using Row = std::vector<Value>;

inline void PrintTo(const Value& value, std::ostream* out) {
    if (std::holds_alternative<std::monostate>(value))
        *out << "NULL";
    else if (const auto* number = std::get_if<int64_t>(&value))
        *out << *number;
    else if (const auto* fraction = std::get_if<double>(&value))
        *out << *fraction << "r";
    else
        *out << '"' << std::get<std::string>(value) << '"';
}

inline Value integer(int64_t value) { return value; }
inline Value real(double value) { return value; }
inline Value text(const std::string& value) { return value; }
inline const Value null{};

// Reads a results database the way the desktop application does: with its own connection
// and plain queries.
class ResultsFile {
public:
    explicit ResultsFile(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &connection_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(connection_);
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~ResultsFile() { sqlite3_close(connection_); }
    ResultsFile(const ResultsFile&) = delete;
    ResultsFile& operator=(const ResultsFile&) = delete;

    std::vector<Row> rows(const std::string& sql, const std::vector<Value>& parameters = {}) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(connection_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot prepare: ") + sqlite3_errmsg(connection_));
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            int position = static_cast<int>(i + 1);
            const Value& value = parameters[i];
            if (const auto* number = std::get_if<int64_t>(&value))
                sqlite3_bind_int64(statement, position, *number);
            else if (const auto* fraction = std::get_if<double>(&value))
                sqlite3_bind_double(statement, position, *fraction);
            else if (const auto* string = std::get_if<std::string>(&value))
                sqlite3_bind_text(statement, position, string->c_str(), -1, SQLITE_TRANSIENT);
        }
        std::vector<Row> result;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            Row row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                switch (sqlite3_column_type(statement, column)) {
                    case SQLITE_INTEGER:
                        row.emplace_back(static_cast<int64_t>(sqlite3_column_int64(statement, column)));
                        break;
                    case SQLITE_FLOAT:
                        row.emplace_back(sqlite3_column_double(statement, column));
                        break;
                    case SQLITE_TEXT:
                        row.emplace_back(
                            std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                        static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
                        break;
                    default:
                        row.emplace_back(std::monostate{});
                }
            }
            result.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) throw std::runtime_error(std::string("query failed: ") + sql);
        return result;
    }

    int64_t count(const std::string& sql) const {
        auto result = rows(sql);
        if (result.size() != 1 || result[0].size() != 1 || !std::holds_alternative<int64_t>(result[0][0]))
            throw std::runtime_error("not a single integer: " + sql);
        return std::get<int64_t>(result[0][0]);
    }

private:
    sqlite3* connection_ = nullptr;
};

}  // namespace netsim::test
