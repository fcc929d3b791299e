#pragma once

#include <cstdint>

#include "common/Exception.h"

namespace netsim {

// Unsigned values of a fixed bit width held in 64 bits; frame header fields store their
// values in these so that an out-of-range value is refused where it is set.
template <unsigned Bits>
class UIntegerN {
public:
    static constexpr uint64_t kMaximum = Bits >= 64 ? ~0ULL : (1ULL << Bits) - 1;

    UIntegerN() = default;
    explicit UIntegerN(uint64_t value) { set(value); }

    static void validateValue(uint64_t value);
    void set(uint64_t value) {
        validateValue(value);
        value_ = value;
    }
    uint64_t get() const { return value_; }

private:
    uint64_t value_ = 0;
};

using UInteger48 = UIntegerN<48>;
using UInteger32 = UIntegerN<32>;

namespace detail {
[[noreturn]] inline void throwValueTooLarge(const char* file, const char* function, uint64_t value,
                                            uint64_t maximum, unsigned bits) {
    throw Exception(file, function, 36,
                    "Value %lu > %lu, which is the maximum value that can be stored in an unsigned %u bit variable",
                    static_cast<unsigned long>(value), static_cast<unsigned long>(maximum), bits);
}
}  // namespace detail

template <>
inline void UIntegerN<48>::validateValue(uint64_t value) {
    if (value > kMaximum)
        detail::throwValueTooLarge("common/UInteger48", "UInteger48::validateValue", value, kMaximum, 48);
}

template <>
inline void UIntegerN<32>::validateValue(uint64_t value) {
    if (value > kMaximum)
        detail::throwValueTooLarge("common/UInteger32", "UInteger32::validateValue", value, kMaximum, 32);
}

}  // namespace netsim
