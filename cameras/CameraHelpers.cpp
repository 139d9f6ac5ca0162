#include "cameras/CameraHelpers.h"

#include <algorithm>

#include "platform/codepage/CodePage.h"
#include "resources/CameraIds.h"

namespace cameras {

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
    if (valid) *valid = true;
    return text;
}

int ClampCameraCount(int count) { return std::clamp(count, 0, kMaxCameras); }

void HideRowsFrom(ui::Dialog& page, int count, bool withButton) {
    for (int r = std::max(count, 0); r < kMaxCameras; ++r) {
        page.ShowItem(res::cam::kRowLabel + r, false);
        page.ShowItem(res::cam::kRowField + r, false);
        if (withButton && page.HasControl(res::cam::kRowButton + r)) page.ShowItem(res::cam::kRowButton + r, false);
    }
}

void HideSecondHeadings(ui::Dialog& page) {
    page.ShowItem(res::cam::kHeadCamera2, false);
    page.ShowItem(res::cam::kHeadValue2, false);
}

}  // namespace cameras
