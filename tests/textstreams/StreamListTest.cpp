// The text stream list and the stream sheet, run through ShowTextStreams on
// the simulated unit: what the list shows, what each page hands on and the
// order of the host calls.
#include "tests/support/Harness.h"

#include "foundation/DebugLog.h"

#include "textstreams/TSCameraAssociationPropPage.h"
#include "textstreams/TSTextAlarmsPropPage.h"
#include "textstreams/TSTextReceiptPropPage.h"
#include "textstreams/TSTextSourcePropPage.h"
#include "textstreams/TextStreamListDlg.h"
#include "textstreams/TextStreamPropSheet.h"

namespace {

using testing_support::Harness;
using L = CTextStreamListDlg;
using Src = CTSTextSourcePropPage;
using Strings = std::vector<std::string>;
using json = nlohmann::json;

const std::string kInvalidName = "Invalid Stream Name";
const std::string kGroupNeedsReceipts =
    "Warning!  You have selected to search for exceptions as a group. This option is only available when at least one "
    "receipt definition is selected. Please select one or more receipt definitions on the Receipt Definition page.";

json Streams() {
    return json::array(
        {{{"Name", "Till 1"}, {"StreamId", 0}, {"ConnectionName", "COM Port"}, {"HandlerName", "POS Receipt"},
          {"ComPort", 0}, {"BaudRate", 9600}, {"DataBits", 8}, {"Parity", 0}, {"StopBits", 0}, {"FlowControl", 2},
          {"CameraMask", 3}, {"ApplyExceptionsAsGroup", 0}, {"ConnectionType", 0}},
         {{"Name", "Office"}, {"StreamId", 1}, {"ConnectionName", "TCP/IP Port"}, {"HandlerName", "General Text"},
          {"EndOfLine", "0D 0A"}, {"CameraMask", 16}, {"ConnectionType", 2}, {"IpPort", 5100}},
         {{"Name", "Spare"}, {"StreamId", 2}, {"ConnectionName", "TCP/IP Port"}, {"HandlerName", "General Text"},
          {"ConnectionType", 2}, {"IpPort", -1}}});
}

class StreamListDlg : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"version", 3.22},
                {"features", {{"21", true}, {"25", true}}},
                {"cameraCount", 16},
                {"textStreams",
                 {{"availableComPorts", "0,1,2"},
                  {"handlers",
                   {{{"name", "General Text"}, {"kind", 0}, {"hasSetup", 1}},
                    {{"name", "Video Printer"}, {"kind", 1}, {"hasSetup", 1}},
                    {{"name", "POS Receipt"}, {"kind", 0}, {"hasSetup", 0}}}},
                  {"connectionTypes",
                   {{{"name", "TCP/IP Port"}, {"type", 2}, {"flag", 1}}, {{"name", "COM Port"}, {"type", 0}, {"flag", 1}}}},
                  {"streams", Streams()},
                  {"definitions", {{"0", "9,3"}}}}},
                {"textDefinitions",
                 {{"definitions",
                   {{{"Id", 3}, {"Name", "Large total"}, {"Match", "TOTAL"}, {"Operator", 1}, {"Value1", 100.0}},
                    {{"Id", 4}, {"Name", "Void"}, {"Match", "VOID"}, {"Operator", 2}, {"IsString", 1}},
                    {{"Id", 9}, {"Name", "Sale"}, {"IsReceipt", 1}, {"BeginMarker", "SALE"}}}}}}};
    }
    static L& List(ui::Dialog& d) { return dynamic_cast<L&>(d); }
    static CTextStreamPropSheet& Sheet(ui::Dialog& frame) {
        auto* sheet = dynamic_cast<CTextStreamPropSheet*>(frame.EmbeddedSheet());
        if (!sheet) throw std::runtime_error("no stream sheet on top");
        return *sheet;
    }
    std::vector<std::string> RowsOf(const ui::Control& list) {
        std::vector<std::string> out;
        for (int r = 0; r < list.ItemCount(); ++r)
            out.push_back(list.ItemText(r, 0) + "|" + list.ItemText(r, 1) + "|" + list.ItemText(r, 2));
        return out;
    }
    json& Stored(int index) { return unit->Data()["textStreams"]["streams"][index]; }
};

