#include "textstreams/TSTextSourcePropPage.h"

#include "cameras/CameraControlXml.h"
#include "cameras/CameraHelpers.h"
#include "util/Util.h"
#include "platform/codepage/CodePage.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/OwnSetupUI.h"
#include "textstreams/TextStreamListDlg.h"
#include "textstreams/TextStreamSheetRules.h"

using textstreams::TextStreamRecord;

namespace {

// Handler entries carry (kind << 16) | hasSetup.
std::intptr_t HandlerData(std::int16_t kind, std::int16_t hasSetup) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(kind)) << 16) |
                                      static_cast<std::uint16_t>(hasSetup));
}
int HandlerKind(std::intptr_t data) { return static_cast<std::int16_t>((static_cast<std::uint32_t>(data) >> 16) & 0xFFFF); }
bool HandlerHasSetup(std::intptr_t data) { return (static_cast<std::uint32_t>(data) & 0xFFFF) != 0; }

}  // namespace

CTSTextSourcePropPage::CTSTextSourcePropPage(CTextStreamListDlg& list, int index)
    : ui::PropertyPage(IDD), m_list(list), m_index(index) {}

int CTSTextSourcePropPage::FillHandlers(const std::string& wanted) {
    auto& combo = Item(IDC_HANDLER);
    combo.ClearItems();
    host::ITextStreamsUISupport* text = m_list.StreamSupport();
    if (!text) return -1;
    com::BSTR names = nullptr;
    const com::HRESULT hr = text->GetHandlerNames(&names);
    const std::string list = mirelle::TakeHostString(names);
    if (com::FAILED(hr)) return -1;
    int found = -1;
    for (const auto& name : textstreams::SplitNameList(list)) {
        com::Bstr b = mirelle::HostString(name);
        std::int16_t kind = 0, hasSetup = 0;
        if (com::FAILED(text->GetHandlerInfo(b.get(), &kind, &hasSetup))) break;
        const int row = combo.AddItem(name, HandlerData(kind, hasSetup));
        if (found < 0 && mirelle::EqualsNoCase(name, wanted)) found = row;
    }
    return found;
}

int CTSTextSourcePropPage::FillConnections(const std::string& wanted) {
    auto& combo = Item(IDC_CONNECTION);
    combo.ClearItems();
    m_connections.clear();
    host::ITextStreamsUISupport* text = m_list.StreamSupport();
    if (!textstreams::AsksConnectionTypes(m_list.VersionTimes100())) {
        m_connections.push_back({kComPortEntry, textstreams::eConnectionSerial, 1});
    } else if (text) {
        com::BSTR names = nullptr;
        const com::HRESULT hr = text->GetConnectionTypeNames(&names);
        const std::string list = mirelle::TakeHostString(names);
        if (com::SUCCEEDED(hr)) {
            for (const auto& name : textstreams::SplitNameList(list)) {
                com::Bstr b = mirelle::HostString(name);
                std::int32_t type = 0, flag = 0;
                if (com::FAILED(text->GetConnectionTypeInfo(b.get(), &type, &flag))) break;
                m_connections.push_back({name, type, flag});
            }
        }
    }
    // The list is sorted by its text; each row carries its entry's position.
    for (size_t i = 0; i < m_connections.size(); ++i)
        combo.AddItem(m_connections[i].name, static_cast<std::intptr_t>(i));
    for (int row = 0; row < combo.ItemCount(); ++row)
        if (mirelle::EqualsNoCase(combo.ItemText(row), wanted)) return row;
    return -1;
}

const CTSTextSourcePropPage::ConnectionEntry* CTSTextSourcePropPage::SelectedConnection() const {
    const auto& combo = Item(IDC_CONNECTION);
    if (combo.selection < 0) return nullptr;
    const auto at = static_cast<size_t>(combo.ItemData(combo.selection));
    return at < m_connections.size() ? &m_connections[at] : nullptr;
}

