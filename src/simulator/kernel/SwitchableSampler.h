#pragma once

namespace netsim {

// A measurement point that the simulator can switch off for good once the run starts to
// wind down, so that frames still in flight are no longer measured.
class SwitchableSampler {
public:
    virtual ~SwitchableSampler() = default;
    bool isEnabled() const { return enabled_; }
    void switchOff() { enabled_ = false; }

private:
    bool enabled_ = true;
};

}  // namespace netsim
