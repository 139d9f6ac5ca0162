// Fault injection through the simulated unit: every ISetupUI operation is run
// once with a short operator script to record the host calls it makes; then,
// for each of those calls in turn, the same run is repeated with that call
// (at that occurrence) failing with E_FAIL and with E_POINTER.  Each run must
// end cleanly: the operation answers S_OK or the injected result, the unit's
// interfaces get all their references back, and where a setup states how a
// failure is treated (raised, shown, ignored, or a list left empty without a
// word) that is what happens.
#include <algorithm>
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
    // Moves the live port, allows six clients and joins a server.
    {"ShowPortAddressDlg", "set 1033 5101\nselect 1037 6\ntick 1039 1\nset 1041 CASTELLAN-HQ\nclick 4\nclick 1\n"},
    {"ShowIPSourceConfig",
     "click 1081\nselect 1085 1\nclick 1\nselect 1080 0\nclick 1082\nselect 1080 0\nanswer yes\nclick 1083\n"
     "page Camera Control\npage PTZ Triggers\npage Covert Mode\nclick 2\n"},
    {"ConnectTimeout", ""},
    {"UpdateLevelMeter", ""},
    {"ShowTextStreams",
     "click 1131\nset 1140 Till 2\nselect 1142 0\nselect 1145 0\nclick 1146\nclick 1\npage Camera Associations\n"
     "tick 1150 1\npage Alarms\ncheck 1170 0 1\npage Receipt Definitions\ncheck 1180 0 1\nclick 1\n"
     "select 1130 0\nclick 1132\nclick 1\nselect 1130 1\nanswer yes\nclick 1133\nclick 2\n"},
    // Each manager adds a definition (the editor shows the stream's recent
    // text), edits it, then deletes it (asking the host whether it is in use).
    {"ShowTextExceptions",
     "click 1201\nset 1210 Refund\nset 1211 REFUND\nclick 4\nclick 1\nselect 1200 2\nclick 1202\nset 1210 Refunds\n"
     "click 1\nselect 1200 2\nanswer yes\nclick 1203\nclick 4\nclick 2\n"},
    {"ShowTextReceipts",
     "click 1201\nset 1230 Return\nset 1231 RETURN\nclick 4\nclick 1\nselect 1200 1\nclick 1202\n"
     "set 1230 Returns\nclick 1\nselect 1200 1\nanswer yes\nclick 1203\nclick 4\nclick 2\n"},
    {"ShowRawTextSetup", "set 1092 1b,0d,0a\nclick 4\nclick 1\n"},
    {"ShowCOMPortSetup", "select 1101 2\nselect 1102 8\nselect 1106 1\nclick 4\nclick 1\n"},
    {"ShowTextIPPortSetup", "set 1121 5101\nclick 1\nset 1121 5102\nclick 4\nclick 1\n"},
};

// How a setup treats the failure of a host call.  Quiet: a list is left
// empty (the script may then stop early) and nothing is reported.
enum class Treatment { Raised, Shown, Ignored, Quiet, Clean };

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
        // The port address dialog raises every failure of the remote resource
        // manager (after the restart notice of changed ports, which comes
        // first); its Help does not look at the result.
        {{"ShowPortAddressDlg", "IsManaged"}, Treatment::Raised},
        {{"ShowPortAddressDlg", "GetServerInfo"}, Treatment::Raised},
        {{"ShowPortAddressDlg", "RegisterWithServer"}, Treatment::Raised},
        {{"ShowPortAddressDlg", "ApplyManagedMode"}, Treatment::Raised},
        {{"ShowPortAddressDlg", "SetManagedState"}, Treatment::Raised},
        {{"ShowPortAddressDlg", "ShowHelp"}, Treatment::Ignored},
        // The definition managers and their editors raise every failure of
        // the text exception support, except the stream's recent text, which
        // shows what arrived before the failure.
        {{"ShowTextExceptions", "GetDefinitionsText"}, Treatment::Raised},
        {{"ShowTextExceptions", "SetDefinitionsText"}, Treatment::Raised},
        {{"ShowTextExceptions", "GetTextStreamList"}, Treatment::Raised},
        {{"ShowTextExceptions", "IsDefinitionInUse"}, Treatment::Raised},
        {{"ShowTextExceptions", "GetTransactionData"}, Treatment::Ignored},
        {{"ShowTextExceptions", "ShowHelp"}, Treatment::Ignored},
        {{"ShowTextReceipts", "GetDefinitionsText"}, Treatment::Raised},
        {{"ShowTextReceipts", "SetDefinitionsText"}, Treatment::Raised},
        {{"ShowTextReceipts", "GetTextStreamList"}, Treatment::Raised},
        {{"ShowTextReceipts", "IsDefinitionInUse"}, Treatment::Raised},
        {{"ShowTextReceipts", "GetTransactionData"}, Treatment::Ignored},
        {{"ShowTextReceipts", "ShowHelp"}, Treatment::Ignored},
        // The raw text, serial port and TCP/IP port dialogs: a failed host
        // list is left empty, the system information blank; Help does not
        // look at the result.
        {{"ShowRawTextSetup", "ShowHelp"}, Treatment::Ignored},
        {{"ShowCOMPortSetup", "GetAvailableComPorts"}, Treatment::Quiet},
        {{"ShowCOMPortSetup", "ShowHelp"}, Treatment::Ignored},
        {{"ShowTextIPPortSetup", "GetUsedTextIPPorts"}, Treatment::Quiet},
        {{"ShowTextIPPortSetup", "GetNetworkIdentity"}, Treatment::Ignored},
        {{"ShowTextIPPortSetup", "ShowHelp"}, Treatment::Ignored},
    };
    auto it = table.find({operation, call});
    if (it != table.end()) return it->second;
    if (operation == "ShowStorage") return Treatment::Raised;  // raised or shown by the worker, see below
    return Treatment::Clean;
}

// Whether the messages of a run are the first ones of the normal run.
bool ShowsNothingNew(const std::vector<std::string>& messages, const std::vector<std::string>& normal) {
    return messages.size() <= normal.size() && std::equal(messages.begin(), messages.end(), normal.begin());
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
                EXPECT_TRUE(operation == "ShowStorage" || ShowsNothingNew(o.messages, normal.messages))
                    << "a raised failure shows nothing of its own";
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
            case Treatment::Quiet:
                EXPECT_FALSE(raised);
                EXPECT_TRUE(ShowsNothingNew(o.messages, normal.messages));
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
