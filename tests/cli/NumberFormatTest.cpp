// Numbers as the log lines and the CSV files write them.

#include "cli/NumberFormat.h"

#include <clocale>
#include <string>

#include "gtest/gtest.h"

namespace netsim::cli {
namespace {

struct Formatted {
    double value;
    const char* grouped;  // log lines
    const char* plain;    // CSV values
};

class Numbers : public ::testing::TestWithParam<Formatted> {};

TEST_P(Numbers, AreWrittenWithoutTrailingZeros) {
    NumberFormat english(".", ",");
    EXPECT_EQ(english.grouped(GetParam().value), GetParam().grouped);
    EXPECT_EQ(english.plain(GetParam().value), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Table, Numbers,
                         ::testing::Values(Formatted{1.0, "1", "1"},                     //
                                           Formatted{0.0, "0", "0"},                     //
                                           Formatted{-0.5, "-0.5", "-0.5"},              //
                                           Formatted{1e-8, "0", "0.00000001"},           //
                                           Formatted{-1e-8, "0", "-0.00000001"},         //
                                           Formatted{-1e-16, "0", "0"},                  //
                                           Formatted{999.9996, "1,000", "999.9996"},     //
                                           Formatted{1234.5, "1,234.5", "1234.5"},       //
                                           Formatted{-1234567.25, "-1,234,567.25", "-1234567.25"},
                                           Formatted{123456.0004, "123,456", "123456.0004"},
                                           Formatted{0.1 + 0.2, "0.3", "0.3"},           //
                                           Formatted{1.0 / 3.0, "0.333", "0.333333333333333"},
                                           Formatted{1e21, "1,000,000,000,000,000,000,000", "1000000000000000000000"},
                                           // An exact tie rounds to the even digit; 0.0635 lies just above its tie.
                                           Formatted{0.0625, "0.062", "0.0625"},
                                           Formatted{0.0635, "0.064", "0.0635"}));

TEST(NumberFormat, SeparatorsAreTheGivenTexts) {
    NumberFormat german(",", ".");
    EXPECT_EQ(german.grouped(1234567.5), "1.234.567,5");
    EXPECT_EQ(german.plain(1234567.5), "1234567,5");
    NumberFormat swiss(".", "\xE2\x80\x99");
    EXPECT_EQ(swiss.grouped(1234.5), "1\xE2\x80\x99" "234.5");
}

TEST(NumberFormat, TheCLocaleStillGroupsDigits) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    NumberFormat numbers = NumberFormat::fromCurrentLocale();
    std::setlocale(LC_NUMERIC, previous.c_str());

    EXPECT_EQ(numbers.decimalSeparator(), ".");
    EXPECT_EQ(numbers.groupSeparator(), ",");
}

}  // namespace
}  // namespace netsim::cli
