#include "simulator/topology/ZAVURIV.h"

#include <utility>

#include "common/Exception.h"

namespace netsim {
namespace {
constexpr const char* kFile = "simulator/ZAVURIV";

// Only elements count as children: text, comments and processing instructions carry no
// topology, and an instruction may share an element's name.
bool isElementNamed(pugi::xml_node child, const std::string& name) {
    return child.type() == pugi::node_element && name == child.name();
}

pugi::xml_attribute findRequiredAttribute(pugi::xml_node node, const std::string& name) {
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute) {
        throw Exception(kFile, "ZAVURIV_AttributeExtractor::ZAVURIV_AttributeExtractor", 256,
                        "ZAVURIV element '%s': missing required attribute '%s'", node.name(), name.c_str());
    }
    return attribute;
}

[[noreturn]] void failInSubclass(const char* function, int32_t line) {
    throw Exception(kFile, function, line, "Reimplement function in subclass");
}
}  // namespace

ZAVURIV_AttributeExtractor::ZAVURIV_AttributeExtractor(pugi::xml_node node, const std::string& name)
    : ZAVURIV_AttributeExtractor(node, findRequiredAttribute(node, name)) {}

ZAVURIV_AttributeExtractor::ZAVURIV_AttributeExtractor(pugi::xml_node node, pugi::xml_attribute attribute)
    : name_(attribute.name()), value_(attribute.value()) {
    node.remove_attribute(attribute);
}

std::optional<ZAVURIV_AttributeExtractor> ZAVURIV_AttributeExtractor::extractOptional(
    pugi::xml_node node, const std::string& name) {
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute) return std::nullopt;
    return ZAVURIV_AttributeExtractor(node, attribute);
}

ZAVURIV_Element::ZAVURIV_Element(pugi::xml_node node, bool strict) : node_(node), strict_(strict) {}

ZAVURIV_Element::ZAVURIV_Element(pugi::xml_node node, const std::string& expectedName, bool strict)
    : node_(node), strict_(strict) {
    if (expectedName != node.name()) {
        throw Exception(kFile, "ZAVURIV_Element::ZAVURIV_Element", 171,
                        "Expected element named '%s', encountered: '%s'", expectedName.c_str(), node.name());
    }
}

ZAVURIV_Element::ZAVURIV_Element(pugi::xml_node node, const char* expectedName, bool strict)
    : ZAVURIV_Element(node, std::string(expectedName != nullptr ? expectedName : ""), strict) {}

ZAVURIV_Element::~ZAVURIV_Element() { releaseAuxiliaries(); }

ZAVURIV_AttributeExtractor ZAVURIV_Element::requiredAttribute(const std::string& name) {
    return ZAVURIV_AttributeExtractor(node_, name);
}

std::optional<ZAVURIV_AttributeExtractor> ZAVURIV_Element::optionalAttribute(const std::string& name) {
    return ZAVURIV_AttributeExtractor::extractOptional(node_, name);
}

pugi::xml_node ZAVURIV_Element::requiredChild(const std::string& name) {
    return ZAVURIV_RequiredChildElementExtractor(*this, name).node();
}

pugi::xml_node ZAVURIV_Element::optionalChild(const std::string& name) {
    auto last = lastTakenChild_.find(name);
    pugi::xml_node child =
        last != lastTakenChild_.end() ? last->second.next_sibling(name.c_str()) : node_.child(name.c_str());
    while (child && !isElementNamed(child, name)) child = child.next_sibling(name.c_str());
    if (!child) return child;
    takenChildren_.insert(child.internal_object());
    lastTakenChild_[name] = child;
    return child;
}

std::size_t ZAVURIV_Element::countChildren() const { return children().size(); }

std::size_t ZAVURIV_Element::countChildren(const std::string& name) const { return children(name).size(); }

std::vector<pugi::xml_node> ZAVURIV_Element::children() const {
    std::vector<pugi::xml_node> result;
    for (pugi::xml_node child : node_.children()) {
        if (child.type() == pugi::node_element && !isTaken(child)) result.push_back(child);
    }
    return result;
}

std::vector<pugi::xml_node> ZAVURIV_Element::children(const std::string& name) const {
    std::vector<pugi::xml_node> result;
    for (pugi::xml_node child : node_.children(name.c_str())) {
        if (isElementNamed(child, name) && !isTaken(child)) result.push_back(child);
    }
    return result;
}