TEST_F(StreamListDlg, RowsShowTheSerialSummaryOrTheIpPortAndHelpIs76) {
    Strings rows;
    Then([&](ui::Dialog& d) { rows = RowsOf(d.Item(L::IDC_STREAMS)); });
    Script("click 4\nclick 2\n");
    auto out = Run("ShowTextStreams");
    EXPECT_EQ(rows, (Strings{"Till 1|POS Receipt|COM1:9600,N,8,1", "Office|General Text|IP Port:5100",
                             "Spare|General Text|Unassigned"}));
    EXPECT_EQ(CallsNamed("ShowHelp"), Strings{"76"});
    EXPECT_EQ(out.result, 0) << "Close ends with the cancel result";
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StreamListDlg, EmptyHostGivesAnEmptyListWhereEditAndDeleteDoNothing) {
    unit->Data()["textStreams"]["streams"] = json::array();
    int rows = -1;
    Then([&](ui::Dialog& d) { rows = d.Item(L::IDC_STREAMS).ItemCount(); });
    Script("click 1132\nclick 1133\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StreamListDlg, EmptyNameIsRefusedAndTheSheetOpensAgainUntilCancelled) {
    int frames = 0;
    Script("click 1131\n");
    Then([&](ui::Dialog&) { ++frames; });
    Script("click 1\n");
    Then([&](ui::Dialog& d) {
        ++frames;
        EXPECT_EQ(Sheet(d).SourcePage()->GetItemText(Src::IDC_NAME), "") << "the pages start afresh";
    });
    Script("click 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(Messages(), Strings{kInvalidName});
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StreamListDlg, PagesFollowTheVersionAndTheAlarmFeature) {
    struct Case {
        double version;
        bool feature;
        Strings pages;
        std::vector<int> topics;
    };
    const Strings two{"Text Source", "Camera Associations"};
    const Strings four{"Text Source", "Camera Associations", "Alarms", "Receipt Definitions"};
    for (const Case& c : {Case{3.1, true, four, {75, 77, 79, 84}}, Case{3.0, true, two, {75, 77}},
                          Case{3.22, false, two, {75, 77}}}) {
        SetUp();
        unit->Data()["version"] = c.version;
        unit->Data()["features"]["25"] = c.feature;
        Strings pages;
        std::vector<int> topics;
        Script("click 1131\n");
        Then([&](ui::Dialog& frame) {
            for (auto* p : frame.EmbeddedSheet()->Pages()) {
                pages.push_back(p->Title());
                frame.OperatorSelectPage(p->Title());
                topics.push_back(frame.EmbeddedSheet()->GetActiveHelpTopic());
            }
            EXPECT_TRUE(Sheet(frame).ControlParent());
        });
        Script("click 2\nclick 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(pages, c.pages) << c.version;
        EXPECT_EQ(topics, c.topics) << c.version;
    }
}

TEST_F(StreamListDlg, AddCreatesThenUpdatesThenSendsTheDefinitions) {
    Strings rows;
    Script("click 1131\nset 1140 Till 2\nselect 1142 1\nselect 1145 0\n");  // COM Port sorts first
    Script("page Camera Associations\ntick 1150 1\ntick 1165 1\n");
    Script("page Alarms\ncheck 1170 1 1\npage Receipt Definitions\ncheck 1180 0 1\nclick 1\n");
    Then([&](ui::Dialog& d) { rows = RowsOf(d.Item(L::IDC_STREAMS)); });
    Script("click 2\n");
    Run("ShowTextStreams");
    const Strings changes = Changes();
    ASSERT_EQ(changes.size(), 3u) << ::testing::PrintToString(changes);
    EXPECT_EQ(changes[0], "CreateStream -2 \"COM Port\" \"Video Printer\" 0");
    EXPECT_EQ(changes[1].rfind("UpdateStream 3 \"Till 2\" 3 \"COM Port\" \"Video Printer\"", 0), 0u) << changes[1];
    EXPECT_NE(changes[1].find(" 32769 "), std::string::npos) << "cameras 1 and 16: " << changes[1];
    EXPECT_EQ(changes[2], "SetStreamDefinitions 3 \"9,4\"") << "receipts first, then exceptions";
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3], "Till 2|Video Printer|Unassigned");
}

TEST_F(StreamListDlg, CreateRefusedSaysSoAndSendsNothingElse) {
    unit->Data()["textStreams"]["createRefused"] = true;
    Script("click 1131\nset 1140 Till 2\nclick 1\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(Messages(), Strings{"Unable to create text stream."});
    EXPECT_EQ(CallsNamed("UpdateStream").size(), 0u);
    EXPECT_EQ(CallsNamed("SetStreamDefinitions").size(), 0u);
}

TEST_F(StreamListDlg, FailedUpdateAfterCreateLeavesTheRowOutButSendsTheDefinitions) {
    unit->FailCall("UpdateStream", com::E_FAIL);
    int rows = -1;
    Script("click 1131\nset 1140 Till 2\npage Alarms\ncheck 1170 0 1\nclick 1\n");
    Then([&](ui::Dialog& d) { rows = d.Item(L::IDC_STREAMS).ItemCount(); });
    Script("click 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(CallsNamed("SetStreamDefinitions").size(), 1u);
}

TEST_F(StreamListDlg, EditMergesThePagesAndAClashingNameKeepsTheSheetOpen) {
    Strings rows;
    Script("select 1130 0\nclick 1132\nset 1140 OFFICE\nclick 1\n");  // clashes with "Office"
    Then([&](ui::Dialog& frame) { EXPECT_NE(frame.EmbeddedSheet(), nullptr) << "the frame stays open"; });
    Script("set 1140 Till A\npage Camera Associations\ntick 1151 0\nclick 1\n");
    Then([&](ui::Dialog& d) { rows = RowsOf(d.Item(L::IDC_STREAMS)); });
    Script("click 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(Messages(), Strings{"Stream name OFFICE already exists please enter a different name"});
    const auto updates = CallsNamed("UpdateStream");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0],
              "0 \"Till A\" 0 \"COM Port\" \"POS Receipt\" 0 9600 8 0 0 2 1 0 0 0 \"\" 0 -1 0");
    EXPECT_EQ(CallsNamed("SetStreamDefinitions").size(), 0u) << "no definitions page applied a change";
    EXPECT_EQ(rows.at(0), "Till A|POS Receipt|COM1:9600,N,8,1");
}

TEST_F(StreamListDlg, DeleteAsksWithTheNameAndOnlyYesDeletes) {
    for (const char* answer : {"no", "yes"}) {
        SetUp();
        int rows = -1;
        Script(std::string("select 1130 1\nanswer ") + answer + "\nclick 1133\n");
        Then([&](ui::Dialog& d) { rows = d.Item(L::IDC_STREAMS).ItemCount(); });
        Script("click 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(Messages(), Strings{"Continue with deletion of text stream configuration for \"Office\"?"});
        const bool yes = std::string(answer) == "yes";
        EXPECT_EQ(CallsNamed("DeleteStream"), yes ? Strings{"1 0"} : Strings{}) << answer;
        EXPECT_EQ(rows, yes ? 2 : 3) << answer;
    }
}

TEST_F(StreamListDlg, TextSourceListsFollowTheVersion) {
    struct Case {
        double version;
        bool handlerShown;
        Strings connections;
    };
    for (const Case& c : {Case{3.10, false, {"COM Port"}}, Case{3.20, true, {"COM Port"}},
                          Case{3.21, true, {"COM Port", "TCP/IP Port"}}}) {
        SetUp();
        unit->Data()["version"] = c.version;
        bool shown = !c.handlerShown;
        Strings connections;
        Script("click 1131\n");
        Then([&](ui::Dialog& frame) {
            auto& page = *Sheet(frame).SourcePage();
            shown = page.Item(Src::IDC_HANDLER).visible && page.Item(Src::IDC_TYPE_LABEL).visible;
            for (int r = 0; r < page.Item(Src::IDC_CONNECTION).ItemCount(); ++r)
                connections.push_back(page.Item(Src::IDC_CONNECTION).ItemText(r));
        });
        Script("click 2\nclick 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(shown, c.handlerShown) << c.version;
        EXPECT_EQ(connections, c.connections) << c.version;
        EXPECT_EQ(CallsNamed("GetConnectionTypeNames").size(), c.connections.size() > 1 ? 1u : 0u) << c.version;
    }
}

TEST_F(StreamListDlg, SetupButtonsRunTheComponentsOwnDialogsAndTakeOnlyOk) {
    // Serial stream: the port dialog (edit mode, the stream's values) moves it
    // to COM3; the handler without a setup keeps its button disabled.
    bool posSetup = true;
    Script("select 1130 0\nclick 1132\n");
    Then([&](ui::Dialog& frame) { posSetup = Sheet(frame).SourcePage()->Item(Src::IDC_HANDLER_SETUP).enabled; });
    Script("select 1145 0\nclick 1146\nselect 1101 2\nclick 1\nclick 1\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_FALSE(posSetup);
    auto updates = CallsNamed("UpdateStream");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].rfind("0 \"Till 1\" 0 \"COM Port\" \"POS Receipt\" 2 9600 8 0 0 2", 0), 0u) << updates[0];

    // TCP/IP stream with the raw text handler: a cancelled end-of-line edit
    // is not taken, an accepted port is.
    SetUp();
    Script("select 1130 1\nclick 1132\nclick 1143\nset 1092 0A\nclick 2\n");
    Script("select 1145 1\nclick 1146\nset 1121 5300\nclick 1\nclick 1\nclick 2\n");
    Run("ShowTextStreams");
    updates = CallsNamed("UpdateStream");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_NE(updates[0].find("\"0D 0A\" 2 5300 0"), std::string::npos) << updates[0];
}

TEST_F(StreamListDlg, CameraBoxesTakeTheValidNamesAndHideBeyondTheCount) {
    unit->Data()["cameraCount"] = 8;
    json cams = json::array();
    for (int i = 0; i < 16; ++i) cams.push_back({{"name", "Cam " + std::to_string(i + 1)}, {"valid", i != 1}});
    unit->Data()["cameras"] = cams;
    Strings captions;
    std::vector<bool> visible, ticked;
    Script("select 1130 0\nclick 1132\npage Camera Associations\n");
    Then([&](ui::Dialog& frame) {
        auto& page = *Sheet(frame).CameraPage();
        for (int n = 0; n < 16; ++n) {
            captions.push_back(page.GetItemText(CTSCameraAssociationPropPage::IDC_CAMERA1 + n));
            visible.push_back(page.Item(CTSCameraAssociationPropPage::IDC_CAMERA1 + n).visible);
            ticked.push_back(page.IsTicked(CTSCameraAssociationPropPage::IDC_CAMERA1 + n));
        }
    });
    Script("click 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(captions[0], "Cam 1");
    EXPECT_EQ(captions[1], "Cam 3") << "a camera without a valid name uses no box";
    EXPECT_EQ(captions[14], "Cam 16");
    EXPECT_EQ(captions[15], "Camera 16") << "no name left for the last box";
    EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true, true, true, true, true, false, false, false, false,
                                          false, false, false, false}));
    EXPECT_TRUE(ticked[0] && ticked[1] && !ticked[2]) << "mask 3";

    SetUp();
    bool anyTicked = true;
    Script("click 1131\npage Camera Associations\n");
    Then([&](ui::Dialog& frame) { anyTicked = Sheet(frame).CameraPage()->CheckedMask() != 0; });
    Script("click 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_FALSE(anyTicked) << "a new stream starts with no camera";
}

