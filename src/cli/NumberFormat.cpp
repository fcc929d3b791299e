#include "cli/NumberFormat.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <string_view>
#include <utility>

namespace netsim::cli {

NumberFormat::NumberFormat(std::string decimalSeparator, std::string groupSeparator)
    : decimalSeparator_(std::move(decimalSeparator)), groupSeparator_(std::move(groupSeparator)) {}

NumberFormat NumberFormat::fromCurrentLocale() {
    const std::lconv* conventions = std::localeconv();
    std::string decimal = conventions->decimal_point != nullptr && *conventions->decimal_point != '\0'
                              ? conventions->decimal_point
                              : ".";
    std::string group = conventions->thousands_sep != nullptr ? conventions->thousands_sep : "";
    if (group.empty()) group.assign(1, decimal == "," ? '.' : ',');
    return NumberFormat(std::move(decimal), std::move(group));
}

std::string NumberFormat::grouped(double value) const { return format(value, 3, true); }

std::string NumberFormat::plain(double value) const { return format(value, 15, false); }

std::string NumberFormat::format(double value, int maxDecimals, bool groupDigits) const {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";

    // Fixed notation of the largest double has 309 integer digits, of the smallest 324
    // decimals.
    char buffer[400];
    // The shortest digits that read back as the same double, so that 999.9996 is not written
    // with the noise of its binary form; only when they have too many decimals is the value
    // rounded (half to even on its exact binary value).
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) return "NaN";
    std::string_view shortest(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t point = shortest.find('.');
    if (point != std::string_view::npos && shortest.size() - point - 1 > static_cast<std::size_t>(maxDecimals)) {
        auto [roundedEnd, roundedError] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, maxDecimals);
        if (roundedError != std::errc()) return "NaN";
        end = roundedEnd;
    }
    std::string_view digits(buffer, static_cast<std::size_t>(end - buffer));

    bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    std::string_view integerPart = digits.substr(0, digits.find('.'));
    std::string_view decimals =
        integerPart.size() < digits.size() ? digits.substr(integerPart.size() + 1) : std::string_view();
    while (!decimals.empty() && decimals.back() == '0') decimals.remove_suffix(1);
    // A value that rounds to zero is written "0": a sign on it says nothing.
    if (negative && decimals.empty() && integerPart.find_first_not_of('0') == std::string_view::npos)
        negative = false;

    std::string text;
    if (negative) text += '-';
    for (std::size_t i = 0; i < integerPart.size(); ++i) {
        if (groupDigits && i > 0 && (integerPart.size() - i) % 3 == 0) text += groupSeparator_;
        text += integerPart[i];
    }
    if (!decimals.empty()) {
        text += decimalSeparator_;
        text += decimals;
    }
    return text;
}

}  // namespace netsim::cli
