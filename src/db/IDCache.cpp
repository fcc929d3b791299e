#include "db/IDCache.h"

#include <algorithm>

namespace netsim {

int64_t IDCache::assign(const std::string& name) {
    int64_t id = nextId_++;
    entries_[name] = Entry{id, false};
    return id;
}

void IDCache::restore(const std::string& name, int64_t id) {
    entries_[name] = Entry{id, true};
    nextId_ = std::max(nextId_, id + 1);
}

void IDCache::forEachUnstored(const std::function<void(const std::string& name, int64_t id)>& visit) const {
    for (const auto& [name, entry] : entries_)
        if (!entry.stored) visit(name, entry.id);
}

bool IDCache::hasUnstored() const {
    return std::any_of(entries_.begin(), entries_.end(), [](const auto& entry) { return !entry.second.stored; });
}

void IDCache::markAllStored() {
    for (auto& [name, entry] : entries_) entry.stored = true;
}

}  // namespace netsim
