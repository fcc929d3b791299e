#pragma once

#include <cstdint>
#include <string>

namespace netsim {

// Text forms of the engine's units, and the strict number parsing used for attribute values.
namespace Convert {

// 10 Mbit/s, 100 Mbit/s, 1 Gbit/s and 5 Gbit/s are the only speeds with a text.
std::string bitspeedToString(uint64_t bitsPerSecond);

// Seconds as a fixed-width value with the largest fitting unit, e.g. "  1.5 ms".
std::string timeToString(double seconds);

// Decimal digits with optional surrounding whitespace; false on anything else or overflow.
bool toUInt64(const std::string& text, uint64_t& value);
bool toUInt32(const std::string& text, uint32_t& value);
bool toUInt16(const std::string& text, uint16_t& value);
bool toUInt8(const std::string& text, uint8_t& value);

// Decimal parsing in the "C" locale whatever the process locale is. Throws
// std::invalid_argument ("invalid stod argument") or std::out_of_range ("stod argument out
// of range").
double toDouble(const std::string& text);

std::string octetsToDotted(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

}  // namespace Convert
}  // namespace netsim
