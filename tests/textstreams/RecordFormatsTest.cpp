#include <gtest/gtest.h>

#include "textstreams/HexPairs.h"
#include "textstreams/TextStreamRecord.h"

using namespace textstreams;

namespace {

TextStreamRecord Serial(std::int16_t port, std::int32_t baud, std::int16_t parity, std::int16_t data,
                        std::int16_t stop) {
    TextStreamRecord r;
    r.ConnectionType = eConnectionSerial;
    r.ComPort = port;
    r.BaudRate = baud;
    r.Parity = parity;
    r.DataBits = data;
    r.StopBits = stop;
    return r;
}

TEST(TextStreamRecord, DescriptionColumn) {
    EXPECT_EQ(DescriptionText(Serial(0, 9600, 0, 8, 0), "Unassigned"), "COM1:9600,N,8,1");
    EXPECT_EQ(DescriptionText(Serial(3, 19200, 2, 7, 1), "Unassigned"), "COM4:19200,E,7,1.5");
    EXPECT_EQ(DescriptionText(Serial(1, 1200, 9, 8, 7), "Unassigned"), "COM2:1200,,8,");
    EXPECT_EQ(DescriptionText(Serial(-1, 9600, 0, 8, 0), "Unassigned"), "Unassigned");
    TextStreamRecord ip;
    ip.ConnectionType = eConnectionTcpIp;
    ip.IpPort = 5100;
    EXPECT_EQ(DescriptionText(ip, "Unassigned"), "IP Port:5100");
    ip.IpPort = -1;
    EXPECT_EQ(DescriptionText(ip, "Unassigned"), "Unassigned");
    // Other connection types are described as serial streams.
    TextStreamRecord other = Serial(1, 300, 4, 8, 2);
    other.ConnectionType = 7;
    EXPECT_EQ(DescriptionText(other, "Unassigned"), "COM2:300,S,8,2");
}

TEST(TextStreamRecord, MergeTakesOnlyGivenFields) {
    TextStreamRecord cur;
    cur.Name = "Till 1";
    cur.HandlerName = "General Text";
    cur.StreamId = 7;
    cur.ListKey = 3;
    cur.CameraMask = 5;
    TextStreamRecord part;  // nothing given
    part.ListKey = 9;
    part.DefinitionsChanged = 1;
    TextStreamRecord before = cur;
    MergeRecord(cur, part);
    EXPECT_EQ(cur, before);

    part = {};
    part.Name = "Till 2";
    part.CameraMask = 0;
    part.ApplyExceptionsAsGroup = 0;
    MergeRecord(cur, part);
    EXPECT_EQ(cur.Name, "Till 2");
    EXPECT_EQ(cur.HandlerName, "General Text");
    EXPECT_EQ(cur.CameraMask, 0);
    EXPECT_EQ(cur.ApplyExceptionsAsGroup, 0);
    EXPECT_EQ(cur.StreamId, 7);
}

TEST(TextStreamRecord, MergeConnectionDependentFields) {
    struct Case {
        std::int32_t currentType, partialType;
        bool takesSerial, takesIp;
    } cases[] = {
        {-1, 0, true, false}, {-1, 2, false, true}, {2, -1, false, true},
        {0, -1, true, false}, {0, 2, false, true},  {-1, 5, false, false},
    };
    for (const auto& c : cases) {
        TextStreamRecord cur;
        cur.ConnectionType = c.currentType;
        TextStreamRecord part = Serial(-1, 9600, 0, 8, 0);  // port -1 = unassigned, which is given
        part.ConnectionType = c.partialType;
        part.IpPort = 5100;
        MergeRecord(cur, part);
        SCOPED_TRACE(testing::Message() << c.currentType << "/" << c.partialType);
        EXPECT_EQ(cur.ComPort, c.takesSerial ? -1 : -2);
        EXPECT_EQ(cur.BaudRate, c.takesSerial ? 9600 : -1);
        EXPECT_EQ(cur.DataBits, c.takesSerial ? 8 : -1);
        EXPECT_EQ(cur.IpPort, c.takesIp ? 5100 : -1);
    }
    // The port's "not given" value -2 never replaces a port.
    TextStreamRecord cur = Serial(2, 9600, 0, 8, 0);
    TextStreamRecord part;
    part.ConnectionType = 0;
    MergeRecord(cur, part);
    EXPECT_EQ(cur.ComPort, 2);
}

TEST(IdentifierList, FormatAndParse) {
    EXPECT_EQ(FormatIdentifierList({}), "");
    EXPECT_EQ(FormatIdentifierList({3, 10, -1, 127}), "3,10,-1,127");
    struct Case {
        const char* text;
        std::optional<std::vector<std::int32_t>> want;
    } cases[] = {
        {"", std::vector<std::int32_t>{}},
        {"1,2,3", std::vector<std::int32_t>{1, 2, 3}},
        {" 4 , 5,", std::vector<std::int32_t>{4, 5}},
        {",,7", std::vector<std::int32_t>{7}},
        {"-2147483648,2147483647", std::vector<std::int32_t>{INT32_MIN, INT32_MAX}},
        {"1,x", std::nullopt},
        {"2147483648", std::nullopt},
        {"1 2", std::nullopt},
        {"3;4", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIdentifierList(c.text), c.want) << c.text;
    // The lenient reading keeps every readable number and names the rest.
    const auto read = ReadIdentifierList("9, x ,3,2147483648,,1 2,4");
    EXPECT_EQ(read.ids, (std::vector<std::int32_t>{9, 3, 4}));
    EXPECT_EQ(read.unreadable, (std::vector<std::string>{" x ", "2147483648", "1 2"}));
    EXPECT_EQ(SplitNameList("General Text,,Printer,"), (std::vector<std::string>{"General Text", "Printer"}));
}

TEST(StreamRecordText, RoundTrip) {
    TextStreamRecord r = Serial(0, 9600, 0, 8, 0);
    r.Name = "Till;1=\\a";
    r.HandlerName = "General Text";
    r.EndOfLine = "0D 0A";
    r.StreamId = 12;
    r.CameraMask = 0x8001;
    r.DefinitionIds = {1, 2, 64};
    std::string text = FormatStreamRecord(r);
    auto back = ParseStreamRecord(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);
    // Missing fields keep their unset values.
    auto part = ParseStreamRecord("Name=A;IpPort=5100");
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Name, "A");
    EXPECT_EQ(part->IpPort, 5100);
    EXPECT_EQ(part->ComPort, -2);
}

TEST(StreamRecordText, MalformedIsRefusedWithReason) {
    const char* bad[] = {
        "Name",                  // no '='
        "Colour=red",            // unknown field
        "Name=a;Name=b",         // repeated
        "ComPort=40000",         // out of the 16-bit range
        "BaudRate=fast",         // not a number
        "DefinitionIds=1,a",     // bad identifier list
        "Name=a\\",              // dangling escape
        "Name;=a",               // ';' before '='
    };
    for (const char* t : bad) {
        std::string why;
        EXPECT_FALSE(ParseStreamRecord(t, &why)) << t;
        EXPECT_FALSE(why.empty()) << t;
    }
}

TEST(HexPairs, NormaliseAndCheck) {
    struct Case {
        const char* in;
        const char* normalised;
        bool valid;
    } cases[] = {
        {"0d,0a", "0D 0A", true},   {"0D 0A", "0D 0A", true},   {"0D  0A", "0D 0A", true},
        {"  0d\t0a  ", "0D 0A", true}, {"0D0A", "0D0A", false},  {"0D 0A 1", "0D 0A 1", false},
        {"", "", false},            {"0G 0A", "0G 0A", false},  {"ff", "FF", true},
        {"0D,", "0D ", true},       {",0D", " 0D", false},      {"1", "1", false},
    };
    for (const auto& c : cases) {
        auto n = NormaliseEndOfLine(c.in);
        EXPECT_EQ(n.text, c.normalised) << c.in;
        EXPECT_EQ(IsValidEndOfLine(c.in), c.valid) << c.in;
    }
    EXPECT_TRUE(IsValidEndOfLine(kDefaultEndOfLine));
}

}  // namespace

