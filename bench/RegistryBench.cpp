// The registry store: one value read and one value written on an open key, in
// a file store (what processes share) and in memory; and the delay from a
// write in another process to the notification in this one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry/Registry.h"

extern char** environ;

namespace {

// A fresh file store in its own folder for one benchmark.
class BenchStore {
public:
    BenchStore() {
        char tmpl[] = "/tmp/mirelle-bench-XXXXXX";
        if (::mkdtemp(tmpl)) m_dir = tmpl;
        m_file = m_dir + "/registry.db";
        reg::UseFile(m_file);
    }
    ~BenchStore() {
        reg::UseMemory();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    const std::string& file() const { return m_file; }

private:
    std::string m_dir, m_file;
};

void Read(benchmark::State& state, bool file) {
    std::unique_ptr<BenchStore> store;
    if (file)
        store = std::make_unique<BenchStore>();
    else
        reg::UseMemory();
    for (int i = 0; i < 50; ++i) reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Bench", "v" + std::to_string(i), i);
    reg::HKEY k;
    if (reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Bench", &k) != reg::ERROR_SUCCESS) {
        state.SkipWithError("no key");
        return;
    }
    reg::DWORD v = 0, size = sizeof v, type = 0;
    for (auto _ : state) {
        size = sizeof v;
        if (reg::RegQueryValueEx(k, "v25", &type, &v, &size) != reg::ERROR_SUCCESS) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(v);
    }
    reg::RegCloseKey(k);
}

void Write(benchmark::State& state, bool file) {
    std::unique_ptr<BenchStore> store;
    if (file)
        store = std::make_unique<BenchStore>();
    else
        reg::UseMemory();
    reg::HKEY k;
    if (reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Bench", &k) != reg::ERROR_SUCCESS) {
        state.SkipWithError("no key");
        return;
    }
    reg::DWORD v = 0;
    for (auto _ : state) {
        ++v;
        if (reg::RegSetValueEx(k, "v" + std::to_string(v % 50), reg::REG_DWORD, &v, sizeof v) != reg::ERROR_SUCCESS)
            state.SkipWithError("write failed");
    }
    reg::RegCloseKey(k);
}

void BM_ReadFile(benchmark::State& state) { Read(state, true); }
void BM_ReadMemory(benchmark::State& state) { Read(state, false); }
void BM_WriteFile(benchmark::State& state) { Write(state, true); }
void BM_WriteMemory(benchmark::State& state) { Write(state, false); }

std::int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Another process writes a time stamp every 20 ms; each iteration is the time
// from its stamp (taken just before the write) to the wake-up of the watch.
void BM_NotifyOtherProcess(benchmark::State& state) {
    BenchStore store;
    reg::HKEY k;
    if (reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Stamps", &k) != reg::ERROR_SUCCESS) {
        state.SkipWithError("no key");
        return;
    }
    auto event = std::make_shared<reg::Event>();
    reg::RegNotifyChangeKeyValue(k, false, reg::REG_NOTIFY_CHANGE_LAST_SET, event);
    ::setenv("MIRELLE_REGISTRY", store.file().c_str(), 1);
    std::string count = std::to_string(state.max_iterations + 5);
    const char* argv[] = {MIRELLE_REG_WRITER, "stamps", "SOFTWARE\\Stamps", "t", count.c_str(), "20", nullptr};
    pid_t pid;
    if (::posix_spawn(&pid, MIRELLE_REG_WRITER, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        state.SkipWithError("cannot start the writer");
        return;
    }
    for (auto _ : state) {
        if (!event->Wait(std::chrono::seconds(2))) {
            state.SkipWithError("no notification within 2 s");
            break;
        }
        std::int64_t woke = MonotonicNs();
        event->Reset();
        reg::RegNotifyChangeKeyValue(k, false, reg::REG_NOTIFY_CHANGE_LAST_SET, event);
        std::int64_t stamp = 0;
        reg::DWORD size = sizeof stamp;
        reg::RegQueryValueEx(k, "t", nullptr, &stamp, &size);
        state.SetIterationTime(static_cast<double>(woke - stamp) / 1e9);
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    reg::RegCloseKey(k);
}

// Every value of a key with 4,000 values, walked by index as a host reads a
// key it does not know, from a file store; and one value named in it.
void BM_EnumerateValues(benchmark::State& state) {
    BenchStore store;
    const int count = static_cast<int>(state.range(0));
    {
        reg::Transaction t;
        for (int i = 0; i < count; ++i) reg::SetDword(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Many", "v" + std::to_string(i), i);
        if (t.Commit() != reg::ERROR_SUCCESS) {
            state.SkipWithError("cannot fill the key");
            return;
        }
    }
    reg::HKEY k;
    if (reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Many", &k) != reg::ERROR_SUCCESS) {
        state.SkipWithError("no key");
        return;
    }
    for (auto _ : state) {
        reg::DWORD n = 0;
        for (;; ++n) {
            char name[32];
            reg::DWORD len = sizeof name, type = 0, v = 0, size = sizeof v;
            if (reg::RegEnumValue(k, n, name, &len, &type, &v, &size) != reg::ERROR_SUCCESS) break;
        }
        if (n != static_cast<reg::DWORD>(count)) state.SkipWithError("values missing");
    }
    state.counters["entries"] = count;
    reg::RegCloseKey(k);
}

}  // namespace

BENCHMARK(BM_EnumerateValues)->Name("registry/enumerate-values/file")->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Name("registry/read-value/file");
BENCHMARK(BM_ReadMemory)->Name("registry/read-value/memory");
BENCHMARK(BM_WriteFile)->Name("registry/write-value/file");
BENCHMARK(BM_WriteMemory)->Name("registry/write-value/memory");
BENCHMARK(BM_NotifyOtherProcess)->Name("registry/notify-other-process")->UseManualTime()->Iterations(25)
    ->Unit(benchmark::kMillisecond);
