#include "simulator/capture/CapturePaths.h"

namespace netsim {

CapturePaths& CapturePaths::instance() {
    static CapturePaths paths;
    return paths;
}

void CapturePaths::set(const std::string& paths) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        auto separator = paths.find(';', start);
        pieces.push_back(paths.substr(start, separator - start));
        if (separator == std::string::npos) break;
        start = separator + 1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    paths_ = std::move(pieces);
}

std::vector<std::string> CapturePaths::paths() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
}

}  // namespace netsim
