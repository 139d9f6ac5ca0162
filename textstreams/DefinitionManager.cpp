#include "textstreams/DefinitionManager.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cameras/CameraHelpers.h"
#include "foundation/FileDlg.h"
#include "util/Util.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "resources/Ids.h"
#include "resources/Resources.h"

namespace textstreams {

namespace {
constexpr const char* kCriteriaFile = "TextCriteria.tec";
const com::IID& kTextIid = host::ITextExceptionsUISupport::IID_;
const com::IID& kDefIid = host::ITextDefinition::IID_;

std::vector<std::string> SplitList(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, ',')) out.push_back(cur);
    return out;
}
}  // namespace

std::string DefinitionText(host::ITextDefinition* d, com::HRESULT (host::ITextDefinition::*get)(com::BSTR*)) {
    com::BSTR b = nullptr;
    com::HRESULT hr = (d->*get)(&b);
    std::string s = mirelle::TakeHostString(b);
    return com::FAILED(hr) ? std::string{} : s;
}
std::string DefinitionName(host::ITextDefinition* d) { return DefinitionText(d, &host::ITextDefinition::get_Name); }
std::string DefinitionDescription(host::ITextDefinition* d) {
    return DefinitionText(d, &host::ITextDefinition::get_Description);
}
bool DefinitionIsReceipt(host::ITextDefinition* d) {
    std::int32_t r = 0;
    com::ThrowIfFailed(d->get_IsReceipt(&r), kDefIid);
    return r != 0;
}
std::int32_t DefinitionId(host::ITextDefinition* d) {
    std::int32_t id = -1;
    com::ThrowIfFailed(d->get_Id(&id), kDefIid);
    return id;
}

// ---- DefinitionList ----

void DefinitionList::Load() {
    com::BSTR text = nullptr;
    com::HRESULT hr = m_support->GetDefinitionsText(&text);
    std::string ansi = mirelle::TakeHostString(text);
    com::ThrowIfFailed(hr, kTextIid);
    m_items.clear();
    m_pool.Clear();
    auto codec = com::CreateRunningObject<host::IDefinitionListCodec>(host::CLSID_DefinitionListCodec, "DefinitionListCodec");
    com::Bstr wide = mirelle::HostString(ansi);
    std::int32_t count = 0;
    hr = codec->Parse(wide.get(), &count);
    std::int32_t largest = -1;
    if (hr == com::S_OK) {
        for (std::int32_t i = 0; i < count; ++i) {
            com::ComPtr<host::ITextDefinition> d;
            if (com::FAILED(codec->GetParsed(i, d.out())) || !d) break;
            std::int32_t id = DefinitionId(d.get());
            m_pool.MarkUsed(id);
            largest = std::max(largest, id);
            m_items.push_back(std::move(d));
        }
    }
    m_pool.SetLastGiven(largest);
}

bool DefinitionList::Save() {
    auto codec = com::CreateRunningObject<host::IDefinitionListCodec>(host::CLSID_DefinitionListCodec, "DefinitionListCodec");
    std::vector<host::ITextDefinition*> raw;
    for (auto& d : m_items) raw.push_back(d.get());
    com::BSTR text = nullptr;
    com::HRESULT hr = codec->Format(raw.data(), static_cast<std::int32_t>(raw.size()), &text);
    std::string ansi = mirelle::TakeHostString(text);
    com::ThrowIfFailed(hr, host::IDefinitionListCodec::IID_);
    com::Bstr wide = mirelle::HostString(ansi);
    std::int16_t result = -1;
    com::ThrowIfFailed(m_support->SetDefinitionsText(wide.get(), &result), kTextIid);
    return result == 0;
}

host::ITextDefinition* DefinitionList::Find(std::int32_t id) {
    for (auto& d : m_items)
        if (DefinitionId(d.get()) == id) return d.get();
    return nullptr;
}

void DefinitionList::Remove(std::int32_t id) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
        if (DefinitionId(it->get()) == id) {
            m_items.erase(it);
            m_pool.Release(id);
            return;
        }
}

// ---- the manager ----

