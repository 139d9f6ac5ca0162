// Debug logging with a verbosity level per category read from the registry.
//
// Levels live under the LogVerbosity key of the debug logger (below), one
// REG_DWORD per category plus "Default" (3 when absent).  The key is re-read at the first query after each change.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/registry/Event.h"
#include "platform/registry/Registry.h"

constexpr const char* kLogCategory = "Mirelle";
constexpr const char* kLogVerbosityKey = "SOFTWARE\\Marvessa-KDM\\KdmObjects\\DbgLogger\\LogVerbosity";

class CLogVerbosity {
public:
    // The single instance; created at first use.  After module unload it
    // throws std::logic_error("Dead Reference Detected").
    static CLogVerbosity& Instance();
    // Module unload: destroys the instance for good.
    static void DestroyInstance();
    // Tests: forget the destroyed state and the instance.
    static void ResetForTests();

    int GetLevel(const std::string& category);

    CLogVerbosity();   // logic_error "Singleton::Singleton() 2nd instance!" when one exists
    ~CLogVerbosity();  // logic_error-style check of the registered instance

private:
    std::shared_ptr<reg::Event> m_changeEvent;
    reg::HKEY m_key = 0;
    int m_defaultLevel = 3;
    std::map<std::string, int> m_levels;
};

int GetLogLevel(const char* category);
void LogLine(const char* text, const char* category);
// Convenience: LogLine with kLogCategory when its level is at least 1.
void LogMirelle(const std::string& text);

// The platform's debugger output (standard error unless replaced).
void OutputDebugString(const std::string& text);
void SetDebugOutput(std::function<void(const std::string&)> sink);  // null restores stderr

// The product logger: one call delivers one line.
namespace DebugLoggerDLL {
void LogString(const std::string& line);
// Replace the logger's sink (tests); null restores the file sink.  A sink that
// throws makes LogLine fall back to the debugger output for good.
void SetSink(std::function<void(const std::string&)> sink);
// The file of the default sink: MIRELLE_LOG, else
// $XDG_STATE_HOME/mirelle/debug.log, else ~/.local/state/mirelle/debug.log.
// A regular file rotates at 5 MB, keeping three older files (.1 .. .3).
std::string LogFilePath();
}  // namespace DebugLoggerDLL

// Tests: clear the fallback flag.
void ResetLogFallback();
bool LogFallbackActive();
