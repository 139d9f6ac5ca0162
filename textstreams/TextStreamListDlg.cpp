#include "textstreams/TextStreamListDlg.h"

#include <algorithm>

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "component/SetupSheetDlg.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/TextStreamPropSheet.h"
#include "textstreams/TextStreamSheetRules.h"

using textstreams::TextStreamRecord;

namespace {

constexpr const com::IID& kStreamsIID = host::ITextStreamsUISupport::IID_;
constexpr int kColumns = 3;

// A host string the caller frees; out of memory ends the operation.
com::BSTR HostString(const std::string& s) { return mirelle::HostString(s).detach(); }

// The record's values as the host takes them, with the strings owned here.
struct OwnedFields {
    host::TextStreamFields f;
    explicit OwnedFields(const TextStreamRecord& r) {
        f.Name = HostString(r.Name);
        f.StreamId = r.StreamId;
        f.ConnectionName = HostString(r.ConnectionName);
        f.HandlerName = HostString(r.HandlerName);
        f.ComPort = r.ComPort;
        f.BaudRate = r.BaudRate;
        f.DataBits = r.DataBits;
        f.Parity = r.Parity;
        f.StopBits = r.StopBits;
        f.FlowControl = r.FlowControl;
        f.CameraMask = r.CameraMask;
        f.ShowCustomerEntries = r.ShowCustomerEntries;
        f.ShowJournalEntries = r.ShowJournalEntries;
        f.ApplyExceptionsAsGroup = r.ApplyExceptionsAsGroup;
        f.EndOfLine = HostString(r.EndOfLine);
        f.ConnectionType = r.ConnectionType;
        f.IpPort = r.IpPort;
    }
    ~OwnedFields() {
        com::SysFreeString(f.Name);
        com::SysFreeString(f.ConnectionName);
        com::SysFreeString(f.HandlerName);
        com::SysFreeString(f.EndOfLine);
    }
    OwnedFields(const OwnedFields&) = delete;
    OwnedFields& operator=(const OwnedFields&) = delete;
};

// The host's values of one stream; the strings handed out are taken over.
TextStreamRecord FromHost(host::TextStreamFields& f) {
    TextStreamRecord r;
    r.Name = mirelle::TakeHostString(f.Name);
    r.StreamId = f.StreamId;
    r.ConnectionName = mirelle::TakeHostString(f.ConnectionName);
    r.HandlerName = mirelle::TakeHostString(f.HandlerName);
    r.ComPort = f.ComPort;
    r.BaudRate = f.BaudRate;
    r.DataBits = f.DataBits;
    r.Parity = f.Parity;
    r.StopBits = f.StopBits;
    r.FlowControl = f.FlowControl;
    r.CameraMask = f.CameraMask;
    r.ShowCustomerEntries = f.ShowCustomerEntries;
    r.ShowJournalEntries = f.ShowJournalEntries;
    r.ApplyExceptionsAsGroup = f.ApplyExceptionsAsGroup;
    r.EndOfLine = mirelle::TakeHostString(f.EndOfLine);
    r.ConnectionType = f.ConnectionType;
    r.IpPort = f.IpPort;
    return r;
}

}  // namespace

CTextStreamListDlg::CTextStreamListDlg(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard,
                                       bool remote, ui::Window* parent)
    : ui::Dialog(IDD, parent), m_setup(setup), m_text(text), m_keyboard(keyboard), m_remote(remote) {
    try {
        m_versionTimes100 = textstreams::VersionTimes100(mirelle::HostVersion());
    } catch (const com::ComError&) {
        m_versionTimes100 = kDefaultVersionTimes100;  // an older unit without the system object
    }
}

TextStreamRecord CTextStreamListDlg::StoredRecord(int index) const {
    if (index < 0 || index >= static_cast<int>(m_records.size())) return TextStreamRecord{};
    return m_records[static_cast<size_t>(index)];
}

