#include "apps/web/UnitHost.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "apps/run/Groups.h"
#include "apps/run/Operations.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/Hresult.h"

namespace webapp {

using nlohmann::json;

std::string BundledUnit() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path installed = fs::read_symlink("/proc/self/exe", ec).parent_path() / "../share/mirelle/units/default.json";
    if (!ec && fs::is_regular_file(installed, ec)) return installed.string();
    return std::string(MIRELLE_SOURCE_DIR) + "/apps/units/default.json";
}

UnitHost::UnitHost(std::string unitPath, std::string bundledPath)
    : m_unitPath(std::move(unitPath)), m_bundledPath(std::move(bundledPath)) {}

UnitHost::~UnitHost() { StopAudio(); }

json UnitHost::Groups() {
    json out = json::array();
    for (const auto& group : apps::SetupGroups()) {
        json setups = json::array();
        for (const auto& entry : group.entries)
            if (apps::IsOperation(entry.operation)) setups.push_back({{"title", entry.title}, {"operation", entry.operation}});
        out.push_back({{"name", group.title}, {"setups", std::move(setups)}});
    }
    return out;
}

bool UnitHost::IsOperation(const std::string& name) { return apps::IsOperation(name); }

json UnitHost::Unit() {
    std::ifstream in(m_unitPath);
    json data = json::parse(in, nullptr, false);
    return data.is_discarded() ? json(nullptr) : data;
}

std::string UnitHost::Reset() {
    std::error_code ec;
    std::filesystem::copy_file(m_bundledPath, m_unitPath, std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? "reset failed: " + ec.message() : "== unit reset to the bundled file";
}

void UnitHost::Serve(web::Console& console) {
    console.FrontEnd().onMessage = [this](const ui::ShownMessage& m) {
        if (onMessageText) onMessageText(cp::AnsiToUtf8(m.text));
    };
}

void UnitHost::ConnectTimeout() {
    if (m_running) m_running->ConnectTimeout();
}

void UnitHost::StartAudio() {
    if (!audioInput || !m_running) return;
    m_audioStop = false;
    mirelle::ISetupUI* setupUI = m_running.get();
    setupUI->AddRef();
    m_audio = std::thread([this, setupUI] {
        for (int t = 0; !m_audioStop; ++t) {
            const auto level = static_cast<std::int32_t>(50 + 45 * std::sin(t * 0.35) * std::sin(t * 0.07));
            std::int16_t result = 0;
            setupUI->UpdateLevelMeter(level, &result);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        setupUI->Release();
    });
}

void UnitHost::StopAudio() {
    m_audioStop = true;
    if (m_audio.joinable()) m_audio.join();
}

long UnitHost::Run(const std::string& name, const std::function<void(const std::string&)>& say) {
    auto unit = host::SimulatedUnit::Load(m_unitPath);
    apps::RunReport report(say);
    report.Attach(*unit);
    onMessageText = [&report](const std::string& utf8) { report.Message(utf8); };
    auto setupUI = apps::CreateSetupUI();
    const bool opensDialog = name != "ConnectTimeout" && name != "UpdateLevelMeter";
    if (opensDialog) {
        m_running = setupUI;
        StartAudio();
    }
    apps::OperationOutcome outcome;
    try {
        outcome = apps::RunOperation(name, *unit, *setupUI.get());
    } catch (...) {
        StopAudio();
        m_running.reset();
        onMessageText = nullptr;
        throw;
    }
    StopAudio();
    m_running.reset();
    onMessageText = nullptr;
    report.Finish(outcome);
    if (com::SUCCEEDED(outcome.hr))
        unit->Save(m_unitPath);
    else
        say("the unit file was not written");
    return outcome.result;
}

}  // namespace webapp
