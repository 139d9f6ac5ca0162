#include <gtest/gtest.h>

#include "textstreams/TextDefinitionRules.h"

using namespace textstreams;

TEST(IdentifierPool, HandsOutAfterTheLastGivenAndWraps) {
    IdentifierPool pool;
    EXPECT_EQ(pool.Next(), 0);
    EXPECT_EQ(pool.Next(), 1);

    // Loaded definitions 5 and 127: the next one follows the largest.
    pool.Clear();
    pool.MarkUsed(5);
    pool.MarkUsed(127);
    pool.SetLastGiven(127);
    EXPECT_EQ(pool.Next(), 0);  // wraps from 127
    EXPECT_EQ(pool.Next(), 1);

    // A freed identifier below the last given is only reused after wrapping.
    pool.Clear();
    for (int i = 0; i < 10; ++i) pool.MarkUsed(i);
    pool.SetLastGiven(9);
    pool.Release(3);
    EXPECT_EQ(pool.Next(), 10);
    EXPECT_FALSE(pool.InUse(3));

    // Out-of-range identifiers from the host are not taken into the pool.
    pool.MarkUsed(-1);
    pool.MarkUsed(128);
    EXPECT_FALSE(pool.InUse(128));
}

TEST(IdentifierPool, FullPoolGivesMinusOne) {
    IdentifierPool pool;
    for (int i = 0; i < IdentifierPool::kCapacity; ++i) pool.MarkUsed(i);
    pool.SetLastGiven(40);
    EXPECT_TRUE(pool.Full());
    EXPECT_EQ(pool.Next(), -1);
    pool.Release(17);
    EXPECT_FALSE(pool.Full());
    EXPECT_EQ(pool.Next(), 17);
    EXPECT_TRUE(pool.Full());
    EXPECT_EQ(pool.Next(), -1);
}

TEST(BuilderAmounts, DollarSignsGoAndReadingStopsAtTheFirstOtherCharacter) {
    struct Case {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"$1,234.5", "1.00"}, {"12.5", "12.50"}, {"$$7", "7.00"}, {"abc", "0.00"},
        {"", "0.00"},         {"-3.456", "-3.46"}, {" 42", "42.00"}, {"1$0", "10.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(FormatAmount(ReadAmount(c.typed)), c.shown);
    }
}

TEST(BuilderValues, FilledInTheDefinitionsTerms) {
    ExceptionFields f;
    f.name = "  Void sale ";
    f.match = " VOID ";
    f.operatorChoice = eAString;
    f.value1Text = "VOID";
    ExceptionValues v = ValuesFromFields(f);
    EXPECT_EQ(v.name, "Void sale");
    EXPECT_EQ(v.match, "VOID");
    EXPECT_EQ(v.op, eEqualTo);
    EXPECT_EQ(v.isString, 1);
    EXPECT_EQ(v.stringValue, "VOID");
    EXPECT_EQ(v.value1, 0.0);

    f = {};
    f.name = "Big total";
    f.match = "TOTAL";
    f.operatorChoice = eBetween;
    f.value1Text = "$100";
    f.value2Text = "250.126";
    f.jumpChoice = kToLastEntry;
    v = ValuesFromFields(f);
    EXPECT_EQ(v.op, eBetween);
    EXPECT_EQ(v.isString, 0);
    EXPECT_EQ(v.toLastEntry, 1);
    EXPECT_EQ(v.jumpCount, 0);
    EXPECT_DOUBLE_EQ(v.value1, 100.0);
    EXPECT_DOUBLE_EQ(v.value2, 250.126);
    EXPECT_EQ(v.shownValue1, "100.00");
    EXPECT_EQ(v.shownValue2, "250.13");

    // Searching backward never stores the last-entry choice.
    f.forward = false;
    v = ValuesFromFields(f);
    EXPECT_EQ(v.toLastEntry, 0);
    EXPECT_EQ(v.forward, 0);

    // Value 2 is only read for "Between".
    f.operatorChoice = eGreaterThan;
    v = ValuesFromFields(f);
    EXPECT_EQ(v.value2, 0.0);
    EXPECT_EQ(v.shownValue2, "");
}

TEST(BuilderChecks, InOrderAndNothingWhenAllEmpty) {
    struct Case {
        ExceptionFields f;
        int message;
        bool nothing;
    } cases[] = {
        {{"", "", "", "", true, 0, eFound}, 0, true},
        {{" ", "TOTAL", "", "", true, 0, eFound}, 134, false},
        {{"A", "  ", "", "", true, 0, eFound}, 106, false},
        {{"A", "TOTAL", "", "", true, 0, eGreaterThan}, 123, false},
        {{"A", "TOTAL", "5", "", true, 0, eBetween}, 124, false},
        {{"A", "TOTAL", "", "", true, 0, eFound}, 0, false},
        {{"A", "TOTAL", "5", "9", true, 0, eBetween}, 0, false},
        {{"", "", "", "7", true, 0, eFound}, 134, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        bool nothing = false;
        EXPECT_EQ(CheckExceptionFields(c.f, nothing), c.message);
        EXPECT_EQ(nothing, c.nothing);
    }
    EXPECT_EQ(CheckReceiptFields(" ", "START"), 133);
    EXPECT_EQ(CheckReceiptFields("Sale", "  "), 117);
    EXPECT_EQ(CheckReceiptFields("Sale", "START"), 0);
}

TEST(BuilderChoices, JumpListAndValueFields) {
    EXPECT_EQ(JumpChoices(true), (std::vector<int>{0, 1, 2, 3, kToLastEntry}));
    EXPECT_EQ(JumpChoices(false), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(FieldsFor(eFound).value1);
    EXPECT_TRUE(FieldsFor(eBetween).value2);
    EXPECT_TRUE(FieldsFor(eAString).value1);
    EXPECT_FALSE(FieldsFor(eLessThan).value2);
}
