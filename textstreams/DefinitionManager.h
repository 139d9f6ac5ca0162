// What the text exception manager and the receipt definition manager share:
// the host's definition list (loaded and saved whole through the list codec),
// the identifier pool, the check-box list of rows, Add, Edit, Delete, Import
// and Export with the criteria file choice, and the button states.  The two
// managers say which definitions are theirs and which editor they open.
// TransactionDataFiller is what the exception builder and the receipt
// editor share: the stream list and the stream's recent text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/HostInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/ui/Dialog.h"
#include "textstreams/TextDefinitionRules.h"

namespace textstreams {

// The definitions of the host (exceptions and receipts) and the pool of
// their identifiers.
class DefinitionList {
public:
    explicit DefinitionList(host::ITextExceptionsUISupport* support) : m_support(support) {}
    // GetDefinitionsText and the codec's parse; the pool follows the largest Id.
    void Load();
    // The codec's format of the whole vector and SetDefinitionsText; false when
    // the host refuses the text (result not 0).
    bool Save();
    std::vector<com::ComPtr<host::ITextDefinition>>& Items() { return m_items; }
    host::ITextDefinition* Find(std::int32_t id);
    void Remove(std::int32_t id);
    IdentifierPool& Pool() { return m_pool; }

private:
    host::ITextExceptionsUISupport* m_support;
    std::vector<com::ComPtr<host::ITextDefinition>> m_items;
    IdentifierPool m_pool;
};

std::string DefinitionName(host::ITextDefinition* d);
std::string DefinitionDescription(host::ITextDefinition* d);
bool DefinitionIsReceipt(host::ITextDefinition* d);
std::int32_t DefinitionId(host::ITextDefinition* d);
// A string property of a definition (get_Name and the like), "" on failure.
std::string DefinitionText(host::ITextDefinition* d, com::HRESULT (host::ITextDefinition::*get)(com::BSTR*));

class CDefinitionManagerDlg : public ui::Dialog {
public:
    enum {
        IDC_TITLE = 218,
        IDC_LIST = 1200,
        IDC_ADD = 1201,
        IDC_EDIT = 1202,
        IDC_DELETE = 1203,
        IDC_IMPORT = 1204,
        IDC_EXPORT = 1205,
        IDC_KEYBOARD = 1002,
        IDC_CLOSE = 2,
        IDC_HELP = 4,
    };

protected:
    CDefinitionManagerDlg(int templateId, int titleString, std::int16_t helpTopic, host::ISetupUISupport* setup,
                          host::ITextExceptionsUISupport* text, bool keyboard, bool remote, ui::Window* parent);

    // Whether a definition has a row in this manager.
    virtual bool IsRowOf(host::ITextDefinition* d) = 0;
    // Opens the editor for a new definition (existing null) or filled from
    // existing; true when the operator confirmed.
    virtual bool RunEditor(host::ITextDefinition* existing) = 0;
    // Fills a definition from the editor that RunEditor last confirmed.
    virtual void FillDefinition(host::ITextDefinition* target) = 0;

    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;
    void OnItemChecked(int id, int row) override;

    host::ISetupUISupport* m_setup;
    host::ITextExceptionsUISupport* m_text;
    bool m_keyboard;
    bool m_remote;
    DefinitionList m_list;

private:
    void FillRows();
    void UpdateButtons();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnImport();
    void OnExport();
    std::string ChooseFile(bool open);

    int m_titleString;
    std::int16_t m_helpTopic;
    bool m_adding = false;
};

// The "Text Stream" list and the "Transaction Data" area of the exception
// builder and the receipt editor.
class TransactionDataFiller {
public:
    static constexpr int kMaxStreams = 16;
    static constexpr std::int32_t kMaxData = 16384;
    TransactionDataFiller(ui::Dialog& dialog, host::ITextExceptionsUISupport* text, int streamList, int dataArea)
        : m_dialog(dialog), m_text(text), m_streamList(streamList), m_dataArea(dataArea) {}
    // Fills the stream list and shows the first stream's data; with no stream
    // both controls are disabled.
    void Init();
    // The operator chose another stream: the area starts again.
    void StreamChanged();

private:
    void ShowData();
    ui::Dialog& m_dialog;
    host::ITextExceptionsUISupport* m_text;
    int m_streamList, m_dataArea;
    std::int32_t m_pos1 = 0, m_pos2 = -1, m_pos3 = 0;
};

}  // namespace textstreams
