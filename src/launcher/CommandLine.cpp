#include "CommandLine.h"

#include <cstdarg>
#include <cstdio>

namespace appstart {

void CommandLine::append(const char* format, ...)
{
    const std::size_t room = capacity - used_;
    if (room == 0)
        return;

    char* const start = block_.data() + used_;
    std::va_list list;
    va_start(list, format);
    const int wanted = std::vsnprintf(start, room, format, list);
    va_end(list);

    // An encoding error leaves nothing usable of this argument, yet it still
    // occupies its place so that the ones after it keep their positions.
    std::size_t length = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);
    if (length > room - 1)
        length = room - 1;
    start[length] = '\0';

    starts_.push_back(used_);
    used_ += length + 1;
}

std::vector<std::string_view> CommandLine::arguments() const
{
    std::vector<std::string_view> result;
    result.reserve(starts_.size());
    for (std::size_t start : starts_)
        result.emplace_back(block_.data() + start);
    return result;
}

std::vector<char*> CommandLine::argumentVector()
{
    std::vector<char*> result;
    result.reserve(starts_.size() + 1);
    for (std::size_t start : starts_)
        result.push_back(block_.data() + start);
    result.push_back(nullptr);
    return result;
}

} // namespace appstart
