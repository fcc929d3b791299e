#include "simulator/topology/AttributeSpec.h"

#include <utility>

#include "common/Exception.h"

namespace netsim {

Spec::Spec(std::string topologyFileName, std::string elementTypeName)
    : topologyFileName_(std::move(topologyFileName)), elementTypeName_(std::move(elementTypeName)) {}

bool Spec::initAttribute(const std::string& name, const std::string&) {
    throw Exception("simulator/Spec", "Spec::initAttribute", 27, "%s: element '%s': attribute '%s' not valid",
                    topologyFileName_.c_str(), elementTypeName_.c_str(), name.c_str());
}

void Spec::initAttributes(pugi::xml_node node) {
    for (pugi::xml_attribute attribute : node.attributes())
        initAttribute(attribute.name(), attribute.value());
}

}  // namespace netsim
