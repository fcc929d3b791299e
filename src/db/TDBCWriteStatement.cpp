#include "db/TDBCWriteStatement.h"

#include <sqlite3.h>

#include "db/TDBCDatabase.h"
#include "db/TDBCFailure.h"

namespace netsim {

TDBCWriteStatement::TDBCWriteStatement(TDBCDatabase& database, const char* sql) : statement_(database.prepare(sql)) {}

TDBCWriteStatement::~TDBCWriteStatement() { sqlite3_finalize(statement_); }

void TDBCWriteStatement::bind(int position, int64_t value) {
    sqlite3_bind_int64(statement_, position, static_cast<sqlite3_int64>(value));
}

void TDBCWriteStatement::bind(int position, double value) { sqlite3_bind_double(statement_, position, value); }

void TDBCWriteStatement::bind(int position, const std::string& value) {
    sqlite3_bind_text(statement_, position, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void TDBCWriteStatement::exec() {
    int result = sqlite3_step(statement_);
    if (result != SQLITE_DONE) {
        sqlite3_reset(statement_);
        throw tdbcFailure("TDBCWriteStatement::exec", 256, result);
    }
    result = sqlite3_reset(statement_);
    if (result != SQLITE_OK) throw tdbcFailure("TDBCWriteStatement::exec", 257, result);
}

}  // namespace netsim
