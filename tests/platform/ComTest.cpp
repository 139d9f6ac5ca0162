#include <gtest/gtest.h>

#include "platform/com/ClassTable.h"
#include "platform/com/RegistryScript.h"
#include "platform/registry/Registry.h"

namespace {

struct ITest : com::IUnknown {
    static constexpr com::IID IID_ = com::MakeGuid(0x11111111, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8});
    virtual int Value() = 0;
};

class TestObject final : public com::ComObjectBase, public ITest {
public:
    explicit TestObject(com::IUnknown* outer) : ComObjectBase(outer) { ++alive; }
    ~TestObject() override { --alive; }
    MIRELLE_IUNKNOWN_IMPL()
    int Value() override { return 42; }
    static inline int alive = 0;

protected:
    com::HRESULT QueryInterfaceImpl(const com::IID& iid, void** ppv) override {
        if (iid == ITest::IID_) {
            *ppv = static_cast<ITest*>(this);
            return com::S_OK;
        }
        return com::E_NOINTERFACE;
    }
};

const com::CLSID kClsid = com::MakeGuid(0x22222222, 1, 2, {1, 2, 3, 4, 5, 6, 7, 9});

com::ComModule MakeModule() {
    return com::ComModule({{kClsid, "Test.Object.1", "Test.Object", "Test Object", 1,
                            [](com::IUnknown* outer) -> com::IUnknown* {
                                auto* o = new TestObject(outer);
                                o->InnerUnknown()->AddRef();
                                return o->InnerUnknown();
                            }}},
                          com::MakeGuid(0x33333333, 1, 2, {0, 0, 0, 0, 0, 0, 0, 1}), "/opt/mirelle/libmirelle.so");
}

TEST(Guid, TextRoundTrip) {
    EXPECT_EQ(com::GuidToString(kClsid), "{22222222-0001-0002-0102-030405060709}");
    EXPECT_EQ(com::GuidFromString("{22222222-0001-0002-0102-030405060709}"), kClsid);
    EXPECT_FALSE(com::GuidFromString("{22222222-0001-0002-0102-03040506070}").has_value());
    EXPECT_FALSE(com::GuidFromString("{2222222G-0001-0002-0102-030405060709}").has_value());
}

TEST(ClassTable, FactoryIsCachedAndObjectsHoldTheModuleLock) {
    auto module = MakeModule();
    long locks = com::ModuleLockCount();
    com::ComPtr<com::IClassFactory> f1, f2;
    ASSERT_EQ(module.GetClassObject(kClsid, com::IClassFactory::IID_, f1.outVoid()), com::S_OK);
    ASSERT_EQ(module.GetClassObject(kClsid, com::IClassFactory::IID_, f2.outVoid()), com::S_OK);
    EXPECT_EQ(f1.get(), f2.get());
    com::ComPtr<ITest> obj;
    ASSERT_EQ(f1->CreateInstance(nullptr, ITest::IID_, obj.outVoid()), com::S_OK);
    EXPECT_EQ(obj->Value(), 42);
    EXPECT_EQ(com::ModuleLockCount(), locks + 1);
    EXPECT_EQ(module.CanUnloadNow(), com::S_FALSE);
    obj.reset();
    EXPECT_EQ(TestObject::alive, 0);
    f1->LockServer(true);
    EXPECT_EQ(module.CanUnloadNow(), com::S_FALSE);
    f1->LockServer(false);
    EXPECT_EQ(com::ModuleLockCount(), locks);
}

