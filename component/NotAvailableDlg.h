// Shown by an operation whose setup this build does not contain: says so and
// ends with Cancel.
#pragma once
#include <string>

#include "platform/ui/Dialog.h"

class CNotAvailableDlg : public ui::Dialog {
public:
    CNotAvailableDlg(std::string operation, ui::Window* parent);

protected:
    bool OnInitDialog() override;

private:
    std::string m_operation;
};

// Runs the dialog; answers its result (2).
int ShowNotAvailable(const std::string& operation, ui::Window* parent);
