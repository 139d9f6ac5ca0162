// The unit's definitions as the setups reach them: the list codec, the
// definition objects, the collection and the exception support calls.
#include "cameras/CameraHelpers.h"
#include "simulator/SimTextExceptions.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "tests/support/Harness.h"

namespace {

using com::BSTR;
using com::ComPtr;
using testing_support::Harness;

class DefinitionHost : public Harness {
protected:
    nlohmann::json UnitData() override {
        return {{"textDefinitions",
                 {{"definitions",
                   {{{"Id", 3}, {"Name", "Big total"}, {"Match", "TOTAL"}, {"Operator", 1}, {"Value1", 100.0}},
                    {{"Id", 9}, {"Name", "Sale"}, {"IsReceipt", 1}, {"BeginMarker", "START"}}}},
                  {"inUse", {9}},
                  {"transactions", {{"4", {"SALE 1.00\n", "TOTAL 1.00\n"}}}}}}};
    }
    template <class I>
    ComPtr<I> Create(const com::CLSID& clsid) {
        ComPtr<I> p;
        EXPECT_EQ(com::CoCreateInstance(clsid, nullptr, I::IID_, p.outVoid()), com::S_OK);
        return p;
    }
    std::string Text(BSTR b) { return mirelle::TakeHostString(b); }
};

TEST_F(DefinitionHost, CodecRoundTripKeepsEveryProperty) {
    BSTR text = nullptr;
    ASSERT_EQ(unit->TextExceptionsUISupport()->GetDefinitionsText(&text), com::S_OK);
    auto codec = Create<host::IDefinitionListCodec>(host::CLSID_DefinitionListCodec);
    std::int32_t count = 0;
    ASSERT_EQ(codec->Parse(text, &count), com::S_OK);
    com::SysFreeString(text);
    ASSERT_EQ(count, 2);
    ComPtr<host::ITextDefinition> a, b;
    ASSERT_EQ(codec->GetParsed(0, a.out()), com::S_OK);
    ASSERT_EQ(codec->GetParsed(1, b.out()), com::S_OK);
    EXPECT_EQ(codec->GetParsed(2, b.out()), com::E_INVALIDARG);
    ASSERT_EQ(codec->GetParsed(1, b.out()), com::S_OK);

    BSTR d = nullptr;
    a->get_Description(&d);
    EXPECT_EQ(Text(d), "Match 'TOTAL' forward 0: greater than 100.00");
    b->get_Description(&d);
    EXPECT_EQ(Text(d), "Receipt begins at 'START'");

    // Reset keeps the identifier and nothing else.
    a->Reset();
    std::int32_t id = 0;
    a->get_Id(&id);
    EXPECT_EQ(id, 3);
    BSTR name = nullptr;
    a->get_Name(&name);
    EXPECT_EQ(Text(name), "");
    EXPECT_EQ(a->put_Id(128), com::E_INVALIDARG);

    host::ITextDefinition* both[] = {a.get(), b.get()};
    BSTR out = nullptr;
    ASSERT_EQ(codec->Format(both, 2, &out), com::S_OK);
    std::int16_t result = -1;
    ASSERT_EQ(unit->TextExceptionsUISupport()->SetDefinitionsText(out, &result), com::S_OK);
    com::SysFreeString(out);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(unit->Data()["textDefinitions"]["definitions"][0]["Name"], "");
    EXPECT_EQ(unit->Data()["textDefinitions"]["definitions"][1]["BeginMarker"], "START");
}

TEST_F(DefinitionHost, MalformedTextsAreRefusedAndLoseNothing) {
    auto codec = Create<host::IDefinitionListCodec>(host::CLSID_DefinitionListCodec);
    const char* bad[] = {"", "{", "{}", "[1]", "[{\"Id\":200}]", "[{\"Name\":3}]", "[{\"Colour\":\"red\"}]",
                         "[{\"Id\":1},", "[{\"Value1\":\"x\"}]", "[{\"Id\":1.5}]",
                         "[{\"Id\":1,\"JumpCount\":70000}]", "[{\"Id\":1,\"Forward\":18446744073709551615}]"};
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        BSTR b = cp::ToBstr(t);
        std::int32_t count = 7;
        EXPECT_TRUE(com::FAILED(codec->Parse(b, &count)));
        EXPECT_EQ(count, 0);
        std::int16_t result = 0;
        EXPECT_EQ(unit->TextExceptionsUISupport()->SetDefinitionsText(b, &result), com::S_OK);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(unit->TextExceptionsUISupport()->ImportDefinitionsText(b, &result), com::S_OK);
        EXPECT_EQ(result, 1);
        com::SysFreeString(b);
    }
    EXPECT_EQ(unit->Data()["textDefinitions"]["definitions"].size(), 2u);
    BSTR empty = cp::ToBstr("[]");
    std::int32_t count = 1;
    EXPECT_EQ(codec->Parse(empty, &count), com::S_FALSE);
    com::SysFreeString(empty);
}

