#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace appstart::test {

// Names a parameterised case after the `name` field of its parameter, in the
// characters test names allow.
template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

} // namespace appstart::test
