// The port address dialog: ports, live clients and the Castellan server steps.
#include "tests/support/Harness.h"

#include <thread>

#include "network/PortAddressDlg.h"

namespace {

using testing_support::Harness;
using D = CPortAddressDlg;

const std::string kRange = "Port number must be between 1024 and 65535.";
const std::string kDistinct = "The port numbers must be different.";
const std::string kRestart = "The new port settings will take effect the next time you start Quellan.";
const std::string kInteger = "Please enter an integer.";
const std::string kArchive =
    "Quellan cannot run as stand-alone or change Castellan Server because network archive is running. "
    "Please contact your system administrator to stop archiving.";
const std::string kSecurity =
    "Quellan cannot run as stand-alone or change Castellan Server because it is in advanced security mode. "
    "Please turn off advanced security and try again.";
const std::string kFailed = "Castellan Operation failed. Please contact your system administrator.";

class PortAddress : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"portAddress", {{"portNumber", 5000}, {"livePort", 5001}, {"eventPort", 5002},
                                 {"maxLiveClients", 4}, {"clientLimit", 8}}},
                {"castellan", {{"managed", false}, {"serverName", ""}, {"serverInfo", "UNIT-7"}}}};
    }
    nlohmann::json& Ports() { return unit->Data()["portAddress"]; }
    nlohmann::json& Castellan() { return unit->Data()["castellan"]; }
    void Managed(const std::string& server) {
        Castellan()["managed"] = true;
        Castellan()["serverName"] = server;
    }
    // The calls of the remote manager that change the unit, in order.
    std::vector<std::string> ServerSteps() { return Changes(); }
    int RunDlg() {
        auto out = Run("ShowPortAddressDlg");
        EXPECT_EQ(out.hr, com::S_OK);
        return static_cast<int>(out.result);
    }
};

TEST_F(PortAddress, OpensWithTheCallersValuesStandAlone) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "");
        EXPECT_EQ(d.GetItemText(D::IDC_PORT), "5000");
        EXPECT_EQ(d.GetItemText(D::IDC_LIVE_PORT), "5001");
        EXPECT_EQ(d.GetItemText(D::IDC_EVENT_PORT), "5002");
        auto& list = d.Item(D::IDC_MAX_LIVE);
        ASSERT_EQ(list.ItemCount(), 9);
        EXPECT_EQ(list.items.front().cells.at(0), "0");
        EXPECT_EQ(list.items.back().cells.at(0), "8");
        EXPECT_EQ(list.selection, 4);
        EXPECT_EQ(d.GetItemText(D::IDC_MAX_LIVE), "4");
        EXPECT_TRUE(d.IsTicked(D::IDC_STANDALONE));
        EXPECT_FALSE(d.IsTicked(D::IDC_MANAGED));
        EXPECT_FALSE(d.Item(D::IDC_SERVER_NAME).visible);
        EXPECT_FALSE(d.Item(D::IDC_SERVER_LABEL).visible);
        EXPECT_EQ(d.Item(D::IDC_KEYBOARD).keySet, "$ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    });
    Script("click 4\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(Messages().empty());  // nothing changed
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"70"});
    EXPECT_TRUE(CallsNamed("GetServerInfo").empty());
    EXPECT_EQ(unit->OutstandingReferences(), 0);
}

