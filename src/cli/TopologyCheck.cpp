#include "cli/TopologyCheck.h"

#include <pugixml.hpp>

#include <string_view>
#include <system_error>

namespace netsim::cli {
namespace {

struct FlowSection {
    const char* section;
    const char* flow;
};

// NR frames ride on UDP datagrams of their own and do not count as flows here.
constexpr FlowSection kFlowSections[] = {
    {"CanBusFrames", "CanBusFrame"},       {"CapturedStreams", "CapturedStream"}, {"EthernetFrames", "EthernetFrame"},
    {"FlexRayFrames", "FlexRayFrame"},     {"LinBusFrames", "LinBusFrame"},       {"UDPDatagrams", "UDPDatagram"},
};

bool holdsFlow(const pugi::xml_node& network) {
    for (const FlowSection& entry : kFlowSections)
        for (pugi::xml_node section : network.children(entry.section))
            if (section.child(entry.flow)) return true;
    return false;
}

// The schema and rule style sheets of the description language are not part of this
// system; every well-formed file of the supported version counts as valid, and a newer
// version is one the schema of this version would reject.
bool passesValidation(int version) { return version == TopologyCheck::kSupportedVersion; }

}  // namespace

std::optional<std::string> TopologyCheck::check(const std::filesystem::path& topologyFile, bool experimental) {
    const std::string name = topologyFile.string();
    auto failure = [&name](std::string_view what) { return "[error] the orvo file [" + name + "] " + std::string(what); };

    std::error_code error;
    if (!std::filesystem::exists(topologyFile, error)) return failure("does not exists");
    if (topologyFile.extension() != ".orvo") return failure("has wrong extension");

    pugi::xml_document document;
    if (!document.load_file(topologyFile.c_str())) return failure("could not be loaded");

    pugi::xml_node network = document.child("Network");
    pugi::xml_attribute version = network.attribute("version");
    if (!version) return failure("is invalid");
    // Decimal or "0x" hexadecimal; a text that is no number reads as 0 and so needs an upgrade.
    const int versionNumber = version.as_int();
    if (versionNumber < kSupportedVersion) return failure("must be upgraded");
    if (experimental) return std::nullopt;
    if (!passesValidation(versionNumber)) return failure("is invalid");
    if (!holdsFlow(network)) return failure("must contain at least one flow");
    return std::nullopt;
}

}  // namespace netsim::cli
