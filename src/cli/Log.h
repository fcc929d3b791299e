#pragma once

#include <ostream>
#include <string>

namespace netsim::cli {

// The runner's console log: one message per line, flushed at once so that the lines keep
// their order with the engine's own diagnostics and show before a long run starts.
class Log {
public:
    explicit Log(std::ostream& out) : out_(out) {}

    void line(const std::string& text);

    // An "[error]" line was logged; the runner's exit status says so.
    bool failed() const { return failed_; }

private:
    std::ostream& out_;
    bool failed_ = false;
};

}  // namespace netsim::cli
