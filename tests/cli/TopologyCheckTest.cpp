// The topology file checks: their order and lines end to end, and which sections count as
// flows in-process.

#include "cli/TopologyCheck.h"

#include <optional>
#include <string>
#include <vector>

#include "cli/SimulatorProgram.h"
#include "gtest/gtest.h"

namespace netsim::cli::test {
namespace {

const std::string kWelcome = "ORVO Quillmark 1.0.0 - Simulator CLI";

struct FileFault {
    const char* name;
    std::string file;  // "@name": a path in the scratch directory
    std::vector<std::string> options;
    const char* fault;  // the line ends "[error] the orvo file [<file>] <fault>"
};

class FileFaults : public ::testing::TestWithParam<FileFault> {};

TEST_P(FileFaults, AreReportedInTheirOrderWithTheFileAsGiven) {
    Scratch scratch;
    const FileFault& fault = GetParam();
    std::string file = fault.file.starts_with("@") ? scratch.file(fault.file.substr(1)) : fixture(fault.file);
    std::vector<std::string> arguments = fault.options;
    arguments.push_back(file);

    ProgramRun run = runSimulator(arguments, scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "", kWelcome, "[error] the orvo file [" + file + "] " + fault.fault}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileFaults,
    ::testing::Values(
        FileFault{"Missing", "@absent.orvo", {}, "does not exists"},
        FileFault{"MissingBeforeExtension", "@absent.xml", {}, "does not exists"},
        FileFault{"WrongExtension", "minimal.xml", {}, "has wrong extension"},
        FileFault{"NotXml", "not_xml.orvo", {}, "could not be loaded"},
        FileFault{"NotXmlEvenExperimental", "not_xml.orvo", {"-experimental"}, "could not be loaded"},
        FileFault{"NoVersion", "no_version.orvo", {}, "is invalid"},
        FileFault{"NoVersionEvenExperimental", "no_version.orvo", {"-experimental"}, "is invalid"},
        FileFault{"OlderVersion", "version39.orvo", {}, "must be upgraded"},
        FileFault{"OlderVersionEvenExperimental", "version39.orvo", {"-experimental"}, "must be upgraded"},
        FileFault{"VersionNotANumberReadsAsZero", "version_text.orvo", {}, "must be upgraded"},
        FileFault{"NewerVersionFailsValidation", "version41.orvo", {}, "is invalid"},
        FileFault{"NoFlow", "minimal.orvo", {}, "must contain at least one flow"},
        FileFault{"HexadecimalVersionIsRead", "hex_version.orvo", {"-discard"}, "must contain at least one flow"}),
    [](const ::testing::TestParamInfo<FileFault>& info) { return std::string(info.param.name); });

TEST(FileFaults, WrongExtensionComesBeforeTheXmlCheck) {
    Scratch scratch;
    std::string file = scratch.write("broken.txt", "<Network version=\"40\">");

    ProgramRun run = runSimulator({file}, scratch);

    EXPECT_EQ(run.lines().back(), "[error] the orvo file [" + file + "] has wrong extension");
}

TEST(FileFaults, PathIsNormalisedBeforeItIsUsed) {
    Scratch scratch;
    std::string typed = scratch.path().string() + "/./sub/../absent.orvo";

    ProgramRun run = runSimulator({"-discard", typed}, scratch);

    EXPECT_EQ(run.lines().back(), "[error] the orvo file [" + scratch.file("absent.orvo") + "] does not exists");
}

// Which elements make a file hold a flow: only the named flow element directly in its own
// section directly below "Network".
struct FlowCase {
    const char* name;
    const char* body;  // inside <Network version="40">
    bool holdsFlow;
};

class FlowSections : public ::testing::TestWithParam<FlowCase> {};

TEST_P(FlowSections, DecideWhetherAValidatedFileMayRun) {
    Scratch scratch;
    std::string file =
        scratch.write("network.orvo", std::string("<Network version=\"40\">") + GetParam().body + "</Network>");

    std::optional<std::string> validated = TopologyCheck::check(file, false);
    std::optional<std::string> experimental = TopologyCheck::check(file, true);

    if (GetParam().holdsFlow)
        EXPECT_EQ(validated, std::nullopt);
    else
        EXPECT_EQ(validated, "[error] the orvo file [" + file + "] must contain at least one flow");
    EXPECT_EQ(experimental, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlowSections,
    ::testing::Values(
        FlowCase{"CanBusFrame", "<CanBusFrames><CanBusFrame/></CanBusFrames>", true},
        FlowCase{"CapturedStream", "<CapturedStreams><CapturedStream/></CapturedStreams>", true},
        FlowCase{"EthernetFrame", "<EthernetFrames><EthernetFrame/></EthernetFrames>", true},
        FlowCase{"FlexRayFrame", "<FlexRayFrames><FlexRayFrame/></FlexRayFrames>", true},
        FlowCase{"LinBusFrame", "<LinBusFrames><LinBusFrame/></LinBusFrames>", true},
        FlowCase{"UDPDatagram", "<UDPDatagrams><UDPDatagram/></UDPDatagrams>", true},
        FlowCase{"FlowInSecondSectionOfItsKind",
                 "<EthernetFrames/><EthernetFrames><EthernetFrame/></EthernetFrames>", true},
        FlowCase{"NrFramesDoNotCount", "<NRFrames><NRFrame/></NRFrames>", false},
        FlowCase{"EmptySections", "<EthernetFrames/><CanBusFrames/><UDPDatagrams/>", false},
        FlowCase{"FlowInAnotherSection", "<CanBusFrames><EthernetFrame/></CanBusFrames>", false},
        FlowCase{"FlowOutsideAnySection", "<EthernetFrame/>", false},
        FlowCase{"FlowNestedDeeper", "<Hosts><EthernetFrames><EthernetFrame/></EthernetFrames></Hosts>", false}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace netsim::cli::test
