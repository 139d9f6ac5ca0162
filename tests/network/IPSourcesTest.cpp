// The IP source setup: the IP Sources page, its device type dialog and the
// device configuration editor, and the sheet's other pages, run through
// ShowIPSourceConfig on the simulated unit.
#include "tests/support/Harness.h"

#include "module/SetupUI.h"
#include "util/Util.h"
#include "network/IPSourcePropPage.h"
#include "network/IPSourcePropSheet.h"

namespace {

using testing_support::Harness;
using P = CIPSourcePropPage;
using Strings = std::vector<std::string>;

const std::string kEncoder = "{EN-1}", kDome = "{DO-2}";
const std::string kNoSources = "Error retrieving IP Sources data from the remote Quellan.";
const std::string kSelectType = "You must select an IP Device Type before clicking <OK>";

class IPSources : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"ipSources",
                 {{"unassignedCameras", 12},
                  {"devices",
                   {{{"guid", kEncoder}, {"name", "Video Encoder"}, {"config", {"a1", "a2", "a3"}}},
                    {{"guid", kDome}, {"name", "Dome Camera"}}}},
                  {"sources",
                   {{{"id", 7}, {"guid", kEncoder}, {"address", "192.0.2.5"}, {"cameras", "3,5"},
                     {"config", {"s1", "s2", "s3"}}},
                    {{"id", 9}, {"guid", "{GONE}"}, {"address", "192.0.2.6"}, {"cameras", "1"}}}},
                  {"editor", {{"confirm", true}, {"result", "address=192.0.2.9;cameras=8"}}}}}};
    }
    nlohmann::json& Section() { return unit->Data()["ipSources"]; }
    static P& Page(ui::Dialog& frame) {
        auto* page = dynamic_cast<P*>(frame.EmbeddedSheet()->Pages().at(0));
        if (!page) throw std::runtime_error("the IP Sources page is not the first page");
        return *page;
    }
    // The host calls made, without the frame's and sheet's own questions.
    Strings PageCalls() {
        Strings out;
        for (auto& c : unit->Calls())
            if (c.name.find("IP") != std::string::npos) out.push_back(c.name + (c.args.empty() ? "" : " " + c.args));
        return out;
    }
    long RunSetup(const std::string& script) {
        Script(script);
        auto out = Run("ShowIPSourceConfig");
        EXPECT_EQ(out.hr, com::S_OK);
        EXPECT_EQ(unit->OutstandingReferences(), 0);
        return out.result;
    }
    Strings PageTitles() {
        Strings titles;
        Then([&](ui::Dialog& d) {
            for (auto* p : d.EmbeddedSheet()->Pages()) titles.push_back(p->Title());
        });
        RunSetup("click 2");
        return titles;
    }
};

TEST_F(IPSources, ListShowsTheSourcesWithTypeNamesAndTheCameraMask) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "Quellan IP Source Setup");
        EXPECT_FALSE(d.Item(1).visible);  // close-only frame
        EXPECT_EQ(d.GetItemText(2), "Close");
        P& p = Page(d);
        auto& list = p.Item(P::IDC_SOURCES);
        EXPECT_EQ(list.columns, (Strings{"IP Device Type", "IP Address", "Camera Assignments"}));
        ASSERT_EQ(list.ItemCount(), 2);
        EXPECT_EQ(list.items[0].cells, (Strings{"Video Encoder", "192.0.2.5", "3,5"}));
        EXPECT_EQ(list.items[1].cells, (Strings{"Device GUID not found", "192.0.2.6", "1"}));
        EXPECT_EQ(p.RowText(2, 0), "Invalid Source Row 2");
        EXPECT_EQ(p.AssignedCameras(), 0x15u);  // cameras 1, 3 and 5
        EXPECT_EQ(p.Config().unassignedCameras, 12);
    });
    EXPECT_EQ(RunSetup("click 2"), 2);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(IPSources, AReadThatFailsShowsTheMessageAndAnEmptyList) {
    struct Case {
        const char* name;
        std::function<void(host::SimulatedUnit&)> arrange;
        Strings messages;
    };
    const Case cases[] = {
        {"call fails", [](host::SimulatedUnit& u) { u.FailCall("GetIPSourceConfig", com::E_FAIL); }, {kNoSources}},
        {"no success", [](host::SimulatedUnit& u) { u.Data()["ipSources"]["available"] = false; }, {kNoSources}},
        {"cut off",
         [](host::SimulatedUnit& u) {
             u.Data()["ipSources"]["configXml"] =
                 "<IPSourceConfig><IPSources><IPSource ID=\"1\"><Address>1.2.3.4</Address></IPSource>";
         },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        unit = std::make_unique<host::SimulatedUnit>(UnitData());
        ui::DefaultMessageBoxes().Clear();
        c.arrange(*unit);
        Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(P::IDC_SOURCES).ItemCount(), 0); });
        EXPECT_EQ(RunSetup("click 2"), 2);
        EXPECT_EQ(Messages(), c.messages);
    }
}

