#include "simulator/kernel/RandomGenerator.h"

namespace netsim {

uint32_t RandomGenerator::resolveSeed(uint32_t seed) {
    if (seed != 0) return seed;
    std::random_device device;
    uint32_t drawn;
    do {
        drawn = device();
    } while (drawn == 0);
    return drawn;
}

// The span b - a + 1 wraps to 0 for the full range of the type; the quantised draw is
// then already inside the range, so it is used as it is rather than divided by zero.
uint8_t RandomGenerator::uniformInt8(uint8_t low, uint8_t high) {
    uint32_t span = static_cast<uint32_t>(high) - low + 1;
    return static_cast<uint8_t>(low + (next() % kQuantum) % span);
}

uint32_t RandomGenerator::uniformInt32(uint32_t low, uint32_t high) {
    uint32_t span = high - low + 1;
    uint32_t quantised = static_cast<uint32_t>(next() % kQuantum);
    return low + (span == 0 ? quantised : quantised % span);
}

uint64_t RandomGenerator::uniformInt64(uint64_t low, uint64_t high) {
    uint64_t span = high - low + 1;
    uint64_t quantised = next() % kQuantum;
    return low + (span == 0 ? quantised : quantised % span);
}

double RandomGenerator::uniformReal(double low, double high) {
    return static_cast<double>(next() % kQuantum) / static_cast<double>(kQuantum) * (high - low) + low;
}

}  // namespace netsim
