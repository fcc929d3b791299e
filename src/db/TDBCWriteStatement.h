#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace netsim {

class TDBCDatabase;

// A prepared insert or update, executed once per set of bound parameters. Parameters are
// numbered from 1 and keep their value until bound again.
class TDBCWriteStatement {
public:
    TDBCWriteStatement(TDBCDatabase& database, const char* sql);
    ~TDBCWriteStatement();
    TDBCWriteStatement(const TDBCWriteStatement&) = delete;
    TDBCWriteStatement& operator=(const TDBCWriteStatement&) = delete;

    void bind(int position, int64_t value);
    void bind(int position, double value);
    // SQLite copies the text, so the string may go before exec.
    void bind(int position, const std::string& value);
    // Steps the statement to its end and resets it for the next execution.
    void exec();

private:
    sqlite3_stmt* statement_;
};

}  // namespace netsim
