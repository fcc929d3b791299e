#include <gtest/gtest.h>

#include <string>

#include "common/Exception.h"

namespace netsim {
namespace {

TEST(ExceptionTest, LocatedAndMessageOnlyForms) {
    Exception located("simulator/Simulator", "Simulator::simulate", 250, "Too many events in queue for host %s",
                      "ECU1.CPU");
    EXPECT_STREQ(located.what(), "Too many events in queue for host ECU1.CPU");
    EXPECT_EQ(located.function(), "Simulator::simulate");
    EXPECT_EQ(located.file(), "simulator/Simulator");
    EXPECT_EQ(located.line(), 250);

    Exception plain("Value %lu of %s", 42UL, "x");
    EXPECT_STREQ(plain.what(), "Value 42 of x");
    EXPECT_EQ(plain.function(), "");
    EXPECT_EQ(plain.file(), "");
    EXPECT_EQ(plain.line(), 0);

    Exception copy = located;
    EXPECT_EQ(copy.message(), located.message());
    EXPECT_EQ(copy.line(), 250);
}

TEST(ExceptionTest, OverlongMessagesAreCutAtTheBuffer) {
    std::string huge(5000, 'x');
    Exception e("name '%s'", huge.c_str());
    EXPECT_EQ(e.message().size(), Exception::kMessageBufferSize - 1);
    EXPECT_EQ(e.message().substr(0, 6), "name '");
}

TEST(ExceptionTest, TextIsNeverReadAsAFormat) {
    Exception e = Exception::withText("simulator/ZAVURIV", "OldZAVURIV_Element::init", 153, "bad '%s%n%d'");
    EXPECT_STREQ(e.what(), "bad '%s%n%d'");
    EXPECT_EQ(e.line(), 153);
}

TEST(ExceptionTest, PlatformExceptionIsAMessageOnlyException) {
    try {
        throw PlatformException("Stat() failed on file");
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Stat() failed on file");
        EXPECT_EQ(e.line(), 0);
    }
}

}  // namespace
}  // namespace netsim
