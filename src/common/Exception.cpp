#include "common/Exception.h"

#include <cstdarg>
#include <cstdio>

namespace netsim {

Exception::Exception(const char* file, const char* function, int32_t line, const char* fmt, ...)
    : function_(function), file_(file), line_(line) {
    va_list args;
    va_start(args, fmt);
    format(fmt, args);
    va_end(args);
}

Exception::Exception(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    format(fmt, args);
    va_end(args);
}

Exception Exception::withText(const char* file, const char* function, int32_t line,
                              const std::string& text) {
    Exception e;
    e.file_ = file;
    e.function_ = function;
    e.line_ = line;
    e.message_ = text.substr(0, kMessageBufferSize - 1);
    return e;
}

void Exception::format(const char* fmt, va_list args) {
    // A message longer than the buffer is cut at the buffer's end: vsnprintf never writes
    // past it and always terminates the text.
    char buffer[kMessageBufferSize];
    int written = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    message_ = written < 0 ? std::string() : std::string(buffer);
}

}  // namespace netsim
