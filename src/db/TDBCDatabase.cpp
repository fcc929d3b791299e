#include "db/TDBCDatabase.h"

#include <sqlite3.h>

#include "db/TDBCFailure.h"

namespace netsim {

TDBCDatabase::~TDBCDatabase() {
    if (connection_ != nullptr) sqlite3_close_v2(connection_);
}

void TDBCDatabase::open(const std::string& path) {
    sqlite3* connection = nullptr;
    int result = sqlite3_open(path.c_str(), &connection);
    if (result != SQLITE_OK) {
        // SQLite hands out a connection even when opening fails; it still has to be released.
        sqlite3_close(connection);
        throw tdbcFailure("TDBCDatabase::open", 138, result);
    }
    connection_ = connection;
}

void TDBCDatabase::close() {
    int result = sqlite3_close(connection_);
    if (result != SQLITE_OK) throw tdbcFailure("TDBCDatabase::close", 130, result);
    connection_ = nullptr;
}

void TDBCDatabase::exec(const char* sql) {
    int result = sqlite3_exec(connection_, sql, nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) throw tdbcFailure("TDBCDatabase::exec", 134, result);
}

sqlite3_stmt* TDBCDatabase::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(connection_, sql, -1, &statement, nullptr);
    if (result != SQLITE_OK) throw tdbcFailure("TDBCDatabase::prepare", 142, result);
    return statement;
}

}  // namespace netsim
