#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace netsim {

// The directories in which capture files are searched, as the host last set them. The list
// belongs to the process and survives the end of every run.
class CapturePaths {
public:
    static CapturePaths& instance();

    // Replaces the list by the ';'-separated pieces of paths, in order.
    void set(const std::string& paths);
    std::vector<std::string> paths() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
};

}  // namespace netsim
