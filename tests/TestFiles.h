#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace netsim::test {

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "netsim-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

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
