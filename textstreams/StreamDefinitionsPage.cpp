#include "textstreams/StreamDefinitionsPage.h"

#include <algorithm>

#include "cameras/CameraHelpers.h"
#include "component/SetupSheetDlg.h"
#include "foundation/DebugLog.h"
#include "platform/com/ClassTable.h"
#include "resources/Resources.h"
#include "textstreams/OwnSetupUI.h"
#include "textstreams/TextStreamListDlg.h"
#include "textstreams/TextStreamRecord.h"

namespace {

bool Contains(const std::vector<std::int32_t>& ids, std::int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

CStreamDefinitionsPage::CStreamDefinitionsPage(int templateId, CTextStreamListDlg& list, int index, bool receipts,
                                               int listId, int buildId, int showDescriptionId, ManagerOperation manager)
    : ui::PropertyPage(templateId), m_list(list), m_index(index), m_listId(listId), m_receipts(receipts),
      m_buildId(buildId), m_showDescriptionId(showDescriptionId), m_manager(manager) {}

bool CStreamDefinitionsPage::ReadCollection() {
    m_all.clear();
    if (!m_collection) return false;
    std::int16_t count = 0;
    if (com::FAILED(m_collection->get_Count(&count))) return false;
    bool complete = true;
    for (std::int16_t i = 0; i < count; ++i) {
        com::ComPtr<host::ITextDefinition> d;
        if (com::FAILED(m_collection->Item(i, d.out())) || !d) {
            complete = false;
            continue;
        }
        Definition out;
        com::BSTR name = nullptr, description = nullptr;
        std::int32_t receipt = 0;
        const bool idRead = com::SUCCEEDED(d->get_Id(&out.id));
        d->get_Name(&name);
        d->get_Description(&description);
        const bool kindRead = com::SUCCEEDED(d->get_IsReceipt(&receipt));
        out.name = mirelle::TakeHostString(name);
        out.description = mirelle::TakeHostString(description);
        out.receipt = receipt != 0;
        if (!idRead || !kindRead) {
            complete = false;  // a definition that cannot be placed gets no row
            continue;
        }
        m_all.push_back(std::move(out));
    }
    return complete;
}

std::vector<CStreamDefinitionsPage::Definition> CStreamDefinitionsPage::Listed() const {
    std::vector<Definition> out;
    for (const auto& d : m_all)
        if (d.receipt == m_receipts) out.push_back(d);
    return out;
}

std::string CStreamDefinitionsPage::RowText(const Definition& d) const {
    if (!m_showDescription || d.description.empty()) return d.name;
    return d.name + " - " + d.description;
}

void CStreamDefinitionsPage::Refill(const std::vector<std::int32_t>& checked) {
    auto& list = Item(m_listId);
    list.ClearItems();
    list.selection = -1;
    for (const auto& d : Listed()) {
        const int row = list.AddItem(RowText(d), d.id);  // the list keeps its rows sorted
        list.SetChecked(row, Contains(checked, d.id));
    }
    Changed(m_listId);
}

std::vector<std::int32_t> CStreamDefinitionsPage::CheckedIds() const {
    std::vector<std::int32_t> out;
    const auto& list = Item(m_listId);
    for (int row : list.CheckedItems()) out.push_back(static_cast<std::int32_t>(list.ItemData(row)));
    return out;
}

bool CStreamDefinitionsPage::ReadStreamChoices(std::vector<std::int32_t>& checked) {
    host::ITextStreamsUISupport* text = m_list.StreamSupport();
    if (m_index < 0 || !text) return true;  // a new stream starts with none
    com::BSTR ids = nullptr;
    const com::HRESULT hr = text->GetStreamDefinitions(m_list.StoredRecord(m_index).StreamId, &ids);
    const std::string listed = mirelle::TakeHostString(ids);
    if (com::FAILED(hr)) {
        Note("GetStreamDefinitions failed (" + com::HresultText(hr) + "); nothing is checked");
        return false;
    }
    const auto read = textstreams::ReadIdentifierList(listed);
    bool complete = read.unreadable.empty();
    for (const auto& field : read.unreadable) Note("field \"" + field + "\" of \"" + listed + "\" is not an identifier");
    std::vector<std::int32_t> unplaced;
    for (std::int32_t id : read.ids) {
        auto it = std::find_if(m_all.begin(), m_all.end(), [id](const Definition& d) { return d.id == id; });
        if (it == m_all.end()) {
            unplaced.push_back(id);
            continue;
        }
        (it->receipt == m_receipts ? checked : m_otherKind).push_back(id);
    }
    if (!unplaced.empty()) {
        if (!HasCollection()) {
            Note("no definition collection: identifiers " + textstreams::FormatIdentifierList(unplaced) +
                 " cannot be shown");
            complete = false;
        } else {
            Note("identifiers " + textstreams::FormatIdentifierList(unplaced) + " are no longer defined");
        }
    }
    return complete;
}

bool CStreamDefinitionsPage::OnInitDialog() {
    try {
        m_collection = com::CreateRunningObject<host::ITextDefinitionCollection>(host::CLSID_TextDefinitionCollection, "TextDefinitionCollection");
    } catch (const com::ComError& e) {
        m_collection.reset();  // no collection: the list stays empty
        Note("the definition collection cannot be had (" + com::HresultText(e.Error()) + ")");
    }
    auto& list = Item(m_listId);
    list.columns = {res::LoadString(IDS_DESCRIPTION_HEADING)};
    m_columnWidth = std::max(0, list.cx - kColumnMargin);
    m_showDescription = false;
    SetTicked(m_showDescriptionId, false);
    const bool collectionRead = ReadCollection();

    std::vector<std::int32_t> checked;
    m_otherKind.clear();
    const bool choicesRead = ReadStreamChoices(checked);
    m_readInFull = m_index < 0 || (collectionRead && choicesRead);
    Refill(checked);
    m_openedChecked = CheckedIds();
    return true;
}

bool CStreamDefinitionsPage::ChecksChanged() const {
    auto now = CheckedIds();
    auto opened = m_openedChecked;
    std::sort(now.begin(), now.end());
    std::sort(opened.begin(), opened.end());
    return now != opened;
}

bool CStreamDefinitionsPage::KeepsHostChoices(bool operatorChanged) {
    if (m_readInFull || operatorChanged) return false;
    Note("unchanged after an incomplete read: the stream's definitions are not sent");
    return true;
}

void CStreamDefinitionsPage::Note(const std::string& text) const {
    std::string stream = "a new stream";
    if (m_index >= 0) stream = "stream " + std::to_string(m_list.StoredRecord(m_index).StreamId);
    LogMirelle(std::string(m_receipts ? "Receipt Definitions" : "Alarms") + " page, definitions of " + stream + ": " +
               text);
}

void CStreamDefinitionsPage::RunManager() {
    com::ComPtr<host::ITextExceptionsUISupport> exceptions;
    if (host::ITextStreamsUISupport* text = m_list.StreamSupport())
        text->QueryInterface(host::ITextExceptionsUISupport::IID_, exceptions.outVoid());
    if (!exceptions) return;
    auto setupUI = textstreams::CreateOwnSetupUI();
    if (!setupUI) return;
    std::int32_t result = 0;
    (setupUI.get()->*m_manager)(m_list.SetupSupport(), exceptions.get(), FrameKeyboardFlag() ? 1 : 0,
                                m_list.Remote() ? 1 : 0, textstreams::AsWindowParam(this), &result);
}

void CStreamDefinitionsPage::OnClick(int id) {
    if (id == m_showDescriptionId) {
        const auto checked = CheckedIds();
        m_showDescription = IsTicked(m_showDescriptionId);
        Refill(checked);
    } else if (id == m_buildId) {
        const auto checked = CheckedIds();
        RunManager();
        ReadCollection();
        Refill(checked);  // checks of definitions that no longer exist go with their rows
    } else {
        ui::PropertyPage::OnClick(id);
    }
}

void CStreamDefinitionsPage::OnDestroy() { m_collection.reset(); }
