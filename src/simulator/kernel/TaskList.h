#pragma once

#include <cstddef>
#include <set>
#include <vector>

namespace netsim {

class Task;

// Tasks in insertion order with a set for membership tests; owns the tasks it holds.
class TaskList {
public:
    TaskList() = default;
    ~TaskList() { clear(); }
    TaskList(const TaskList&) = delete;
    TaskList& operator=(const TaskList&) = delete;

    void add(Task* task);
    bool contains(Task* task) const { return members_.count(task) != 0; }
    std::size_t indexOf(Task* task) const;
    void removeAt(std::size_t index);
    void clear();

    std::size_t size() const { return tasks_.size(); }
    Task* at(std::size_t index) const { return tasks_.at(index); }
    auto begin() const { return tasks_.begin(); }
    auto end() const { return tasks_.end(); }

private:
    std::vector<Task*> tasks_;
    std::set<Task*> members_;
};

}  // namespace netsim
