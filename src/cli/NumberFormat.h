#pragma once

#include <string>

namespace netsim::cli {

// The separators of the user's locale, read once at start-up so that the numbers the runner
// writes follow the user's conventions while the process itself keeps the "C" numeric
// locale: the engine runs in this process and its number conversions must not change with
// the user's settings.
class NumberFormat {
public:
    NumberFormat() = default;
    NumberFormat(std::string decimalSeparator, std::string groupSeparator);

    // The separators of the process's current LC_NUMERIC locale. The "C" locale has no group
    // separator; the log lines still group digits then, with ',' (or '.' where ',' is the
    // decimal separator) so that a group can never be mistaken for decimals.
    static NumberFormat fromCurrentLocale();

    // Log lines: digits grouped by three, at most three decimals, trailing zeros dropped.
    std::string grouped(double value) const;
    // CSV values: no grouping, at most fifteen decimals, trailing zeros dropped.
    std::string plain(double value) const;

    const std::string& decimalSeparator() const { return decimalSeparator_; }
    const std::string& groupSeparator() const { return groupSeparator_; }

private:
    std::string format(double value, int maxDecimals, bool groupDigits) const;

    std::string decimalSeparator_ = ".";
    std::string groupSeparator_ = ",";
};

}  // namespace netsim::cli