TEST_F(IPSources, HexadecimalIdReachesTheHost) {
    Section()["configXml"] =
        "<IPSourceConfig><IPDevices/><IPSources><IPSource ID=\"0x1F\"><GUID>{X}</GUID><Address>10.1.1.1</Address>"
        "<Cameras>2</Cameras></IPSource></IPSources></IPSourceConfig>";
    EXPECT_EQ(RunSetup("select 1080 0\nclick 1082\nclick 2"), 2);
    EXPECT_EQ(CallsNamed("GetIPSourceData"), Strings{"31 0"});
    EXPECT_EQ(Messages(), Strings{"No configuration data available for \"10.1.1.1\""});  // the unit has no source 31
}

TEST_F(IPSources, AddRunsTheEditorWithTheCameraMaskAndRefreshes) {
    Script("click 1081\nclick 1\nclick 4\nselect 1085 0\nclick 1");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(P::IDC_SOURCES).ItemCount(), 3); });
    EXPECT_EQ(RunSetup("click 2"), 2);
    EXPECT_EQ(Messages(), Strings{kSelectType});
    EXPECT_EQ(CallsNamed("ShowHelp"), Strings{"47"});
    EXPECT_EQ(PageCalls(), (Strings{"GetIPSourceConfig", "GetIPDeviceData \"" + kEncoder + "\" 0",
                                    "IPDeviceConfigEditor.SetConfigData \"a1\" \"a2\" \"a3\"",
                                    "IPDeviceConfigEditor.Edit CamAssign:Integer=21",
                                    "IPDeviceConfigEditor.get_Result",
                                    "AddIPSource \"" + kEncoder + "\" \"address=192.0.2.9;cameras=8\"",
                                    "GetIPSourceConfig"}));
    ASSERT_EQ(Section()["sources"].size(), 3u);
    EXPECT_EQ(Section()["sources"][2]["id"], 10);
    EXPECT_EQ(Section()["sources"][2]["cameras"], "8");
}

TEST_F(IPSources, CancelledTypeOrEditorOrMissingDataAddsNothing) {
    // Cancel in the device type dialog.
    EXPECT_EQ(RunSetup("click 1081\nclick 2\nclick 2"), 2);
    EXPECT_TRUE(CallsNamed("GetIPDeviceData").empty());
    // A device type without configuration data.
    unit->ClearCalls();
    EXPECT_EQ(RunSetup("click 1081\nselect 1085 1\nclick 1\nclick 2"), 2);
    EXPECT_EQ(Messages(), Strings{"No configuration data available for \"Dome Camera\""});
    EXPECT_TRUE(CallsNamed("IPDeviceConfigEditor.Edit").empty());
    // The operator cancels the editor.
    unit->ClearCalls();
    Section()["editor"]["confirm"] = false;
    EXPECT_EQ(RunSetup("click 1081\nselect 1085 0\nclick 1\nclick 2"), 2);
    EXPECT_EQ(CallsNamed("IPDeviceConfigEditor.Edit").size(), 1u);
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(CallsNamed("GetIPSourceConfig").size(), 1u);  // no refresh
}

TEST_F(IPSources, EditUpdatesTheSelectedSourceInTheSystemLanguage) {
    struct Case {
        const char* language;
        const char* code;
    };
    for (const Case c : {Case{"ENG", "0"}, Case{"DEU", "1"}, Case{"FRA", "2"}, Case{"ESP", "3"}, Case{"POR", "4"},
                         Case{"CHI", "5"}, Case{"deu", "0"}}) {
        SCOPED_TRACE(c.language);
        reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", c.language);
        unit = std::make_unique<host::SimulatedUnit>(UnitData());
        EXPECT_EQ(RunSetup("select 1080 0\nclick 1082\nclick 2"), 2);
        EXPECT_EQ(PageCalls(), (Strings{"GetIPSourceConfig", std::string("GetIPSourceData 7 ") + c.code,
                                        "IPDeviceConfigEditor.SetConfigData \"s1\" \"s2\" \"s3\"",
                                        "IPDeviceConfigEditor.Edit CamAssign:Integer=21",
                                        "IPDeviceConfigEditor.get_Result",
                                        "UpdateIPSource 7 \"address=192.0.2.9;cameras=8\"", "GetIPSourceConfig"}));
        EXPECT_EQ(Section()["sources"][0]["address"], "192.0.2.9");
    }
    // Edit without a selection asks nothing.
    unit->ClearCalls();
    EXPECT_EQ(RunSetup("click 1082\nclick 2"), 2);
    EXPECT_TRUE(CallsNamed("GetIPSourceData").empty());
}

