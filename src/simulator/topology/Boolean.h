#pragma once

#include <string>

namespace netsim {

// A flag read from topology text. Only the exact words "true" and "false" count: a file that
// says "True" or " true" was not written by the desktop application and is refused rather
// than guessed at.
class Boolean {
public:
    explicit Boolean(bool value = false) : value_(value) {}
    virtual ~Boolean() = default;
    Boolean(const Boolean&) = default;
    Boolean& operator=(const Boolean&) = default;

    // Leaves the flag unchanged when the text is refused.
    virtual void setValue(const std::string& text);

    bool value() const { return value_; }

private:
    bool value_;
};

}  // namespace netsim