void ZAVURIV_Element::finish() {
    if (strict_) {
        if (pugi::xml_attribute left = node_.first_attribute()) {
            // Named after the destructor: the function is part of the error the desktop
            // application shows, and users know this check under that name.
            throw Exception(kFile, "ZAVURIV_Element::~ZAVURIV_Element", 181,
                            "ZAVURIV element '%s': invalid attribute: '%s'", node_.name(), left.name());
        }
    }
    releaseAuxiliaries();
}

bool ZAVURIV_Element::isTaken(pugi::xml_node child) const {
    return takenChildren_.count(child.internal_object()) != 0;
}

void ZAVURIV_Element::releaseAuxiliaries() noexcept {
    while (!auxiliaries_.empty()) auxiliaries_.pop_back();
}

ZAVURIV_RequiredChildElementExtractor::ZAVURIV_RequiredChildElementExtractor(ZAVURIV_Element& parent,
                                                                             const std::string& name)
    : node_(parent.optionalChild(name)) {
    if (!node_) {
        throw Exception(kFile, "ZAVURIV_RequiredChildElementExtractor::ZAVURIV_RequiredChildElementExtractor",
                        245, "ZAVURIV element '%s': missing required child element '%s'",
                        parent.node().name(), name.c_str());
    }
}

ZAVURIV_Attribute::ZAVURIV_Attribute(std::string name, std::string value)
    : name_(std::move(name)), value_(std::move(value)) {}

bool ZAVURIV_Attribute::getValueAsBoolean() const {
    failInSubclass("ZAVURIV_Attribute::getValueAsBoolean", 29);
}

uint64_t ZAVURIV_Attribute::getValueAsSizeT() const {
    failInSubclass("ZAVURIV_Attribute::getValueAsSizeT", 37);
}

uint32_t ZAVURIV_Attribute::getValueAsPriorityT() const {
    failInSubclass("ZAVURIV_Attribute::getValueAsPriorityT", 33);
}

uint16_t ZAVURIV_Attribute::getValueAsUint16() const {
    failInSubclass("ZAVURIV_Attribute::getValueAsUint16", 41);
}

uint32_t ZAVURIV_Attribute::getValueAsUint32() const {
    failInSubclass("ZAVURIV_Attribute::getValueAsUint32", 45);
}

void ZAVURIV_Attribute::setValue(const std::string& value) { value_ = value; }

ZAVURIV_BooleanAttribute::ZAVURIV_BooleanAttribute(std::string name, const std::string& defaultText)
    : ZAVURIV_Attribute(std::move(name), defaultText) {
    flag_.setValue(defaultText);
}

bool ZAVURIV_BooleanAttribute::getValueAsBoolean() const { return flag_.value(); }

void ZAVURIV_BooleanAttribute::setValue(const std::string& text) {
    try {
        flag_.setValue(text);
    } catch (const Exception& e) {
        throw Exception(kFile, "ZAVURIV_BooleanAttribute::setAttributeValue", 71,
                        "attribute '%s': value is '%s': %s", name_.c_str(), text.c_str(),
                        e.message().c_str());
    }
}

ZAVURIV_AttributeList::ZAVURIV_AttributeList(
    std::initializer_list<std::reference_wrapper<ZAVURIV_Attribute>> attributes) {
    for (ZAVURIV_Attribute& attribute : attributes) add(attribute);
}

ZAVURIV_Attribute& ZAVURIV_AttributeList::findAttribute(const std::string& name) const {
    for (ZAVURIV_Attribute* attribute : attributes_) {
        if (attribute->name() == name) return *attribute;
    }
    throw Exception(kFile, "ZAVURIV_AttributeList::findAttribute", 97, "invalid attribute: '%s'",
                    name.c_str());
}

void OldZAVURIV_Element::init(ZAVURIV_AttributeList& list, pugi::xml_node node) {
    try {
        for (pugi::xml_attribute attribute : node.attributes()) {
            list.findAttribute(attribute.name()).setValue(attribute.value());
        }
    } catch (const Exception& e) {
        // Element and attribute names come from the file and may hold '%'.
        throw Exception::withText(kFile, "OldZAVURIV_Element::init", 153,
                                  std::string("ZAVURIV element '") + node.name() + "': " + e.message());
    }
}

}  // namespace netsim
