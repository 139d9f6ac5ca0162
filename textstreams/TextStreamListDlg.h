// Text stream list (template 201): the unit's text streams in a three-column
// list with Add, Edit and Delete.  Add and Edit run the stream sheet in the
// frame dialog; its pages fill one current record held here, and when the
// frame closes with OK the record is checked and sent to the host.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"
#include "textstreams/TextStreamRecord.h"

class CTextStreamListDlg : public ui::Dialog {
public:
    enum {
        IDD = 201,
        IDC_STREAMS = 1130,
        IDC_ADD = 1131,
        IDC_EDIT = 1132,
        IDC_DELETE = 1133,
        IDC_CLOSE = 2,
        IDC_HELP = 4,
        kHelpTopic = 76,
        kDefaultVersionTimes100 = 240,
        kMinColumnWidth = 120,
        IDS_INVALID_NAME = 121,
        IDS_FIRST_HEADING = 1037,
        IDS_COLUMN_WIDTHS = 1041,
        IDS_SHEET_TITLE = 1042,
        IDS_DELETE_QUESTION = 1051,
        IDS_UNASSIGNED = 1054,
        IDS_CREATE_FAILED = 1055,
        IDS_TITLE = 1064,
    };

    CTextStreamListDlg(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                       ui::Window* parent);

    // What the sheet pages read and write.
    host::ISetupUISupport* SetupSupport() const { return m_setup; }
    host::ITextStreamsUISupport* StreamSupport() const { return m_text; }
    bool Remote() const { return m_remote; }
    std::int32_t VersionTimes100() const { return m_versionTimes100; }
    const std::vector<textstreams::TextStreamRecord>& Records() const { return m_records; }
    // The stored record at index, or a fresh one for -1 or no such index.
    textstreams::TextStreamRecord StoredRecord(int index) const;
    textstreams::TextStreamRecord& Current() { return m_current; }
    void Merge(const textstreams::TextStreamRecord& partial) { textstreams::MergeRecord(m_current, partial); }

    // Shared page flags: -1 = not reported yet.
    int receiptsChecked = -1;
    int exceptionsChecked = -1;
    int groupFlag = 0;
    int groupSupported = -1;

    // The definition choices of the Alarms and Receipt Definitions pages.
    const textstreams::DefinitionSelections& Selections() const { return m_selections; }
    void SetAlarmsSelection(std::vector<std::int32_t> checkedExceptions, std::vector<std::int32_t> knownReceipts);
    void SetReceiptsSelection(std::vector<std::int32_t> checkedReceipts, std::vector<std::int32_t> knownExceptions);

    // The texts of one list row, looked up by its key.
    std::string RowText(std::int32_t key, int column) const;
    // Column widths as the list was set up (pixels).
    const std::vector<long>& ColumnWidths() const { return m_widths; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnDoubleClick(int id, int row) override;

private:
    void LoadStreams();
    void AppendRow(const textstreams::TextStreamRecord& r);
    void Redraw();
    int SelectedRow() const;
    // Clears what one Add or Edit leaves behind: the definition choices of
    // its pages and the current record's DefinitionsChanged.
    void StartSheetRun();
    // Runs the sheet for index until it is cancelled (false) or closes with
    // OK and a stream name (true).
    bool RunSheet(int index);
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void SendDefinitions();

    host::ISetupUISupport* m_setup;
    host::ITextStreamsUISupport* m_text;
    bool m_keyboard;
    bool m_remote;
    std::int32_t m_versionTimes100 = kDefaultVersionTimes100;
    std::vector<textstreams::TextStreamRecord> m_records;
    // The host's index of each record (same positions as m_records).  It is
    // not the row position: a stream that GetStream cannot give is left out
    // of the list, and a deletion moves the host's later streams down.
    std::vector<std::int32_t> m_hostIndexes;
    textstreams::TextStreamRecord m_current;
    textstreams::DefinitionSelections m_selections;
    std::vector<long> m_widths;
};
