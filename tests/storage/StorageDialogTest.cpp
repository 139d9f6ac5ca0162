// The storage dialog driven as an operator would: the list, the buttons per
// selection, and every flow with its messages and host calls.
#include <gtest/gtest.h>

#include "StorageFixture.h"
#include "util/Util.h"
#include "platform/registry/Registry.h"
#include "resources/Resources.h"
#include "storage/StorageVolumes.h"

using namespace storage_tests;

namespace {

class StorageDialog : public StorageHarness {};

// Changes recorded for the volume operations (labels and long operations).
std::vector<std::string> Without(std::vector<std::string> v, const std::string& prefix) {
    std::erase_if(v, [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return v;
}

TEST_F(StorageDialog, ListsEveryVolumeWithItsFacts) {
    Volumes()[1]["sizeKB"] = -1;  // a volume whose size is unknown
    const std::string range = CDateTime(kT1).FormatLocal24HourDateTime() + "-" +
                              CDateTime(kT2).FormatLocal24HourDateTime();
    Then([&](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "Quellan Storage Setup");
        const auto& cols = Dlg(d).Columns();
        ASSERT_EQ(cols.size(), 7u);
        EXPECT_EQ(d.Item(CStorageDlg::IDC_VOLUMES).columns,
                  (std::vector<std::string>{"Index", "Path", "Label", "Status", "Size", "Allocated", "Time Range"}));
        EXPECT_EQ(cols[1].second, 43);
        ASSERT_EQ(d.Item(CStorageDlg::IDC_VOLUMES).ItemCount(), 7);
        std::vector<std::string> row0;
        for (int c = 0; c < 7; ++c) row0.push_back(Cell(d, 0, c));
        EXPECT_EQ(row0, (std::vector<std::string>{"0", "D:\\", "VIDEO1", "Active*", "1.00GB", "0.50GB", range}));
        // Size -1: index, path, label and status only.
        EXPECT_EQ(Cell(d, 1, 3), "Empty");
        EXPECT_EQ(Cell(d, 1, 4), "");
        EXPECT_EQ(Cell(d, 1, 6), "");
        // Known start, no end.
        EXPECT_EQ(Cell(d, 3, 6), CDateTime(kT1).FormatLocal24HourDateTime() + "-*");
        // A missing volume has no readable label: the row stops after the path.
        EXPECT_EQ(Cell(d, 4, 1), "H:\\");
        EXPECT_EQ(Cell(d, 4, 2), "");
        EXPECT_EQ(Cell(d, 4, 3), "");
        // No allocation known: the row stops after the size.
        EXPECT_EQ(Cell(d, 5, 4), "1.00GB");
        EXPECT_EQ(Cell(d, 5, 5), "");
        EXPECT_EQ(Cell(d, 2, 6), "*");
        // Nothing selected after a fill; some volume is addable.
        for (int id : {CStorageDlg::IDC_ADD, CStorageDlg::IDC_REMOVE, CStorageDlg::IDC_LABEL, CStorageDlg::IDC_REPAIR})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(Enabled(d, CStorageDlg::IDC_ADD_ALL));
        EXPECT_TRUE(Enabled(d, CStorageDlg::IDC_EXIT));
        EXPECT_TRUE(Storage().HasCallback());
    });
    Script("click 4\nclick 1");
    auto out = Run("ShowStorage");
    EXPECT_EQ(out.hr, com::S_OK);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(CallsNamed("ShowHelp"), (std::vector<std::string>{"85"}));
    EXPECT_EQ(CallsNamed("SetCallback"), (std::vector<std::string>{"callback", "null"}));
    EXPECT_FALSE(Storage().HasCallback());
    EXPECT_EQ(unit->OutstandingReferences(), 0);
}

TEST_F(StorageDialog, CancelYieldsZeroAndCustomLookKeepsTheCaption) {
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 1);
    Then([](ui::Dialog& d) { EXPECT_EQ(d.Caption(), ""); });
    Script("close");
    EXPECT_EQ(Run("ShowStorage").result, 0);
}

TEST_F(StorageDialog, AddAllNeedsAnAddableVolume) {
    auto& v = Volumes();
    nlohmann::json onlyActive = nlohmann::json::array({v[0], v[4]});
    v = onlyActive;
    Then([](ui::Dialog& d) { EXPECT_FALSE(Enabled(d, CStorageDlg::IDC_ADD_ALL)); });
    Run("ShowStorage");
}

TEST_F(StorageDialog, ButtonsFollowTheSelectedVolumesState) {
    // add, remove, label, repair for rows 0..6 (states 0..6).
    const bool expected[7][4] = {{false, true, true, false}, {true, true, true, false},  {true, true, true, true},
                                 {true, true, true, true},   {false, true, false, false}, {false, true, false, false},
                                 {false, true, true, true}};
    for (int row = 0; row < 7; ++row) {
        Script("select 1000 " + std::to_string(row));
        Then([&, row](ui::Dialog& d) {
            const int ids[4] = {CStorageDlg::IDC_ADD, CStorageDlg::IDC_REMOVE, CStorageDlg::IDC_LABEL,
                                CStorageDlg::IDC_REPAIR};
            for (int k = 0; k < 4; ++k) EXPECT_EQ(Enabled(d, ids[k]), expected[row][k]) << "row " << row << " button " << ids[k];
        });
    }
    Script("select 1000 -1");
    Then([](ui::Dialog& d) { EXPECT_TRUE(Enabled(d, CStorageDlg::IDC_REPAIR)); });  // no selection: unchanged
    Run("ShowStorage");
}

TEST_F(StorageDialog, AddEmptyVolumeLabelsAndInitialisesWithThePercentage) {
    Script("select 1000 1\nclick 1004\nwait");
    Then([](ui::Dialog& d) {
        ASSERT_EQ(d.TemplateId(), 206);
        EXPECT_EQ(d.GetItemText(1010), "NEWDISK");
        EXPECT_EQ(d.GetItemText(1011), "100");
        EXPECT_TRUE(d.Item(1010).visible);
        EXPECT_TRUE(d.Item(1011).visible);
    });
    Script("set 1010 BIG\nset 1011 50\nclick 1\nwait");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.TemplateId(), 204);
        EXPECT_EQ(Cell(d, 1, 2), "BIG");
        EXPECT_EQ(Cell(d, 1, 3), "Active");
        EXPECT_EQ(Cell(d, 1, 5), "1.00GB");
        EXPECT_TRUE(Enabled(d, CStorageDlg::IDC_EXIT));
        EXPECT_EQ(d.Item(CStorageDlg::IDC_PROGRESS).rangeMax, 1);
        EXPECT_EQ(d.Item(CStorageDlg::IDC_PROGRESS).pos, 1);
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowStorage").result, 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Changes(), (std::vector<std::string>{"SetVolumeLabel 1 \"BIG\"", "InitializeVolume 1 1048576 0"}));
    EXPECT_EQ(State(1), 0);
    EXPECT_EQ(Volumes()[1]["allocatedKB"], 1048576);
}

