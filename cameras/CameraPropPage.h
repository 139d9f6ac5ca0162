// Names page (template 141): the names of the unit's cameras.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "foundation/Controls.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CCameraPropPage : public ui::PropertyPage {
public:
    enum { IDD = 141, kNameLength = 10, kBlockSize = 192 };
    using Names = std::array<std::string, 16>;

    // Reads the 16 names and the camera count (ComError when the host system
    // object cannot be had).
    explicit CCameraPropPage(host::ISetupUISupport* setup);

    bool OnApply() override;
    bool OnSetActive() override;

    const Names& CurrentNames() const { return m_names; }
    std::int16_t CameraCount() const { return m_cameraCount; }

    // The block sent to SetCameraNames: each name in the ANSI code page with
    // one zero byte after it, camera 1 first.
    static std::string BuildNameBlock(const Names& names);
    // True when some name differs from its loaded copy, ignoring letter case.
    static bool NamesChanged(const Names& current, const Names& loaded);

protected:
    bool OnInitDialog() override;
    void OnTextChanged(int id) override;

private:
    std::int16_t m_cameraCount = 0;
    Names m_names;
    Names m_loadedNames;
    host::ISetupUISupport* m_setup;
    CWWEdit m_firstName;
};
