// IDispatch of SetupUI: its type information, names and dispatch ids from
// the type library, and late-bound calls of the 16 operations with their
// arguments in order.
#include "module/SetupUI.h"
#include "foundation/HostStrings.h"
#include "module/TypeLibrary.h"
#include "platform/codepage/CodePage.h"

using com::HRESULT;
using com::VARIANT;

HRESULT CSetupUI::GetTypeInfoCount(unsigned* count) {
    if (!count) return com::E_POINTER;
    *count = 1;
    return com::S_OK;
}

HRESULT CSetupUI::GetTypeInfo(unsigned index, std::uint32_t, com::ITypeInfo** info) {
    if (!info) return com::E_POINTER;
    *info = nullptr;
    if (index != 0) return com::DISP_E_BADINDEX;
    // The library's one locale serves every caller's.
    *info = mirelle::CreateSetupUITypeInfo();
    return *info ? com::S_OK : com::E_OUTOFMEMORY;
}

HRESULT CSetupUI::GetIDsOfNames(const std::u16string& name, std::int32_t* dispid) {
    if (!dispid) return com::E_POINTER;
    // Through the type information, as callers of the type library see it.
    com::ComPtr<com::ITypeInfo> info = com::ComPtr<com::ITypeInfo>::Attach(mirelle::CreateSetupUITypeInfo());
    if (!info) return com::E_OUTOFMEMORY;
    return info->GetIDsOfNames(name, dispid);
}

namespace {

struct Args {
    std::vector<VARIANT>& v;
    bool ok = true;
    VARIANT* At(size_t i) {
        if (i >= v.size()) { ok = false; return nullptr; }
        return &v[i];
    }
    com::IUnknown* Unk(size_t i) {
        VARIANT* a = At(i);
        if (!a) return nullptr;
        if (a->vt == VARIANT::Type::Unknown || a->vt == VARIANT::Type::Empty) return a->punkVal;
        ok = false;
        return nullptr;
    }
    std::int32_t I4(size_t i) {
        VARIANT* a = At(i);
        if (!a) return 0;
        switch (a->vt) {
            case VARIANT::Type::I2: return a->iVal;
            case VARIANT::Type::I4: return a->lVal;
            case VARIANT::Type::I8: return static_cast<std::int32_t>(a->llVal);
            default: ok = false; return 0;
        }
    }
    std::int16_t I2(size_t i) { return static_cast<std::int16_t>(I4(i)); }
    std::intptr_t Wnd(size_t i) {
        VARIANT* a = At(i);
        if (a && a->vt == VARIANT::Type::I8) return static_cast<std::intptr_t>(a->llVal);
        return I4(i);
    }
    std::int16_t* PI2(size_t i) {
        VARIANT* a = At(i);
        if (a && a->vt == VARIANT::Type::ByRefI2) return a->piVal;
        ok = false;
        return nullptr;
    }
    std::int32_t* PI4(size_t i) {
        VARIANT* a = At(i);
        if (a && a->vt == VARIANT::Type::ByRefI4) return a->plVal;
        ok = false;
        return nullptr;
    }
    com::BSTR* PBstr(size_t i) {
        VARIANT* a = At(i);
        if (a && a->vt == VARIANT::Type::ByRefBstr) return a->pbstrVal;
        ok = false;
        return nullptr;
    }
};


}  // namespace