TEST_F(StorageDialog, AddAsksAboutForeignAndOtherDatabaseData) {
    struct Case {
        int row;
        std::vector<std::string> answers;  // message answers, in order
        bool labelDialog;
        std::vector<std::string> changes;
        std::string message;
    } cases[] = {
        {2, {"no"}, false, {}, "Volume F:\\ contains non-Quellan data.  Adding the volume will erase this data.  Continue?"},
        {2, {"yes"}, true, {"SetVolumeLabel 2 \"L\"", "InitializeVolume 2 1000 0"}, ""},
        {3, {"yes"}, false, {"ConvertVolume 3 0"},
         "Volume G:\\ contains data from a different Quellan database.  Select YES if you wish to convert this data "
         "and incorporate it into this database.  Select NO if you want to erase the data."},
        // No: the data is erased, the label dialog follows and the volume is initialised.
        {3, {"no"}, true, {"SetVolumeLabel 3 \"L\"", "InitializeVolume 3 4194304 0"}, ""},
        {3, {"cancel"}, false, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " " + c.answers[0]);
        SetUp();
        std::string s;
        for (auto& a : c.answers) s += "answer " + a + "\n";
        Script(s + "select 1000 " + std::to_string(c.row) + "\nclick 1004\nwait");
        if (c.labelDialog) Script("set 1010 L\nclick 1\nwait");
        Then([](ui::Dialog& d) { EXPECT_EQ(d.TemplateId(), 204); });
        Run("ShowStorage");
        EXPECT_EQ(Changes(), c.changes);
        ASSERT_EQ(Messages().size(), c.answers.size());
        if (!c.message.empty()) {
            EXPECT_EQ(Messages()[0], c.message);
        }
        EXPECT_EQ(ui::DefaultMessageBoxes().Shown()[0].caption, "");
        TearDown();
    }
}

