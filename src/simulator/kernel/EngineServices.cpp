#include "simulator/kernel/EngineServices.h"

#include <atomic>

#include "common/Exception.h"

namespace netsim {
namespace {
EngineAccessor gAccessor = nullptr;
std::atomic<bool> gTolerateMacConflicts{false};
}  // namespace

bool tolerateMacConflicts() { return gTolerateMacConflicts.load(std::memory_order_relaxed); }

void setTolerateMacConflicts() { gTolerateMacConflicts.store(true, std::memory_order_relaxed); }

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
