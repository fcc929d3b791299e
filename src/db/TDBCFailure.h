#pragma once

#include <cstdint>

#include "common/Exception.h"

namespace netsim {

// The logical source name that every exception of the results database carries.
inline constexpr const char* kDatabaseFile = "db/DatabasePersistence";

// The exception of a failed SQLite call: the operation, the result code and SQLite's text
// for the code.
Exception tdbcFailure(const char* operation, int32_t line, int resultCode);

}  // namespace netsim