bool CTSTextSourcePropPage::OnInitDialog() {
    const TextStreamRecord stored = m_list.StoredRecord(m_index);
    m_values = TextStreamRecord{};
    m_values.Name = stored.Name;
    m_values.ShowCustomerEntries = stored.ShowCustomerEntries;
    m_values.ShowJournalEntries = stored.ShowJournalEntries;
    m_values.IpPort = stored.IpPort;
    m_values.ComPort = stored.ComPort;
    m_values.BaudRate = stored.BaudRate;
    m_values.DataBits = stored.DataBits;
    m_values.Parity = stored.Parity;
    m_values.StopBits = stored.StopBits;
    m_values.FlowControl = stored.FlowControl;
    SetItemText(IDC_NAME, stored.Name);

    int handler = -1;
    if (textstreams::ShowsHandlerList(m_list.VersionTimes100())) {
        handler = FillHandlers(stored.HandlerName);
        m_handlerSetupAllowed = true;
    } else {
        ShowItem(IDC_HANDLER, false);
        ShowItem(IDC_HANDLER_SETUP, false);
        ShowItem(IDC_TYPE_LABEL, false);
        m_handlerSetupAllowed = false;
    }
    if (mirelle::EqualsNoCase(stored.HandlerName, kGeneralText)) m_values.EndOfLine = stored.EndOfLine;

    const int connection = FillConnections(stored.ConnectionName);
    SetSelection(IDC_CONNECTION, connection);
    const ConnectionEntry* selected = SelectedConnection();
    m_connectionType = selected ? selected->type : textstreams::eConnectionSerial;

    if (!m_connections.empty()) {
        if (Item(IDC_HANDLER).ItemCount() > 0) SetSelection(IDC_HANDLER, handler >= 0 ? handler : 0);
        UpdateHandlerSetup();
        auto& combo = Item(IDC_CONNECTION);
        for (int row = 0; row < combo.ItemCount(); ++row) {
            const auto at = static_cast<size_t>(combo.ItemData(row));
            if (at < m_connections.size() && m_connections[at].type == m_connectionType) {
                SetSelection(IDC_CONNECTION, row);
                break;
            }
        }
    } else {
        EnableItem(IDC_HANDLER_SETUP, false);
    }
    return true;
}

void CTSTextSourcePropPage::UpdateHandlerSetup() {
    if (!m_handlerSetupAllowed) return;
    const auto& combo = Item(IDC_HANDLER);
    EnableItem(IDC_HANDLER_SETUP, combo.selection >= 0 && HandlerHasSetup(combo.ItemData(combo.selection)));
}

void CTSTextSourcePropPage::OnSelChange(int id) {
    if (id == IDC_HANDLER) {
        UpdateHandlerSetup();
    } else if (id == IDC_CONNECTION) {
        if (const ConnectionEntry* e = SelectedConnection()) m_connectionType = e->type;
    }
}

void CTSTextSourcePropPage::OnHandlerSetup() {
    const auto& combo = Item(IDC_HANDLER);
    if (combo.selection < 0) return;
    auto setupUI = textstreams::CreateOwnSetupUI();
    if (!setupUI) return;
    const mirelle::WindowParam owner = textstreams::AsWindowParam(this);
    const int remote = m_list.Remote() ? 1 : 0;
    std::int32_t result = 0;
    switch (HandlerKind(combo.ItemData(combo.selection))) {
        case kRawTextHandler: {
            com::BSTR eol = cp::ToBstr(m_values.EndOfLine);
            setupUI->ShowRawTextSetup(m_list.SetupSupport(), 1, remote, owner, &eol, &result);
            std::string back = mirelle::TakeHostString(eol);
            if (result == 1) m_values.EndOfLine = std::move(back);
            break;
        }
        case kPrinterHandler: {
            std::int32_t customer = m_values.ShowCustomerEntries, journal = m_values.ShowJournalEntries;
            setupUI->ShowODSetup(m_list.SetupSupport(), 0, remote, owner, &customer, &journal, &result);
            if (result == 1) {
                m_values.ShowCustomerEntries = customer;
                m_values.ShowJournalEntries = journal;
            }
            break;
        }
        default: break;
    }
}

