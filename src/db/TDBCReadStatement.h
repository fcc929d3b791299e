#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace netsim {

class TDBCDatabase;

// A prepared query over an identifier table: every row is an id and a name.
class TDBCReadStatement {
public:
    TDBCReadStatement(TDBCDatabase& database, const char* sql);
    // Finalizing reports a failure the read has not reported yet; while another exception
    // is on its way the failure is dropped, since that exception already ends the read.
    ~TDBCReadStatement() noexcept(false);
    TDBCReadStatement(const TDBCReadStatement&) = delete;
    TDBCReadStatement& operator=(const TDBCReadStatement&) = delete;

    // Reads the next row; false when there is none left.
    bool fetch(int64_t& id, std::string& name);

private:
    sqlite3_stmt* statement_;
};

}  // namespace netsim
