#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/Exception.h"

namespace netsim::test {

// Where and how a raise site reports: the whole of what the host shows to the user.
struct Raised {
    std::string file;
    std::string function;
    int32_t line;
    std::string message;
};

inline void expectRaised(const std::function<void()>& action, const Raised& expected) {
    try {
        action();
        ADD_FAILURE() << "expected \"" << expected.message << "\" but nothing was raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), expected.message);
        EXPECT_EQ(e.function(), expected.function);
        EXPECT_EQ(e.file(), expected.file);
        EXPECT_EQ(e.line(), expected.line);
    }
}

}  // namespace netsim::test
