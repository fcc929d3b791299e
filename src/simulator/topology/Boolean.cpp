#include "simulator/topology/Boolean.h"

#include "common/Exception.h"

namespace netsim {

void Boolean::setValue(const std::string& text) {
    if (text == "true") {
        value_ = true;
    } else if (text == "false") {
        value_ = false;
    } else {
        throw Exception("simulator/Boolean", "Boolean::setValue", 18,
                        "A parameter of type boolean must have the value 'true' or 'false'");
    }
}

}  // namespace netsim
