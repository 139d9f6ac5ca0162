#include "foundation/HostStrings.h"

#include <algorithm>
#include <cctype>

#include "platform/codepage/CodePage.h"

namespace mirelle {

std::string TakeHostString(com::BSTR& s) {
    std::string out = cp::FromBstr(s);
    com::SysFreeString(s);
    s = nullptr;
    return out;
}

com::Bstr HostString(const std::string& ansi) {
    com::Bstr b(cp::AnsiToWide(ansi));
    if (!b.get()) throw com::ComError(com::E_OUTOFMEMORY);
    return b;
}

std::string HostCameraName(host::ISetupUISupport* setup, int index, bool* valid) {
    if (valid) *valid = false;
    if (!setup) return {};
    com::BSTR name = nullptr;
    host::VARIANT_BOOL ok = 0;
    com::HRESULT hr = setup->GetCameraName(index, &name, &ok);
    std::string text = TakeHostString(name);
    if (com::FAILED(hr) || ok == 0) return {};
    // A name ends at its first NUL, as the host's C strings do.
    text.resize(std::min(text.size(), text.find('\0')));
    if (valid) *valid = true;
    return text;
}

int ClampCameraCount(int count) { return std::clamp(count, 0, kMaxCameras); }

}  // namespace mirelle
