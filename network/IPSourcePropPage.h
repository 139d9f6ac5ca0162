// IP Sources page (template 240): the IP video sources configured on the
// unit, read from the host's IPSourceConfig document, with Add (of a chosen
// device type), Edit and Delete.  Each change is committed to the host at
// once through the host's device configuration editor.
#pragma once
#include <cstdint>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "network/IPSourceConfig.h"
#include "platform/com/Bstr.h"
#include "platform/ui/Dialog.h"

class CIPSourcePropPage : public ui::PropertyPage {
public:
    enum {
        IDD = 240,
        IDC_SOURCES = 1080,
        IDC_ADD = 1081,
        IDC_EDIT = 1082,
        IDC_DELETE = 1083,
        kHelpTopic = 46,
        kColumns = 3,
        IDS_NO_CONFIG_DATA = 135,
        IDS_NO_SOURCES = 137,
        IDS_COLUMN_WIDTHS = 1073,
        IDS_FIRST_HEADING = 1074,
        IDS_DELETE_QUESTION = 1077,
    };

    explicit CIPSourcePropPage(host::ISetupUISupport* setup);

    const network::IPSourceConfig& Config() const { return m_config; }
    std::uint32_t AssignedCameras() const { return m_assignedCameras; }
    // The text of row r, column c, as the list asks for it.
    std::string RowText(int row, int column) const { return network::SourceRowText(m_config, row, column); }
    // Rebuilds the tables and the list from the host.
    void Refresh();

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;

private:
    void OnAdd();
    void OnEdit();
    void OnDelete();
    int SelectedSource() const;
    // Runs the device configuration editor on the three values; true with the
    // editor's result when the operator confirmed.
    bool RunEditor(com::BSTR value1, com::BSTR value2, com::BSTR value3, com::Bstr& result);

    host::ISetupUISupport* m_setup;
    network::IPSourceConfig m_config;
    std::uint32_t m_assignedCameras = 0;
};
