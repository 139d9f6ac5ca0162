// What the Alarms and Receipt Definitions pages of the stream sheet share:
// a check-box list of the unit's definitions of one kind (exceptions or
// receipts) read through the host's definition collection, the stream's own
// choices from GetStreamDefinitions, the "Show Description" switch and the
// Build button that runs the definition manager on a second SetupUI object.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/HostInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/ui/Dialog.h"

class CTextStreamListDlg;

#include "interfaces/ISetupUI.h"

class CStreamDefinitionsPage : public ui::PropertyPage {
public:
    enum {
        IDS_DESCRIPTION_HEADING = 1039,
        kColumnMargin = 17,
        IDB_SORT_UP = 204,
        IDB_SORT_DOWN = 205,
        IDB_CHECKS_NARROW = 207,  // 19 pixels a check image
        IDB_CHECKS_WIDE = 208,    // 21 pixels a check image
    };

    struct Definition {
        std::int32_t id = 0;
        std::string name, description;
        bool receipt = false;
    };

    // The definitions of this page's kind, as last read.
    std::vector<Definition> Listed() const;
    // Identifiers of the checked rows, in row order.
    std::vector<std::int32_t> CheckedIds() const;
    // The stream's identifiers of the other kind, as this page found them.
    const std::vector<std::int32_t>& OtherKindIds() const { return m_otherKind; }
    bool HasCollection() const { return static_cast<bool>(m_collection); }
    // Whether the stream's own choices were read in full: the collection
    // answered, GetStreamDefinitions succeeded and every field was a number
    // (always so for a new stream).
    bool ReadInFull() const { return m_readInFull; }
    // Whether the checks differ from those the page opened with.
    bool ChecksChanged() const;
    int CheckImagesBitmap() const { return m_showDescription ? IDB_CHECKS_NARROW : IDB_CHECKS_WIDE; }
    int ColumnWidth() const { return m_columnWidth; }

protected:
    // The SetupUI operation that runs the definition manager of a kind
    // (ShowTextExceptions or ShowTextReceipts: the same parameters).
    using ManagerOperation = mirelle::HRESULT (mirelle::ISetupUI::*)(com::IUnknown*, com::IUnknown*, std::int32_t,
                                                                     std::int32_t, mirelle::WindowParam,
                                                                     std::int32_t*);

    CStreamDefinitionsPage(int templateId, CTextStreamListDlg& list, int index, bool receipts, int listId,
                           int buildId, int showDescriptionId, ManagerOperation manager);

    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnDestroy() override;

    // Rebuilds the rows from the collection, checking those in checked.
    void Refill(const std::vector<std::int32_t>& checked);
    // The apply of a page whose read was not complete and whose choices the
    // operator did not change must hand nothing on: sending what the page
    // holds would replace the stream's definitions with a partial list.
    // Logs that and answers true in that case.
    bool KeepsHostChoices(bool operatorChanged);
    // A line in the debug log, naming the page and the stream.
    void Note(const std::string& text) const;

    CTextStreamListDlg& m_list;
    int m_index;
    const int m_listId;

private:
    // Reads the definitions from the collection; false when it is missing or
    // did not answer for every definition.
    bool ReadCollection();
    // GetStreamDefinitions: the stream's identifiers of this page's kind are
    // checked, those of the other kind noted; false when they could not all
    // be read.
    bool ReadStreamChoices(std::vector<std::int32_t>& checked);
    // Runs this page's definition manager on a second SetupUI object, with the
    // host's text exception support behind the stream support; nothing
    // happens when either cannot be had.
    void RunManager();
    std::string RowText(const Definition& d) const;

    bool m_receipts;
    int m_buildId;
    int m_showDescriptionId;
    ManagerOperation m_manager;
    bool m_showDescription = false;
    int m_columnWidth = 0;
    com::ComPtr<host::ITextDefinitionCollection> m_collection;
    std::vector<Definition> m_all;
    std::vector<std::int32_t> m_otherKind;
    std::vector<std::int32_t> m_openedChecked;
    bool m_readInFull = true;
};
