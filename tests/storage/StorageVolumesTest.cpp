// Texts and decisions of the storage dialog, without the dialog.
#include <gtest/gtest.h>

#include "module/Module.h"
#include "util/Util.h"
#include "storage/StorageVolumes.h"

using namespace storage;

namespace {

class StorageVolumes : public ::testing::Test {
protected:
    void SetUp() override { mirelle::ModuleAttach(); }  // string table
};

TEST_F(StorageVolumes, StatusTextPerStateWithMarker) {
    struct Case {
        std::int32_t state;
        bool marker;
        const char* text;
    } cases[] = {
        {0, false, "Active"},  {0, true, "Active*"},   {1, false, "Empty"},   {2, false, "Non-Quellan"},
        {3, false, "Other Quellan"}, {4, false, "Missing"}, {5, false, "Failed"}, {6, true, "Corrupt*"},
        {7, false, ""},        {-1, true, "*"},
    };
    for (const auto& c : cases) EXPECT_EQ(StatusText(c.state, c.marker), c.text) << c.state;
}

TEST_F(StorageVolumes, SizesInGigabytes) {
    EXPECT_EQ(SizeText(1048576), "1.00GB");
    EXPECT_EQ(SizeText(0), "0.00GB");
    EXPECT_EQ(SizeText(488386584), "465.76GB");
    EXPECT_EQ(SizeText(2147483647), "2048.00GB");
}

TEST_F(StorageVolumes, TimeRangeTexts) {
    const std::int32_t t1 = 1714550400, t2 = 1717243199;
    const std::string s1 = CDateTime(t1).FormatLocal24HourDateTime();
    const std::string s2 = CDateTime(t2).FormatLocal24HourDateTime();
    EXPECT_EQ(StartTimeText(kNoStartTime), "*");
    EXPECT_EQ(EndTimeText(kNoEndTime), "*");
    // The no-time values are only special in their own position.
    EXPECT_EQ(StartTimeText(kNoEndTime), CDateTime(kNoEndTime).FormatLocal24HourDateTime());
    EXPECT_EQ(TimeRangeText(StartTimeText(kNoStartTime), EndTimeText(kNoEndTime)), "*");
    EXPECT_EQ(TimeRangeText(StartTimeText(t1), EndTimeText(kNoEndTime)), s1 + "-*");
    EXPECT_EQ(TimeRangeText(StartTimeText(t1), EndTimeText(t2)), s1 + "-" + s2);
    EXPECT_EQ(TimeRangeText("", "x"), "x");
    EXPECT_EQ(TimeRangeText("x", ""), "x");
    EXPECT_EQ(TimeRangeText("", ""), "");
}

TEST_F(StorageVolumes, ButtonsPerState) {
    struct Case {
        std::int32_t state;
        ButtonStates b;  // add, remove, label, repair
    } cases[] = {
        {0, {false, true, true, false}}, {1, {true, true, true, false}},   {2, {true, true, true, true}},
        {3, {true, true, true, true}},   {4, {false, true, false, false}}, {5, {false, true, false, false}},
        {6, {false, true, true, true}},  {42, {false, true, false, false}},
    };
    for (const auto& c : cases) EXPECT_EQ(ButtonsForState(c.state), c.b) << c.state;
    for (std::int32_t s = -1; s <= 7; ++s) EXPECT_EQ(IsAddable(s), s >= 1 && s <= 3) << s;
}

TEST_F(StorageVolumes, PercentMustBeAWholeNumberFrom1To100) {
    struct Case {
        const char* text;
        int value;  // 0 = refused
    } cases[] = {{"1", 1},    {"100", 100}, {" 50 ", 50}, {"050", 50}, {"0", 0},  {"101", 0}, {"", 0},
                 {"  ", 0},   {"-5", 0},    {"+5", 0},    {"5%", 0},   {"1.5", 0}, {"12a", 0}, {"99999999999", 0}};
    for (const auto& c : cases) EXPECT_EQ(ParsePercent(c.text).value_or(0), c.value) << '"' << c.text << '"';
}

TEST_F(StorageVolumes, AllocationIsTruncatedTowardZero) {
    EXPECT_EQ(AllocationKB(976762584, 90), 879086325);  // 879086325.6
    EXPECT_EQ(AllocationKB(1000, 100), 1000);
    EXPECT_EQ(AllocationKB(999, 1), 9);
    EXPECT_EQ(AllocationKB(2147483647, 100), 2147483647);
    EXPECT_EQ(AllocationKB(0, 50), 0);
}

TEST_F(StorageVolumes, AddAllScanAndSteps) {
    AddAllScan onlyOther = ScanStates({3, 3, 4});
    EXPECT_TRUE(onlyOther.otherDatabase);
    EXPECT_FALSE(onlyOther.foreignData);
    EXPECT_FALSE(onlyOther.empty);
    EXPECT_TRUE(onlyOther.noneUsable);
    EXPECT_FALSE(AddAllInitialises(onlyOther, true));  // only conversions: no label dialog
    EXPECT_TRUE(AddAllInitialises(onlyOther, false));

    AddAllScan mixed = ScanStates({0, 1, 2, 5});
    EXPECT_TRUE(mixed.foreignData && mixed.empty && !mixed.otherDatabase && !mixed.noneUsable);
    EXPECT_TRUE(AddAllInitialises(mixed, true));
    EXPECT_TRUE(ScanStates({}).noneUsable);
    EXPECT_FALSE(ScanStates({0, 6}).noneUsable);

    EXPECT_EQ(AddAllStepFor(1, true), eAddAllStep::Initialise);
    EXPECT_EQ(AddAllStepFor(2, true), eAddAllStep::Initialise);
    EXPECT_EQ(AddAllStepFor(3, true), eAddAllStep::Convert);
    EXPECT_EQ(AddAllStepFor(3, false), eAddAllStep::Initialise);
    for (std::int32_t s : {0, 4, 5, 6, 9}) EXPECT_EQ(AddAllStepFor(s, false), eAddAllStep::Skip) << s;
}

TEST_F(StorageVolumes, ColumnsFromHeadingsAndWidths) {
    auto cols = ParseColumns("Index,Path,Label,Status,Size,Allocated,Time Range", "50,43,80,100,75,75,250");
    ASSERT_EQ(cols.size(), 7u);
    EXPECT_EQ(cols[0], (std::pair<std::string, int>{"Index", 50}));
    EXPECT_EQ(cols[6], (std::pair<std::string, int>{"Time Range", 250}));
    auto short_ = ParseColumns("A,B,C", "10");
    ASSERT_EQ(short_.size(), 3u);
    EXPECT_EQ(short_[1].second, 0);
    EXPECT_EQ(ParseColumns("A,,B", "1,2,3")[1], (std::pair<std::string, int>{"", 2}));
    EXPECT_TRUE(ParseColumns("", "1").empty());
}

TEST_F(StorageVolumes, MessagesFillTheirConversionsInOrder) {
    EXPECT_EQ(FillMessage("Volume %s repair is complete.  %d error(s) found and repaired.", {"D:\\", "3"}),
              "Volume D:\\ repair is complete.  3 error(s) found and repaired.");
    EXPECT_EQ(FillMessage("100%% of %s", {"E:"}), "100% of E:");
    EXPECT_EQ(FillMessage("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FillMessage("%ld%x%", {"7"}), "7%x%");
    // A path with conversions in it is not read as a format.
    EXPECT_EQ(FillMessage("Volume %s.", {"%s%d"}), "Volume %s%d.");
}

}  // namespace
