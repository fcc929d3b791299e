#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include <pugixml.hpp>

#include "common/Convert.h"
#include "common/Exception.h"
#include "simulator/topology/Boolean.h"
#include "simulator/topology/TopologyTestSupport.h"
#include "simulator/topology/ZAVURIV.h"

namespace netsim {
namespace {

using test::expectRaised;
using test::Raised;

constexpr const char* kReader = "simulator/ZAVURIV";
constexpr const char* kBooleanRefusal = "A parameter of type boolean must have the value 'true' or 'false'";

Raised refusedByInit(const std::string& element, const std::string& inner) {
    return {kReader, "OldZAVURIV_Element::init", 153, "ZAVURIV element '" + element + "': " + inner};
}

// Stands in for the stream filters' priority attribute: a number kept as text until asked.
class PriorityTextAttribute : public ZAVURIV_Attribute {
public:
    PriorityTextAttribute() : ZAVURIV_Attribute("priority") {}

    uint32_t getValueAsPriorityT() const override {
        uint32_t priority = 0;
        if (!Convert::toUInt32(value_, priority)) {
            throw Exception("test", "PriorityTextAttribute::getValueAsPriorityT", 1,
                            "priority '%s' is not a number", value_.c_str());
        }
        return priority;
    }
};

TEST(ZavurivAttributeTest, BaseGettersAskForASubclass) {
    ZAVURIV_Attribute attribute("priority", "3");
    struct Case {
        std::function<void()> get;
        const char* function;
        int32_t line;
    } cases[] = {
        {[&] { (void)attribute.getValueAsBoolean(); }, "ZAVURIV_Attribute::getValueAsBoolean", 29},
        {[&] { (void)attribute.getValueAsSizeT(); }, "ZAVURIV_Attribute::getValueAsSizeT", 37},
        {[&] { (void)attribute.getValueAsPriorityT(); }, "ZAVURIV_Attribute::getValueAsPriorityT", 33},
        {[&] { (void)attribute.getValueAsUint16(); }, "ZAVURIV_Attribute::getValueAsUint16", 41},
        {[&] { (void)attribute.getValueAsUint32(); }, "ZAVURIV_Attribute::getValueAsUint32", 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        expectRaised(c.get, {kReader, c.function, c.line, "Reimplement function in subclass"});
    }
    attribute.setValue("%s 7");
    EXPECT_EQ(attribute.value(), "%s 7");
    EXPECT_EQ(attribute.name(), "priority");
}

TEST(ZavurivAttributeTest, BooleanAcceptsOnlyTheExactWords) {
    struct Case {
        const char* text;
        bool accepted;
        bool value;
    } cases[] = {
        {"true", true, true},      {"false", true, false},  {"True", false, false},
        {" true", false, false},   {"true ", false, false}, {"TRUE", false, false},
        {"1", false, false},       {"", false, false},      {"yes", false, false},
        {"false\n", false, false}, {"tru", false, false},   {"truefalse", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        for (bool before : {false, true}) {
            Boolean flag(before);
            if (c.accepted) {
                flag.setValue(c.text);
                EXPECT_EQ(flag.value(), c.value);
            } else {
                expectRaised([&] { flag.setValue(c.text); },
                             {"simulator/Boolean", "Boolean::setValue", 18, kBooleanRefusal});
                EXPECT_EQ(flag.value(), before);
            }
        }
    }
}

TEST(ZavurivAttributeTest, BooleanAttributeWrapsTheRefusal) {
    struct Case {
        const char* defaultText;
        const char* text;
        bool value;  // after setValue, or the default's when it is refused
        bool refused;
    } cases[] = {
        {"false", "true", true, false}, {"true", "false", false, false}, {"false", "True", false, true},
        {"true", " true", true, true},  {"false", "%s%n", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.defaultText) + " then '" + c.text + "'");
        ZAVURIV_BooleanAttribute attribute("doy", c.defaultText);
        if (c.refused) {
            expectRaised([&] { attribute.setValue(c.text); },
                         {kReader, "ZAVURIV_BooleanAttribute::setAttributeValue", 71,
                          std::string("attribute 'doy': value is '") + c.text + "': " + kBooleanRefusal});
        } else {
            attribute.setValue(c.text);
        }
        EXPECT_EQ(attribute.getValueAsBoolean(), c.value);
        EXPECT_EQ(attribute.value(), c.defaultText);
    }
    expectRaised([] { ZAVURIV_BooleanAttribute attribute("doy", "no"); },
                 {"simulator/Boolean", "Boolean::setValue", 18, kBooleanRefusal});
}

TEST(ZavurivAttributeTest, FindAttributeMatchesTheExactName) {
    ZAVURIV_Attribute first("priority", "1");
    ZAVURIV_Attribute other("sduSize");
    ZAVURIV_Attribute repeated("priority", "2");
    ZAVURIV_AttributeList list{first, other, repeated};
    EXPECT_EQ(&list.findAttribute("priority"), &first);
    EXPECT_EQ(&list.findAttribute("sduSize"), &other);
    for (const char* name : {"Priority", "priority ", "", "%s%n"}) {
        SCOPED_TRACE(name);
        expectRaised([&] { list.findAttribute(name); }, {kReader, "ZAVURIV_AttributeList::findAttribute", 97,
                                                         std::string("invalid attribute: '") + name + "'"});
    }
    ZAVURIV_AttributeList empty;
    expectRaised([&] { empty.findAttribute("priority"); },
                 {kReader, "ZAVURIV_AttributeList::findAttribute", 97, "invalid attribute: 'priority'"});
}

TEST(ZavurivAttributeTest, InitHandsEveryAttributeToItsEntry) {
    struct Case {
        const char* xml;
        std::optional<Raised> raised;
        const char* name;
        const char* priority;
        bool blocked;
    } cases[] = {
        {R"(<StreamFilter name="sf1" priority="5" blocked="true"/>)", std::nullopt, "sf1", "5", true},
        // Document order: a repeated attribute overwrites the earlier value.
        {R"(<StreamFilter priority="3" name="a" name="b"/>)", std::nullopt, "b", "3", false},
        {"<StreamFilter/>", std::nullopt, "", "", false},
        {R"(<StreamFilter name="sf1" prio="3"/>)", refusedByInit("StreamFilter", "invalid attribute: 'prio'"),
         "", "", false},
        {R"(<StreamFilter Name="sf1"/>)", refusedByInit("StreamFilter", "invalid attribute: 'Name'"), "", "",
         false},
        {R"(<StreamFilter blocked="True"/>)",
         refusedByInit("StreamFilter",
                       std::string("attribute 'blocked': value is 'True': ") + kBooleanRefusal),
         "", "", false},
        {R"(<StreamFilter blocked="%s%n%d"/>)",
         refusedByInit("StreamFilter",
                       std::string("attribute 'blocked': value is '%s%n%d': ") + kBooleanRefusal),
         "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(c.xml));
        ZAVURIV_Attribute name("name");
        PriorityTextAttribute priority;
        ZAVURIV_BooleanAttribute blocked("blocked", "false");
        ZAVURIV_AttributeList list{name, priority, blocked};
        if (c.raised) {
            expectRaised([&] { OldZAVURIV_Element::init(list, document.document_element()); }, *c.raised);
            continue;
        }
        OldZAVURIV_Element::init(list, document.document_element());
        EXPECT_EQ(name.value(), c.name);
        EXPECT_EQ(priority.value(), c.priority);
        EXPECT_EQ(blocked.getValueAsBoolean(), c.blocked);
    }
}

TEST(ZavurivAttributeTest, PriorityTextIsAcceptedUntilItIsRead) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(R"(<StreamFilter priority="high"/>)"));
    PriorityTextAttribute priority;
    ZAVURIV_AttributeList list{priority};
    OldZAVURIV_Element::init(list, document.document_element());
    EXPECT_EQ(priority.value(), "high");
    expectRaised(
        [&] { (void)priority.getValueAsPriorityT(); },
        {"test", "PriorityTextAttribute::getValueAsPriorityT", 1, "priority 'high' is not a number"});
}

TEST(ZavurivAttributeTest, InitComposesItsMessageAsText) {
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("SF%s%n");
    node.append_attribute("%d%s") = "1";
    ZAVURIV_AttributeList list;
    expectRaised([&] { OldZAVURIV_Element::init(list, node); },
                 refusedByInit("SF%s%n", "invalid attribute: '%d%s'"));
    // An absent node has no attributes to refuse.
    EXPECT_NO_THROW(OldZAVURIV_Element::init(list, pugi::xml_node()));
}

TEST(ZavurivAttributeTest, InitLeavesOtherErrorsAlone) {
    class Exploding : public ZAVURIV_Attribute {
    public:
        Exploding() : ZAVURIV_Attribute("size") {}
        void setValue(const std::string&) override { throw std::length_error("too long"); }
    };
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(R"(<FlowMeter size="1"/>)"));
    Exploding size;
    ZAVURIV_AttributeList list{size};
    EXPECT_THROW(OldZAVURIV_Element::init(list, document.document_element()), std::length_error);
}

}  // namespace
}  // namespace netsim
