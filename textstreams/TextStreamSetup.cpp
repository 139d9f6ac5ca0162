#include "textstreams/TextStreamSetup.h"

#include "component/NotAvailableDlg.h"

namespace textstreams {
int RunTextStreamList(host::ISetupUISupport*, host::ITextStreamsUISupport*, bool, bool, ui::Window* parent) {
    return ShowNotAvailable("ShowTextStreams", parent);
}
int RunTextExceptions(host::ISetupUISupport*, host::ITextExceptionsUISupport*, bool, bool, ui::Window* parent) {
    return ShowNotAvailable("ShowTextExceptions", parent);
}
int RunTextReceipts(host::ISetupUISupport*, host::ITextExceptionsUISupport*, bool, bool, ui::Window* parent) {
    return ShowNotAvailable("ShowTextReceipts", parent);
}
int RunRawTextSetup(host::ISetupUISupport*, bool, bool, ui::Window* parent, std::string&) {
    return ShowNotAvailable("ShowRawTextSetup", parent);
}
int RunCOMPortSetup(host::ISetupUISupport*, host::ITextStreamsUISupport*, bool, bool, ui::Window* parent, bool,
                    SerialSettings&) {
    return ShowNotAvailable("ShowCOMPortSetup", parent);
}
int RunTextIPPortSetup(host::ISetupUISupport*, host::ITextStreamsUISupport*, bool, bool, ui::Window* parent,
                       std::string&) {
    return ShowNotAvailable("ShowTextIPPortSetup", parent);
}
}  // namespace textstreams
