#include "simulator/kernel/EngineServices.h"

#include "common/Exception.h"

namespace netsim {
namespace {
EngineAccessor gAccessor = nullptr;
}

EngineServices& engine() {
    if (gAccessor == nullptr) throw Exception("No engine context is available");
    return gAccessor();
}

EngineAccessor installEngineAccessor(EngineAccessor accessor) {
    EngineAccessor previous = gAccessor;
    gAccessor = accessor;
    return previous;
}

}  // namespace netsim
