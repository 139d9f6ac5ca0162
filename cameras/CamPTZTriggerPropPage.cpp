#include "cameras/CamPTZTriggerPropPage.h"

#include <cstdio>

#include "cameras/CamPTZTriggerSetup.h"
#include "cameras/CameraHelpers.h"
#include "component/SetupSheetDlg.h"
#include "foundation/Controls.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;
using cameras::PTZTriggerDefinition;

CCamPTZTriggerPropPage::CCamPTZTriggerPropPage(host::ISetupUISupport* setup,
                                               host::ICameraControlUISupport* cameraControl)
    : ui::PropertyPage(IDD), m_setup(setup), m_cameraControl(cameraControl) {}

bool CCamPTZTriggerPropPage::OnInitDialog() {
    auto& list = Item(kPtzList);
    list.columns.clear();
    const std::string widths = res::LoadString(149);
    size_t pos = 0;
    for (int col = 0; col < kColumns; ++col) {
        long width = 0;
        CWWUtility::First_stol(widths, pos, width);
        (void)width;  // the model keeps no column widths of its own
        list.columns.push_back(res::LoadString(150 + col));
    }

    com::BSTR xml = nullptr;
    std::int32_t reserved = 0;
    if (m_setup) m_setup->GetPTZTriggerListXml(&xml, &reserved);
    cameras::PTZTriggerListDocument doc;
    if (doc.Read(mirelle::TakeHostString(xml))) {
        std::vector<PTZTriggerDefinition> defs;
        cameras::RecordsToDefinitions(doc, defs);
        for (auto& d : defs) m_definitions.push_back(std::make_unique<PTZTriggerDefinition>(std::move(d)));
    }
    Redraw();
    UpdateButtons();
    return true;
}

std::string CCamPTZTriggerPropPage::CellText(const PTZTriggerDefinition& d, int column) const {
    switch (column) {
        case 0: return mirelle::HostCameraName(m_setup, d.AlarmCameraID());
        case 1: return d.Filter() ? "X" : "";
        case 2: return d.Input() ? "X" : "";
        case 3: return d.Generated() ? "X" : "";
        case 4: return d.VideoLoss() ? "X" : "";
        case 5: return mirelle::HostCameraName(m_setup, d.PTZCameraID());
        case 6: {
            char buf[32];
            if (d.ActionType() == PTZTriggerDefinition::ePreset)
                std::snprintf(buf, sizeof buf, "Preset %d", static_cast<int>(d.ActionValue()));
            else if (d.ActionType() == PTZTriggerDefinition::ePattern)
                std::snprintf(buf, sizeof buf, "Pattern %d", static_cast<int>(d.ActionValue()));
            else
                buf[0] = '\0';
            return buf;
        }
        default: return {};
    }
}

// The rows carry their definition; their texts are produced afresh on every
// redraw (the camera names may change on the host).
void CCamPTZTriggerPropPage::Redraw() {
    auto& list = Item(kPtzList);
    const int sel = list.selection;
    list.ClearItems();
    for (int i = 0; i < static_cast<int>(m_definitions.size()); ++i) InsertRow(i);
    list.selection = sel < list.ItemCount() ? sel : -1;
    Changed(kPtzList);
}

void CCamPTZTriggerPropPage::InsertRow(int index) {
    auto& list = Item(kPtzList);
    const PTZTriggerDefinition& d = *m_definitions[index];
    list.InsertItem(index, CellText(d, 0), reinterpret_cast<std::intptr_t>(&d));
    for (int col = 1; col < kColumns; ++col) list.SetItemText(index, col, CellText(d, col));
}

void CCamPTZTriggerPropPage::UpdateButtons() {
    const auto& list = Item(kPtzList);
    m_selected = list.selection >= 0 && list.selection < list.ItemCount() ? list.selection : -1;
    EnableItem(kPtzDelete, m_selected >= 0);
    EnableItem(kPtzEdit, m_selected >= 0);
    EnableItem(kPtzDeleteAll, list.ItemCount() > 0);
    EnableItem(kPtzAdd, true);
}

bool CCamPTZTriggerPropPage::RunEditor(PTZTriggerDefinition& def) {
    CCamPTZTriggerSetup editor(m_setup, def, m_cameraControl, FrameKeyboardFlag(), nullptr);
    return editor.DoModal() == 1;
}

void CCamPTZTriggerPropPage::OnAdd() {
    auto def = std::make_unique<PTZTriggerDefinition>();
    if (RunEditor(*def)) {
        m_changed = true;
        m_definitions.push_back(std::move(def));
        InsertRow(static_cast<int>(m_definitions.size()) - 1);
        Changed(kPtzList);
        SetModified(true);
    }
    UpdateButtons();
}

void CCamPTZTriggerPropPage::OnEdit() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_definitions.size())) return;
    PTZTriggerDefinition copy = *m_definitions[m_selected];
    if (RunEditor(copy)) {
        *m_definitions[m_selected] = copy;
        m_changed = true;
        SetModified(true);
    }
    Redraw();
    UpdateButtons();
}

void CCamPTZTriggerPropPage::OnDelete() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_definitions.size())) return;
    if (WWMessageBox(this, res::LoadString(166), "", ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES) {
        Item(kPtzList).DeleteItem(m_selected);
        m_definitions.erase(m_definitions.begin() + m_selected);
        m_changed = true;
        SetModified(true);
    }
    Redraw();
    UpdateButtons();
}

void CCamPTZTriggerPropPage::OnDeleteAll() {
    if (WWMessageBox(this, res::LoadString(170), "", ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES) {
        Item(kPtzList).ClearItems();
        m_definitions.clear();
        m_changed = true;
        SetModified(true);
    }
    Redraw();
    UpdateButtons();
}

void CCamPTZTriggerPropPage::OnClick(int id) {
    switch (id) {
        case kPtzAdd: OnAdd(); break;
        case kPtzEdit: OnEdit(); break;
        case kPtzDelete: OnDelete(); break;
        case kPtzDeleteAll: OnDeleteAll(); break;
        default: ui::PropertyPage::OnClick(id);
    }
}

void CCamPTZTriggerPropPage::OnSelChange(int id) {
    if (id == kPtzList) UpdateButtons();
}

void CCamPTZTriggerPropPage::OnDoubleClick(int id, int) {
    if (id == kPtzList) OnEdit();
}

bool CCamPTZTriggerPropPage::OnApply() {
    if (HasWindow() && m_changed && m_setup) {
        std::vector<PTZTriggerDefinition> defs;
        for (auto& d : m_definitions) defs.push_back(*d);
        cameras::PTZTriggerListDocument doc;
        cameras::DefinitionsToRecords(defs, doc);
        com::Bstr xml = mirelle::HostString(doc.Write());
        std::int32_t reserved = 0;
        m_setup->SetPTZTriggerListXml(xml.get(), &reserved);
    }
    SetModified(false);
    return true;
}
