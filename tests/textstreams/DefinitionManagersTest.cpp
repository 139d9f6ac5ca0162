// The text exception manager with its builder and the receipt definition
// manager with its editor, run through ShowTextExceptions and
// ShowTextReceipts on the simulated unit as an operator would.
#include <filesystem>
#include <fstream>

#include "tests/support/Harness.h"
#include "platform/ui/Dialog.h"

namespace {

using testing_support::Harness;
using Strings = std::vector<std::string>;

class DefinitionManagers : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"textDefinitions",
                 {{"definitions",
                   {{{"Id", 3}, {"Name", "Big total"}, {"Match", "TOTAL"}, {"Operator", 1}, {"Value1", 100.0}},
                    {{"Id", 5}, {"Name", "Void"}, {"Match", "VOID"}, {"Operator", 4}},
                    {{"Id", 9}, {"Name", "Sale"}, {"IsReceipt", 1}, {"BeginMarker", "START"},
                     {"EndMarker", "END"}, {"EndMarkerFlag", 1}}}},
                  {"inUse", {3}},
                  {"streams", {{{"name", "Till 2"}, {"id", 4}}, {{"name", "Till 1"}, {"id", 6}}}},
                  {"transactions", {{"4", {"SALE 1.00\n", "TOTAL 1.00\n"}}, {"6", {"OPEN\n"}}}}}}};
    }
    nlohmann::json& Definitions() { return unit->Data()["textDefinitions"]["definitions"]; }
    const nlohmann::json* Definition(int id) {
        for (auto& d : Definitions())
            if (d.value("Id", -1) == id) return &d;
        return nullptr;
    }
    long RunManager(const std::string& operation, const std::string& script) {
        Script(script);
        auto out = Run(operation);
        EXPECT_EQ(out.hr, com::S_OK);
        EXPECT_EQ(unit->OutstandingReferences(), 0);
        return out.result;
    }
    std::string TempFile(const std::string& name) {
        return (std::filesystem::temp_directory_path() / ("mirelle-defs-" + name)).string();
    }
};

const std::string k134 = "Missing name for exception definition. Please enter a name for this exception definition.";
const std::string k106 = "Please Enter Match Value and Try Again";
const std::string k123 = "Missing entry for Value 1.   Please Enter a value and Try Again";
const std::string k124 = "Missing entry for Value 2.   Please Enter a value and Try Again";
const std::string k120 = "Delete highlighted item?";
const std::string k133 = "Missing name for receipt definition. Please enter a name for this receipt definition.";
const std::string k117 = "Missing Beginning Receipt Marker.  Please Enter a Begin Receipt Marker and Try Again.";

TEST_F(DefinitionManagers, ManagerListsExceptionsOnly) {
    Strings rows;
    bool exportEnabled = true, editEnabled = true;
    std::string caption;
    Then([&](ui::Dialog& d) {
        for (int i = 0; i < d.Item(1200).ItemCount(); ++i) rows.push_back(d.Item(1200).ItemText(i));
        exportEnabled = d.Item(1205).enabled;
        editEnabled = d.Item(1202).enabled;
    });
    Script("check 1200 0 1");
    Then([&](ui::Dialog& d) { caption = d.Item(1205).enabled ? "export on" : "export off"; });
    Script("check 1200 0 0\nclick 2");
    EXPECT_EQ(RunManager("ShowTextExceptions", ""), 2);
    EXPECT_EQ(rows, (Strings{"Big total", "Void"}));
    EXPECT_FALSE(exportEnabled);
    EXPECT_FALSE(editEnabled);
    EXPECT_EQ(caption, "export on");
    EXPECT_TRUE(Changes().empty());
}

struct BuilderCase {
    const char* script;  // builder actions before OK
    std::string message;
};

TEST_F(DefinitionManagers, BuilderChecksInOrder) {
    const BuilderCase cases[] = {
        {"set 1211 TOTAL\n", k134},
        {"set 1210  Name \nset 1211    \n", k106},
        {"set 1210 N\nset 1211 M\nselect 1214 0\n", k123},
        {"set 1210 N\nset 1211 M\nselect 1214 3\nset 1215 1\n", k124},
    };
    for (const auto& c : cases) {
        ui::DefaultMessageBoxes().Clear();
        RunManager("ShowTextExceptions", std::string("click 1201\n") + c.script + "click 1\nclick 2\nclick 2");
        EXPECT_EQ(Messages(), Strings{c.message}) << c.script;
    }
    EXPECT_TRUE(CallsNamed("SetDefinitionsText").empty());
}

