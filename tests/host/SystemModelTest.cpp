#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestFiles.h"
#include "common/Exception.h"
#include "host/EngineContext.h"
#include "simulator/kernel/RandomGenerator.h"
#include "simulator/topology/OrvoSystemModel.h"

namespace netsim::test {
namespace {

const char* const kVersionMessage =
    "The Network element attribute 'version' differ from 40: This version of ORVO Simulator can only read RERURU "
    "v40 files";

struct LoadCase {
    const char* label;
    const char* content;  // null: the file does not exist
    std::string message;  // empty: the load succeeds; "@" stands for the file's path
    const char* function;
    int line;
};

class SystemModelLoadTest : public ::testing::TestWithParam<LoadCase> {
protected:
    void TearDown() override { EngineContext::destroy(); }
    TempDir dir_;
};

TEST_P(SystemModelLoadTest, VersionAndSections) {
    const LoadCase& c = GetParam();
    std::string path = c.content != nullptr ? dir_.write("model.orvo", c.content) : dir_.file("absent.orvo");
    std::string expected = c.message;
    if (auto at = expected.find('@'); at != std::string::npos) expected.replace(at, 1, path);
    OrvoSystemModel& model = EngineContext::renew().systemModel();
    try {
        model.load(path);
        EXPECT_TRUE(expected.empty()) << "load succeeded, expected: " << expected;
        EXPECT_EQ(model.topologyFileName(), path);
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), expected);
        EXPECT_EQ(e.function(), c.function);
        EXPECT_EQ(e.line(), c.line);
        if (std::string(c.function).rfind("OrvoSystemModel::", 0) == 0) {
            EXPECT_EQ(e.file(), "simulator/OrvoSystemModel");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SystemModelLoadTest,
    ::testing::Values(
        LoadCase{"version40", R"(<Network version="40"/>)", "", "", 0},
        LoadCase{"hexVersion", R"(<Network version="0x28"/>)", "", "", 0},
        LoadCase{"version39", R"(<Network version="39"/>)", kVersionMessage,
                 "OrvoSystemModel::validateZavuRivVersion", 456},
        LoadCase{"textVersion", R"(<Network version="forty"/>)", kVersionMessage,
                 "OrvoSystemModel::validateZavuRivVersion", 456},
        LoadCase{"noVersion", R"(<Network/>)", "The Network element must define attribute 'version'",
                 "OrvoSystemModel::validateZavuRivVersion", 440},
        LoadCase{"noNetwork", R"(<Netwerk version="40"/>)", "The Network element must define attribute 'version'",
                 "OrvoSystemModel::validateZavuRivVersion", 440},
        LoadCase{"notXml", "<Network version=\"40\">", "Unable to read file '@'", "OrvoSystemModel::openOrvoFile",
                 141},
        LoadCase{"missingFile", nullptr, "Unable to read file '@'", "OrvoSystemModel::openOrvoFile", 141},
        LoadCase{"emptySectionsAreFine", R"(<Network version="40"><Hosts/><Switches></Switches><Timers/></Network>)",
                 "", "", 0},
        LoadCase{"unbuiltSectionIsRefused", R"(<Network version="40"><Hosts><Host name="ECU1"/></Hosts></Network>)",
                 "@: section 'Hosts' cannot be simulated by this version of the engine",
                 "OrvoSystemModel::buildSection", 0},
        // Build order, not document order: Hosts come before Actions.
        LoadCase{"fixedBuildOrder",
                 R"(<Network version="40"><Actions><A/></Actions><EthernetLinks><L/></EthernetLinks><Hosts><H/></Hosts></Network>)",
                 "@: section 'Hosts' cannot be simulated by this version of the engine",
                 "OrvoSystemModel::buildSection", 0},
        LoadCase{"laterSectionOfOneNameWins",
                 R"(<Network version="40"><Hosts><H/></Hosts><Hosts/></Network>)", "", "", 0},
        LoadCase{"laterSectionOfOneNameWinsAgain",
                 R"(<Network version="40"><Hosts/><Hosts><H/></Hosts></Network>)",
                 "@: section 'Hosts' cannot be simulated by this version of the engine",
                 "OrvoSystemModel::buildSection", 0},
        LoadCase{"unknownSectionsAreIgnored", R"(<Network version="40"><Hostz><H/></Hostz></Network>)", "", "", 0},
        // Timers are built last and look up the devices their points name.
        LoadCase{"timerOnUnknownDevice",
                 R"(<Network version="40"><Timers><Timer name="T" object="f" start="ECU1.Eth0" stop="ECU2.Eth0"/></Timers></Network>)",
                 "No device with name 'ECU1'", "OrvoSystemModel::findDeviceWithName", 399},
        LoadCase{"timerWithUnknownAttribute",
                 R"(<Network version="40"><Timers><Timer name="T" object="f" strat="ECU1.Eth0"/></Timers></Network>)",
                 "@: element 'Timer', attribute 'strat': not a valid attribute", "Timer::Timer", 46}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace netsim::test

namespace netsim::test {
namespace {

TEST(SystemModelSeedTest, LoadSeedsTheGeneratorOnlyWhenThereIsNone) {
    TempDir dir;
    std::string path = dir.write("model.orvo", R"(<Network version="40"/>)");
    EngineContext& context = EngineContext::renew();
    context.systemModel().load(path, 77);
    EXPECT_EQ(context.randomGenerator().seed(), 77u);
    EngineContext& seeded = EngineContext::renew();
    seeded.createRandomGenerator(5);
    seeded.systemModel().load(path, 77);
    EXPECT_EQ(seeded.randomGenerator().seed(), 5u);
    EngineContext::destroy();
}

// Until the device sections are built, the lookups are fed through the registries.
TEST(SystemModelLookupTest, SearchOrdersAndFailures) {
    EngineContext::renew();
    OrvoSystemModel model;
    Component host("X"), switchX("X"), sensorY("Y"), switchY("Y"), station("Z"), sensorZ("Z");
    Component switchB("B"), busB("B"), busS("S"), sensorS("S");
    auto& r = model.registries();
    r.switches = {&switchX, &switchY, &switchB};
    r.hosts = {&host};
    r.sensors = {&sensorY, &sensorZ, &sensorS};
    r.baseStations = {&station};
    r.canBuses = {&busB};
    r.linBuses = {&busS};

    EXPECT_EQ(&model.findDeviceWithName("X"), &host);
    EXPECT_EQ(&model.findDeviceWithName("Y"), &sensorY);
    EXPECT_EQ(&model.findDeviceWithName("Z"), &station);
    EXPECT_EQ(&model.findNodeWithName("B"), &switchB);  // devices before buses
    EXPECT_EQ(&model.findNodeWithName("S"), &busS);     // sensors come last among nodes
    EXPECT_EQ(&model.findNodeWithName("Y"), &switchY);

    struct Case {
        std::function<void()> lookup;
        const char* message;
        const char* function;
        int line;
    } cases[] = {
        {[&] { model.findDeviceWithName("B2"); }, "No device with name 'B2'", "OrvoSystemModel::findDeviceWithName",
         399},
        {[&] { model.findNodeWithName("Q"); }, "No device with name 'Q'", "OrvoSystemModel::findNodeWithName", 377},
        {[&] { model.findEthernetFlow("f"); }, "No registered Ethernet flow with name 'f'",
         "OrvoSystemModel::findEthernetFlow", 82},
        {[&] { model.findIpFlow("u"); }, "Unable to locate IP flow with name 'u'", "OrvoSystemModel::findIpFlow", 89},
    };
    for (const Case& c : cases) {
        try {
            c.lookup();
            ADD_FAILURE() << c.message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.function(), c.function);
            EXPECT_EQ(e.line(), c.line);
        }
    }
    EngineContext::destroy();
}

}  // namespace
}  // namespace netsim::test
