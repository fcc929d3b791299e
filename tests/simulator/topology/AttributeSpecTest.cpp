#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "common/Exception.h"
#include "simulator/topology/AttributeSpec.h"
#include "simulator/topology/TopologyTestSupport.h"

namespace netsim {
namespace {

using test::expectRaised;
using test::Raised;

Raised notValid(const std::string& file, const std::string& element, const std::string& attribute) {
    return {"simulator/Spec", "Spec::initAttribute", 27,
            file + ": element '" + element + "': attribute '" + attribute + "' not valid"};
}

// A two-level chain like those of the bus frames: each level stores its own names and passes
// the rest on.
class FrameSpec : public Spec {
public:
    FrameSpec(std::string file, std::string element) : Spec(std::move(file), std::move(element)) {}
    bool initAttribute(const std::string& name, const std::string& value) override {
        if (name != "name") return Spec::initAttribute(name, value);
        stored.push_back(name + "=" + value);
        return true;
    }
    std::vector<std::string> stored;
};

class CanFrameSpec : public FrameSpec {
public:
    explicit CanFrameSpec(std::string file) : FrameSpec(std::move(file), "CanBusFrame") {}
    bool initAttribute(const std::string& name, const std::string& value) override {
        if (name != "identifier") return FrameSpec::initAttribute(name, value);
        stored.push_back(name + "=" + value);
        return true;
    }
};

TEST(SpecTest, UnknownNamesEndInTheSharedRejection) {
    struct Case {
        const char* xml;
        std::string file;
        std::vector<std::string> stored;  // in the order offered, up to a rejection
        std::optional<Raised> raised;
    } cases[] = {
        {R"(<CanBusFrame identifier="0x10" name="f1"/>)",
         "net.orvo",
         {"identifier=0x10", "name=f1"},
         std::nullopt},
        {"<CanBusFrame/>", "net.orvo", {}, std::nullopt},
        {R"(<CanBusFrame name="f1" colour="red" identifier="1"/>)",
         "net.orvo",
         {"name=f1"},
         notValid("net.orvo", "CanBusFrame", "colour")},
        {R"(<CanBusFrame Name="f1"/>)", "net.orvo", {}, notValid("net.orvo", "CanBusFrame", "Name")},
        {R"(<CanBusFrame name="%s%n"/>)", "t%s.orvo", {"name=%s%n"}, std::nullopt},
        {R"(<CanBusFrame x="1"/>)", "t%s%n.orvo", {}, notValid("t%s%n.orvo", "CanBusFrame", "x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(c.xml));
        CanFrameSpec frame(c.file);
        if (c.raised) {
            expectRaised([&] { frame.initAttributes(document.document_element()); }, *c.raised);
        } else {
            frame.initAttributes(document.document_element());
        }
        EXPECT_EQ(frame.stored, c.stored);
    }
}

TEST(SpecTest, TheRejectionNamesTheElementTypeNotTheNode) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(R"(<Frame id="1"/>)"));
    FrameSpec linFrame("net.orvo", "LinBusFrame");
    expectRaised([&] { linFrame.initAttributes(document.document_element()); },
                 notValid("net.orvo", "LinBusFrame", "id"));
    EXPECT_EQ(linFrame.elementTypeName(), "LinBusFrame");
    EXPECT_EQ(linFrame.topologyFileName(), "net.orvo");
    // An absent node offers nothing.
    EXPECT_NO_THROW(linFrame.initAttributes(pugi::xml_node()));
}

}  // namespace
}  // namespace netsim
