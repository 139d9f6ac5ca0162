#include <gtest/gtest.h>

#include "foundation/Controls.h"
#include "util/Util.h"
#include "platform/registry/Registry.h"
#include "resources/Resources.h"

namespace {

class UtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
        res::Install();
    }
};

TEST_F(UtilTest, First_stolWalksACommaSeparatedList) {
    std::string text = "12,-3,,x7,40";
    size_t pos = 0;
    long v;
    std::vector<long> got;
    while (CWWUtility::First_stol(text, pos, v)) got.push_back(v);
    EXPECT_EQ(got, (std::vector<long>{12, -3, 0, 0, 40}));
    pos = 0;
    EXPECT_FALSE(CWWUtility::First_stol("", pos, v));
}

TEST_F(UtilTest, ControlsLookAndWindowsStyleFromTheRegistry) {
    EXPECT_EQ(CWWRegistry::GetControlsWWMode(), 0);
    EXPECT_EQ(CWWRegistry::GetWindowsStyleFlag(), 1);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WindowsStyle", 0);
    EXPECT_EQ(CWWRegistry::GetWindowsStyleFlag(), 1);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WindowsStyle", 7);
    EXPECT_EQ(CWWRegistry::GetWindowsStyleFlag(), 0);
    reg::SetDword(reg::HKEY_LOCAL_MACHINE, kControlsKey, "WWMode", 1);
    EXPECT_EQ(CWWRegistry::GetControlsWWMode(), 1);
}

TEST_F(UtilTest, SystemLanguageDefaultsToEnglish) {
    EXPECT_EQ(CWWRegistry::GetSystemLanguage(), "ENG");
    reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", "DEU");
    EXPECT_EQ(CWWRegistry::GetSystemLanguage(), "DEU");
    EXPECT_EQ(CWWRegistry::GetLocalResDLLName("ResSetupUI"), "ResSetupUIDEU.json");
}

struct CurrencyCase {
    const char* registry;  // null: value absent
    const char* keys;
};

class KeyboardCurrency : public UtilTest, public ::testing::WithParamInterface<CurrencyCase> {};

TEST_P(KeyboardCurrency, TildeBecomesTheLocalCurrency) {
    if (GetParam().registry)
        reg::SetString(reg::HKEY_CURRENT_USER, kInternationalKey, "sCurrency", GetParam().registry);
    ui::Dialog dlg(238, nullptr);
    dlg.Create();
    PrepareOnScreenKeyboard(dlg, 1002);
    EXPECT_TRUE(dlg.Item(1002).keyboardOn);
    const std::string& keys = dlg.Item(1002).keySet;
    EXPECT_EQ(keys.substr(keys.size() - std::string(GetParam().keys).size()), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyboardCurrency,
                         ::testing::Values(CurrencyCase{"\x80", "9$\x80"}, CurrencyCase{"$", "9$"},
                                           CurrencyCase{nullptr, "9$"}, CurrencyCase{"kr", "9$kr"}));

TEST_F(UtilTest, DateTimeIsLocal24Hour) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(CDateTime(0).FormatLocal24HourDateTime(), "1970-01-01 00:00:00");
    EXPECT_EQ(CDateTime(13 * 3600 + 5 * 60 + 9).FormatLocal24HourDateTime(), "1970-01-01 13:05:09");
}

TEST_F(UtilTest, DataObjectsCopyMemberByMember) {
    CRecordInfo a, b;
    a.m_nFillThreshold = 70;
    a.m_bCircular = 1;
    b.CopyFrom(a);
    EXPECT_EQ(b.m_nFillThreshold, 70);
    EXPECT_EQ(b.m_bCircular, 1);
}

TEST_F(UtilTest, ListWrapperColumnsFromText) {
    ui::Dialog dlg(238, nullptr);
    dlg.Create();
    ui::ControlTemplate t;
    t.id = 77;
    t.kind = ui::ControlKind::ReportList;
    dlg.AddControl(t);
    CWWListCtrl list(dlg, 77);
    list.SetColumns("Name,State,,Size");
    EXPECT_EQ(dlg.Item(77).columns, (std::vector<std::string>{"Name", "State", "", "Size"}));
    int row = list.AddRow({"Vol 1", "Online"}, 5);
    EXPECT_EQ(list.GetCell(row, 1), "Online");
    EXPECT_EQ(list.GetData(row), 5);
}

}  // namespace
