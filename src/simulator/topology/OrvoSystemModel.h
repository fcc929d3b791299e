#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "simulator/kernel/ActiveResource.h"
#include "simulator/kernel/SimulationModel.h"
#include "simulator/stats/Timer.h"

namespace netsim {

// The whole simulated system built from one orvo-file: every device, link, bus, flow, table
// and timer, and the registries through which they find each other by name.
class OrvoSystemModel final : public SimulationModel, private SamplingPointDirectory {
public:
    static constexpr int kSupportedVersion = 40;

    OrvoSystemModel() = default;
    ~OrvoSystemModel() override = default;
    OrvoSystemModel(const OrvoSystemModel&) = delete;
    OrvoSystemModel& operator=(const OrvoSystemModel&) = delete;

    // Reads the file and builds its sections in their fixed order, then resolves what the
    // sections refer to. A fallback seed of 0 lets the generator draw its own.
    void load(const std::string& path, uint32_t fallbackSeed = 0);

    const std::string& topologyFileName() const { return topologyFileName_; }
    ActiveResourceList& activeResources() { return activeResources_; }
    const TimerSet& timers() const { return timers_; }

    // Lookups by exact name; each fails with its message when nothing is found. Devices are
    // searched hosts, base stations, sensors, switches; nodes also include the buses, after
    // the devices.
    Component& findDeviceWithName(const std::string& name) const;
    Component& findNodeWithName(const std::string& name) const;
    Name& findEthernetFlow(const std::string& name) const;
    Name& findIpFlow(const std::string& name) const;

    // Registries in construction order, filled by the section builders (not owning).
    struct Registries {
        std::vector<Component*> hosts, baseStations, sensors, switches;
        std::vector<Component*> canBuses, flexRayBuses, linBuses;
        std::vector<Name*> ethernetFlows, ipFlows;
    };
    Registries& registries() { return registries_; }

    // Called by the shutdown task at the end time: every port of every host, then of every
    // switch, learns that the simulation ends.
    void endSimulation(double time);

    void bootDevices(double& longestPeriod) override;
    void scheduleActions() override;
    void startFlexRayBuses() override;
    void endDevices(double finalTime) override;
    void finish(double endTime) override;

    // The sections of the file by name; of two with one name the later one counts.
    using Sections = std::map<std::string, pugi::xml_node>;

    // The names of the sections the file may have, in build order, and whether this engine
    // can build a section with content of that name.
    static bool isKnownSection(const std::string& name);

private:
    using SectionBuilder = void (OrvoSystemModel::*)(pugi::xml_node section);
    struct SectionStep {
        const char* section;
        SectionBuilder build;
    };
    using PostProcessor = void (OrvoSystemModel::*)(const Sections& sections);
    struct PostProcessingStep {
        const char* what;
        PostProcessor run;
    };
    static const SectionStep kBuildOrder[];
    static const PostProcessingStep kPostProcessing[];

    void validateZavuRivVersion(pugi::xml_node network);
    void refuseUnbuiltSection(pugi::xml_node section);
    void nothingToResolve(const Sections&) {}
    void buildTimers(const Sections& sections);
    void attachPortSampler(TimeSampler& sampler) override;
    void attachIpduSampler(TimeSampler& sampler) override;

    std::string topologyFileName_;
    ActiveResourceList activeResources_;
    TimerSet timers_;
    Registries registries_;
};

}  // namespace netsim
