// The browser console's host: runs the setups on a simulated unit file,
// as the Qt launcher does, for the console's pages.
#pragma once
#include <atomic>
#include <string>
#include <thread>

#include "interfaces/ISetupUI.h"
#include "platform/com/Unknown.h"
#include "web/Console.h"

namespace webapp {

class UnitHost : public web::ConsoleHost {
public:
    // unitPath: the working unit file; bundledPath: what "Reset unit" puts back.
    UnitHost(std::string unitPath, std::string bundledPath);
    ~UnitHost() override;

    nlohmann::json Groups() override;
    bool IsOperation(const std::string& name) override;
    long Run(const std::string& operation, const std::function<void(const std::string&)>& say) override;
    std::string Reset() override;
    nlohmann::json Unit() override;
    void ConnectTimeout() override;
    // Reports the console's message boxes in the run's log.
    void Serve(web::Console& console);

    // While a setup runs, the unit's audio thread feeds the level meter
    // (UpdateLevelMeter every 50 ms, a level like speech).
    bool audioInput = false;
    // Called with each message box shown, for the report.
    std::function<void(const std::string&)> onMessageText;

private:
    void StartAudio();
    void StopAudio();
    std::string m_unitPath, m_bundledPath;
    com::ComPtr<mirelle::ISetupUI> m_running;
    std::thread m_audio;
    std::atomic<bool> m_audioStop{false};
};

// The bundled unit file: installed beside the program, else the source tree's.
std::string BundledUnit();

}  // namespace webapp