TEST_F(StreamListDlg, StreamsOwnDefinitionsAreCheckedOnBothPages) {
    Strings exceptions, receipts;
    Script("select 1130 0\nclick 1132\npage Alarms\n");
    Then([&](ui::Dialog& frame) {
        auto& list = Sheet(frame).AlarmsPage()->Item(CTSTextAlarmsPropPage::IDC_EXCEPTIONS);
        for (int r = 0; r < list.ItemCount(); ++r) exceptions.push_back(list.ItemText(r) + (list.IsChecked(r) ? "+" : ""));
    });
    Script("page Receipt Definitions\n");
    Then([&](ui::Dialog& frame) {
        auto& list = Sheet(frame).ReceiptPage()->Item(CTSTextReceiptPropPage::IDC_RECEIPTS);
        for (int r = 0; r < list.ItemCount(); ++r) receipts.push_back(list.ItemText(r) + (list.IsChecked(r) ? "+" : ""));
    });
    Script("tick 1182 1\n");
    Then([&](ui::Dialog& frame) {
        EXPECT_EQ(Sheet(frame).ReceiptPage()->Item(CTSTextReceiptPropPage::IDC_RECEIPTS).ItemText(0), "Sale - Receipt begins at 'SALE'");
        EXPECT_TRUE(Sheet(frame).ReceiptPage()->Item(CTSTextReceiptPropPage::IDC_RECEIPTS).IsChecked(0)) << "Show Description keeps checks";
    });
    Script("click 1\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(exceptions, (Strings{"Large total+", "Void"}));
    EXPECT_EQ(receipts, Strings{"Sale+"});
    EXPECT_EQ(CallsNamed("SetStreamDefinitions"), Strings{"0 \"9,3\""}) << "both pages applied their unchanged choice";
}

TEST_F(StreamListDlg, GroupOptionNeedsAReceiptDefinition) {
    struct Case {
        const char* actions;  // on the Receipt Definitions page, then back on Alarms
        Strings messages;
        bool applied;
    };
    const std::string lastReceipt =
        "Warning!  You have selected to search for exceptions as a group. This option is only available when receipt "
        "definitions are selected. Do you want to deselect the last receipt definition and apply exceptions as group?";
    for (const Case& c : {
             // The receipt page has not reported: the apply goes through.
             Case{"", {}, true},
             // Unchecking the last receipt, answering No, keeps it checked.
             Case{"page Receipt Definitions\nanswer no\ncheck 1180 0 0\n", {lastReceipt}, true},
             // Answering Yes turns the group option off.
             Case{"page Receipt Definitions\nanswer yes\ncheck 1180 0 0\npage Alarms\n", {lastReceipt}, true},
         }) {
        SetUp();
        Stored(0)["ApplyExceptionsAsGroup"] = 1;
        Script("select 1130 0\nclick 1132\npage Alarms\ntick 1173 1\n");
        Script(c.actions);
        Script("click 1\nclick 2\nclick 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(Messages(), c.messages) << c.actions;
        EXPECT_EQ(CallsNamed("UpdateStream").size(), c.applied ? 1u : 0u) << c.actions;
    }
    // With no receipt checked when the sheet is applied, the group option is
    // refused by the Alarms page.
    SetUp();
    unit->Data()["textStreams"]["definitions"]["0"] = "3";
    Script("select 1130 0\nclick 1132\npage Alarms\ntick 1173 1\nclick 1\nclick 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(Messages(), Strings{kGroupNeedsReceipts});
    EXPECT_TRUE(CallsNamed("UpdateStream").empty());
}

// A page that refuses the sheet's OK comes to the front, so the operator
// sees the field to mend; after the mend the OK goes through.
TEST_F(StreamListDlg, RefusingPageIsBroughtToTheFront) {
    struct Case {
        const char* edit;    // leaves the sheet on another page than the refusing one
        const char* refuser;
        const char* mend;
    };
    for (const Case& c : {
             Case{"set 1140 OFFICE\npage Camera Associations\n", "Text Source", "set 1140 Till A\n"},
             Case{"page Alarms\ntick 1173 1\npage Camera Associations\n", "Alarms", "tick 1173 0\n"},
         }) {
        SCOPED_TRACE(c.refuser);
        SetUp();
        unit->Data()["textStreams"]["definitions"]["0"] = "3";
        Script(std::string("select 1130 0\nclick 1132\n") + c.edit + "click 1\n");
        std::string active;
        Then([&](ui::Dialog& frame) {
            ASSERT_NE(frame.EmbeddedSheet(), nullptr) << "the frame stays open";
            active = frame.EmbeddedSheet()->ActivePage()->Title();
        });
        Script(std::string(c.mend) + "click 1\nclick 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(active, c.refuser);
        EXPECT_EQ(Messages().size(), 1u);
        EXPECT_EQ(CallsNamed("UpdateStream").size(), 1u);
    }
}

TEST_F(StreamListDlg, NoReceiptCheckedClearsTheGroupOption) {
    Stored(0)["ApplyExceptionsAsGroup"] = 1;
    // The Alarms page is never opened, so only the receipt page speaks.
    Script("select 1130 0\nclick 1132\npage Receipt Definitions\ncheck 1180 0 0\nclick 1\n");
    Script("click 2\n");
    Run("ShowTextStreams");
    const auto updates = CallsNamed("UpdateStream");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_NE(updates[0].find(" 2 3 0 0 0 \"\""), std::string::npos) << updates[0];
    EXPECT_EQ(CallsNamed("SetStreamDefinitions"), Strings{"0 \"3\""});
}

TEST_F(StreamListDlg, SheetNeedsTheHostSystemObject) {
    unit->FailCreate(host::CLSID_HostSystemObject, com::E_FAIL);
    Script("click 1131\n");
    auto out = Run("ShowTextStreams");
    EXPECT_TRUE(com::FAILED(out.hr));
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StreamListDlg, EachEditSendsDefinitionsOnlyWhenItsOwnPagesReplacedThem) {
    struct Case {
        const char* first;   // an Add or Edit that ticks the exception "Void" on the Alarms page
        const char* second;  // an Edit of the same stream that only ticks a camera box
        Strings sent;
        const char* streamId;
        const char* stored;
    };
    for (const Case& c : {
             Case{"select 1130 0\nclick 1132\npage Alarms\ncheck 1170 1 1\nclick 1\n",
                  "select 1130 0\nclick 1132\npage Camera Associations\ntick 1152 1\nclick 1\n",
                  {"0 \"9,3,4\""}, "0", "9,3,4"},
             Case{"click 1131\nset 1140 Till 2\npage Alarms\ncheck 1170 1 1\nclick 1\n",
                  "select 1130 3\nclick 1132\npage Camera Associations\ntick 1152 1\nclick 1\n",
                  {"3 \"4\""}, "3", "4"},
         }) {
        SetUp();
        Script(c.first);
        Script(c.second);
        Script("click 2\n");
        Run("ShowTextStreams");
        EXPECT_EQ(CallsNamed("UpdateStream").size(), 2u) << c.first;
        EXPECT_EQ(CallsNamed("SetStreamDefinitions"), c.sent) << c.first;
        EXPECT_EQ(unit->Data()["textStreams"]["definitions"][c.streamId], c.stored) << c.first;
    }
}

TEST_F(StreamListDlg, UnreadableDefinitionsAreKeptAsFarAsReadableAndNeverSentUnchanged) {
    struct Case {
        const char* fault;
        const char* pageActions;  // after opening both definition pages
        Strings sent;
    };
    for (const Case& c : {
             Case{"GetStreamDefinitions fails", "", {}},
             Case{"a field is not a number", "", {}},
             Case{"no definition collection", "", {}},
             // The operator's own change is sent, with every readable identifier.
             Case{"a field is not a number", "page Alarms\ncheck 1170 1 1\n", {"0 \"9,3,4\""}},
         }) {
        SetUp();
        const std::string fault = c.fault;
        if (fault == "GetStreamDefinitions fails") unit->FailCall("GetStreamDefinitions", com::E_FAIL);
        if (fault == "a field is not a number") unit->Data()["textStreams"]["definitions"]["0"] = "9,x,3";
        if (fault == "no definition collection") unit->FailCreate(host::CLSID_TextDefinitionCollection, com::E_FAIL);
        const std::string before = unit->Data()["textStreams"]["definitions"]["0"];
        Strings logged;
        DebugLoggerDLL::SetSink([&](const std::string& line) { logged.push_back(line); });
        Strings checkedExceptions;
        Script("select 1130 0\nclick 1132\npage Alarms\npage Receipt Definitions\n");
        Then([&](ui::Dialog& frame) {
            auto& list = Sheet(frame).AlarmsPage()->Item(CTSTextAlarmsPropPage::IDC_EXCEPTIONS);
            for (int row : list.CheckedItems()) checkedExceptions.push_back(list.ItemText(row));
        });
        Script(c.pageActions);
        Script("click 1\nclick 2\n");
        auto out = Run("ShowTextStreams");
        DebugLoggerDLL::SetSink(nullptr);
        EXPECT_EQ(out.hr, com::S_OK) << fault;
        EXPECT_TRUE(Messages().empty()) << fault;
        EXPECT_EQ(CallsNamed("SetStreamDefinitions"), c.sent) << fault;
        if (c.sent.empty()) {
            EXPECT_EQ(unit->Data()["textStreams"]["definitions"]["0"], before) << fault;
        }
        const auto updates = CallsNamed("UpdateStream");
        ASSERT_EQ(updates.size(), 1u) << fault;
        EXPECT_NE(updates[0].find(" 3 0 0 0 \"\""), std::string::npos) << "the group option is kept: " << updates[0];
        if (fault == "a field is not a number") {
            EXPECT_EQ(checkedExceptions, Strings{"Large total"}) << "the readable identifiers are checked";
        }
        bool told = false;
        for (const auto& line : logged) told = told || line.find("definitions of stream 0") != std::string::npos;
        EXPECT_TRUE(told) << fault << ": " << ::testing::PrintToString(logged);
    }
}

TEST_F(StreamListDlg, HostCallsUseTheStreamsOwnIndexAfterAGetStreamFailure) {
    unit->FailCall("GetStream", com::E_FAIL, 1);  // "Till 1" (index 0) is left out of the list
    Strings rows;
    Script("select 1130 0\nclick 1132\nset 1140 Office 2\nclick 1\n");     // Office, the host's index 1
    Script("select 1130 0\nanswer yes\nclick 1133\n");                       // deletes it: Spare moves to 1
    Script("select 1130 0\nclick 1132\nset 1140 Spare 2\nclick 1\n");
    Then([&](ui::Dialog& d) { rows = RowsOf(d.Item(L::IDC_STREAMS)); });
    Script("click 2\n");
    Run("ShowTextStreams");
    const auto updates = CallsNamed("UpdateStream");
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].rfind("1 \"Office 2\" 1 ", 0), 0u) << updates[0];
    EXPECT_EQ(CallsNamed("DeleteStream"), Strings{"1 0"});
    EXPECT_EQ(updates[1].rfind("1 \"Spare 2\" 2 ", 0), 0u) << updates[1];
    EXPECT_EQ(rows, Strings{"Spare 2|General Text|Unassigned"});
    const auto& streams = unit->Data()["textStreams"]["streams"];
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["Name"], "Till 1") << "the stream left out of the list is untouched";
    EXPECT_EQ(streams[1]["Name"], "Spare 2");
}

TEST_F(StreamListDlg, AStreamsTcpIpPortIsUsedFromTheMomentItIsStored) {
    const std::string used = "Value for IP Port already assigned to another text stream.";
    const std::string addOn5300 = "click 1131\nset 1140 NAME\nselect 1145 1\nclick 1146\nset 1121 5300\nclick 1\n";
    auto add = [&](const std::string& name) {
        std::string s = addOn5300;
        return s.replace(s.find("NAME"), 4, name);
    };
    // In one run: the second stream cannot take the port the first one got.
    Script(add("Till 2") + "click 1\n" + add("Till 3") + "click 2\nclick 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(Messages(), Strings{used});
    EXPECT_EQ(CallsNamed("CreateStream").size(), 1u);
    // In the next run the stored stream still holds it.
    ui::DefaultMessageBoxes().Clear();
    Script(add("Till 4") + "click 2\nclick 2\nclick 2\n");
    Run("ShowTextStreams");
    EXPECT_EQ(Messages(), Strings{used});
    EXPECT_EQ(CallsNamed("CreateStream").size(), 1u);
    const auto& streams = unit->Data()["textStreams"]["streams"];
    ASSERT_EQ(streams.size(), 4u);
    EXPECT_EQ(streams[3]["IpPort"], 5300);
}

}  // namespace
