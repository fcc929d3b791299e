#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "simulator/kernel/RandomGenerator.h"

namespace netsim {
namespace {

TEST(RandomGeneratorTest, IsTheStandardMersenneTwister64) {
    RandomGenerator generator(5489);
    uint64_t value = 0;
    for (int i = 0; i < 10000; ++i) value = generator.next();
    EXPECT_EQ(value, 9981545732273789042ULL);
}

TEST(RandomGeneratorTest, SameSeedGivesSameDraws) {
    RandomGenerator a(5);
    RandomGenerator b(5);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(a.uniformInt32(10, 20), b.uniformInt32(10, 20));
        ASSERT_EQ(a.uniformReal(0.0, 1.0), b.uniformReal(0.0, 1.0));
    }
    EXPECT_EQ(a.seed(), 5u);
}

TEST(RandomGeneratorTest, DrawsStayInRangeAndAreQuantised) {
    RandomGenerator generator(42);
    for (int i = 0; i < 1000; ++i) {
        uint8_t small = generator.uniformInt8(3, 9);
        EXPECT_GE(small, 3);
        EXPECT_LE(small, 9);
        uint64_t wide = generator.uniformInt64(1000, 1000);
        EXPECT_EQ(wide, 1000u);
        double real = generator.uniformReal(0.0, 1.0);
        EXPECT_GE(real, 0.0);
        EXPECT_LT(real, 1.0);
        double millionths = real * 1e6;
        EXPECT_NEAR(millionths, std::round(millionths), 1e-6);
        // The full range of a type must not divide by zero.
        EXPECT_LT(generator.uniformInt32(0, UINT32_MAX), 1'000'000u);
        EXPECT_LT(generator.uniformInt64(0, UINT64_MAX), 1'000'000u);
    }
}

TEST(RandomGeneratorTest, ZeroSeedIsReplacedByARandomOne) {
    EXPECT_NE(RandomGenerator::resolveSeed(0), 0u);
    EXPECT_EQ(RandomGenerator::resolveSeed(17), 17u);
}

}  // namespace
}  // namespace netsim