void CTSTextSourcePropPage::OnConnectionSetup() {
    const ConnectionEntry* entry = SelectedConnection();
    if (!entry) return;
    m_connectionType = entry->type;
    if (m_connectionType != textstreams::eConnectionSerial && m_connectionType != textstreams::eConnectionTcpIp) return;
    auto setupUI = textstreams::CreateOwnSetupUI();
    if (!setupUI) return;
    const mirelle::WindowParam owner = textstreams::AsWindowParam(this);
    const int remote = m_list.Remote() ? 1 : 0;
    std::int32_t result = 0;
    if (m_connectionType == textstreams::eConnectionSerial) {
        std::int32_t port = m_values.ComPort < 0 ? -1 : m_values.ComPort;
        std::int32_t baud = m_values.BaudRate < 0 ? -1 : m_values.BaudRate;
        std::int32_t dataBits = m_values.DataBits, parity = m_values.Parity, stopBits = m_values.StopBits,
                     flow = m_values.FlowControl;
        setupUI->ShowCOMPortSetup(m_list.SetupSupport(), m_list.StreamSupport(), 0, remote, owner, m_index >= 0 ? 1 : 0,
                                  &port, &baud, &dataBits, &parity, &stopBits, &flow, &result);
        if (result == 1) {
            m_values.ComPort = static_cast<std::int16_t>(port);
            m_values.BaudRate = baud;
            m_values.DataBits = static_cast<std::int16_t>(dataBits);
            m_values.Parity = static_cast<std::int16_t>(parity);
            m_values.StopBits = static_cast<std::int16_t>(stopBits);
            m_values.FlowControl = static_cast<std::int16_t>(flow);
        }
    } else {
        std::int32_t port = m_values.IpPort;
        setupUI->ShowTextIPPortSetup(m_list.SetupSupport(), m_list.StreamSupport(), 1, remote, owner, &port, &result);
        if (result == 1) m_values.IpPort = port;
    }
}

void CTSTextSourcePropPage::OnClick(int id) {
    switch (id) {
        case IDC_HANDLER_SETUP: OnHandlerSetup(); break;
        case IDC_CONNECTION_SETUP: OnConnectionSetup(); break;
        default: ui::PropertyPage::OnClick(id);
    }
}

bool CTSTextSourcePropPage::OnApply() {
    if (!HasWindow()) return true;
    const std::string name = GetItemText(IDC_NAME);
    const auto& records = m_list.Records();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        if (i == m_index || !mirelle::EqualsNoCase(records[static_cast<size_t>(i)].Name, name)) continue;
        WWMessageBox(this, res::FormatString(IDS_NAME_EXISTS, name), "", ui::MB_OK);
        return false;
    }
    const auto& handlers = Item(IDC_HANDLER);
    const auto& connections = Item(IDC_CONNECTION);
    TextStreamRecord partial;
    partial.Name = name;
    partial.HandlerName = handlers.selection >= 0 && handlers.visible ? handlers.ItemText(handlers.selection) : "";
    partial.ConnectionName = connections.selection >= 0 ? connections.ItemText(connections.selection) : "";
    partial.ShowCustomerEntries = m_values.ShowCustomerEntries;
    partial.ShowJournalEntries = m_values.ShowJournalEntries;
    partial.EndOfLine = m_values.EndOfLine;
    if (m_connectionType == textstreams::eConnectionSerial) {
        partial.ComPort = m_values.ComPort;
        partial.BaudRate = m_values.BaudRate;
        partial.DataBits = m_values.DataBits;
        partial.Parity = m_values.Parity;
        partial.StopBits = m_values.StopBits;
        partial.FlowControl = m_values.FlowControl;
        partial.ConnectionType = textstreams::eConnectionSerial;
    } else if (m_connectionType == textstreams::eConnectionTcpIp) {
        partial.IpPort = m_values.IpPort;
        partial.ConnectionType = textstreams::eConnectionTcpIp;
    }
    m_list.Merge(partial);
    SetModified(false);
    return true;
}