TEST_F(StorageDialog, AddReportsHostRefusals) {
    struct Case {
        int row;
        const char* field;
        int value;
        std::string answers;
        std::string message;
    } cases[] = {
        {3, "convertible", 0, "answer yes\n", "Failed to convert volume G:\\."},
        {1, "sizeKB", -1, "", "Failed to get total size of volume E:\\."},
        {1, "sizeKB", 1, "", "Failed to initialize volume E:\\."},  // 1 KB x 50 % leaves nothing to allocate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetUp();
        Volumes()[c.row][c.field] = c.value;
        Script(c.answers + "select 1000 " + std::to_string(c.row) + "\nclick 1004\nwait");
        if (c.answers.empty()) Script("set 1011 50\nclick 1\nwait");
        Run("ShowStorage");
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back(), c.message);
        EXPECT_EQ(State(c.row), c.row == 3 ? 3 : 1);
        TearDown();
    }
}

TEST_F(StorageDialog, LabelDialogRefusesPercentagesOutside1To100) {
    Script("select 1000 1\nclick 1004\nwait");
    for (const char* bad : {"0", "101", "abc", "", "1000"}) {  // 1000 is not cut to a valid 100
        Script(std::string("set 1011 ") + bad + "\nclick 1");
        Then([bad](ui::Dialog& d) { EXPECT_EQ(d.TemplateId(), 206) << '"' << bad << '"'; });
    }
    Script("click 4\nset 1011 1\nclick 1\nwait");
    Run("ShowStorage");
    EXPECT_EQ(Messages().size(), 5u);
    EXPECT_EQ(Messages()[0], res::LoadString(storage::IDS_PERCENT_RANGE));
    EXPECT_EQ(CallsNamed("ShowHelp"), (std::vector<std::string>{"86"}));
    EXPECT_EQ(CallsNamed("InitializeVolume"), (std::vector<std::string>{"1 20971 0"}));
}

TEST_F(StorageDialog, LabelDialogCancelledEndsTheAdd) {
    Script("select 1000 1\nclick 1004\nwait\nclick 2\nwait");
    Then([](ui::Dialog& d) { EXPECT_FALSE(d.IsBusy()); });
    Run("ShowStorage");
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StorageDialog, LabelButtonRenamesTheSelectedVolume) {
    Script("select 1000 0\nclick 1006");
    Then([](ui::Dialog& d) {
        ASSERT_EQ(d.TemplateId(), 206);
        EXPECT_EQ(d.GetItemText(1010), "VIDEO1");
        EXPECT_FALSE(d.Item(1011).visible);
        EXPECT_FALSE(d.Item(1013).visible);
        EXPECT_EQ(d.Focus(), 1010);
    });
    Script("set 1010 ARCHIVE\nclick 1");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Cell(d, 0, 2), "ARCHIVE");
        EXPECT_FALSE(Enabled(d, CStorageDlg::IDC_LABEL));  // refilled: nothing selected
    });
    // Cancelled: nothing is sent.
    Script("select 1000 6\nclick 1006\nset 1010 X\nclick 2");
    Run("ShowStorage");
    EXPECT_EQ(Changes(), (std::vector<std::string>{"SetVolumeLabel 0 \"ARCHIVE\""}));
    EXPECT_EQ(Volumes()[0]["label"], "ARCHIVE");
}

