#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace netsim {

// The SQLite connection of the database writer. Every failure raises an engine exception
// "<operation> : [<result code>] - <SQLite's text for the code>".
class TDBCDatabase {
public:
    TDBCDatabase() = default;
    // Closes silently a connection that close() did not end.
    ~TDBCDatabase();
    TDBCDatabase(const TDBCDatabase&) = delete;
    TDBCDatabase& operator=(const TDBCDatabase&) = delete;

    void open(const std::string& path);
    // Every statement of the connection must be finalized before.
    void close();
    bool isOpen() const { return connection_ != nullptr; }
    // Runs one or more statements separated by ';'.
    void exec(const char* sql);
    // The caller owns the statement and finalizes it.
    sqlite3_stmt* prepare(const char* sql);

private:
    sqlite3* connection_ = nullptr;
};

}  // namespace netsim
