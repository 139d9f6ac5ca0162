// IRmtResMgrUISupport of the simulated unit, over its "castellan" section:
//   managed (bool), serverName (text), canChangeServerMode (bool, default
//   true), advancedSecurity, networkArchive (bool), serverInfo (text), and
//   refuse: names of steps that answer S_FALSE instead of doing their work.
#pragma once
#include "simulator/SimulatedUnit.h"

namespace host {

class SimRmtResMgrUISupport final : public SimObject<IRmtResMgrUISupport> {
public:
    using SimObject::SimObject;
    HRESULT CanChangeServerMode() override;
    HRESULT IsAdvancedSecurityOn() override;
    HRESULT IsNetworkArchiveRunning() override;
    HRESULT GetServerInfo(BSTR* info) override;
    HRESULT RegisterWithServer(BSTR info, BSTR serverName) override;
    HRESULT GetServerNameText(BSTR info, BSTR* serverName) override;
    HRESULT ApplyManagedMode() override;
    HRESULT LeaveServer() override;
    HRESULT IsManaged() override;
    HRESULT SetManagedState(std::int32_t managed) override;

private:
    nlohmann::json& Section();
    bool Refused(const char* step);
    HRESULT Flag(const char* call, const char* key, bool fallback);
};

}  // namespace host
