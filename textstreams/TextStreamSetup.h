// Entries of the text stream setups.
#pragma once
#include <cstdint>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Window.h"

namespace textstreams {

struct SerialSettings {
    std::int32_t portId = 0, baudRate = 0, dataBits = 0, parity = 0, stopBits = 0, flowControl = 0;
};

int RunTextStreamList(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                      ui::Window* parent);
int RunTextExceptions(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* exceptions, bool keyboard,
                      bool remote, ui::Window* parent);
int RunTextReceipts(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* exceptions, bool keyboard,
                    bool remote, ui::Window* parent);
// eol: in = the caller's text (empty keeps the dialog's default); out = the
// dialog's end-of-line text, whatever the result.
int RunRawTextSetup(host::ISetupUISupport* setup, bool keyboard, bool remote, ui::Window* parent, std::string& eol);
// settings: in and out, written back whatever the result.
int RunCOMPortSetup(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                    ui::Window* parent, bool editOperation, SerialSettings& settings);
// portText: in and out (the dialog's port text after the run).
int RunTextIPPortSetup(host::ISetupUISupport* setup, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                       ui::Window* parent, std::string& portText);

}  // namespace textstreams
