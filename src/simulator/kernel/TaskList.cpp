#include "simulator/kernel/TaskList.h"

#include <algorithm>

#include "common/Exception.h"
#include "simulator/kernel/Task.h"

namespace netsim {

void TaskList::add(Task* task) {
    tasks_.push_back(task);
    members_.insert(task);
}

std::size_t TaskList::indexOf(Task* task) const {
    auto it = std::find(tasks_.begin(), tasks_.end(), task);
    if (it == tasks_.end())
        throw Exception("simulator/TaskList", "TaskList::findTask", 50, "No task with name '%s' found in list",
                        task != nullptr ? task->name().c_str() : "");
    return static_cast<std::size_t>(it - tasks_.begin());
}

void TaskList::removeAt(std::size_t index) {
    Task* task = tasks_.at(index);
    tasks_.erase(tasks_.begin() + static_cast<std::ptrdiff_t>(index));
    if (std::find(tasks_.begin(), tasks_.end(), task) == tasks_.end()) members_.erase(task);
}

void TaskList::clear() {
    for (Task* task : members_) delete task;
    tasks_.clear();
    members_.clear();
}

}  // namespace netsim
