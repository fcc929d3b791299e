#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace netsim {

class ActiveResource;
class JobRecordPool;

// One executed job for the results' Gantt trace. Records are pooled per task and travel to
// the results writer and back, so recording a job allocates nothing in steady state.
struct JobRecord {
    JobRecordPool* pool = nullptr;
    const ActiveResource* resource = nullptr;
    // Taken on the simulation thread when the record is made: the writer thread must never
    // ask the resource, whose qualified name is built lazily.
    std::string resourceName;
    std::string taskName;
    double start = 0.0;
    double end = 0.0;
    int32_t colour = -1;
};

class JobRecordPool {
public:
    JobRecordPool() = default;
    JobRecordPool(const JobRecordPool&) = delete;
    JobRecordPool& operator=(const JobRecordPool&) = delete;

    JobRecord* take() {
        if (free_.empty()) {
            owned_.push_back(std::make_unique<JobRecord>());
            owned_.back()->pool = this;
            return owned_.back().get();
        }
        JobRecord* record = free_.back();
        free_.pop_back();
        return record;
    }

    // Names are cleared, not released, so their storage serves the next job.
    void giveBack(JobRecord* record) {
        record->resource = nullptr;
        record->resourceName.clear();
        record->taskName.clear();
        record->start = 0.0;
        record->end = 0.0;
        record->colour = -1;
        free_.push_back(record);
    }

    std::size_t createdCount() const { return owned_.size(); }
    std::size_t freeCount() const { return free_.size(); }

private:
    std::vector<JobRecord*> free_;
    std::vector<std::unique_ptr<JobRecord>> owned_;
};

}  // namespace netsim