TEST_F(PortAddress, ClientLimitZeroOffersOnlyZero) {
    Ports()["clientLimit"] = 0;
    Ports()["maxLiveClients"] = 0;
    Then([](ui::Dialog& d) {
        ASSERT_EQ(d.Item(D::IDC_MAX_LIVE).ItemCount(), 1);
        EXPECT_EQ(d.Item(D::IDC_MAX_LIVE).items[0].cells.at(0), "0");
        EXPECT_EQ(d.Item(D::IDC_MAX_LIVE).selection, 0);
    });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortAddress, ManagedShowsTheServerNameAndLockedModeDisablesIt) {
    Managed("CASTELLAN-1");
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(d.IsTicked(D::IDC_MANAGED));
        EXPECT_TRUE(d.Item(D::IDC_SERVER_NAME).visible);
        EXPECT_EQ(d.GetItemText(D::IDC_SERVER_NAME), "CASTELLAN-1");
        EXPECT_TRUE(d.Item(D::IDC_MANAGED).enabled);
    });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(CallsNamed("GetServerNameText"), std::vector<std::string>{"\"UNIT-7\""});

    Castellan()["canChangeServerMode"] = false;
    Then([](ui::Dialog& d) {
        EXPECT_FALSE(d.Item(D::IDC_MANAGED).enabled);
        EXPECT_FALSE(d.Item(D::IDC_STANDALONE).enabled);
        EXPECT_FALSE(d.Item(D::IDC_SERVER_NAME).enabled);
    });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
}

TEST_F(PortAddress, ServerNameStaysEmptyWhenTheHostGivesNone) {
    Managed("CASTELLAN-1");
    Castellan()["refuse"] = {"GetServerInfo"};
    Then([](ui::Dialog& d) { EXPECT_EQ(d.GetItemText(D::IDC_SERVER_NAME), ""); });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(CallsNamed("GetServerNameText").empty());
    EXPECT_TRUE(Changes().empty());  // an empty name is no new server
}

TEST_F(PortAddress, ChoosingTheModeShowsOrHidesTheServerName) {
    Script("tick 1039 1");
    Then([](ui::Dialog& d) { EXPECT_TRUE(d.Item(D::IDC_SERVER_NAME).visible); });
    Script("tick 1038 1");
    Then([](ui::Dialog& d) { EXPECT_FALSE(d.Item(D::IDC_SERVER_NAME).visible); });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(Changes().empty());
}

struct PortCase {
    int field;
    std::string text;
    std::string message;  // empty: accepted
};

TEST_F(PortAddress, EachPortIsCheckedForItsRange) {
    const PortCase cases[] = {
        {D::IDC_PORT, "1024", ""},       {D::IDC_PORT, "65535", ""},         {D::IDC_PORT, "1023", kRange},
        {D::IDC_PORT, "65536", kRange},  {D::IDC_LIVE_PORT, "1023", kRange}, {D::IDC_LIVE_PORT, "65535", ""},
        {D::IDC_EVENT_PORT, "0", kRange}, {D::IDC_EVENT_PORT, "-5000", kRange}, {D::IDC_EVENT_PORT, " 6000 ", ""},
        {D::IDC_PORT, "abc", kInteger},  {D::IDC_LIVE_PORT, "", kInteger},  {D::IDC_EVENT_PORT, "60x", kInteger},
        {D::IDC_PORT, "100000", kRange},        // the edit keeps every digit typed
        {D::IDC_LIVE_PORT, "655350", kRange},
        {D::IDC_PORT, "99999999999", kInteger},  // no 32-bit number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        ui::DefaultMessageBoxes().Clear();
        Script("set " + std::to_string(c.field) + " " + c.text + "\nclick 1");
        if (!c.message.empty()) {
            Then([&](ui::Dialog& d) {
                EXPECT_FALSE(d.IsEnded());
                EXPECT_EQ(d.Focus(), c.field);
            });
            Script("click 2");
        }
        int r = RunDlg();
        EXPECT_EQ(r, c.message.empty() ? 1 : 2);
        if (c.message.empty()) {
            EXPECT_EQ(Messages(), std::vector<std::string>{kRestart});
        } else {
            EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        }
        ui::DefaultScriptDriver().Clear();
        unit->Data()["portAddress"] = UnitData()["portAddress"];
    }
}

TEST_F(PortAddress, RangeIsCheckedBeforeDistinctnessFieldByField) {
    Script("set 1031 80\nset 1033 80\nset 1035 80\nclick 1");
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Focus(), D::IDC_PORT); });
    Script("set 1031 5000\nclick 1");
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Focus(), D::IDC_LIVE_PORT); });
    Script("click 2");
    EXPECT_EQ(RunDlg(), 2);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kRange, kRange}));
    EXPECT_EQ(Ports()["livePort"], 5001);  // nothing written
}

