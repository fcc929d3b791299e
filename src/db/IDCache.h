#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace netsim {

// Numbers the names of one identifier table (resources, tasks or timers) for the database
// writer. Lookup is a map search, O(log n) string comparisons, which the writer pays per row;
// the map is ordered because the identifier tables are written in ascending name order.
//
// A database that already holds earlier runs of the batch has identifiers of its own: they
// are restored first, and new names are numbered after the largest of them, so that no id
// means two names across the runs of one file.
class IDCache {
public:
    static constexpr int64_t kNotFound = -1;

    IDCache() = default;
    virtual ~IDCache() = default;
    IDCache(const IDCache&) = delete;
    IDCache& operator=(const IDCache&) = delete;

    // Gives the name the next identifier; the name must not be in the cache yet.
    virtual int64_t assign(const std::string& name);

    int64_t find(const std::string& name) const {
        auto it = entries_.find(name);
        return it == entries_.end() ? kNotFound : it->second.id;
    }

    // Takes over an identifier that the database already holds for the name.
    void restore(const std::string& name, int64_t id);

    // Visits, in ascending name order, the names that the database does not hold yet.
    void forEachUnstored(const std::function<void(const std::string& name, int64_t id)>& visit) const;
    bool hasUnstored() const;
    // The database now holds every name of the cache.
    void markAllStored();

    int64_t nextId() const { return nextId_; }

private:
    struct Entry {
        int64_t id;
        bool stored;
    };

    std::map<std::string, Entry, std::less<>> entries_;
    int64_t nextId_ = 1;
};

// An IDCache that also keeps a record of data per identifier (the timer's flow and sampling
// points), written with the name into the identifier table.
template <typename Data>
class IDCacheData : public IDCache {
public:
    int64_t assign(const std::string& name) override { return assign(name, Data{}); }

    virtual int64_t assign(const std::string& name, const Data& value) {
        int64_t id = IDCache::assign(name);
        setData(id, value);
        return id;
    }

    virtual void setData(int64_t id, const Data& value) { data_[id] = value; }

    // The data of an identifier; empty data for one restored from the database.
    const Data& data(int64_t id) const {
        static const Data kEmpty{};
        auto it = data_.find(id);
        return it == data_.end() ? kEmpty : it->second;
    }

private:
    std::map<int64_t, Data> data_;
};

}  // namespace netsim
