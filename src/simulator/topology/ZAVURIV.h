#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

#include "simulator/topology/Boolean.h"

namespace netsim {

// One attribute taken off its node. Name and value are copied before the attribute is
// removed, so they stay readable after the element is finished and after the document is
// gone.
class ZAVURIV_AttributeExtractor {
public:
    // Takes the first attribute of exactly that name; fails when there is none. An absent
    // node has no attributes.
    ZAVURIV_AttributeExtractor(pugi::xml_node node, const std::string& name);

    // Takes the attribute when the node has one of that name.
    static std::optional<ZAVURIV_AttributeExtractor> extractOptional(pugi::xml_node node,
                                                                     const std::string& name);

    const std::string& name() const { return name_; }
    const std::string& value() const { return value_; }

private:
    ZAVURIV_AttributeExtractor(pugi::xml_node node, pugi::xml_attribute attribute);

    std::string name_;
    std::string value_;
};

// The reader through which model code reads one element of the topology file. Model code
// takes the attributes and children it understands; finish() then refuses, for a strict
// element, any attribute that nobody took. That is how a misspelt or unsupported attribute
// ends in an error naming it instead of being ignored.
//
// Taking an attribute removes it from the node once its text is copied, so every reader of
// the same node (a base class and its subclass, an attribute list, a Spec) sees only what is
// still unread, and the first untaken attribute in document order is simply the node's first
// attribute. Taking a child only marks it here: pugixml frees a removed node, while the
// caller goes on reading the child it took. A taken child therefore stays readable for as
// long as the document lives; pugixml's own node().children() still lists it, the views
// below do not.
//
// finish() must be called once reading has succeeded. The destructor never checks: it also
// runs while an earlier error unwinds, and a second error would end the process.
class ZAVURIV_Element {
public:
    // Reads an absent (empty) node as one without a name and without attributes.
    explicit ZAVURIV_Element(pugi::xml_node node, bool strict = true);
    ZAVURIV_Element(pugi::xml_node node, const std::string& expectedName, bool strict = true);
    // A string literal would otherwise convert to bool and silently pick the first form.
    ZAVURIV_Element(pugi::xml_node node, const char* expectedName, bool strict = true);
    ~ZAVURIV_Element();

    ZAVURIV_Element(const ZAVURIV_Element&) = delete;
    ZAVURIV_Element& operator=(const ZAVURIV_Element&) = delete;
    ZAVURIV_Element(ZAVURIV_Element&&) = delete;
    ZAVURIV_Element& operator=(ZAVURIV_Element&&) = delete;

    pugi::xml_node node() const { return node_; }
    std::string name() const { return node_.name(); }
    bool strict() const { return strict_; }

    ZAVURIV_AttributeExtractor requiredAttribute(const std::string& name);
    std::optional<ZAVURIV_AttributeExtractor> optionalAttribute(const std::string& name);

    // The first untaken child element of exactly that name; fails when there is none.
    pugi::xml_node requiredChild(const std::string& name);
    // As requiredChild, but an empty node when there is none.
    pugi::xml_node optionalChild(const std::string& name);

    // Untaken child elements only (no text, comments or instructions), in document order.
    std::size_t countChildren() const;
    std::size_t countChildren(const std::string& name) const;
    std::vector<pugi::xml_node> children() const;
    std::vector<pugi::xml_node> children(const std::string& name) const;

    // Ties a helper's lifetime to this reading: adopted objects are destroyed, last first, by
    // finish() or, when finish() is never reached, by the destructor. The object must not be
    // null.
    template <typename T>
    T& adopt(std::unique_ptr<T> object);

    // Fails a strict element that still carries an attribute, naming the first one left.
    void finish();

private:
    using Auxiliary = std::unique_ptr<void, void (*)(void*)>;

    bool isTaken(pugi::xml_node child) const;
    void releaseAuxiliaries() noexcept;

    pugi::xml_node node_;
    bool strict_;
    std::unordered_set<pugi::xml_node_struct*> takenChildren_;
    // Takes always remove the first untaken child of a name, so the taken ones of each name
    // are a prefix of that name's children; continuing after the last one keeps taking n
    // same-named children O(n) instead of O(n^2).
    std::unordered_map<std::string, pugi::xml_node> lastTakenChild_;
    std::vector<Auxiliary> auxiliaries_;
};

template <typename T>
T& ZAVURIV_Element::adopt(std::unique_ptr<T> object) {
    T& adopted = *object;
    // Owned by the holder before it is stored, so a failing push_back still deletes it.
    Auxiliary holder(object.release(), [](void* p) { delete static_cast<T*>(p); });
    auxiliaries_.push_back(std::move(holder));
    return adopted;
}

// Takes the first untaken child element of exactly that name from the parent; fails when
// there is none.
class ZAVURIV_RequiredChildElementExtractor {
public:
    ZAVURIV_RequiredChildElementExtractor(ZAVURIV_Element& parent, const std::string& name);

    pugi::xml_node node() const { return node_; }

private:
    pugi::xml_node node_;
};

// Mixed into model classes that read their own element: the name they expect it to have.
class ZAVURIV_ElementReader {
public:
    virtual ~ZAVURIV_ElementReader() = default;
    virtual const char* expectedElementName() const = 0;
};

// An attribute declared by a model object for the older, list-based reading. The value is
// kept as text and parsed only when a getter asks, so a bad number is reported by the
// subclass that knows what the number means.
class ZAVURIV_Attribute {
public:
    explicit ZAVURIV_Attribute(std::string name, std::string value = std::string());
    virtual ~ZAVURIV_Attribute() = default;
    ZAVURIV_Attribute(const ZAVURIV_Attribute&) = delete;
    ZAVURIV_Attribute& operator=(const ZAVURIV_Attribute&) = delete;

    // A subclass overrides the one getter that fits its meaning; the others fail.
    virtual bool getValueAsBoolean() const;
    virtual uint64_t getValueAsSizeT() const;
    virtual uint32_t getValueAsPriorityT() const;
    virtual uint16_t getValueAsUint16() const;
    virtual uint32_t getValueAsUint32() const;
    virtual void setValue(const std::string& value);

    const std::string& name() const { return name_; }
    const std::string& value() const { return value_; }

protected:
    std::string name_;
    std::string value_;
};

class ZAVURIV_BooleanAttribute : public ZAVURIV_Attribute {
public:
    // The default text is parsed at once and remains the attribute's raw value text.
    ZAVURIV_BooleanAttribute(std::string name, const std::string& defaultText);

    bool getValueAsBoolean() const override;
    void setValue(const std::string& text) override;

    const Boolean& flag() const { return flag_; }

private:
    Boolean flag_;
};

// The attributes a model object declares, in declaration order; the object owns them.
class ZAVURIV_AttributeList {
public:
    ZAVURIV_AttributeList() = default;
    ZAVURIV_AttributeList(std::initializer_list<std::reference_wrapper<ZAVURIV_Attribute>> attributes);

    void add(ZAVURIV_Attribute& attribute) { attributes_.push_back(&attribute); }

    // The first entry of exactly that name.
    ZAVURIV_Attribute& findAttribute(const std::string& name) const;

private:
    std::vector<ZAVURIV_Attribute*> attributes_;
};

class OldZAVURIV_Element {
public:
    // Hands every attribute of the node, in document order, to the list entry of its name.
    // Leaves the node as it is.
    static void init(ZAVURIV_AttributeList& list, pugi::xml_node node);
};

}  // namespace netsim