TEST(ClassTable, CreationErrors) {
    auto module = MakeModule();
    com::ComPtr<com::IClassFactory> f;
    EXPECT_EQ(module.GetClassObject(kClsid, com::IClassFactory::IID_, nullptr), com::E_POINTER);
    EXPECT_EQ(module.GetClassObject(com::GUID_NULL, com::IClassFactory::IID_, f.outVoid()),
              com::CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(module.GetClassObject(kClsid, com::IClassFactory::IID_, f.outVoid()), com::S_OK);
    EXPECT_EQ(f->CreateInstance(nullptr, ITest::IID_, nullptr), com::E_POINTER);
    // A failed query destroys the new object.
    void* p = nullptr;
    EXPECT_EQ(f->CreateInstance(nullptr, com::IClassFactory::IID_, &p), com::E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(TestObject::alive, 0);
}

struct Outer final : com::IUnknown {
    com::ComPtr<com::IUnknown> inner;
    std::atomic<com::ULONG> refs{1};
    com::HRESULT QueryInterface(const com::IID& iid, void** ppv) override {
        if (iid == com::IUnknown::IID_) {
            *ppv = this;
            AddRef();
            return com::S_OK;
        }
        return inner->QueryInterface(iid, ppv);
    }
    com::ULONG AddRef() override { return ++refs; }
    com::ULONG Release() override { return --refs; }
};

TEST(ClassTable, AggregationNeedsIUnknownAndDelegatesToTheOuterObject) {
    auto module = MakeModule();
    com::ComPtr<com::IClassFactory> f;
    ASSERT_EQ(module.GetClassObject(kClsid, com::IClassFactory::IID_, f.outVoid()), com::S_OK);
    Outer outer;
    void* p = nullptr;
    EXPECT_EQ(f->CreateInstance(&outer, ITest::IID_, &p), com::CLASS_E_NOAGGREGATION);
    ASSERT_EQ(f->CreateInstance(&outer, com::IUnknown::IID_, outer.inner.outVoid()), com::S_OK);
    com::ComPtr<ITest> t;
    ASSERT_EQ(outer.QueryInterface(ITest::IID_, t.outVoid()), com::S_OK);
    com::ULONG before = outer.refs;
    t->AddRef();
    EXPECT_EQ(outer.refs, before + 1) << "the inner object's interfaces count on the outer object";
    t->Release();
    com::ComPtr<com::IUnknown> identity;
    ASSERT_EQ(t->QueryInterface(com::IUnknown::IID_, identity.outVoid()), com::S_OK);
    EXPECT_EQ(identity.get(), static_cast<com::IUnknown*>(&outer));
    identity.reset();
    t.reset();
    outer.inner.reset();
    EXPECT_EQ(TestObject::alive, 0);
}

TEST(Bstr, CountedAndFreed) {
    long before = com::LiveBstrCount();
    {
        com::Bstr s(u"ab\0c");
        EXPECT_EQ(com::SysStringLen(s.get()), 2u);
        com::Bstr t(std::u16string_view(u"ab\0c", 4));
        EXPECT_EQ(com::SysStringLen(t.get()), 4u);
        EXPECT_EQ(t.get()[4], 0);
        *s.out() = com::SysAllocString(u"x");
    }
    EXPECT_EQ(com::LiveBstrCount(), before);
    EXPECT_EQ(com::SysStringLen(nullptr), 0u);
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
    }
};

TEST_F(RegistrationTest, ScriptRegistersAndUnregistersAsMarked) {
    const std::string script = R"(HKCR
{
    Test.Object.1 = s 'Test Object'
    {
        CLSID = s '%CLSID%'
    }
    NoRemove CLSID
    {
        ForceRemove %CLSID% = s 'Test Object'
        {
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
        }
    }
})";
    std::map<std::string, std::string> rep{{"CLSID", com::GuidToString(kClsid)}, {"MODULE", "/opt/m.so"}};
    ASSERT_EQ(com::RunRegistryScript(script, true, rep), com::S_OK);
    std::string clsidKey = "CLSID\\" + com::GuidToString(kClsid);
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "Test.Object.1", ""), "Test Object");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "Test.Object.1\\CLSID", ""), com::GuidToString(kClsid));
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", ""), "/opt/m.so");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", "ThreadingModel"), "Both");
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"));
    reg::SetDword(reg::HKEY_CLASSES_ROOT, "CLSID\\{OTHER}", "keep", 1);
    ASSERT_EQ(com::RunRegistryScript(script, false, rep), com::S_OK);
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "Test.Object.1"));
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "CLSID\\{OTHER}"));
}

TEST_F(RegistrationTest, MalformedScriptIsRefused) {
    EXPECT_EQ(com::RunRegistryScript("HKCR { A = s 'unterminated }", true, {}), com::E_INVALIDARG);
    EXPECT_EQ(com::RunRegistryScript("HKXX { }", true, {}), com::E_INVALIDARG);
    EXPECT_EQ(com::RunRegistryScript("HKCR { A { B }", true, {}), com::E_INVALIDARG);
}

}  // namespace