CDefinitionManagerDlg::CDefinitionManagerDlg(int templateId, int titleString, std::int16_t helpTopic,
                                             host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text,
                                             bool keyboard, bool remote, ui::Window* parent)
    : ui::Dialog(templateId, parent), m_setup(setup), m_text(text), m_keyboard(keyboard), m_remote(remote),
      m_list(text), m_titleString(titleString), m_helpTopic(helpTopic) {}

bool CDefinitionManagerDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(m_titleString));
    auto& list = Item(IDC_LIST);
    list.columns.clear();
    auto names = SplitList(res::LoadString(127));
    for (auto& n : names) {
        if (n.empty()) break;
        list.columns.push_back(n);
    }
    m_list.Load();
    FillRows();
    return true;
}

void CDefinitionManagerDlg::FillRows() {
    auto& list = Item(IDC_LIST);
    list.ClearItems();
    for (auto& d : m_list.Items()) {
        if (!IsRowOf(d.get())) continue;
        int row = list.AddItem(DefinitionName(d.get()), DefinitionId(d.get()));
        list.SetItemText(row, 1, DefinitionDescription(d.get()));
    }
    Changed(IDC_LIST);
    UpdateButtons();
}

void CDefinitionManagerDlg::UpdateButtons() {
    const auto& list = Item(IDC_LIST);
    EnableItem(IDC_EDIT, list.selection >= 0);
    EnableItem(IDC_DELETE, list.selection >= 0);
    EnableItem(IDC_EXPORT, !list.CheckedItems().empty());
}

void CDefinitionManagerDlg::OnSelChange(int id) {
    if (id == IDC_LIST) UpdateButtons();
}
void CDefinitionManagerDlg::OnItemChecked(int id, int) {
    if (id == IDC_LIST) UpdateButtons();
}

void CDefinitionManagerDlg::OnClick(int id) {
    switch (id) {
    case IDC_ADD: OnAdd(); break;
    case IDC_EDIT: OnEdit(); break;
    case IDC_DELETE: OnDelete(); break;
    case IDC_IMPORT: OnImport(); break;
    case IDC_EXPORT: OnExport(); break;
    case IDC_HELP:
        if (m_setup) m_setup->ShowHelp(m_helpTopic);
        break;
    case IDC_CLOSE: EndDialog(2); break;
    default: ui::Dialog::OnClick(id);
    }
}

