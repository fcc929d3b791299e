#include "db/TDBCFailure.h"

#include <sqlite3.h>

namespace netsim {

Exception tdbcFailure(const char* operation, int32_t line, int resultCode) {
    return Exception(kDatabaseFile, operation, line, "%s : [%d] - %s\n", operation, resultCode,
                     sqlite3_errstr(resultCode));
}

}  // namespace netsim
