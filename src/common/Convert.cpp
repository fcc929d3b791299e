#include "common/Convert.h"

#include <cctype>
#include <climits>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <stdexcept>

#include "common/Exception.h"

namespace netsim::Convert {
namespace {
constexpr const char* kFile = "common/Convert";

template <typename T>
bool toNarrow(const std::string& text, T& value, uint64_t maximum) {
    uint64_t wide = 0;
    if (!toUInt64(text, wide) || wide > maximum) return false;
    value = static_cast<T>(wide);
    return true;
}

// A "C" numeric locale, created once; strtod_l then never depends on the process locale,
// so there is nothing to restore afterwards.
locale_t cLocale() {
    static locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
}  // namespace

std::string bitspeedToString(uint64_t bitsPerSecond) {
    switch (bitsPerSecond) {
        case 10'000'000ULL: return "10 Mbit/s";
        case 100'000'000ULL: return "100 Mbit/s";
        case 1'000'000'000ULL: return "1 Gbit/s";
        case 5'000'000'000ULL: return "5 Gbit/s";
        default:
            throw Exception(kFile, "Convert::bitspeedToString", 136, "Invalid bitspeed: %lu",
                            static_cast<unsigned long>(bitsPerSecond));
    }
}

std::string timeToString(double seconds) {
    if (seconds == 0.0) return "  0 s";
    const char* unit;
    double scaled;
    if (seconds >= 1.0) {
        unit = " s";
        scaled = seconds;
    } else if (seconds >= 0.001) {
        unit = " ms";
        scaled = seconds * 1000.0;
    } else if (seconds >= 1e-6) {
        unit = " us";
        scaled = seconds * 1e6;
    } else if (seconds >= 1e-9) {
        unit = " ns";
        scaled = seconds * 1e9;
    } else {
        unit = " ps";
        scaled = seconds * 1e12;
    }
    char format[16];
    std::snprintf(format, sizeof format, "%%%u.%ulf", 12u, 8u);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, scaled);
    std::string text(buffer);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return text + unit;
}

bool toUInt64(const std::string& text, uint64_t& value) {
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0' || *p == '-' || !std::isdigit(static_cast<unsigned char>(*p))) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long parsed = std::strtoull(p, &end, 10);
    // The all-ones value is refused as well as overflow: it is the conversion's own range
    // marker and cannot be told apart from an overflowed text by callers that store it.
    if (end == p || parsed == ULLONG_MAX) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (*end != '\0' || end != text.c_str() + text.size()) return false;
    value = parsed;
    return true;
}

bool toUInt32(const std::string& text, uint32_t& value) { return toNarrow(text, value, 4294967295ULL); }
bool toUInt16(const std::string& text, uint16_t& value) { return toNarrow(text, value, 65535ULL); }
bool toUInt8(const std::string& text, uint8_t& value) { return toNarrow(text, value, 255ULL); }

double toDouble(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    double value = strtod_l(begin, &end, cLocale());
    if (end == begin) throw std::invalid_argument("invalid stod argument");
    if (errno == ERANGE) throw std::out_of_range("stod argument out of range");
    return value;
}

std::string octetsToDotted(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", a, b, c, d);
    return buffer;
}

}  // namespace netsim::Convert
