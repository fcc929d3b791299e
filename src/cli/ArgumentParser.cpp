#include "cli/ArgumentParser.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <set>
#include <string_view>
#include <system_error>

namespace netsim::cli {
namespace {

struct Option {
    std::string_view key;
    bool takesValue;
};

constexpr Option kOptions[] = {
    {"-db", true}, {"-discard", false}, {"-experimental", false}, {"-jitter", true},
    {"-latency", true}, {"-r", true}, {"-s", true}, {"-t", true},
};

const Option* findOption(std::string_view key) {
    for (const Option& option : kOptions)
        if (option.key == key) return &option;
    return nullptr;
}

// The whole text must be the number; a leading '+' is accepted as well as a '-'.
template <typename Number>
bool parseWhole(std::string_view text, Number& value) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

// Infinite or undefined times are no durations a run could reach.
bool parseSeconds(std::string_view text, double& value) { return parseWhole(text, value) && std::isfinite(value); }

std::filesystem::path normalised(const std::string& text) { return std::filesystem::path(text).lexically_normal(); }

std::optional<std::string> applyValue(std::string_view key, const std::string& value, RunSettings& settings) {
    if (key == "-db") {
        settings.database = normalised(value);
    } else if (key == "-jitter") {
        settings.jitterCsv = normalised(value);
    } else if (key == "-latency") {
        settings.latencyCsv = normalised(value);
    } else if (key == "-r") {
        int32_t runs = 0;
        if (!parseWhole(value, runs)) return "[error] \"-r\" must be an integer";
        if (runs < 1) return "[error] \"-r\" must be >= 1";
        settings.runCount = runs;
    } else if (key == "-s") {
        int64_t seed = 0;
        if (!parseWhole(value, seed) || seed < 0 || seed > int64_t{UINT32_MAX}) return "[error] \"-s\" must be an uint32";
        settings.seed = static_cast<uint64_t>(seed);
    } else if (key == "-t") {
        double seconds = 0.0;
        if (!parseSeconds(value, seconds)) return "[error] \"-t\" must be a double";
        if (seconds < 1e-8) return "[error] \"-t\" must be >= 0.00000001";
        settings.simulatedTime = seconds;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ArgumentParser::parse(const std::vector<std::string>& arguments, RunSettings& settings) {
    settings.topologyFile = normalised(arguments.back());
    // The file is always the last argument, so an option's value must come before it.
    const std::size_t optionEnd = arguments.size() - 1;
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < optionEnd; ++i) {
        const std::string& argument = arguments[i];
        const Option* option = findOption(argument);
        if (option == nullptr) return "[error] Unknown argument [" + argument + "]";
        if (!seen.insert(option->key).second) return "[error] Argument [" + argument + "] is duplicated";
        if (!option->takesValue) {
            if (option->key == "-discard") settings.discardJobs = true;
            if (option->key == "-experimental") settings.experimental = true;
            continue;
        }
        if (i + 1 >= optionEnd) return "[error] Argument [" + argument + "] requires a parameter";
        if (auto error = applyValue(option->key, arguments[++i], settings)) return error;
    }
    return std::nullopt;
}

}  // namespace netsim::cli
