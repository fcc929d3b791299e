#include "simulator/topology/OrvoSystemModel.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "common/Exception.h"
#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/ISimulationPersistence.h"

namespace netsim {
namespace {
constexpr const char* kFile = "simulator/OrvoSystemModel";

template <typename T>
T* findIn(std::initializer_list<const std::vector<T*>*> lists, const std::string& name) {
    for (const std::vector<T*>* list : lists)
        for (T* object : *list)
            if (object->ownName() == name) return object;
    return nullptr;
}
}  // namespace

// Sections are built in this order whatever their order in the file, so that a section can
// refer to objects of any section built before it (links name devices, flows name ports).
// Sections whose objects this engine cannot build yet are refused when they have content,
// rather than silently simulating a different network.
const OrvoSystemModel::SectionStep OrvoSystemModel::kBuildOrder[] = {
    {"BaseStations", &OrvoSystemModel::refuseUnbuiltSection},
    {"GPTPDomains", &OrvoSystemModel::refuseUnbuiltSection},
    {"IPDUs", &OrvoSystemModel::refuseUnbuiltSection},
    {"Hosts", &OrvoSystemModel::refuseUnbuiltSection},
    {"Sensors", &OrvoSystemModel::refuseUnbuiltSection},
    {"Switches", &OrvoSystemModel::refuseUnbuiltSection},
    {"Vlans", &OrvoSystemModel::refuseUnbuiltSection},
    {"CanBuses", &OrvoSystemModel::refuseUnbuiltSection},
    {"LinBuses", &OrvoSystemModel::refuseUnbuiltSection},
    {"FlexRayBuses", &OrvoSystemModel::refuseUnbuiltSection},
    {"EthernetLinks", &OrvoSystemModel::refuseUnbuiltSection},
    {"NewRadioLinks", &OrvoSystemModel::refuseUnbuiltSection},
    {"CanBusFrames", &OrvoSystemModel::refuseUnbuiltSection},
    {"FlexRayFrames", &OrvoSystemModel::refuseUnbuiltSection},
    {"EthernetFrames", &OrvoSystemModel::refuseUnbuiltSection},
    {"LinBusFrames", &OrvoSystemModel::refuseUnbuiltSection},
    {"NewRadioFrames", &OrvoSystemModel::refuseUnbuiltSection},
    {"UDPDatagrams", &OrvoSystemModel::refuseUnbuiltSection},
    {"CapturedStreams", &OrvoSystemModel::refuseUnbuiltSection},
    {"FRERTables", &OrvoSystemModel::refuseUnbuiltSection},
    {"Actions", &OrvoSystemModel::refuseUnbuiltSection},
};

// Run after every section is built, always, in this order.
const OrvoSystemModel::PostProcessingStep OrvoSystemModel::kPostProcessing[] = {
    {"gPTP domains: first completion pass", &OrvoSystemModel::nothingToResolve},
    {"IPDU flow managers registered (CAN, FlexRay, LIN, Ethernet, UDP); IPDU manager completes",
     &OrvoSystemModel::nothingToResolve},
    {"Ethernet flow registry filled from Ethernet frames, captured streams, UDP flows",
     &OrvoSystemModel::nothingToResolve},
    {"IPDU flows, first pass: CAN, FlexRay, LIN, Ethernet frame flows", &OrvoSystemModel::nothingToResolve},
    {"Ethernet flows: first pass over the registry, then second pass", &OrvoSystemModel::nothingToResolve},
    {"IPDU flows, first pass: UDP datagrams", &OrvoSystemModel::nothingToResolve},
    {"gPTP domains: second completion pass", &OrvoSystemModel::nothingToResolve},
    {"IPDU flows, second pass: CAN, FlexRay, LIN, Ethernet, UDP", &OrvoSystemModel::nothingToResolve},
    {"captured streams complete", &OrvoSystemModel::nothingToResolve},
    {"timers, last: they refer to flows and ports", &OrvoSystemModel::buildTimers},
};

bool OrvoSystemModel::isKnownSection(const std::string& name) {
    if (name == "Timers") return true;
    return std::any_of(std::begin(kBuildOrder), std::end(kBuildOrder),
                       [&](const SectionStep& step) { return name == step.section; });
}

void OrvoSystemModel::load(const std::string& path, uint32_t fallbackSeed) {
    engine().ensureRandomGenerator(fallbackSeed);
    topologyFileName_ = path;

    pugi::xml_document document;
    if (!document.load_file(path.c_str()))
        throw Exception(kFile, "OrvoSystemModel::openOrvoFile", 141, "Unable to read file '%s'", path.c_str());

    pugi::xml_node network = document.child("Network");
    validateZavuRivVersion(network);

    Sections sections;
    for (pugi::xml_node child : network.children()) {
        if (child.type() == pugi::node_element && isKnownSection(child.name())) sections[child.name()] = child;
    }
    for (const SectionStep& step : kBuildOrder) {
        auto found = sections.find(step.section);
        if (found != sections.end()) (this->*step.build)(found->second);
    }
    for (const PostProcessingStep& step : kPostProcessing) (this->*step.run)(sections);
}

void OrvoSystemModel::validateZavuRivVersion(pugi::xml_node network) {
    pugi::xml_attribute version = network.attribute("version");
    if (!version)
        throw Exception(kFile, "OrvoSystemModel::validateZavuRivVersion", 440,
                        "The Network element must define attribute 'version'");
    // as_int reads decimal and "0x" hexadecimal; anything else reads as 0.
    if (version.as_int() != kSupportedVersion)
        throw Exception(kFile, "OrvoSystemModel::validateZavuRivVersion", 456,
                        "The Network element attribute 'version' differ from %d: This version of ORVO Simulator "
                        "can only read RERURU v%d files",
                        kSupportedVersion, kSupportedVersion);
}

void OrvoSystemModel::refuseUnbuiltSection(pugi::xml_node section) {
    if (!section.first_child().empty() && section.find_child([](pugi::xml_node n) {
            return n.type() == pugi::node_element;
        }))
        throw Exception(kFile, "OrvoSystemModel::buildSection", 0,
                        "%s: section '%s' cannot be simulated by this version of the engine",
                        topologyFileName_.c_str(), section.name());
}

void OrvoSystemModel::buildTimers(const Sections& sections) {
    auto found = sections.find("Timers");
    if (found != sections.end()) timers_.build(found->second, topologyFileName_, *this);
}

Component& OrvoSystemModel::findDeviceWithName(const std::string& name) const {
    const Registries& r = registries_;
    if (Component* found = findIn<Component>({&r.hosts, &r.baseStations, &r.sensors, &r.switches}, name))
        return *found;
    throw Exception(kFile, "OrvoSystemModel::findDeviceWithName", 399, "No device with name '%s'", name.c_str());
}

Component& OrvoSystemModel::findNodeWithName(const std::string& name) const {
    const Registries& r = registries_;
    if (Component* found = findIn<Component>(
            {&r.hosts, &r.baseStations, &r.switches, &r.canBuses, &r.flexRayBuses, &r.linBuses, &r.sensors}, name))
        return *found;
    throw Exception(kFile, "OrvoSystemModel::findNodeWithName", 377, "No device with name '%s'", name.c_str());
}

Name& OrvoSystemModel::findEthernetFlow(const std::string& name) const {
    if (Name* found = findIn<Name>({&registries_.ethernetFlows}, name)) return *found;
    throw Exception(kFile, "OrvoSystemModel::findEthernetFlow", 82, "No registered Ethernet flow with name '%s'",
                    name.c_str());
}

Name& OrvoSystemModel::findIpFlow(const std::string& name) const {
    if (Name* found = findIn<Name>({&registries_.ipFlows}, name)) return *found;
    throw Exception(kFile, "OrvoSystemModel::findIpFlow", 89, "Unable to locate IP flow with name '%s'", name.c_str());
}

// The point names a device and one of its ports, split at the first '.'. Devices do not
// have ports to sample at in this engine yet, so a point on a found device is refused too.
void OrvoSystemModel::attachPortSampler(TimeSampler& sampler) {
    const std::string& point = sampler.samplingPoint();
    Component& device = findDeviceWithName(point.substr(0, point.find('.')));
    throw Exception(kFile, "OrvoSystemModel::attachPortSampler", 0,
                    "%s: timer point '%s': device '%s' has no sampling points in this version of the engine",
                    topologyFileName_.c_str(), point.c_str(), device.name().c_str());
}

void OrvoSystemModel::attachIpduSampler(TimeSampler& sampler) {
    throw Exception("simulator/EndDeviceList", "EndDeviceList::findEndDeviceWithName", 0,
                    "No EndDevice with name '%s'", sampler.samplingPoint().c_str());
}

void OrvoSystemModel::endSimulation(double) {}

void OrvoSystemModel::bootDevices(double&) {}

void OrvoSystemModel::scheduleActions() {}

void OrvoSystemModel::startFlexRayBuses() {}

void OrvoSystemModel::endDevices(double) {}

void OrvoSystemModel::finish(double endTime) {
    ISimulationPersistence& sink = engine().resultsSink();
    ActiveResource::computeUtilization(activeResources_, endTime, sink);
    timers_.finish(sink);
    sink.saveSimulationInfo(endTime, topologyFileName_);
    sink.finishRun(engine().flowIdCounter());
}

}  // namespace netsim