TEST_F(StorageDialog, RemoveAsksPerStateAndExcludes) {
    const std::string active =
        "Warning!  You are removing an active Quellan volume.  Starting and current record positions may be "
        "permanently changed.  Continue?";
    const std::string other = "Warning!  The selected volume will be permanently excluded from the database.  Continue?";
    Script("answer no\nselect 1000 6\nclick 1007\nwait");
    Script("answer yes\nselect 1000 0\nclick 1007\nwait");
    Then([](ui::Dialog& d) { EXPECT_EQ(Cell(d, 0, 3), "Empty"); });
    Run("ShowStorage");
    EXPECT_EQ(Messages(), (std::vector<std::string>{other, active}));
    EXPECT_EQ(Changes(), (std::vector<std::string>{"RemoveVolume 0 0"}));
    EXPECT_EQ(State(0), 1);
    EXPECT_EQ(State(6), 6);
}

TEST_F(StorageDialog, RepairReportsErrorsFoundOrFailure) {
    Volumes()[3]["repairable"] = 0;
    Script("answer no\nselect 1000 6\nclick 1008\nwait");
    Script("answer yes\nselect 1000 6\nclick 1008\nwait");
    Script("answer yes\nselect 1000 3\nclick 1008\nwait");
    Run("ShowStorage");
    auto m = Messages();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].rfind("CAUTION!  This function may alter the structure", 0), 0u);
    EXPECT_EQ(m[2], "Volume J:\\ repair is complete.  2 error(s) found and repaired.");
    EXPECT_EQ(m[4], "Volume G:\\ could not be repaired.  Volume media may be damaged or disconnected.");
    EXPECT_EQ(Changes(), (std::vector<std::string>{"RepairVolume 6 0", "RepairVolume 3 0"}));
    EXPECT_EQ(State(6), 0);
}

