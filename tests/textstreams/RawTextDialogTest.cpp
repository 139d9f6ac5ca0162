#include "tests/support/Harness.h"

namespace {

using testing_support::Harness;

class RawText : public Harness {
protected:
    std::string Eol() { return unit->Data()["rawText"].value("eol", std::string{}); }
    void Given(const std::string& eol) { unit->Data()["rawText"] = {{"eol", eol}}; }
    const std::string kRefused =
        "Please enter an end-of-line sequence in ASCII hex format with a space between each pair of digits "
        "(example: 0d 0a).";
};

TEST_F(RawText, OperatorEntriesAreNormalisedOrRefused) {
    struct Case {
        const char* typed;
        bool accepted;
        const char* shownAfterOk;
    } cases[] = {
        {"0d,0a", true, "0D 0A"}, {"0D  0A", true, "0D 0A"}, {"1b 0d 0a", true, "1B 0D 0A"},
        {"0D0A", false, "0D0A"},  {"0D 0A 1", false, "0D 0A 1"}, {"", false, ""},
        {"0G 0A", false, "0G 0A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ui::DefaultMessageBoxes().Clear();
        ui::DefaultScriptDriver().Clear();
        Given("0A");
        Script(std::string("set 1092 ") + c.typed + "\nclick 1");
        std::string shown;
        Then([&](ui::Dialog& d) { shown = d.GetItemText(1092); });
        Script("click 2");
        int r = Run("ShowRawTextSetup").result;
        if (c.accepted) {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(Eol(), c.shownAfterOk);
            EXPECT_TRUE(Messages().empty());
        } else {
            // Refused: the dialog stays open with the normalised text; Cancel
            // then hands back the starting text.
            EXPECT_EQ(r, 2);
            EXPECT_EQ(shown, c.shownAfterOk);
            EXPECT_EQ(Messages(), std::vector<std::string>{kRefused});
            EXPECT_EQ(ui::DefaultMessageBoxes().Shown()[0].style, ui::MB_ICONINFORMATION);
            EXPECT_EQ(Eol(), "0A");
        }
    }
}

TEST_F(RawText, DefaultThenOkGivesCarriageReturnLineFeed) {
    Given("1b");
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.GetItemText(1092), "1B");
        EXPECT_EQ(d.Caption(), "Quellan Text Stream Setup");
    });
    Script("click 1093\nclick 1");
    EXPECT_EQ(Run("ShowRawTextSetup").result, 1);
    EXPECT_EQ(Eol(), "0D 0A");
}

TEST_F(RawText, EmptyStartingTextShowsTheDefaultAndCancelHandsBackTheNormalisedStart) {
    Given("");
    Then([](ui::Dialog& d) { EXPECT_EQ(d.GetItemText(1092), "0D 0A"); });
    Script("set 1092 FF\nclick 2");
    EXPECT_EQ(Run("ShowRawTextSetup").result, 2);
    EXPECT_EQ(Eol(), "0D 0A");

    Given("0d,,0a");
    Script("click 4\nclick 2");
    EXPECT_EQ(Run("ShowRawTextSetup").result, 2);
    EXPECT_EQ(Eol(), "0D 0A");
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"78"});
}

TEST_F(RawText, KeyboardOnlyWhenAskedForWithHexKeys) {
    unit->Data()["keyboard"] = 1;
    Then([](ui::Dialog& d) {
        EXPECT_TRUE(d.Item(1002).keyboardOn);
        EXPECT_EQ(d.Item(1002).keySet.substr(0, 8), "ABCDEF ,");
    });
    Script("click 2");
    Run("ShowRawTextSetup");
}

}  // namespace
