// Text Source page (template 213): the stream's name, its text handler
// ("Type") with the handler's own setup, and its connection type with the
// serial or TCP/IP port setup.  The setups run on a second SetupUI object,
// as a host would run them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Dialog.h"
#include "textstreams/TextStreamRecord.h"

class CTextStreamListDlg;

class CTSTextSourcePropPage : public ui::PropertyPage {
public:
    enum {
        IDD = 213,
        IDC_NAME = 1140,
        IDC_TYPE_LABEL = 1141,
        IDC_HANDLER = 1142,
        IDC_HANDLER_SETUP = 1143,
        IDC_CONNECTION = 1145,
        IDC_CONNECTION_SETUP = 1146,
        kHelpTopic = 75,
        IDS_NAME_EXISTS = 1053,
        kRawTextHandler = 0,
        kPrinterHandler = 1,
    };
    static constexpr const char* kGeneralText = "General Text";
    static constexpr const char* kComPortEntry = "COM Port";

    CTSTextSourcePropPage(CTextStreamListDlg& list, int index);

    struct ConnectionEntry {
        std::string name;
        std::int32_t type = 0;
        std::int32_t flag = 0;
    };
    const std::vector<ConnectionEntry>& Connections() const { return m_connections; }
    std::int32_t ConnectionType() const { return m_connectionType; }
    bool HandlerSetupAllowed() const { return m_handlerSetupAllowed; }
    // The values the page holds for the stream (what its apply hands on).
    const textstreams::TextStreamRecord& Values() const { return m_values; }

    bool OnApply() override;

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;
    void OnDestroy() override { m_connections.clear(); }

private:
    int FillHandlers(const std::string& wanted);
    int FillConnections(const std::string& wanted);
    void UpdateHandlerSetup();
    void OnHandlerSetup();
    void OnConnectionSetup();
    const ConnectionEntry* SelectedConnection() const;

    CTextStreamListDlg& m_list;
    int m_index;
    textstreams::TextStreamRecord m_values;
    std::vector<ConnectionEntry> m_connections;
    std::int32_t m_connectionType = 0;
    bool m_handlerSetupAllowed = false;
};