TEST_F(DefinitionHost, ImportGivesClashingDefinitionsFreeIdentifiers) {
    BSTR b = cp::ToBstr(R"([{"Id":3,"Name":"Copy"},{"Id":50,"Name":"New"}])");
    std::int16_t result = -1;
    ASSERT_EQ(unit->TextExceptionsUISupport()->ImportDefinitionsText(b, &result), com::S_OK);
    com::SysFreeString(b);
    EXPECT_EQ(result, 0);
    auto& defs = unit->Data()["textDefinitions"]["definitions"];
    ASSERT_EQ(defs.size(), 4u);
    EXPECT_EQ(defs[2]["Id"], 0);
    EXPECT_EQ(defs[3]["Id"], 50);

    std::int32_t ids[] = {50, 9};
    BSTR text = nullptr;
    std::int32_t reserved = 1;
    ASSERT_EQ(unit->TextExceptionsUISupport()->ExportDefinitionsText(ids, 2, &text, &reserved), com::S_OK);
    auto exported = host::ReadDefinitionsText(cp::AnsiToUtf8(Text(text)));
    ASSERT_TRUE(exported);
    ASSERT_EQ(exported->size(), 2u);  // in the stored order
    EXPECT_EQ((*exported)[0]["Id"], 9);
}

TEST_F(DefinitionHost, CollectionUseAndTransactionPieces) {
    auto all = Create<host::ITextDefinitionCollection>(host::CLSID_TextDefinitionCollection);
    std::int16_t n = 0;
    ASSERT_EQ(all->get_Count(&n), com::S_OK);
    EXPECT_EQ(n, 2);
    ComPtr<host::ITextDefinition> d;
    ASSERT_EQ(all->Item(1, d.out()), com::S_OK);
    std::int32_t receipt = 0;
    d->get_IsReceipt(&receipt);
    EXPECT_EQ(receipt, 1);
    EXPECT_EQ(all->Item(2, d.out()), com::E_INVALIDARG);

    std::int16_t inUse = 0;
    unit->TextExceptionsUISupport()->IsDefinitionInUse(9, &inUse);
    EXPECT_NE(inUse, 0);
    unit->TextExceptionsUISupport()->IsDefinitionInUse(3, &inUse);
    EXPECT_EQ(inUse, 0);

    std::int32_t p1 = 0, p2 = -1, p3 = 0, count = 0;
    std::string all_text;
    for (int i = 0; i < 5; ++i) {
        BSTR piece = nullptr;
        ASSERT_EQ(unit->TextExceptionsUISupport()->GetTransactionData(0, 4, &p1, &p2, &p3, &piece, &count), com::S_OK);
        all_text += Text(piece);
        if (count == 0) break;
    }
    EXPECT_EQ(all_text, "SALE 1.00\nTOTAL 1.00\n");
    EXPECT_EQ(count, 0);

    unit->FailCall("DefinitionCount", com::E_FAIL);
    EXPECT_EQ(all->get_Count(&n), com::E_FAIL);
}

}  // namespace
