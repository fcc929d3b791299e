#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>

#include "common/Convert.h"
#include "common/Exception.h"
#include "common/UInteger.h"

namespace netsim {
namespace {

TEST(ConvertTest, UnsignedTextForEveryWidth) {
    struct Case {
        const char* text;
        bool ok64, ok32, ok16, ok8;
        uint64_t value;
    } cases[] = {
        {" 42 ", true, true, true, true, 42},
        {"\t7\n", true, true, true, true, 7},
        {"256", true, true, true, false, 256},
        {"65536", true, true, false, false, 65536},
        {"4294967296", true, false, false, false, 4294967296ULL},
        {"18446744073709551614", true, false, false, false, 18446744073709551614ULL},
        {"18446744073709551615", false, false, false, false, 0},
        {"99999999999999999999", false, false, false, false, 0},
        {"-1", false, false, false, false, 0},
        {" -1", false, false, false, false, 0},
        {"+1", false, false, false, false, 0},
        {"4x", false, false, false, false, 0},
        {"0x10", false, false, false, false, 0},
        {"", false, false, false, false, 0},
        {"   ", false, false, false, false, 0},
        {"1 2", false, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        uint64_t v64 = 0;
        uint32_t v32 = 0;
        uint16_t v16 = 0;
        uint8_t v8 = 0;
        EXPECT_EQ(Convert::toUInt64(c.text, v64), c.ok64);
        EXPECT_EQ(Convert::toUInt32(c.text, v32), c.ok32);
        EXPECT_EQ(Convert::toUInt16(c.text, v16), c.ok16);
        EXPECT_EQ(Convert::toUInt8(c.text, v8), c.ok8);
        if (c.ok64) {
            EXPECT_EQ(v64, c.value);
        }
        if (c.ok8) {
            EXPECT_EQ(v8, c.value);
        }
    }
}

TEST(ConvertTest, TimeToText) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0.0, "  0 s"},      {1.0, "  1 s"},     {0.0015, "  1.5 ms"},    {0.5, "500 ms"},
        {0.000123, "123 us"}, {1e-13, "  0.1 ps"}, {2.5e-9, "  2.5 ns"},   {12.25, " 12.25 s"},
        {-1.0, "-1000000000000 ps"},
    };
    for (const Case& c : cases) EXPECT_EQ(Convert::timeToString(c.seconds), c.text) << c.seconds;
}

TEST(ConvertTest, BitSpeedToText) {
    EXPECT_EQ(Convert::bitspeedToString(10'000'000), "10 Mbit/s");
    EXPECT_EQ(Convert::bitspeedToString(100'000'000), "100 Mbit/s");
    EXPECT_EQ(Convert::bitspeedToString(1'000'000'000), "1 Gbit/s");
    EXPECT_EQ(Convert::bitspeedToString(5'000'000'000), "5 Gbit/s");
    try {
        Convert::bitspeedToString(2'500'000'000);
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid bitspeed: 2500000000");
        EXPECT_EQ(e.function(), "Convert::bitspeedToString");
        EXPECT_EQ(e.file(), "common/Convert");
        EXPECT_EQ(e.line(), 136);
    }
}

TEST(ConvertTest, DoublesAreReadWithADecimalPointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(Convert::toDouble(" 0.125s"), 0.125);
    EXPECT_EQ(Convert::toDouble("1e-3"), 0.001);
    if (german) {
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "de_DE.UTF-8");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_THROW(
        try { Convert::toDouble("abc"); } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "invalid stod argument");
            throw;
        },
        std::invalid_argument);
    EXPECT_THROW(
        try { Convert::toDouble("1e999"); } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "stod argument out of range");
            throw;
        },
        std::out_of_range);
}

TEST(ConvertTest, DottedOctets) { EXPECT_EQ(Convert::octetsToDotted(192, 168, 0, 255), "192.168.0.255"); }

TEST(UIntegerTest, RefusesValuesBeyondItsWidth) {
    EXPECT_EQ(UInteger48(281474976710655ULL).get(), 281474976710655ULL);
    try {
        UInteger48 value(281474976710656ULL);
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(),
                     "Value 281474976710656 > 281474976710655, which is the maximum value that can be stored in an "
                     "unsigned 48 bit variable");
        EXPECT_EQ(e.function(), "UInteger48::validateValue");
        EXPECT_EQ(e.line(), 36);
    }
    EXPECT_THROW(UInteger32(4294967296ULL), Exception);
    EXPECT_EQ(UInteger32(4294967295ULL).get(), 4294967295ULL);
}

}  // namespace
}  // namespace netsim