TEST_F(StorageDialog, AddAllFlows) {
    const std::string foreign = res::LoadString(1057), other = res::LoadString(1056);
    struct Case {
        const char* name;
        std::string answers;
        bool labelDialog;
        std::vector<std::string> messages;
        std::vector<std::string> changes;
    } cases[] = {
        {"convert", "answer yes\nanswer yes\n", true, {foreign, other},
         {"SetVolumeLabel 1 \"ALL\"", "InitializeVolume 1 2097152 0", "SetVolumeLabel 2 \"ALL\"",
          "InitializeVolume 2 1000 0", "ConvertVolume 3 0"}},
        {"erase other", "answer yes\nanswer no\n", true, {foreign, other},
         {"SetVolumeLabel 1 \"ALL\"", "InitializeVolume 1 2097152 0", "SetVolumeLabel 2 \"ALL\"",
          "InitializeVolume 2 1000 0", "SetVolumeLabel 3 \"ALL\"", "InitializeVolume 3 4194304 0"}},
        {"foreign refused", "answer no\n", false, {foreign}, {}},
        {"cancelled", "answer yes\nanswer cancel\n", false, {foreign, other}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Script(c.answers + "click 1005\nwait");
        if (c.labelDialog) Script("set 1010 ALL\nclick 1\nwait");
        Then([](ui::Dialog& d) { EXPECT_EQ(d.TemplateId(), 204); });
        Run("ShowStorage");
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(Changes(), c.changes);
        EXPECT_TRUE(CallsNamed("CheckConvertAll").empty());
        TearDown();
    }
}

TEST_F(StorageDialog, AddAllOfOtherDatabasesOnlyAsksTheHostAndNoLabel) {
    for (int refused : {0, 1}) {
        SCOPED_TRACE(refused);
        SetUp();
        auto& v = Volumes();
        v = nlohmann::json::array({v[3], v[4], v[3]});
        unit->Data()["storage"]["convertAllRefused"] = refused;
        Script("answer yes\nclick 1005\nwait");
        Then([](ui::Dialog& d) { EXPECT_EQ(d.TemplateId(), 204); });
        Run("ShowStorage");
        EXPECT_EQ(CallsNamed("CheckConvertAll"), (std::vector<std::string>{"0"}));
        const std::vector<std::string> converted = {"ConvertVolume 0 0", "ConvertVolume 2 0"};
        EXPECT_EQ(Changes(), refused ? std::vector<std::string>{} : converted);
        EXPECT_EQ(Messages().size(), 1u);
        TearDown();
    }
}

TEST_F(StorageDialog, AddAllStopsAtTheFirstFailure) {
    Volumes()[1]["sizeKB"] = 1;  // 1 % of 1 KB: nothing to allocate
    Script("answer yes\nanswer yes\nclick 1005\nwait\nset 1010 ALL\nset 1011 1\nclick 1\nwait");
    Run("ShowStorage");
    EXPECT_EQ(Messages().back(), "Failed to initialize volume E:\\.");
    EXPECT_EQ(Without(Changes(), "SetVolumeLabel"), (std::vector<std::string>{"InitializeVolume 1 0 0"}));
    EXPECT_EQ(State(2), 2);
    EXPECT_EQ(State(3), 3);
}

TEST_F(StorageDialog, HostFailuresOnTheDialogThreadEndTheOperation) {
    struct Case {
        const char* call;
        com::HRESULT hr;
        std::string script;
    } cases[] = {
        {"SetCallback", com::E_ACCESSDENIED, ""},
        {"GetVolumeCount", com::E_FAIL, ""},
        {"GetVolumeTimeRange", com::E_UNEXPECTED, ""},
        {"ShowHelp", com::E_FAIL, "click 4"},
        {"GetVolumeStatus", com::E_FAIL, "select 1000 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        SetUp();
        unit->FailCall(c.call, c.hr);
        Script(c.script);
        auto out = Run("ShowStorage");
        EXPECT_EQ(out.hr, c.hr);
        EXPECT_FALSE(Storage().HasCallback() && std::string(c.call) != "SetCallback");
        EXPECT_EQ(unit->OutstandingReferences(), 0);
        TearDown();
    }
}

TEST_F(StorageDialog, WithoutTheCallbackObjectInitialisationFails) {
    mirelle::RevokeClassesInProcess();  // nobody serves the callback class now
    {
        CStorageDlg dlg(unit->StorageUISupport(), nullptr);
        EXPECT_FALSE(dlg.HasCallback());
        try {
            dlg.DoModal();
            ADD_FAILURE() << "initialisation did not fail";
        } catch (const com::ComError& e) {
            EXPECT_EQ(e.Error(), com::E_POINTER);
        }
    }
    mirelle::RegisterClassesInProcess();
    EXPECT_TRUE(CallsNamed("SetCallback") == (std::vector<std::string>{"null"}));
    EXPECT_EQ(unit->OutstandingReferences(), 0);
}

}  // namespace

namespace {

TEST_F(StorageDialog, WithoutTheHostInterfaceInitialisationFails) {
    CStorageDlg dlg(nullptr, nullptr);
    EXPECT_TRUE(dlg.HasCallback());
    try {
        dlg.DoModal();
        ADD_FAILURE() << "initialisation did not fail";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Error(), com::E_POINTER);
    }
}

}  // namespace