namespace {

TEST(StreamDefinitions, EachSideComesFromThePageThatReplacedIt) {
    DefinitionSelections s;
    s.alarmsExceptions = {3, 4};
    s.alarmsReceipts = {1};
    s.receiptsReceipts = {1, 2};
    s.receiptsExceptions = {3};
    EXPECT_EQ(StreamDefinitionList(s), "1,3");  // neither replaced: each page's knowledge of the other side
    s.alarmsReplaced = true;
    EXPECT_EQ(StreamDefinitionList(s), "1,3,4");
    s.receiptsReplaced = true;
    EXPECT_EQ(StreamDefinitionList(s), "1,2,3,4");
    s.alarmsReplaced = false;
    EXPECT_EQ(StreamDefinitionList(s), "1,2,3");
    EXPECT_EQ(StreamDefinitionList({}), "");
}

TEST(StreamList, NextKeyFollowsTheLargest) {
    auto keyed = [](std::vector<std::int32_t> keys) {
        std::vector<TextStreamRecord> out(keys.size());
        for (size_t i = 0; i < keys.size(); ++i) out[i].ListKey = keys[i];
        return out;
    };
    EXPECT_EQ(NextListKey({}), 0);
    EXPECT_EQ(NextListKey(keyed({0, 1, 4})), 5);
    EXPECT_EQ(NextListKey(keyed({4, 0})), 5);
    EXPECT_EQ(NextListKey(keyed({0x10002})), 3);  // keys are compared as 16-bit
}

}  // namespace
