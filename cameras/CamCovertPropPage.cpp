#include "cameras/CamCovertPropPage.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;

CCamCovertPropPage::CCamCovertPropPage(host::ISetupUISupport* setup) : CameraRowsPage(IDD, setup) {
    std::int32_t mask = 0, reserved = 0;
    if (m_setup && com::FAILED(m_setup->GetCovertMask(&mask, &reserved))) mask = 0;
    for (int i = 0; i < 16; ++i) m_flags[i] = (mask >> i) & 1;
    m_flags[0] = 0;  // camera 1 is never covert
}

bool CCamCovertPropPage::OnInitDialog() {
    Selections sel{};
    for (int i = 0; i < 16; ++i) sel[i] = m_flags[i] ? 1 : 0;
    FillRows({kStrCovertNormal, kStrCovertCovert}, sel);
    SetSelection(kRowField, 0);
    EnableItem(kRowField, false);
    return true;
}

CCamCovertPropPage::Outcome CCamCovertPropPage::Decide(const std::array<int, 16>& selected, const Flags& stored,
                                                       int count) {
    Outcome o;
    for (int i = 0; i < count && i < 16; ++i)
        if (stored[i] == 1) o.covertBefore = true;
    // Bits 0-3 always, 4-7 above four cameras, 8-15 above eight.  A bit of a
    // camera beyond the count (a hidden row without a selection) is sent as
    // 0: a camera the unit does not have is never covert.
    const int bitsRead = count > 8 ? 16 : count > 4 ? 8 : 4;
    for (int i = 0; i < bitsRead; ++i) {
        if (i >= count) continue;
        const std::int32_t bit = selected[i] & 1;
        o.mask |= bit << i;
        if (bit) o.covertNow = true;
        if (bit != stored[i]) o.changed = true;
    }
    if (!o.covertNow && o.covertBefore) o.messageId = 1068;
    if (o.covertNow && !o.covertBefore) o.messageId = 1067;
    return o;
}

bool CCamCovertPropPage::OnApply() {
    if (HasWindow()) {
        const Outcome o = Decide(Selected(), m_flags, Count());
        if (o.messageId) WWMessageBox(this, res::LoadString(o.messageId), "", ui::MB_OK);
        if (o.changed && m_setup) {
            std::int32_t reserved = 0;
            m_setup->SetCovertMask(o.mask, 0, &reserved);
        }
    }
    SetModified(false);
    return true;
}
