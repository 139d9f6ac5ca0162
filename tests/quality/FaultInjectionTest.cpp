// Fault injection through the simulated unit: every ISetupUI operation is run
// once with a short operator script to record the host calls it makes; then,
// for each of those calls in turn, the same run is repeated with that call
// (at that occurrence) failing with E_FAIL and with E_POINTER.  Each run must
// end cleanly: the operation answers S_OK or the injected result, the unit's
// interfaces get all their references back, and where the camera, display,
// storage and port address setups state how a failure is treated (raised,
// shown or ignored) that is what happens.
#include <fstream>
#include <map>
#include <set>

#include "platform/ui/Window.h"
#include "tests/support/Harness.h"

namespace {

using com::HRESULT;

struct OperationCase {
    const char* operation;
    const char* script;
    bool notAvailable = false;  // still shows the "not available" dialog
    long cancelResult = 2;      // what the operation answers for its Cancel
};

// Each script makes the operation read and change what it can, then OK.
const OperationCase kCases[] = {
    {"ShowRecordModeDlg", "tick 1014 1\nslide 1016 5\nclick 4\nclick 1\n"},
    {"ShowODSetup", "tick 321 1\nclick 227\n"},
    {"ShowCameras",
     "set 1470 Gate\npage Termination\nselect 1471 0\npage Gain Mode\nselect 1471 4\npage Camera Control\n"
     "page PTZ Triggers\npage User-Defined Handlers\npage Covert Mode\nselect 1473 1\nclick 1\n"},
    {"ShowDisplay", "set 1202 0:15\npage 2 x 2\npage 3 x 3\npage 4 x 4\npage Call Monitor\ntick 1311 1\nclick 1\n"},
    {"ShowAudio", "slide 1403 80\npage Camera Associations\ntick 1512 1\nclick 1\n"},
    {"ShowStorage", "select 1000 0\nclick 1006\nset 1010 VIDEO1-MAIN\nclick 1\nwait\nclick 1\n"},
    {"ShowPortAddressDlg", "", true},
    {"ShowIPSourceConfig",
     "click 1081\nselect 1085 1\nclick 1\nselect 1080 0\nclick 1082\nselect 1080 0\nanswer yes\nclick 1083\n"
     "page Camera Control\npage PTZ Triggers\npage Covert Mode\nclick 2\n"},
    {"ConnectTimeout", ""},
    {"UpdateLevelMeter", ""},
    {"ShowTextStreams",
     "click 1131\nset 1140 Till 2\nselect 1142 0\nselect 1145 0\nclick 1146\nclick 1\npage Camera Associations\n"
     "tick 1150 1\npage Alarms\ncheck 1170 0 1\npage Receipt Definitions\ncheck 1180 0 1\nclick 1\n"
     "select 1130 0\nclick 1132\nclick 1\nselect 1130 1\nanswer yes\nclick 1133\nclick 2\n",
     false, 0},
    {"ShowTextExceptions", "", true},
    {"ShowTextReceipts", "", true},
    {"ShowRawTextSetup", "", true},
    {"ShowCOMPortSetup", "", true},
    {"ShowTextIPPortSetup", "", true},
};

// How a setup treats the failure of a host call.
enum class Treatment { Raised, Shown, Ignored, Clean };

// The calls whose treatment the setups fix; every other call only has to end
// cleanly (raised, shown or ignored).
Treatment Expected(const std::string& operation, const std::string& call, int nth) {
    // The storage dialog takes its callback back from the host when it is
    // destroyed; nothing can be raised from there, the failure is logged.
    if (operation == "ShowStorage" && call == "SetCallback" && nth == 2) return Treatment::Ignored;
    static const std::map<std::pair<std::string, std::string>, Treatment> table = {
        // The host system object is needed to build the camera and display
        // sheets: its failures leave the operation with the call's result.
        {{"ShowCameras", "GetVersion"}, Treatment::Raised},
        {{"ShowDisplay", "IsFeatureEnabled"}, Treatment::Raised},
        {{"ShowIPSourceConfig", "GetVersion"}, Treatment::Raised},
        // The IP Sources page shows a failed read of a device's data (a failed
        // read of the whole list empties it, which stops the script early);
        // the changes it commits raise their failures.
        {{"ShowIPSourceConfig", "GetIPDeviceData"}, Treatment::Shown},
        {{"ShowIPSourceConfig", "GetIPSourceData"}, Treatment::Shown},
        {{"ShowIPSourceConfig", "AddIPSource"}, Treatment::Raised},
        {{"ShowIPSourceConfig", "UpdateIPSource"}, Treatment::Raised},
        {{"ShowIPSourceConfig", "IPDeviceConfigEditor.Edit"}, Treatment::Raised},
        // The stream list shows a refused creation and does not look at the
        // results of its other changes.
        {{"ShowTextStreams", "CreateStream"}, Treatment::Shown},
        {{"ShowTextStreams", "DeleteStream"}, Treatment::Ignored},
        {{"ShowTextStreams", "SetStreamDefinitions"}, Treatment::Ignored},
        // The camera pages do not look at the results of their saves.
        {{"ShowCameras", "SetCameraNames"}, Treatment::Ignored},
        {{"ShowCameras", "SetCameraControlXml"}, Treatment::Ignored},
    };
    auto it = table.find({operation, call});
    if (it != table.end()) return it->second;
    if (operation == "ShowStorage") return Treatment::Raised;  // raised or shown by the worker, see below
    return Treatment::Clean;
}

struct Outcome {
    HRESULT hr = com::S_OK;
    long result = -1;
    std::vector<std::string> messages;
    std::vector<std::string> calls;
    std::string scriptError;  // the operator could not follow the script
    long references = 0;
};

class FaultInjection : public testing_support::Harness, public ::testing::WithParamInterface<OperationCase> {
protected:
    // The bundled demo unit: volumes, streams, handlers and triggers to read.
    nlohmann::json UnitData() override {
        std::ifstream in(MIRELLE_SOURCE_DIR "/apps/units/default.json");
        return nlohmann::json::parse(in);
    }

