// A camera page of one drop-down a camera (termination, gain, covert): each
// row shows the camera's name from the host and a choice among fixed texts;
// rows beyond the unit's camera count are hidden, and with fewer than 16
// cameras so are the headings of the second column.  The pages keep their
// own rules of what is stored and sent.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

namespace cameras {

class CameraRowsPage : public ui::PropertyPage {
public:
    using Selections = std::array<int, 16>;

protected:
    // Reads the 16 camera names and the camera count.
    CameraRowsPage(int idd, host::ISetupUISupport* setup);

    // The camera count, clamped to the 16 rows.
    int Count() const;
    // Fills each row with the camera's name and the texts of the choices
    // (string ids, item data 0, 1, ...); a visible row selects selected[i]
    // (-1: none).
    void FillRows(std::initializer_list<int> choices, const Selections& selected);
    // Each row's selection (-1 where none).
    Selections Selected();

    host::ISetupUISupport* m_setup;
    std::int16_t m_cameraCount = 0;
    std::array<std::string, 16> m_names;
};

}  // namespace cameras