void CDefinitionManagerDlg::OnAdd() {
    if (m_adding) return;
    struct Guard {
        bool& b;
        ~Guard() { b = false; }
    } guard{m_adding = true};
    // With every identifier in use a new definition could not be stored: say
    // so before the operator types one, and keep the manager open.
    if (m_list.Pool().Full()) {
        WWMessageBox(this, res::FormatString(res::kStrDefinitionListFull, IdentifierPool::kCapacity), "",
                     ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    if (!RunEditor(nullptr)) return;
    std::int32_t id = m_list.Pool().Next();
    auto d = com::CreateRunningObject<host::ITextDefinition>(host::CLSID_TextDefinition, "TextDefinition");
    com::ThrowIfFailed(d->put_Id(id), kDefIid);
    FillDefinition(d.get());
    m_list.Items().push_back(d);
    if (!m_list.Save()) return;
    auto& list = Item(IDC_LIST);
    int row = list.AddItem(DefinitionName(d.get()), id);
    list.SetItemText(row, 1, DefinitionDescription(d.get()));
    Changed(IDC_LIST);
    UpdateButtons();
}

void CDefinitionManagerDlg::OnEdit() {
    auto& list = Item(IDC_LIST);
    int row = list.selection;
    if (row < 0) return;
    auto* d = m_list.Find(static_cast<std::int32_t>(list.ItemData(row)));
    if (!d) return;
    if (!RunEditor(d)) return;
    FillDefinition(d);
    m_list.Save();
    list.SetItemText(row, 0, DefinitionName(d));
    list.SetItemText(row, 1, DefinitionDescription(d));
    Changed(IDC_LIST);
    UpdateButtons();
}

void CDefinitionManagerDlg::OnDelete() {
    auto& list = Item(IDC_LIST);
    int row = list.selection;
    if (row < 0) return;
    if (WWMessageBox(this, res::LoadString(120), "", ui::MB_YESNO) != ui::IDYES) return;
    auto id = static_cast<std::int32_t>(list.ItemData(row));
    std::int16_t inUse = 0;
    com::ThrowIfFailed(m_text->IsDefinitionInUse(id, &inUse), kTextIid);
    if (inUse && WWMessageBox(this, res::LoadString(105), "", ui::MB_YESNO | ui::MB_ICONEXCLAMATION) != ui::IDYES)
        return;
    list.DeleteItem(row);
    list.selection = -1;
    m_list.Remove(id);
    Changed(IDC_LIST);
    m_list.Save();
    UpdateButtons();
}

std::string CDefinitionManagerDlg::ChooseFile(bool open) {
    return mirelle::ChooseFile(this, m_remote, open, kCriteriaFile);
}

void CDefinitionManagerDlg::OnExport() {
    auto& list = Item(IDC_LIST);
    auto checked = list.CheckedItems();
    if (checked.empty()) return;
    std::string path = ChooseFile(false);
    if (path.empty()) return;
    std::vector<std::int32_t> ids;
    for (int row : checked) ids.push_back(static_cast<std::int32_t>(list.ItemData(row)));
    m_list.Save();
    com::BSTR text = nullptr;
    std::int32_t reserved = 0;
    com::HRESULT hr = m_text->ExportDefinitionsText(ids.data(), static_cast<std::int32_t>(ids.size()), &text,
                                                    &reserved);
    std::string ansi = mirelle::TakeHostString(text);  // system code page
    com::ThrowIfFailed(hr, kTextIid);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << ansi;
    if (!out) WWMessageBox(this, res::FormatString(1081, path), "", ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

void CDefinitionManagerDlg::OnImport() {
    std::string path = ChooseFile(true);
    if (path.empty()) return;
    const auto content = mirelle::ReadWholeFile(path);
    if (!content) {
        WWMessageBox(this, res::FormatString(1080, path), "", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    com::Bstr text = mirelle::HostString(*content);
    std::int16_t result = -1;
    com::ThrowIfFailed(m_text->ImportDefinitionsText(text.get(), &result), kTextIid);
    if (result != 0) return;
    m_list.Load();
    FillRows();
}

// ---- stream list and transaction data ----

void TransactionDataFiller::Init() {
    auto& streams = m_dialog.Item(m_streamList);
    streams.sorted = true;
    streams.ClearItems();
    auto& area = m_dialog.Item(m_dataArea);
    area.readOnly = true;
    area.multiline = true;
    com::BSTR names = nullptr, ids = nullptr;
    com::HRESULT hr = m_text->GetTextStreamList(&names, &ids);
    auto n = SplitList(mirelle::TakeHostString(names));
    auto i = SplitList(mirelle::TakeHostString(ids));
    com::ThrowIfFailed(hr, kTextIid);
    for (size_t k = 0; k < n.size() && k < i.size() && k < static_cast<size_t>(kMaxStreams); ++k)
        streams.AddItem(n[k], std::atol(i[k].c_str()));
    if (streams.ItemCount() == 0) {
        m_dialog.EnableItem(m_streamList, false);
        m_dialog.EnableItem(m_dataArea, false);
        return;
    }
    m_dialog.SetSelection(m_streamList, 0);
    ShowData();
}

void TransactionDataFiller::StreamChanged() {
    m_dialog.SetItemText(m_dataArea, "");
    m_pos2 = -1;
    m_pos3 = 0;
    ShowData();
}

void TransactionDataFiller::ShowData() {
    auto& streams = m_dialog.Item(m_streamList);
    if (streams.selection < 0) return;
    auto stream = static_cast<std::int32_t>(streams.ItemData(streams.selection));
    std::string text = m_dialog.GetItemText(m_dataArea);
    std::int32_t total = 0;
    for (;;) {
        com::BSTR piece = nullptr;
        std::int32_t count = 0;
        com::HRESULT hr = m_text->GetTransactionData(0, stream, &m_pos1, &m_pos2, &m_pos3, &piece, &count);
        std::string s = mirelle::TakeHostString(piece);
        if (hr != com::S_OK || count == 0) break;
        text += s;
        total += count;
        if (total >= kMaxData) break;
    }
    m_dialog.SetItemText(m_dataArea, text);
    auto& area = m_dialog.Item(m_dataArea);
    area.selStart = area.selEnd = static_cast<int>(text.size());
}

}  // namespace textstreams