HRESULT CSetupUI::Invoke(std::int32_t dispid, std::vector<VARIANT>& v) {
    const mirelle::TypeLibMethod* method = mirelle::SetupUIMethod(dispid);
    if (!method) return com::DISP_E_MEMBERNOTFOUND;
    if (v.size() != method->params.size()) return com::DISP_E_BADPARAMCOUNT;
    Args a{v};
    // Arguments are checked before the call: a type mismatch calls nothing.
    auto call = [&](auto&& fn) -> HRESULT {
        if (!a.ok) return com::DISP_E_TYPEMISMATCH;
        return fn();
    };
    switch (dispid) {
        case 1: { auto s = a.Unk(0); auto k = a.I2(1); auto w = a.Wnd(2); auto d = a.PI4(3); auto r = a.PI2(4);
                  return call([&] { return ShowDisplay(s, k, w, d, r); }); }
        case 2: { auto s = a.Unk(0); auto w = a.Wnd(1); auto d = a.PI4(2); auto r = a.PI2(3);
                  return call([&] { return ShowRecordModeDlg(s, w, d, r); }); }
        case 3: { auto s = a.Unk(0); auto c = a.Unk(1); auto k = a.I2(2); auto w = a.Wnd(3); auto r = a.PI2(4);
                  return call([&] { return ShowCameras(s, c, k, w, r); }); }
        case 4: { auto m = a.Unk(0); auto s = a.Unk(1); auto w = a.Wnd(2); auto p = a.PI4(3); auto l = a.PI4(4);
                  auto e = a.PI4(5); auto x = a.PI2(6); auto c = a.I2(7); auto r = a.PI2(8);
                  return call([&] { return ShowPortAddressDlg(m, s, w, p, l, e, x, c, r); }); }
        case 5: return ConnectTimeout();
        case 6: { auto s = a.Unk(0); auto w = a.Wnd(1); auto r = a.PI4(2);
                  return call([&] { return ShowStorage(s, w, r); }); }
        case 7: { auto s = a.Unk(0); auto t = a.Unk(1); auto k = a.I4(2); auto rm = a.I4(3); auto w = a.Wnd(4); auto r = a.PI4(5);
                  return call([&] { return ShowTextStreams(s, t, k, rm, w, r); }); }
        case 8: { auto s = a.Unk(0); auto k = a.I2(1); auto w = a.Wnd(2); auto as = a.PI4(3); auto mx = a.PI4(4); auto r = a.PI2(5);
                  return call([&] { return ShowAudio(s, k, w, as, mx, r); }); }
        case 9: { auto l = a.I4(0); auto r = a.PI2(1);
                  return call([&] { return UpdateLevelMeter(l, r); }); }
        case 10:
        case 11: { auto s = a.Unk(0); auto x = a.Unk(1); auto k = a.I4(2); auto rm = a.I4(3); auto w = a.Wnd(4); auto r = a.PI4(5);
                   return call([&] { return dispid == 10 ? ShowTextExceptions(s, x, k, rm, w, r) : ShowTextReceipts(s, x, k, rm, w, r); }); }
        case 12: { auto s = a.Unk(0); auto k = a.I4(1); auto rm = a.I4(2); auto w = a.Wnd(3); auto c = a.PI4(4); auto j = a.PI4(5); auto r = a.PI4(6);
                   return call([&] { return ShowODSetup(s, k, rm, w, c, j, r); }); }
        case 13: { auto s = a.Unk(0); auto c = a.Unk(1); auto k = a.I2(2); auto w = a.Wnd(3); auto r = a.PI2(4);
                   return call([&] { return ShowIPSourceConfig(s, c, k, w, r); }); }
        case 14: { auto s = a.Unk(0); auto k = a.I4(1); auto rm = a.I4(2); auto w = a.Wnd(3); auto e = a.PBstr(4); auto r = a.PI4(5);
                   return call([&] { return ShowRawTextSetup(s, k, rm, w, e, r); }); }
        case 15: { auto s = a.Unk(0); auto t = a.Unk(1); auto k = a.I4(2); auto rm = a.I4(3); auto w = a.Wnd(4); auto ed = a.I4(5);
                   auto p = a.PI4(6); auto b = a.PI4(7); auto d = a.PI4(8); auto pa = a.PI4(9); auto st = a.PI4(10); auto f = a.PI4(11);
                   auto r = a.PI4(12);
                   return call([&] { return ShowCOMPortSetup(s, t, k, rm, w, ed, p, b, d, pa, st, f, r); }); }
        case 16: { auto s = a.Unk(0); auto t = a.Unk(1); auto k = a.I4(2); auto rm = a.I4(3); auto w = a.Wnd(4); auto p = a.PI4(5); auto r = a.PI4(6);
                   return call([&] { return ShowTextIPPortSetup(s, t, k, rm, w, p, r); }); }
    }
    return com::DISP_E_MEMBERNOTFOUND;
}
