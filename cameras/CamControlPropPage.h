// Camera Control page (template 203): which handler controls each camera,
// and through the row's Setup button the camera's address, port and monitor.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cameras/CameraControlXml.h"
#include "interfaces/HostInterfaces.h"
#include "platform/com/Unknown.h"
#include "platform/ui/Dialog.h"

class CCamControlPropPage : public ui::PropertyPage {
public:
    enum { IDD = 203, kHelpTopic = 42, kUsbCctvFeature = 26 };

    // ComError when the host system object cannot be had or its calls fail.
    CCamControlPropPage(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
    ~CCamControlPropPage() override;

    bool OnApply() override;

    const std::vector<cameras::CameraHandlerInfo>& Handlers() const { return m_handlers; }
    const cameras::AssociationList& Associations() const { return m_associations; }
    const std::string& CameraControlXml() const { return m_xml; }
    bool IsChanged() const { return m_changed; }
    bool IsOlderHost() const { return m_version < 3.22; }

protected:
    bool OnInitDialog() override;
    void OnSelChange(int id) override;
    void OnClick(int id) override;

private:
    void ReadOlderHostXml();
    void BuildHandlerList();
    void OnHandlerChange(int row);
    void OnSetup(int row);
    void SaveOlderHost();
    // Defaults for a ProgID: port and monitor; false when the host gives none.
    bool HandlerDefaults(const std::string& progId, std::string& port, std::int16_t& monitor);
    bool CameraIsPTZTriggerCamera(int camera);
    void ApplyDefaults(cameras::CameraHandlerAssociation& a, int row);

    cameras::CameraHandlerAssociation* FindAssociation(int camera);
    const cameras::CameraHandlerInfo* FindHandlerByProgId(const std::string& progId) const;
    const cameras::CameraHandlerInfo* FindHandlerByIndex(std::intptr_t index) const;
    void SelectPosition(int row, int position);

    std::vector<cameras::CameraHandlerInfo> m_handlers;
    cameras::AssociationList m_associations;
    std::string m_xml;
    double m_version = 0;
    int m_cameraCount = 0;
    std::array<std::string, 16> m_names;
    bool m_changed = false;
    std::array<bool, 16> m_touched{};
    bool m_usbCctv = false;
    host::IHostCameraControlObject* m_cameraControlObject = nullptr;  // owned reference
    host::ISetupUISupport* m_setup;
    host::ICameraControlUISupport* m_cameraControl;
};
