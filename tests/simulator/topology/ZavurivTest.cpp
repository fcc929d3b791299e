#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "common/Exception.h"
#include "simulator/topology/TopologyTestSupport.h"
#include "simulator/topology/ZAVURIV.h"

namespace netsim {
namespace {

using test::expectRaised;
using test::Raised;

constexpr const char* kReader = "simulator/ZAVURIV";

Raised wrongName(const std::string& expected, const std::string& actual) {
    return {kReader, "ZAVURIV_Element::ZAVURIV_Element", 171,
            "Expected element named '" + expected + "', encountered: '" + actual + "'"};
}

Raised missingAttribute(const std::string& element, const std::string& attribute) {
    return {kReader, "ZAVURIV_AttributeExtractor::ZAVURIV_AttributeExtractor", 256,
            "ZAVURIV element '" + element + "': missing required attribute '" + attribute + "'"};
}

Raised missingChild(const std::string& element, const std::string& child) {
    return {kReader, "ZAVURIV_RequiredChildElementExtractor::ZAVURIV_RequiredChildElementExtractor", 245,
            "ZAVURIV element '" + element + "': missing required child element '" + child + "'"};
}

Raised invalidAttribute(const std::string& element, const std::string& attribute) {
    return {kReader, "ZAVURIV_Element::~ZAVURIV_Element", 181,
            "ZAVURIV element '" + element + "': invalid attribute: '" + attribute + "'"};
}

// One parsed document; its root element, or an absent node when there is no text.
class Document {
public:
    explicit Document(const char* xml, unsigned options = pugi::parse_default) {
        if (xml == nullptr) return;
        pugi::xml_parse_result result = document_.load_string(xml, options);
        EXPECT_TRUE(result) << result.description() << " in " << xml;
    }
    pugi::xml_node root() const { return document_.document_element(); }

private:
    pugi::xml_document document_;
};

class PortReader : public ZAVURIV_ElementReader {
public:
    const char* expectedElementName() const override { return "EthernetPort"; }
};

TEST(ZavurivElementTest, OpeningComparesTheExpectedNameExactly) {
    const PortReader portReader;
    struct Case {
        const char* xml;  // nullptr: an absent node
        std::string expected;
        std::optional<Raised> raised;
    } cases[] = {
        {"<Timer/>", "Timer", std::nullopt},
        {"<Timer/>", "timer", wrongName("timer", "Timer")},
        {"<Timers/>", "Timer", wrongName("Timer", "Timers")},
        {"<EthernetPort/>", portReader.expectedElementName(), std::nullopt},
        {nullptr, "Timer", wrongName("Timer", "")},
        {nullptr, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xml != nullptr ? c.xml : "(absent)") + " as '" + c.expected + "'");
        Document document(c.xml);
        // The literal and the string forms must both check the name; a literal that slipped
        // into the strict flag would open anything.
        const std::function<void()> opens[] = {
            [&] { ZAVURIV_Element(document.root(), c.expected.c_str()).finish(); },
            [&] { ZAVURIV_Element(document.root(), c.expected).finish(); },
            [&] { ZAVURIV_Element(document.root(), c.expected.c_str(), false).finish(); },
        };
        for (const auto& open : opens) {
            if (c.raised) {
                expectRaised(open, *c.raised);
            } else {
                EXPECT_NO_THROW(open());
            }
        }
    }
}

TEST(ZavurivElementTest, StrictReadingRefusesWhatNobodyTook) {
    struct Case {
        const char* title;
        const char* xml;  // nullptr: an absent node
        bool strict;
        std::vector<std::string> required;
        std::vector<std::string> optional;
        std::vector<std::string> requiredChildren;
        std::optional<Raised> raised;
    } cases[] = {
        {"every attribute taken", R"(<Timer name="t1" object="f1" start="ECU1.P1"/>)", true,
         {"name", "object"}, {"start", "stop"}, {}, std::nullopt},
        {"an untaken attribute fails at finish although the required ones are there",
         R"(<Timer name="t1" object="f1" colour="red"/>)", true, {"name", "object"}, {}, {},
         invalidAttribute("Timer", "colour")},
        {"the first untaken attribute in document order is named",
         R"(<Timer name="t1" zeta="1" object="f1" alpha="2"/>)", true, {"name", "object"}, {}, {},
         invalidAttribute("Timer", "zeta")},
        {"a wrong case is a missing required attribute", R"(<Timer Name="t1"/>)", true, {"name"}, {}, {},
         missingAttribute("Timer", "name")},
        {"a wrong case of an optional attribute is left for finish", R"(<Timer Name="t1"/>)", true, {},
         {"name"}, {}, invalidAttribute("Timer", "Name")},
        {"a non-strict element passes with an attribute nobody read", R"(<Timer name="t1" colour="red"/>)",
         false, {"name"}, {}, {}, std::nullopt},
        {"a non-strict element still needs its required attributes", R"(<Timer colour="red"/>)", false,
         {"name"}, {}, {}, missingAttribute("Timer", "name")},
        {"the second take of a name finds nothing", R"(<Timer name="t1"/>)", true, {"name", "name"}, {}, {},
         missingAttribute("Timer", "name")},
        {"a repeated attribute is refused at finish", R"(<Timer name="a" name="b"/>)", true, {"name"}, {}, {},
         invalidAttribute("Timer", "name")},
        {"the second take of a repeated attribute gets the repetition", R"(<Timer name="a" name="b"/>)", true,
         {"name", "name"}, {}, {}, std::nullopt},
        {"a missing required child", R"(<Bus name="b"><Frame/></Bus>)", true, {"name"}, {},
         {"Frame", "Frame"}, missingChild("Bus", "Frame")},
        {"a child is not an attribute", R"(<Bus><name/></Bus>)", true, {"name"}, {}, {},
         missingAttribute("Bus", "name")},
        {"an absent element has nothing to refuse", nullptr, true, {}, {"name"}, {}, std::nullopt},
        {"an absent element has no attributes", nullptr, true, {"name"}, {}, {}, missingAttribute("", "name")},
        {"an absent element has no children", nullptr, true, {}, {}, {"Frame"}, missingChild("", "Frame")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Document document(c.xml);
        auto read = [&] {
            ZAVURIV_Element element(document.root(), c.strict);
            for (const std::string& name : c.required) element.requiredAttribute(name);
            for (const std::string& name : c.optional) element.optionalAttribute(name);
            for (const std::string& name : c.requiredChildren) element.requiredChild(name);
            element.finish();
        };
        if (c.raised) {
            expectRaised(read, *c.raised);
        } else {
            EXPECT_NO_THROW(read());
        }
    }
}

TEST(ZavurivElementTest, NamesFromTheFileAreNeverReadAsFormats) {
    // The parser refuses '%' in names, but nodes may be built in code too.
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("T%s%n");
    node.append_attribute("%n%d") = "%s";
    struct Case {
        std::function<void()> read;
        Raised raised;
    } cases[] = {
        {[&] { ZAVURIV_Element element(node, "%s"); }, wrongName("%s", "T%s%n")},
        {[&] { ZAVURIV_Element(node).requiredAttribute("%x"); }, missingAttribute("T%s%n", "%x")},
        {[&] { ZAVURIV_Element(node).requiredChild("%p"); }, missingChild("T%s%n", "%p")},
        {[&] { ZAVURIV_Element(node).finish(); }, invalidAttribute("T%s%n", "%n%d")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raised.message);
        expectRaised(c.read, c.raised);
    }
}

TEST(ZavurivElementTest, TakenAttributesOutliveTheDocument) {
    std::optional<ZAVURIV_AttributeExtractor> name;
    std::optional<ZAVURIV_AttributeExtractor> start;
    std::optional<ZAVURIV_AttributeExtractor> stop;
    {
        Document document(R"(<Timer name="t1" start="ECU1.P1" object="f&amp;1"/>)");
        ZAVURIV_Element timer(document.root(), "Timer");
        name.emplace(timer.requiredAttribute("name"));
        start = timer.optionalAttribute("start");
        stop = timer.optionalAttribute("stop");
        // What is left on the node is exactly what has not been read.
        EXPECT_FALSE(document.root().attribute("name"));
        EXPECT_STREQ(document.root().first_attribute().name(), "object");
        EXPECT_EQ(timer.requiredAttribute("object").value(), "f&1");
        timer.finish();
    }
    ASSERT_TRUE(start.has_value());
    EXPECT_FALSE(stop.has_value());
    EXPECT_EQ(name->name(), "name");
    EXPECT_EQ(name->value(), "t1");
    EXPECT_EQ(start->name(), "start");
    EXPECT_EQ(start->value(), "ECU1.P1");
}

TEST(ZavurivElementTest, ReadersOfOneNodeSeeOnlyWhatIsStillUnread) {
    Document document(R"(<EthernetPort name="p1" portNumber="1" speed="100"/>)");
    // A base class reads its part of the element leniently, the subclass the rest strictly.
    ZAVURIV_Element base(document.root(), "EthernetPort", false);
    EXPECT_EQ(base.requiredAttribute("name").value(), "p1");
    base.finish();

    ZAVURIV_Element port(document.root(), "EthernetPort");
    EXPECT_FALSE(port.optionalAttribute("name").has_value());
    EXPECT_EQ(port.requiredAttribute("portNumber").value(), "1");
    // An attribute list fed the same node no longer meets what was taken.
    ZAVURIV_Attribute speed("speed");
    ZAVURIV_AttributeList list{speed};
    OldZAVURIV_Element::init(list, document.root());
    EXPECT_EQ(speed.value(), "100");
    expectRaised([&] { port.finish(); }, invalidAttribute("EthernetPort", "speed"));
}

std::vector<std::string> labels(const std::vector<pugi::xml_node>& nodes) {
    std::vector<std::string> result;
    for (pugi::xml_node node : nodes)
        result.push_back(std::string(node.name()) + node.attribute("id").value());
    return result;
}

TEST(ZavurivElementTest, ChildrenAreTakenInDocumentOrder) {
    Document document(R"(<Bus name="can1"><Frame id="1"/><!-- note --><?Frame instruction?><Frame id="2"/>)"
                      R"(text<Gateway id="g"/><Frame id="3"/></Bus>)",
                      pugi::parse_default | pugi::parse_pi | pugi::parse_comments);
    ZAVURIV_Element bus(document.root(), "Bus");
    EXPECT_EQ(bus.countChildren(), 4u);
    EXPECT_EQ(bus.countChildren("Frame"), 3u);
    EXPECT_EQ(labels(bus.children()), (std::vector<std::string>{"Frame1", "Frame2", "Gatewayg", "Frame3"}));

    pugi::xml_node first = bus.requiredChild("Frame");
    EXPECT_STREQ(first.attribute("id").value(), "1");
    EXPECT_STREQ(bus.requiredChild("Gateway").attribute("id").value(), "g");
    EXPECT_EQ(labels(bus.children()), (std::vector<std::string>{"Frame2", "Frame3"}));
    EXPECT_STREQ(bus.optionalChild("Frame").attribute("id").value(), "2");
    EXPECT_EQ(bus.countChildren("Frame"), 1u);
    EXPECT_EQ(labels(bus.children("Frame")), (std::vector<std::string>{"Frame3"}));
    EXPECT_STREQ(bus.requiredChild("Frame").attribute("id").value(), "3");
    EXPECT_FALSE(bus.optionalChild("Frame"));
    EXPECT_FALSE(bus.optionalChild("Gateway"));
    expectRaised([&] { bus.requiredChild("Frame"); }, missingChild("Bus", "Frame"));
    EXPECT_EQ(bus.countChildren(), 0u);

    // A taken child is read like any other element, and taking it left the parent's
    // attributes alone.
    ZAVURIV_Element frame(first, "Frame");
    EXPECT_EQ(frame.requiredAttribute("id").value(), "1");
    frame.finish();
    expectRaised([&] { bus.finish(); }, invalidAttribute("Bus", "name"));
}

TEST(ZavurivElementTest, AdoptedObjectsAreDestroyedLastFirst) {
    struct Recorder {
        Recorder(std::vector<std::string>* destination, std::string label)
            : log(destination), name(std::move(label)) {}
        ~Recorder() { log->push_back(name); }
        std::vector<std::string>* log;
        std::string name;
    };
    struct Case {
        const char* xml;
        bool finishFails;
    } cases[] = {{"<Timer/>", false}, {R"(<Timer colour="red"/>)", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        Document document(c.xml);
        std::vector<std::string> log;
        {
            ZAVURIV_Element timer(document.root(), "Timer");
            timer.adopt(std::make_unique<Recorder>(&log, "first"));
            Recorder& second = timer.adopt(std::make_unique<Recorder>(&log, "second"));
            EXPECT_EQ(second.name, "second");
            if (c.finishFails) {
                EXPECT_THROW(timer.finish(), Exception);
                EXPECT_TRUE(log.empty());
            } else {
                timer.finish();
                EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
            }
        }
        EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
    }
}

}  // namespace
}  // namespace netsim
