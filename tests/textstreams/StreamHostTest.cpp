// The unit's text stream calls: the list the stream setup reads and the
// order of the changes it makes.
#include "cameras/CameraHelpers.h"
#include "platform/codepage/CodePage.h"
#include "tests/support/Harness.h"

namespace {

using com::BSTR;
using testing_support::Harness;

class StreamHost : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"textStreams",
                 {{"handlers", {{{"name", "General Text"}, {"kind", 0}, {"hasSetup", 1}}}},
                  {"connectionTypes", {{{"name", "COM Port"}, {"type", 0}, {"flag", 1}}}},
                  {"streams",
                   {{{"Name", "Till 1"}, {"StreamId", 4}, {"HandlerName", "General Text"}, {"ComPort", 1}},
                    "not a stream"}}}}};
    }
    host::ITextStreamsUISupport* Text() { return unit->TextStreamsUISupport(); }
    static std::string Take(BSTR& b) { return mirelle::TakeHostString(b); }
    static void Free(host::TextStreamFields& f) {
        for (BSTR* b : {&f.Name, &f.ConnectionName, &f.HandlerName, &f.EndOfLine}) Take(*b);
    }
};

TEST_F(StreamHost, StreamsReadBackAsStoredAndBadEntriesFail) {
    std::int16_t count = 0;
    ASSERT_EQ(Text()->GetStreamCount(&count), com::S_OK);
    EXPECT_EQ(count, 2);
    host::TextStreamFields f;
    ASSERT_EQ(Text()->GetStream(0, &f), com::S_OK);
    EXPECT_EQ(cp::FromBstr(f.Name), "Till 1");
    EXPECT_EQ(f.StreamId, 4);
    EXPECT_EQ(f.ComPort, 1);
    Free(f);
    EXPECT_EQ(Text()->GetStream(1, &f), com::E_INVALIDARG);  // the entry is not a stream
    EXPECT_EQ(Text()->GetStream(2, &f), com::E_INVALIDARG);
    EXPECT_EQ(Text()->GetStream(0, nullptr), com::E_POINTER);
}

TEST_F(StreamHost, CreateUpdateDefinitionsDelete) {
    std::int32_t index = -1, id = -1;
    BSTR conn = cp::ToBstr("Modem"), handler = cp::ToBstr("General Text");
    ASSERT_EQ(Text()->CreateStream(0, &index, &id, &conn, &handler, 0), com::S_OK);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(id, 5);  // after the largest identifier
    EXPECT_EQ(Take(conn), "COM Port");  // an unknown connection name comes back as the host's
    EXPECT_EQ(Take(handler), "General Text");

    host::TextStreamFields f;
    f.Name = cp::ToBstr("Till 2");
    f.StreamId = 99;  // the host keeps its own identifier
    f.ConnectionType = 2;
    f.IpPort = 5102;
    ASSERT_EQ(Text()->UpdateStream(index, &f, 0), com::S_OK);
    Take(f.Name);
    BSTR ids = cp::ToBstr("9,3");
    ASSERT_EQ(Text()->SetStreamDefinitions(id, ids), com::S_OK);
    Take(ids);
    ASSERT_EQ(Text()->GetStreamDefinitions(id, &ids), com::S_OK);
    EXPECT_EQ(Take(ids), "9,3");
    auto& stored = unit->Data()["textStreams"]["streams"][2];
    EXPECT_EQ(stored["Name"], "Till 2");
    EXPECT_EQ(stored["StreamId"], 5);
    EXPECT_EQ(stored["IpPort"], 5102);

    ASSERT_EQ(Text()->DeleteStream(0, 0), com::S_OK);
    EXPECT_EQ(unit->Data()["textStreams"]["streams"].size(), 2u);
    EXPECT_EQ(Changes(), (std::vector<std::string>{
                             "CreateStream 0 \"Modem\" \"General Text\" 0",
                             "UpdateStream 2 \"Till 2\" 99 \"\" \"\" -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 \"\" 2 5102 0",
                             "SetStreamDefinitions 5 \"9,3\"", "DeleteStream 0 0"}));
}

TEST_F(StreamHost, RefusedCreateAndHandlerInfo) {
    unit->Data()["textStreams"]["createRefused"] = true;
    std::int32_t index = -1, id = -1;
    BSTR conn = cp::ToBstr(""), handler = cp::ToBstr("");
    EXPECT_EQ(Text()->CreateStream(0, &index, &id, &conn, &handler, 0), com::S_FALSE);
    Take(conn);
    Take(handler);
    BSTR name = cp::ToBstr("General Text");
    std::int16_t kind = -1, setup = -1;
    EXPECT_EQ(Text()->GetHandlerInfo(name, &kind, &setup), com::S_OK);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(setup, 1);
    Take(name);
    name = cp::ToBstr("Nothing");
    EXPECT_EQ(Text()->GetHandlerInfo(name, &kind, &setup), com::E_INVALIDARG);
    Take(name);
    BSTR names = nullptr;
    EXPECT_EQ(Text()->GetConnectionTypeNames(&names), com::S_OK);
    EXPECT_EQ(Take(names), "COM Port");
}

}  // namespace
