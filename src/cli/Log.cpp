#include "cli/Log.h"

namespace netsim::cli {

void Log::line(const std::string& text) {
    if (text.starts_with("[error]")) failed_ = true;
    out_ << text << '\n' << std::flush;
}

}  // namespace netsim::cli