TEST_F(IPSources, DeleteAsksWithTheRowTextsAndDeletesOnYes) {
    const std::string question =
        "Do you wish to delete the settings for  \"Device GUID not found\" at IP address \"192.0.2.6\" assigned to "
        "camera(s) \"1\"?";
    // No selection: nothing at all.
    EXPECT_EQ(RunSetup("click 1083\nclick 2"), 2);
    EXPECT_TRUE(Messages().empty());
    // No: nothing deleted.
    EXPECT_EQ(RunSetup("select 1080 1\nanswer no\nclick 1083\nclick 2"), 2);
    EXPECT_EQ(Messages(), Strings{question});
    EXPECT_TRUE(Changes().empty());
    // Yes: deleted and the list read again.
    unit->ClearCalls();
    ui::DefaultMessageBoxes().Clear();
    Script("select 1080 1\nanswer yes\nclick 1083");
    Then([](ui::Dialog& d) { EXPECT_EQ(Page(d).Item(P::IDC_SOURCES).ItemCount(), 1); });
    EXPECT_EQ(RunSetup("click 2"), 2);
    EXPECT_EQ(PageCalls(), (Strings{"GetIPSourceConfig", "DeleteIPSource 9", "GetIPSourceConfig"}));
    EXPECT_EQ(Section()["sources"].size(), 1u);
}

TEST_F(IPSources, DeleteRefusedByTheHostKeepsTheList) {
    // The unit no longer has the source the list shows.
    Section()["configXml"] =
        "<IPSourceConfig><IPSources><IPSource ID=\"44\"><Address>a</Address></IPSource></IPSources></IPSourceConfig>";
    EXPECT_EQ(RunSetup("select 1080 0\nanswer yes\nclick 1083\nclick 2"), 2);
    EXPECT_EQ(PageCalls(), (Strings{"GetIPSourceConfig", "DeleteIPSource 44"}));
}

TEST_F(IPSources, PagesFollowVersionFeatureAndAccess) {
    const Strings all = {"IP Sources", "Camera Control", "PTZ Triggers", "User-Defined Handlers", "Covert Mode"};
    EXPECT_EQ(PageTitles(), all);
    unit->Data()["version"] = 3.09;
    EXPECT_EQ(PageTitles(), (Strings{"IP Sources", "Camera Control", "PTZ Triggers", "User-Defined Handlers"}));
    unit->Data()["version"] = 3.1;
    EXPECT_EQ(PageTitles(), all);
    unit->Data()["features"]["21"] = false;
    EXPECT_EQ(PageTitles(), (Strings{"IP Sources", "Covert Mode"}));
    unit->Data()["features"]["21"] = true;
    unit->Data()["cameraControlSupport"] = 0;
    EXPECT_EQ(PageTitles(), (Strings{"IP Sources", "Covert Mode"}));
    unit->Data()["cameraControlSupport"] = 1;
    unit->Data()["cameraSetupAccess"] = 0;
    EXPECT_EQ(PageTitles(), (Strings{"Camera Control", "PTZ Triggers", "User-Defined Handlers", "Covert Mode"}));
    unit->Data()["covertSetupAccess"] = 0;
    EXPECT_EQ(PageTitles(), (Strings{"Camera Control", "PTZ Triggers", "User-Defined Handlers"}));
}

TEST_F(IPSources, HelpTopicOfEachPage) {
    EXPECT_EQ(RunSetup("click 4\npage Camera Control\nclick 4\npage PTZ Triggers\nclick 4\n"
                       "page User-Defined Handlers\nclick 4\npage Covert Mode\nclick 4\nclick 2"),
              2);
    EXPECT_EQ(CallsNamed("ShowHelp"), (Strings{"46", "42", "38", "45"}));  // none for the handlers page
}

TEST_F(IPSources, ConnectTimeoutEndsTheFrameWithZero) {
    auto s = apps::CreateSetupUI();
    Then([&](ui::Dialog&) { s->ConnectTimeout(); });
    EXPECT_EQ(apps::RunOperation("ShowIPSourceConfig", *unit, *s.get()).result, 0);
    Script("click 2");
    EXPECT_EQ(apps::RunOperation("ShowIPSourceConfig", *unit, *s.get()).result, 2);
}

TEST_F(IPSources, EditorThatCannotBeHadIsRaisedAsEPointer) {
    for (com::HRESULT hr : {com::E_NOINTERFACE, com::E_OUTOFMEMORY}) {
        unit = std::make_unique<host::SimulatedUnit>(UnitData());
        unit->FailCreate(host::CLSID_IPDeviceConfigEditor, hr);
        Script("select 1080 0\nclick 1082");
        auto out = Run("ShowIPSourceConfig");
        EXPECT_EQ(out.hr, com::E_POINTER) << com::HresultText(hr);
        EXPECT_TRUE(Changes().empty());
        EXPECT_EQ(unit->OutstandingReferences(), 0);
    }
}

TEST_F(IPSources, FailingHelpOfTheDeviceTypeDialogIsRaised) {
    unit->FailCall("ShowHelp", com::E_FAIL);
    Script("click 1081\nclick 4");
    auto out = Run("ShowIPSourceConfig");
    EXPECT_EQ(out.hr, com::E_FAIL);
    EXPECT_TRUE(Changes().empty());
}

}  // namespace