TEST_F(DefinitionManagers, AddStoresAmountsAndStrings) {
    RunManager("ShowTextExceptions",
               "click 1201\nset 1210 Dollars\nset 1211 TOTAL\nselect 1214 1\nset 1215 $1,234.5\nclick 1\n"
               "click 1201\nset 1210 Str\nset 1211 CODE\nselect 1214 5\nset 1215 VOID\nclick 1\nclick 2");
    // The pool follows the largest identifier loaded (9).
    const auto* dollars = Definition(10);
    ASSERT_NE(dollars, nullptr);
    EXPECT_EQ((*dollars)["Name"], "Dollars");
    EXPECT_DOUBLE_EQ((*dollars)["Value1"].get<double>(), 1.0);
    EXPECT_EQ((*dollars)["Operator"], 1);
    const auto* str = Definition(11);
    ASSERT_NE(str, nullptr);
    EXPECT_EQ((*str)["Operator"], 2);
    EXPECT_EQ((*str)["IsString"], 1);
    EXPECT_EQ((*str)["StringValue"], "VOID");
    EXPECT_DOUBLE_EQ((*str)["Value1"].get<double>(), 0.0);
    EXPECT_EQ(CallsNamed("SetDefinitionsText").size(), 2u);
}

TEST_F(DefinitionManagers, BackwardNeverOffersLastEntry) {
    Strings forward, backward;
    std::string data;
    auto jumps = [](ui::Dialog& d, Strings& out) {
        for (int i = 0; i < d.Item(1213).ItemCount(); ++i) out.push_back(d.Item(1213).ItemText(i));
    };
    Script("click 1201\nselect 1213 4");
    Then([&](ui::Dialog& d) {
        jumps(d, forward);
        data = d.GetItemText(1218);
    });
    Script("select 1212 1");
    Then([&](ui::Dialog& d) {
        jumps(d, backward);
        EXPECT_EQ(d.Item(1213).selection, 0);
    });
    RunManager("ShowTextExceptions", "click 2\nclick 2");
    EXPECT_EQ(forward, (Strings{"0", "1", "2", "3", "[To last entry of line]"}));
    EXPECT_EQ(backward, (Strings{"0", "1", "2", "3"}));
    // The sorted stream list starts with "Till 1" (stream 6).
    EXPECT_EQ(data, "OPEN\n");
}

TEST_F(DefinitionManagers, EditRewritesTheDefinition) {
    std::string shown;
    Script("select 1200 0\nclick 1202");
    Then([&](ui::Dialog& d) { shown = d.GetItemText(1215); });
    RunManager("ShowTextExceptions", "set 1215 12.5\nclick 1\nclick 2");
    EXPECT_EQ(shown, "100.00");
    EXPECT_DOUBLE_EQ((*Definition(3))["Value1"].get<double>(), 12.5);
}

TEST_F(DefinitionManagers, DeleteAsksTwiceForADefinitionInUse) {
    const struct {
        const char* answers;
        bool kept;
        size_t questions;
    } cases[] = {{"answer no\n", true, 1}, {"answer yes\nanswer no\n", true, 2}, {"answer yes\nanswer yes\n", false, 2}};
    for (const auto& c : cases) {
        ui::DefaultMessageBoxes().Clear();
        RunManager("ShowTextExceptions", std::string("select 1200 0\n") + c.answers + "click 1203\nclick 2");
        EXPECT_EQ(Definition(3) != nullptr, c.kept) << c.answers;
        ASSERT_EQ(Messages().size(), c.questions);
        EXPECT_EQ(Messages()[0], k120);
    }
}

TEST_F(DefinitionManagers, ExportWritesTheCheckedDefinitions) {
    const std::string path = TempFile("export.tec");
    std::filesystem::remove(path);
    RunManager("ShowTextExceptions", "check 1200 1 1\nclick 1205\nset 9302 " + path + "\nclick 1\nclick 2");
    EXPECT_EQ(CallsNamed("ExportDefinitionsText"), Strings{"5"});
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_NE(ss.str().find("VOID"), std::string::npos);
    EXPECT_EQ(ss.str().find("TOTAL"), std::string::npos);
    std::filesystem::remove(path);
}

