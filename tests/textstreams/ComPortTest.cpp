#include "tests/support/Harness.h"
#include "textstreams/TextStreamPorts.h"

namespace {

using testing_support::Harness;
using textstreams::BuildComPortList;

std::vector<std::string> Texts(const textstreams::PortList& l) {
    std::vector<std::string> out;
    for (const auto& e : l.entries) out.push_back(e.text);
    return out;
}

TEST(ComPortList, CurrentPortIsPlacedAmongTheHostsPorts) {
    struct Case {
        const char* available;
        std::int32_t current;
        std::vector<std::string> texts;
        int selected;
    } cases[] = {
        {"0,2,-1", 1, {"COM1", "COM2", "COM3", "Unassigned"}, 1},
        {"0,1", 5, {"COM1", "COM6", "COM2"}, 1},
        {"", 3, {"COM4"}, 0},
        {"", -1, {}, -1},
        {"0,1,2", 1, {"COM1", "COM2", "COM3"}, 1},    // listed: selected where it is
        {"-1,0", -1, {"Unassigned", "COM1"}, 0},
        {"4,x,,6", 5, {"COM5", "COM6", "COM7"}, 1},    // fields that are not numbers are skipped
    };
    for (const auto& c : cases) {
        auto l = BuildComPortList(c.available, c.current, "Unassigned");
        EXPECT_EQ(Texts(l), c.texts) << c.available << " / " << c.current;
        EXPECT_EQ(l.selected, c.selected) << c.available << " / " << c.current;
    }
}

class ComPort : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"textStreams", {{"availableComPorts", "0,2,-1"}}},
                {"comPort",
                 {{"editOperation", 1}, {"portId", 1}, {"baudRate", 19200}, {"dataBits", 7}, {"parity", 2},
                  {"stopBits", 1}, {"flowControl", 0}}}};
    }
    nlohmann::json Values() { return unit->Data()["comPort"]; }
    static std::string Selected(ui::Dialog& d, int id) {
        const auto& c = d.Item(id);
        return c.selection < 0 ? "<none>" : c.ItemText(c.selection);
    }
};

TEST_F(ComPort, EditShowsTheGivenValuesAndOkTakesTheOperatorsChoice) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "Quellan Text Stream Setup");
        EXPECT_EQ(d.Item(1101).ItemCount(), 4);
        EXPECT_EQ(Selected(d, 1101), "COM2");
        EXPECT_EQ(Selected(d, 1102), "19200");
        EXPECT_EQ(Selected(d, 1103), "7");
        EXPECT_EQ(Selected(d, 1104), "Even");
        EXPECT_EQ(Selected(d, 1105), "1.5");
        EXPECT_EQ(Selected(d, 1106), "Xon/Xoff");
    });
    Script("select 1101 3\nselect 1102 14\nselect 1103 1\nselect 1104 4\nselect 1105 2\nselect 1106 1\nclick 1");
    EXPECT_EQ(Run("ShowCOMPortSetup").result, 1);
    auto v = Values();
    EXPECT_EQ(v["portId"], -1);
    EXPECT_EQ(v["baudRate"], 256000);
    EXPECT_EQ(v["dataBits"], 8);
    EXPECT_EQ(v["parity"], 4);
    EXPECT_EQ(v["stopBits"], 2);
    EXPECT_EQ(v["flowControl"], 1);
    EXPECT_EQ(unit->CallNames(), (std::vector<std::string>{"GetAvailableComPorts"}));
}

TEST_F(ComPort, NewStreamStartsFromTheDefaultsWhateverIsGiven) {
    unit->Data()["comPort"]["editOperation"] = 0;
    Then([](ui::Dialog& d) {
        EXPECT_EQ(Selected(d, 1101), "COM2");  // the given port is still placed and selected
        EXPECT_EQ(Selected(d, 1102), "1200");
        EXPECT_EQ(Selected(d, 1103), "8");
        EXPECT_EQ(Selected(d, 1104), "None");
        EXPECT_EQ(Selected(d, 1105), "1");
        EXPECT_EQ(Selected(d, 1106), "None");
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowCOMPortSetup").result, 1);
    EXPECT_EQ(Values()["baudRate"], 1200);
    EXPECT_EQ(Values()["portId"], 1);
    EXPECT_EQ(Values()["flowControl"], 2);
}

TEST_F(ComPort, CancelAndAFailingPortListKeepTheValues) {
    unit->FailCall("GetAvailableComPorts", com::E_FAIL);
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Item(1101).ItemCount(), 0);
        EXPECT_EQ(Selected(d, 1101), "<none>");
    });
    Script("select 1102 0\nclick 4\nclick 2");
    EXPECT_EQ(Run("ShowCOMPortSetup").result, 2);
    EXPECT_EQ(Values()["baudRate"], 19200);
    EXPECT_EQ(Values()["portId"], 1);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"78"});

    // OK without a port entry hands back -1 (unassigned).
    Script("click 1");
    EXPECT_EQ(Run("ShowCOMPortSetup").result, 1);
    EXPECT_EQ(Values()["portId"], -1);
}

}  // namespace