void CTextStreamListDlg::SetAlarmsSelection(std::vector<std::int32_t> checkedExceptions,
                                            std::vector<std::int32_t> knownReceipts) {
    m_selections.alarmsExceptions = std::move(checkedExceptions);
    m_selections.alarmsReceipts = std::move(knownReceipts);
    m_selections.alarmsReplaced = true;
    m_current.DefinitionsChanged = 1;
}

void CTextStreamListDlg::SetReceiptsSelection(std::vector<std::int32_t> checkedReceipts,
                                              std::vector<std::int32_t> knownExceptions) {
    m_selections.receiptsReceipts = std::move(checkedReceipts);
    m_selections.receiptsExceptions = std::move(knownExceptions);
    m_selections.receiptsReplaced = true;
    m_current.DefinitionsChanged = 1;
}

std::string CTextStreamListDlg::RowText(std::int32_t key, int column) const {
    auto it = std::find_if(m_records.begin(), m_records.end(), [key](const auto& r) { return r.ListKey == key; });
    if (it == m_records.end()) return {};
    switch (column) {
        case 0: return it->Name;
        case 1: return it->HandlerName;
        case 2: return textstreams::DescriptionText(*it, res::LoadString(IDS_UNASSIGNED));
        default: return {};
    }
}

bool CTextStreamListDlg::OnInitDialog() {
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(IDS_TITLE));
    auto& list = Item(IDC_STREAMS);
    list.columns.clear();
    m_widths.clear();
    const std::string widths = res::LoadString(IDS_COLUMN_WIDTHS);
    size_t pos = 0;
    for (int col = 0; col < kColumns; ++col) {
        long width = 0;
        CWWUtility::First_stol(widths, pos, width);
        m_widths.push_back(std::max<long>(width, kMinColumnWidth));
        list.columns.push_back(res::LoadString(IDS_FIRST_HEADING + col));
    }
    // The last column takes what the first two leave of the list's width.
    m_widths[2] = std::max<long>(0, list.cx - m_widths[0] - m_widths[1]);
    LoadStreams();
    return true;
}

void CTextStreamListDlg::LoadStreams() {
    m_records.clear();
    m_hostIndexes.clear();
    Item(IDC_STREAMS).ClearItems();
    if (!m_text) return;
    std::int16_t count = 0;
    com::ThrowIfFailed(m_text->GetStreamCount(&count), kStreamsIID);
    for (std::int32_t i = 0; i < count; ++i) {
        host::TextStreamFields f;
        const com::HRESULT hr = m_text->GetStream(i, &f);
        TextStreamRecord r = FromHost(f);  // takes the strings even from a failed call
        if (hr != com::S_OK) continue;     // a stream the host cannot give is left out
        r.ListKey = i;
        m_records.push_back(r);
        m_hostIndexes.push_back(i);
        AppendRow(r);
    }
    Changed(IDC_STREAMS);
}

void CTextStreamListDlg::AppendRow(const TextStreamRecord& r) {
    auto& list = Item(IDC_STREAMS);
    const int row = list.ItemCount();
    list.InsertItem(row, RowText(r.ListKey, 0), r.ListKey);
    for (int c = 1; c < kColumns; ++c) list.SetItemText(row, c, RowText(r.ListKey, c));
}

void CTextStreamListDlg::Redraw() {
    auto& list = Item(IDC_STREAMS);
    for (int row = 0; row < list.ItemCount(); ++row) {
        const auto key = static_cast<std::int32_t>(list.ItemData(row));
        for (int c = 0; c < kColumns; ++c) list.SetItemText(row, c, RowText(key, c));
    }
    Changed(IDC_STREAMS);
}

int CTextStreamListDlg::SelectedRow() const {
    const auto rows = Item(IDC_STREAMS).SelectedItems();
    if (rows.empty() || rows.front() >= static_cast<int>(m_records.size())) return -1;
    return rows.front();
}

bool CTextStreamListDlg::RunSheet(int index) {
    for (;;) {
        receiptsChecked = -1;
        exceptionsChecked = -1;
        CTextStreamPropSheet sheet(*this, index);
        CSetupSheetDlg frame(m_setup, IDS_SHEET_TITLE, &sheet, 1, m_keyboard, this, 0);
        if (frame.DoModal() != 1) return false;
        if (!m_current.Name.empty()) return true;
        WWMessageBox(this, res::LoadString(IDS_INVALID_NAME), "", ui::MB_OK);
    }
}