TEST_F(DefinitionManagers, ImportOfAnUnreadableFileChangesNothing) {
    unit->Data()["remote"] = 1;
    const std::string path = TempFile("missing.tec");
    std::filesystem::remove(path);
    const auto before = Definitions();
    RunManager("ShowTextExceptions", "click 1204\nset 9302 " + path + "\nclick 1\nclick 2");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("Unable to read"), std::string::npos);
    EXPECT_TRUE(CallsNamed("ImportDefinitionsText").empty());
    EXPECT_EQ(Definitions(), before);
}

TEST_F(DefinitionManagers, ImportAddsTheFileAndRefusedImportKeepsTheList) {
    const std::string good = TempFile("good.tec"), bad = TempFile("bad.tec");
    std::ofstream(good) << R"([{"Id":3,"Name":"Imported","Match":"X","Operator":4}])";
    std::ofstream(bad) << "not a list";
    Strings rows;
    Script("click 1204\nset 9302 " + bad + "\nclick 1\nclick 1204\nset 9302 " + good + "\nclick 1");
    Then([&](ui::Dialog& d) {
        for (int i = 0; i < d.Item(1200).ItemCount(); ++i) rows.push_back(d.Item(1200).ItemText(i));
    });
    RunManager("ShowTextExceptions", "click 2");
    EXPECT_EQ(CallsNamed("ImportDefinitionsText").size(), 2u);
    EXPECT_EQ(rows, (Strings{"Big total", "Void", "Imported"}));
    std::filesystem::remove(good);
    std::filesystem::remove(bad);
}

TEST_F(DefinitionManagers, FailingSaveEndsTheOperationAndKeepsTheHostList) {
    unit->FailCall("SetDefinitionsText", com::E_FAIL);
    const auto before = Definitions();
    Script("click 1201\nset 1210 N\nset 1211 M\nclick 1");
    auto out = Run("ShowTextExceptions");
    EXPECT_LT(out.hr, 0);
    EXPECT_EQ(Definitions(), before);
}

TEST_F(DefinitionManagers, ReceiptEditorChecksAndCarriesTheEndMarker) {
    RunManager("ShowTextReceipts",
               "click 1201\nset 1231 BEGIN\nclick 1\nset 1230 New\nset 1231  \nclick 1\nset 1231 BEGIN \nclick 1\n"
               "select 1200 0\nclick 1202\nset 1230 Sale 2\nclick 1\nclick 2");
    EXPECT_EQ(Messages(), (Strings{k133, k117}));
    const auto* sale = Definition(9);
    ASSERT_NE(sale, nullptr);
    EXPECT_EQ((*sale)["Name"], "Sale 2");
    EXPECT_EQ((*sale)["EndMarker"], "END");
    EXPECT_EQ((*sale)["EndMarkerFlag"], 1);
    const auto* added = Definition(10);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ((*added)["BeginMarker"], "BEGIN");
    EXPECT_EQ((*added)["IsReceipt"], 1);
    EXPECT_EQ((*added)["Operator"], 4);
    EXPECT_EQ((*added)["EndMarkerFlag"], 0);
}

TEST_F(DefinitionManagers, FullListIsToldAndTheManagerStaysOpen) {
    nlohmann::json defs = nlohmann::json::array();
    for (int id = 0; id < 128; ++id)
        defs.push_back({{"Id", id}, {"Name", "D" + std::to_string(id)}, {"Match", "M"}, {"Operator", 4}});
    const std::string full = "The definition list is full (128 definitions).  Delete a definition before adding "
                             "another.";
    for (const char* operation : {"ShowTextExceptions", "ShowTextReceipts"}) {
        SetUp();
        Definitions() = defs;
        Script("click 1201\n");
        Then([&](ui::Dialog& d) { EXPECT_EQ(d.TemplateId() == 234 || d.TemplateId() == 236, true) << "no editor"; });
        Script("click 4\nclick 2\n");
        EXPECT_EQ(RunManager(operation, ""), 2) << operation;
        EXPECT_EQ(Messages(), Strings{full}) << operation;
        EXPECT_EQ(CallsNamed("ShowHelp").size(), 1u) << operation << ": the manager stays open";
        EXPECT_TRUE(Changes().empty()) << operation;
        EXPECT_EQ(Definitions(), defs) << operation;
    }
}

}  // namespace
