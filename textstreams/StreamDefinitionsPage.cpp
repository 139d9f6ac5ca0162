#include "textstreams/StreamDefinitionsPage.h"

#include <algorithm>

#include "cameras/CameraHelpers.h"
#include "component/SetupSheetDlg.h"
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

void CStreamDefinitionsPage::ReadCollection() {
    m_all.clear();
    if (!m_collection) return;
    std::int16_t count = 0;
    if (com::FAILED(m_collection->get_Count(&count))) return;
    for (std::int16_t i = 0; i < count; ++i) {
        com::ComPtr<host::ITextDefinition> d;
        if (com::FAILED(m_collection->Item(i, d.out())) || !d) continue;
        Definition out;
        com::BSTR name = nullptr, description = nullptr;
        std::int32_t receipt = 0;
        d->get_Id(&out.id);
        d->get_Name(&name);
        d->get_Description(&description);
        d->get_IsReceipt(&receipt);
        out.name = mirelle::TakeHostString(name);
        out.description = mirelle::TakeHostString(description);
        out.receipt = receipt != 0;
        m_all.push_back(std::move(out));
    }
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

bool CStreamDefinitionsPage::OnInitDialog() {
    try {
        m_collection = com::CreateRunningObject<host::ITextDefinitionCollection>(host::CLSID_TextDefinitionCollection);
    } catch (const com::ComError&) {
        m_collection.reset();  // no collection: the list stays empty
    }
    auto& list = Item(m_listId);
    list.columns = {res::LoadString(IDS_DESCRIPTION_HEADING)};
    m_columnWidth = std::max(0, list.cx - kColumnMargin);
    m_showDescription = false;
    SetTicked(m_showDescriptionId, false);
    ReadCollection();

    std::vector<std::int32_t> checked;
    m_otherKind.clear();
    host::ITextStreamsUISupport* text = m_list.StreamSupport();
    if (m_index >= 0 && text) {
        com::BSTR ids = nullptr;
        const com::HRESULT hr = text->GetStreamDefinitions(m_list.StoredRecord(m_index).StreamId, &ids);
        const std::string listed = mirelle::TakeHostString(ids);
        const auto parsed = com::SUCCEEDED(hr) ? textstreams::ParseIdentifierList(listed) : std::nullopt;
        for (std::int32_t id : parsed.value_or(std::vector<std::int32_t>{})) {
            auto it = std::find_if(m_all.begin(), m_all.end(), [id](const Definition& d) { return d.id == id; });
            if (it == m_all.end()) continue;  // no longer defined
            (it->receipt == m_receipts ? checked : m_otherKind).push_back(id);
        }
    }
    Refill(checked);
    return true;
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