TEST_F(PortAddress, EqualPortsAreRefusedWithFocusOnTheLivePort) {
    const char* sets[] = {"set 1033 5000", "set 1035 5000", "set 1035 5001"};
    for (const char* s : sets) {
        SCOPED_TRACE(s);
        ui::DefaultMessageBoxes().Clear();
        Script(std::string(s) + "\nclick 1");
        Then([](ui::Dialog& d) {
            EXPECT_FALSE(d.IsEnded());
            EXPECT_EQ(d.Focus(), D::IDC_LIVE_PORT);
        });
        Script("click 2");
        EXPECT_EQ(RunDlg(), 2);
        EXPECT_EQ(Messages(), std::vector<std::string>{kDistinct});
        ui::DefaultScriptDriver().Clear();
    }
    EXPECT_EQ(Ports()["portNumber"], 5000);
    EXPECT_EQ(Ports()["eventPort"], 5002);
}

TEST_F(PortAddress, MaxLiveClientsIsADropDownListThatTakesNoText) {
    Then([](ui::Dialog& d) { EXPECT_THROW(d.OperatorSetText(D::IDC_MAX_LIVE, "99999"), ui::UiError); });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Ports()["maxLiveClients"], 4);
}

TEST_F(PortAddress, NewValuesAreWrittenOnOkWithTheRestartNotice) {
    Script("select 1037 6\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{kRestart});
    EXPECT_EQ(Ports()["maxLiveClients"], 6);
    EXPECT_EQ(Ports()["portNumber"], 5000);

    ui::DefaultMessageBoxes().Clear();
    Script("set 1031 6000\nset 1033 6001\nset 1035 6002\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{kRestart});
    EXPECT_EQ(Ports()["portNumber"], 6000);
    EXPECT_EQ(Ports()["livePort"], 6001);
    EXPECT_EQ(Ports()["eventPort"], 6002);
    EXPECT_EQ(Ports()["maxLiveClients"], 6);
}

TEST_F(PortAddress, CancelWritesNothing) {
    Script("set 1031 6000\nselect 1037 0\nclick 2");
    EXPECT_EQ(RunDlg(), 2);
    EXPECT_EQ(Ports()["portNumber"], 5000);
    EXPECT_EQ(Ports()["maxLiveClients"], 4);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortAddress, MaxLiveClientsBeyondTheLimitOpensUnselectedAndReadsZero) {
    Ports()["maxLiveClients"] = 12;
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Item(D::IDC_MAX_LIVE).selection, -1); });
    Script("click 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{kRestart});
    EXPECT_EQ(Ports()["maxLiveClients"], 0);
}

TEST_F(PortAddress, StandAloneToManagedRegistersWithTheServer) {
    Script("tick 1039 1\nset 1041 CASTELLAN-2\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ServerSteps(), (std::vector<std::string>{"RegisterWithServer \"UNIT-7\" \"CASTELLAN-2\"",
                                                       "ApplyManagedMode", "SetManagedState 1"}));
    EXPECT_EQ(Castellan()["managed"], true);
    EXPECT_EQ(Castellan()["serverName"], "CASTELLAN-2");
    auto names = unit->CallNames();
    auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(at("GetServerInfo"), at("RegisterWithServer"));
}

