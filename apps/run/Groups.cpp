#include "apps/run/Groups.h"

namespace apps {

const std::vector<SetupGroup>& SetupGroups() {
    static const std::vector<SetupGroup> groups = {
        {"Video", {{"Cameras", "ShowCameras"}, {"Display layouts", "ShowDisplay"}, {"Record mode", "ShowRecordModeDlg"}}},
        {"Recording", {{"Storage", "ShowStorage"}}},
        {"Audio", {{"Audio", "ShowAudio"}, {"Level meter update", "UpdateLevelMeter"}}},
        {"Text",
         {{"Text streams", "ShowTextStreams"}, {"Exceptions", "ShowTextExceptions"}, {"Receipts", "ShowTextReceipts"},
          {"Raw text", "ShowRawTextSetup"}, {"Serial port", "ShowCOMPortSetup"}, {"TCP/IP port", "ShowTextIPPortSetup"},
          {"Printer options", "ShowODSetup"}}},
        {"Network",
         {{"Port address", "ShowPortAddressDlg"}, {"IP sources", "ShowIPSourceConfig"},
          {"Drop remote connection", "ConnectTimeout"}}},
    };
    return groups;
}

}  // namespace apps