void CTextStreamListDlg::StartSheetRun() {
    m_selections = {};
    m_current.DefinitionsChanged = 0;
}

void CTextStreamListDlg::SendDefinitions() {
    const bool changed = m_current.DefinitionsChanged != 0;
    m_current.DefinitionsChanged = 0;  // the stored record must not carry it into the next Edit
    if (!changed || !m_text) return;
    com::Bstr list = mirelle::HostString(textstreams::StreamDefinitionList(m_selections));
    m_text->SetStreamDefinitions(m_current.StreamId, list.get());  // the result is not examined
}

void CTextStreamListDlg::OnAdd() {
    if (!m_text) return;
    m_current.Reset();
    StartSheetRun();
    if (!RunSheet(-1)) return;

    std::int32_t index = -1;
    com::BSTR connection = HostString(m_current.ConnectionName);
    com::BSTR handler = HostString(m_current.HandlerName);
    const com::HRESULT created =
        m_text->CreateStream(m_current.ComPort, &index, &m_current.StreamId, &connection, &handler, 0);
    std::string connectionBack = mirelle::TakeHostString(connection);
    std::string handlerBack = mirelle::TakeHostString(handler);
    if (created != com::S_OK) {
        WWMessageBox(this, res::LoadString(IDS_CREATE_FAILED), "", ui::MB_OK);
        return;
    }
    m_current.ConnectionName = std::move(connectionBack);
    m_current.HandlerName = std::move(handlerBack);

    com::HRESULT updated;
    {
        OwnedFields fields(m_current);
        updated = m_text->UpdateStream(index, &fields.f, 0);
    }
    SendDefinitions();
    if (updated != com::S_OK) return;  // the host has the stream; it is listed on the next opening
    m_current.ListKey = textstreams::NextListKey(m_records);
    m_records.push_back(m_current);
    m_hostIndexes.push_back(index);
    AppendRow(m_current);
    Redraw();
}

void CTextStreamListDlg::OnEdit() {
    const int row = SelectedRow();
    if (row < 0 || !m_text) return;
    m_current = m_records[static_cast<size_t>(row)];
    StartSheetRun();
    if (!RunSheet(row)) return;
    {
        OwnedFields fields(m_current);
        m_text->UpdateStream(m_hostIndexes[static_cast<size_t>(row)], &fields.f, 0);  // the result is not examined
    }
    SendDefinitions();
    m_records[static_cast<size_t>(row)] = m_current;
    Redraw();
}

void CTextStreamListDlg::OnDelete() {
    const int row = SelectedRow();
    if (row < 0 || !m_text) return;
    auto& list = Item(IDC_STREAMS);
    const std::string question = res::FormatString(IDS_DELETE_QUESTION, list.ItemText(row, 0));
    if (WWMessageBox(this, question, "", ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES) return;
    // The row goes whatever the host answers, but only a stream the host has
    // really deleted moves its later streams down.
    const std::int32_t deleted = m_hostIndexes[static_cast<size_t>(row)];
    if (m_text->DeleteStream(deleted, 0) == com::S_OK)
        for (auto& index : m_hostIndexes)
            if (index > deleted) --index;
    m_records.erase(m_records.begin() + row);
    m_hostIndexes.erase(m_hostIndexes.begin() + row);
    list.DeleteItem(row);
    list.selection = -1;
    Redraw();
}

void CTextStreamListDlg::OnClick(int id) {
    switch (id) {
        case IDC_ADD: OnAdd(); break;
        case IDC_EDIT: OnEdit(); break;
        case IDC_DELETE: OnDelete(); break;
        case IDC_HELP:
            if (m_setup) m_setup->ShowHelp(kHelpTopic);
            break;
        default: ui::Dialog::OnClick(id);
    }
}

void CTextStreamListDlg::OnDoubleClick(int id, int row) {
    (void)row;  // the double-click has selected the row
    if (id == IDC_STREAMS) OnEdit();
}