    Outcome RunCase(const std::string& failCall = {}, HRESULT hr = com::S_OK, int nth = 0) {
        unit = std::make_unique<host::SimulatedUnit>(UnitData());
        ui::DefaultScriptDriver().Clear();
        ui::DefaultMessageBoxes().Clear();
        if (!failCall.empty()) unit->FailCall(failCall, hr, nth);
        Script(GetParam().script);
        Outcome out;
        try {
            auto o = Run(GetParam().operation);
            out.hr = o.hr;
            out.result = o.result;
        } catch (const ui::UiError& e) {
            out.scriptError = e.what();
        }
        ui::DefaultScriptDriver().Clear();
        out.messages = Messages();
        out.calls = unit->CallNames();
        out.references = unit->OutstandingReferences();
        return out;
    }
};

TEST_P(FaultInjection, EveryHostCallFailingEndsCleanly) {
    const std::string operation = GetParam().operation;
    const Outcome normal = RunCase();
    ASSERT_EQ(normal.hr, com::S_OK);
    ASSERT_EQ(normal.scriptError, "") << "the script must run on the unhurt unit";
    ASSERT_EQ(normal.references, 0);
    if (GetParam().notAvailable) {
        EXPECT_EQ(normal.result, GetParam().cancelResult);
        EXPECT_EQ(normal.messages, std::vector<std::string>{});
    }
    // The run is repeatable, so the nth occurrence of a call is the same call
    // in every run.
    ASSERT_EQ(RunCase().calls, normal.calls);

    std::map<std::string, int> seen;
    std::set<std::string> failedNames;
    for (size_t k = 0; k < normal.calls.size(); ++k) {
        const std::string& call = normal.calls[k];
        const int nth = ++seen[call];
        failedNames.insert(call);
        for (HRESULT injected : {com::E_FAIL, com::E_POINTER}) {
            SCOPED_TRACE(operation + ": " + call + " #" + std::to_string(nth) + " failing with " +
                         com::HresultText(injected));
            const Outcome o = RunCase(call, injected, nth);
            ASSERT_GT(o.calls.size(), k);
            EXPECT_EQ(o.calls[k], call) << "the failing call is reached as in the normal run";
            EXPECT_TRUE(o.hr == com::S_OK || o.hr == injected) << com::HresultText(o.hr);
            EXPECT_EQ(o.references, 0) << "references of the unit's interfaces not given back";
            const bool raised = o.hr == injected;
            switch (Expected(operation, call, nth)) {
            case Treatment::Raised:
                if (operation == "ShowStorage")
                    EXPECT_TRUE(raised || !o.messages.empty() || !o.scriptError.empty())
                        << "a storage failure is raised, or shown by the worker";
                else
                    EXPECT_TRUE(raised);
                EXPECT_TRUE(!raised || o.messages.empty() || operation == "ShowStorage")
                    << "a raised failure shows nothing";
                break;
            case Treatment::Ignored:
                EXPECT_FALSE(raised);
                EXPECT_EQ(o.scriptError, "");
                EXPECT_EQ(o.messages, normal.messages);
                EXPECT_EQ(o.result, normal.result);
                break;
            case Treatment::Shown:
                EXPECT_FALSE(raised);
                EXPECT_GT(o.messages.size(), normal.messages.size());
                break;
            case Treatment::Clean:
                break;
            }
        }
    }
    RecordProperty("host_calls", static_cast<int>(normal.calls.size()));
    RecordProperty("distinct_calls", static_cast<int>(failedNames.size()));
}

std::string CaseName(const ::testing::TestParamInfo<OperationCase>& info) { return info.param.operation; }

INSTANTIATE_TEST_SUITE_P(Operations, FaultInjection, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
