#include "foundation/DebugLog.h"

#include "platform/registry/Diagnostics.h"

#include <atomic>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

#include <sys/stat.h>

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

namespace {

std::mutex g_instanceLock;
std::atomic<CLogVerbosity*> g_instance{nullptr};
bool g_destroyed = false;
CLogVerbosity* g_registered = nullptr;
std::atomic<bool> g_fallback{false};

std::mutex g_outLock;
std::function<void(const std::string&)>& DebugSink() {
    static std::function<void(const std::string&)> s;
    return s;
}

std::mutex g_loggerLock;
std::function<void(const std::string&)>& LoggerSink() {
    static std::function<void(const std::string&)> s;
    return s;
}

struct AtExit {
    ~AtExit() { CLogVerbosity::DestroyInstance(); }
};

}  // namespace

void OutputDebugString(const std::string& text) {
    std::lock_guard l(g_outLock);
    if (DebugSink())
        DebugSink()(text);
    else
        std::fputs(text.c_str(), stderr);
}

void SetDebugOutput(std::function<void(const std::string&)> sink) {
    std::lock_guard l(g_outLock);
    DebugSink() = std::move(sink);
}

namespace DebugLoggerDLL {

constexpr std::size_t kLogFileBytes = 5 * 1024 * 1024;
constexpr std::size_t kLogFilesKept = 3;

void LogString(const std::string& line) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard l(g_loggerLock);
        sink = LoggerSink();
    }
    if (sink) {
        sink(line);
        return;
    }
    static std::shared_ptr<spdlog::logger> logger = [] {
        std::string file = LogFilePath();
        // A device or pipe (/dev/null, /dev/stderr) cannot rotate.  The
        // logger stays out of spdlog's process-wide registry: the module may
        // be unloaded and loaded again, and the name must be free by then.
        struct stat st {};
        bool special = ::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
        spdlog::sink_ptr sink;
        if (special)
            sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file);
        else
            sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file, kLogFileBytes, kLogFilesKept);
        auto l = std::make_shared<spdlog::logger>("QllnLogger", std::move(sink));
        l->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
        l->flush_on(spdlog::level::info);
        return l;
    }();
    logger->info(line);  // spdlog throws spdlog_ex (a std::exception) on failure
}

void SetSink(std::function<void(const std::string&)> sink) {
    std::lock_guard l(g_loggerLock);
    LoggerSink() = std::move(sink);
}

std::string LogFilePath() {
    if (const char* p = std::getenv("MIRELLE_LOG"); p && *p) return p;
    if (const char* x = std::getenv("XDG_STATE_HOME"); x && *x) return std::string(x) + "/mirelle/debug.log";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/state/mirelle/debug.log";
    return "mirelle-debug.log";
}

}  // namespace DebugLoggerDLL

void ResetLogFallback() { g_fallback = false; }
bool LogFallbackActive() { return g_fallback; }

CLogVerbosity& CLogVerbosity::Instance() {
    if (CLogVerbosity* p = g_instance.load()) return *p;
    std::lock_guard l(g_instanceLock);
    if (CLogVerbosity* p = g_instance.load()) return *p;
    if (g_destroyed) throw std::logic_error("Dead Reference Detected");
    static AtExit atExit;
    auto* p = new CLogVerbosity();
    g_instance = p;
    return *p;
}

void CLogVerbosity::DestroyInstance() {
    std::lock_guard l(g_instanceLock);
    delete g_instance.exchange(nullptr);
    g_destroyed = true;
}

void CLogVerbosity::ResetForTests() {
    std::lock_guard l(g_instanceLock);
    delete g_instance.exchange(nullptr);
    g_destroyed = false;
}

CLogVerbosity::CLogVerbosity() {
    if (g_registered) throw std::logic_error("Singleton::Singleton() 2nd instance!");
    g_registered = this;
    try {
        m_changeEvent = std::make_shared<reg::Event>(true, true);
    } catch (const std::exception&) {
        OutputDebugString("Failed creating log reg change event\n");
        return;
    }
    if (reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey, &m_key) != reg::ERROR_SUCCESS &&
        reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey, &m_key) != reg::ERROR_SUCCESS) {
        OutputDebugString("Failed creating debug log key\n");
        m_changeEvent.reset();
        m_key = 0;
    }
}

CLogVerbosity::~CLogVerbosity() {
    if (m_key) reg::RegCloseKey(m_key);
    // A destructor must not throw; an unregistered object is reported instead.
    if (g_registered != this)
        OutputDebugString("Singleton::~Singleton() not 1st instance!\n");
    else
        g_registered = nullptr;
}

int CLogVerbosity::GetLevel(const std::string& category) {
    int noted = m_defaultLevel;
    if (m_changeEvent && m_key && m_changeEvent->IsSignalled()) {
        m_levels.clear();
        for (reg::DWORD index = 0;; ++index) {
            char name[260];
            reg::DWORD nameLen = sizeof name;
            reg::DWORD type = 0;
            std::uint8_t data[4];
            reg::DWORD dataLen = sizeof data;
            reg::LONG r = reg::RegEnumValue(m_key, index, name, &nameLen, &type, data, &dataLen);
            if (r == reg::ERROR_NO_MORE_ITEMS) break;
            if (r != reg::ERROR_SUCCESS) {
                OutputDebugString("Reading debug log levels from registry failed\n");
                break;
            }
            if (type == reg::REG_DWORD && dataLen == 4) {
                std::int32_t level;
                std::memcpy(&level, data, 4);
                m_levels[std::string(name, nameLen)] = level;
            }
        }
        if (auto it = m_levels.find("Default"); it != m_levels.end()) m_defaultLevel = it->second;
        m_changeEvent->Reset();
        if (reg::RegNotifyChangeKeyValue(m_key, true, reg::REG_NOTIFY_CHANGE_LAST_SET, m_changeEvent) !=
            reg::ERROR_SUCCESS)
            OutputDebugString("Could not start reg key notifier for logging\n");
    }
    auto it = m_levels.find(category);
    return it == m_levels.end() ? noted : it->second;
}

int GetLogLevel(const char* category) { return CLogVerbosity::Instance().GetLevel(category ? category : ""); }

void LogLine(const char* text, const char* category) {
    if (!text) return;
    try {
        std::string line = "(" + std::to_string(static_cast<long>(::syscall(SYS_gettid))) + ") ";
        if (category) line += std::string(category) + ": ";
        line += text;
        if (g_fallback)
            OutputDebugString(line);
        else
            DebugLoggerDLL::LogString(line);
    } catch (const std::exception& e) {
        OutputDebugString(e.what());
        g_fallback = true;
    }
}

void LogMirelle(const std::string& text) {
    if (GetLogLevel(kLogCategory) >= 1) LogLine(text.c_str(), kLogCategory);
}

namespace {

// What the registry store diagnoses (a store another process holds locked, a
// damaged or unwritable store) goes to the debug log too while the component
// is loaded, once per fault as the store tells it.
struct RegistryDiagnostics {
    int token = reg::AddDiagnosticListener([](const std::string& line) { LogMirelle(line); });
    ~RegistryDiagnostics() { reg::RemoveDiagnosticListener(token); }
} g_registryDiagnostics;

}  // namespace