TEST_F(PortAddress, AFailedRegistrationStepStopsTheSequenceAndKeepsTheNewPorts) {
    struct Case {
        const char* refused;
        std::vector<std::string> steps;
    } cases[] = {
        {"GetServerInfo", {}},
        {"RegisterWithServer", {"RegisterWithServer \"UNIT-7\" \"C2\""}},
        {"ApplyManagedMode", {"RegisterWithServer \"UNIT-7\" \"C2\"", "ApplyManagedMode"}},
        {"SetManagedState", {"RegisterWithServer \"UNIT-7\" \"C2\"", "ApplyManagedMode", "SetManagedState 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        unit->ClearCalls();
        ui::DefaultMessageBoxes().Clear();
        Castellan()["refuse"] = {c.refused};
        Script("set 1031 7000\ntick 1039 1\nset 1041 C2\nclick 1");
        Then([](ui::Dialog& d) { EXPECT_FALSE(d.IsEnded()); });
        Script("click 2");
        EXPECT_EQ(RunDlg(), 2);
        EXPECT_EQ(Messages(), (std::vector<std::string>{kRestart, kFailed}));
        EXPECT_EQ(ServerSteps(), c.steps);
        EXPECT_EQ(Ports()["portNumber"], 7000);  // written before the server steps
        EXPECT_EQ(Castellan()["managed"], false);
        ui::DefaultScriptDriver().Clear();
        Ports()["portNumber"] = 5000;
    }
}

TEST_F(PortAddress, ManagedToStandAloneLeavesTheServer) {
    Managed("CASTELLAN-1");
    Script("tick 1038 1\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(ServerSteps(), (std::vector<std::string>{"LeaveServer", "SetManagedState 0"}));
    EXPECT_EQ(Castellan()["managed"], false);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortAddress, LeavingIsRefusedWhileArchivingOrInAdvancedSecurity) {
    struct Case {
        const char* flag;
        std::string message;
    } cases[] = {{"networkArchive", kArchive}, {"advancedSecurity", kSecurity}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        ui::DefaultMessageBoxes().Clear();
        unit->ClearCalls();
        Managed("CASTELLAN-1");
        Castellan()["networkArchive"] = false;
        Castellan()["advancedSecurity"] = false;
        Castellan()[c.flag] = true;
        // Once towards stand-alone, once towards another server.
        Script("tick 1038 1\nclick 1");
        Then([](ui::Dialog& d) {
            EXPECT_FALSE(d.IsEnded());
            EXPECT_TRUE(d.IsTicked(D::IDC_MANAGED));
            EXPECT_FALSE(d.IsTicked(D::IDC_STANDALONE));
            EXPECT_TRUE(d.Item(D::IDC_SERVER_NAME).visible);
        });
        Script("set 1041 OTHER\nclick 1");
        Then([](ui::Dialog& d) { EXPECT_TRUE(d.IsTicked(D::IDC_MANAGED)); });
        Script("click 2");
        EXPECT_EQ(RunDlg(), 2);
        EXPECT_EQ(Messages(), (std::vector<std::string>{c.message, c.message}));
        EXPECT_TRUE(ServerSteps().empty());
        ui::DefaultScriptDriver().Clear();
    }
}

TEST_F(PortAddress, AFailedLeaveStillSetsTheStateAndShowsTheFailure) {
    Managed("CASTELLAN-1");
    Castellan()["refuse"] = {"LeaveServer"};
    Script("tick 1038 1\nclick 1");
    Then([](ui::Dialog& d) { EXPECT_FALSE(d.IsEnded()); });
    Script("click 2");
    EXPECT_EQ(RunDlg(), 2);
    EXPECT_EQ(Messages(), std::vector<std::string>{kFailed});
    EXPECT_EQ(ServerSteps(), (std::vector<std::string>{"LeaveServer", "SetManagedState 0"}));
}

TEST_F(PortAddress, ANewServerNameMovesTheUnitToThatServer) {
    Managed("CASTELLAN-1");
    Script("set 1041 CASTELLAN-1\nclick 1");  // the same name: nothing to do
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_TRUE(ServerSteps().empty());

    Script("set 1041 CASTELLAN-9\nclick 1");
    EXPECT_EQ(RunDlg(), 1);
    EXPECT_EQ(ServerSteps(), (std::vector<std::string>{"LeaveServer", "RegisterWithServer \"UNIT-7\" \"CASTELLAN-9\"",
                                                       "ApplyManagedMode"}));
    EXPECT_EQ(Castellan()["serverName"], "CASTELLAN-9");
    EXPECT_EQ(Castellan()["managed"], true);
    EXPECT_TRUE(CallsNamed("SetManagedState").empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortAddress, AFailedMoveToANewServerStopsAtTheFailedStep) {
    Managed("CASTELLAN-1");
    Castellan()["refuse"] = {"LeaveServer"};
    Script("set 1041 CASTELLAN-9\nclick 1\nclick 2");
    EXPECT_EQ(RunDlg(), 2);
    EXPECT_EQ(Messages(), std::vector<std::string>{kFailed});
    EXPECT_EQ(ServerSteps(), std::vector<std::string>{"LeaveServer"});
    EXPECT_TRUE(CallsNamed("GetServerInfo").size() == 1);  // only the one at start
}

TEST_F(PortAddress, WithoutTheRemoteManagerTheDialogRunsStandAlone) {
    // A host object that has no IRmtResMgrUISupport, and none at all.
    auto s = apps::CreateSetupUI();
    for (com::IUnknown* rmt : {static_cast<com::IUnknown*>(unit->SetupUISupport()), static_cast<com::IUnknown*>(nullptr)}) {
        ui::DefaultMessageBoxes().Clear();
        std::int32_t port = 5000, live = 5001, event = 5002;
        std::int16_t maxLive = 2, r = -1;
        Then([](ui::Dialog& d) {
            EXPECT_TRUE(d.IsTicked(D::IDC_STANDALONE));
            EXPECT_FALSE(static_cast<D&>(d).HasRemoteManager());
        });
        Script("tick 1039 1\nset 1041 C\nclick 1\nclick 2");
        EXPECT_EQ(s->ShowPortAddressDlg(rmt, unit->SetupUISupport(), 0, &port, &live, &event, &maxLive, 4, &r),
                  com::S_OK);
        EXPECT_EQ(r, 2);
        EXPECT_EQ(Messages(), std::vector<std::string>{kFailed});
        EXPECT_TRUE(CallsNamed("IsManaged").empty());
        ui::DefaultScriptDriver().Clear();
    }
    EXPECT_EQ(unit->OutstandingReferences(), 0);
}

TEST_F(PortAddress, AHostErrorIsTheOperationsResult) {
    unit->FailCall("IsManaged", com::E_FAIL);
    auto out = Run("ShowPortAddressDlg");
    EXPECT_EQ(out.hr, com::E_FAIL);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(unit->OutstandingReferences(), 0);

    unit->ClearFailures();
    Managed("CASTELLAN-1");
    unit->FailCall("LeaveServer", com::E_UNEXPECTED);
    Script("tick 1038 1\nclick 1");
    EXPECT_EQ(Run("ShowPortAddressDlg").hr, com::E_UNEXPECTED);
    ui::DefaultScriptDriver().Clear();
    // The slot was emptied: the next call opens normally.
    unit->ClearFailures();
    Script("click 2");
    EXPECT_EQ(RunDlg(), 2);
}

TEST_F(PortAddress, ConnectTimeoutEndsTheDialogWithZero) {
    auto s = apps::CreateSetupUI();
    Script("set 1031 6000");
    Then([&](ui::Dialog&) { s->ConnectTimeout(); });
    auto out = apps::RunOperation("ShowPortAddressDlg", *unit, *s.get());
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(Ports()["portNumber"], 5000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortAddress, ConnectTimeoutFromAHostThreadEndsTheDialog) {
    auto s = apps::CreateSetupUI();
    Then([&](ui::Dialog&) {
        std::thread host([&] { s->ConnectTimeout(); });
        host.join();
    });
    auto out = apps::RunOperation("ShowPortAddressDlg", *unit, *s.get());
    EXPECT_EQ(out.result, 0);
    // A time-out with no dialog open does nothing.
    std::thread late([&] { EXPECT_EQ(s->ConnectTimeout(), com::S_OK); });
    late.join();
    Script("click 1");
    EXPECT_EQ(apps::RunOperation("ShowPortAddressDlg", *unit, *s.get()).result, 1);
}

}  // namespace
