#include "db/TDBCReadStatement.h"

#include <sqlite3.h>

#include <exception>

#include "db/TDBCDatabase.h"
#include "db/TDBCFailure.h"

namespace netsim {

TDBCReadStatement::TDBCReadStatement(TDBCDatabase& database, const char* sql) : statement_(database.prepare(sql)) {}

TDBCReadStatement::~TDBCReadStatement() noexcept(false) {
    int result = sqlite3_finalize(statement_);
    if (result != SQLITE_OK && std::uncaught_exceptions() == 0)
        throw tdbcFailure("TDBCReadStatement::~TDBCReadStatement", 188, result);
}

bool TDBCReadStatement::fetch(int64_t& id, std::string& name) {
    int result = sqlite3_step(statement_);
    if (result == SQLITE_DONE) return false;
    if (result != SQLITE_ROW) throw tdbcFailure("TDBCReadStatement::fetch", 208, result);
    id = sqlite3_column_int64(statement_, 0);
    const unsigned char* text = sqlite3_column_text(statement_, 1);
    name.assign(text != nullptr ? reinterpret_cast<const char*>(text) : "",
                static_cast<std::size_t>(sqlite3_column_bytes(statement_, 1)));
    return true;
}

}  // namespace netsim
