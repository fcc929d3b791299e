#pragma once

#include <cstdint>
#include <random>

namespace netsim {

// The run's single source of randomness: MT19937-64 seeded with a 32-bit value. Every draw
// takes one output and is quantised to a millionth of its range; the order of draws is part
// of the results, so callers keep the order they document.
class RandomGenerator {
public:
    static constexpr uint64_t kQuantum = 1'000'000;

    explicit RandomGenerator(uint32_t seed) : engine_(seed), seed_(seed) {}

    // A seed of 0 asks for one from the platform's random device (never 0 itself).
    static uint32_t resolveSeed(uint32_t seed);

    uint32_t seed() const { return seed_; }
    uint64_t next() { return engine_(); }

    uint8_t uniformInt8(uint8_t low, uint8_t high);
    uint32_t uniformInt32(uint32_t low, uint32_t high);
    uint64_t uniformInt64(uint64_t low, uint64_t high);
    double uniformReal(double low, double high);

private:
    std::mt19937_64 engine_;
    uint32_t seed_;
};

}  // namespace netsim
