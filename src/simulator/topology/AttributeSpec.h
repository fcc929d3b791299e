#pragma once

#include <string>

#include <pugixml.hpp>

namespace netsim {

// The attribute rules of one element type: the third way attributes are validated, beside
// the element reader and attribute lists. A subclass stores the values of the names it knows
// and passes every other name to its base class, so every chain of subclasses ends here in
// one shared rejection.
class Spec {
public:
    // The topology file name only fills the rejection message, which starts with it like the
    // other configuration errors.
    Spec(std::string topologyFileName, std::string elementTypeName);
    virtual ~Spec() = default;

    // Returns true once a value is stored; the base never returns.
    virtual bool initAttribute(const std::string& name, const std::string& value) = 0;

    // Offers every attribute of the node, in document order, to initAttribute.
    void initAttributes(pugi::xml_node node);

    const std::string& topologyFileName() const { return topologyFileName_; }
    const std::string& elementTypeName() const { return elementTypeName_; }

private:
    std::string topologyFileName_;
    std::string elementTypeName_;
};

}  // namespace netsim
