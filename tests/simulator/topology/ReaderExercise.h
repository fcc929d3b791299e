#pragma once

#include <functional>
#include <optional>
#include <string>

#include <pugixml.hpp>

#include "common/Exception.h"
#include "simulator/topology/Boolean.h"
#include "simulator/topology/AttributeSpec.h"
#include "simulator/topology/ZAVURIV.h"

// Readings of one node the way model builders read elements, shared by the mutation test and
// the libFuzzer target. Whatever the node is, each reading must either succeed or raise the
// engine's Exception; anything else, or a crash, is a fault of the reader.
namespace netsim::test {

class TimerSpec : public Spec {
public:
    TimerSpec() : Spec("mutated.orvo", "Timer") {}
    bool initAttribute(const std::string& name, const std::string& value) override {
        if (name != "name" && name != "object" && name != "start" && name != "stop" && name != "enabled") {
            return Spec::initAttribute(name, value);
        }
        return true;
    }
};

inline void readWithSpec(pugi::xml_node node) {
    TimerSpec timer;
    timer.initAttributes(node);
}

inline void readWithAttributeList(pugi::xml_node node) {
    ZAVURIV_Attribute name("name");
    ZAVURIV_Attribute object("object");
    ZAVURIV_Attribute start("start");
    ZAVURIV_Attribute stop("stop");
    ZAVURIV_BooleanAttribute enabled("enabled", "false");
    ZAVURIV_AttributeList list{name, object, start, stop, enabled};
    OldZAVURIV_Element::init(list, node);
}

// A strict reader with a few known attributes and children.
inline void readAsTimer(pugi::xml_node node) {
    ZAVURIV_Element timer(node, "Timer");
    timer.requiredAttribute("name");
    timer.requiredAttribute("object");
    timer.optionalAttribute("start");
    timer.optionalAttribute("stop");
    if (std::optional<ZAVURIV_AttributeExtractor> enabled = timer.optionalAttribute("enabled")) {
        Boolean flag;
        flag.setValue(enabled->value());
    }
    timer.requiredChild("Entry");
    for (pugi::xml_node entry : timer.children("Entry")) {
        ZAVURIV_Element reader(entry, "Entry", false);
        reader.optionalAttribute("t");
        reader.finish();
    }
    if (pugi::xml_node gate = timer.optionalChild("Gate")) {
        ZAVURIV_Element reader(gate, "Gate");
        reader.requiredAttribute("state");
        reader.finish();
    }
    timer.finish();
}

// A lenient walk over whatever is left, taking each element's first attribute.
inline void readAnyElement(pugi::xml_node node, int depth = 0) {
    ZAVURIV_Element element(node, false);
    if (pugi::xml_attribute first = node.first_attribute()) element.requiredAttribute(first.name());
    if (depth < 16) {
        for (pugi::xml_node child : element.children()) readAnyElement(child, depth + 1);
    }
    element.finish();
}

// Runs every reading on the node, in an order that keeps the non-destructive ones first.
// Engine exceptions go to onRaised; any other exception leaves this function.
inline void exerciseReaders(pugi::xml_node node, const std::function<void(const Exception&)>& onRaised) {
    const std::function<void(pugi::xml_node)> readings[] = {
        readWithSpec,
        readWithAttributeList,
        readAsTimer,
        [](pugi::xml_node n) { readAnyElement(n); },
    };
    for (const auto& reading : readings) {
        try {
            reading(node);
        } catch (const Exception& e) {
            onRaised(e);
        }
    }
}

}  // namespace netsim::test
