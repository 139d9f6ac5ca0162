// mirelle-reg-writer: a load driver of the registry store for the tests and
// the benchmark (not for users).
//
//   mirelle-reg-writer values KEY PREFIX COUNT
//       writes REG_DWORD values PREFIX0 .. PREFIX<COUNT-1> (value i holds i)
//       into HKEY_LOCAL_MACHINE\KEY, one transaction each, and prints
//       "committed I" after each; with a line on standard input first when
//       started with --wait (so that several writers start together).
//   mirelle-reg-writer stamps KEY NAME COUNT INTERVAL_MS
//       writes COUNT times the REG_BINARY value NAME holding the
//       CLOCK_MONOTONIC time (8 bytes, nanoseconds) taken just before the
//       write, INTERVAL_MS apart.
//
// The store is MIRELLE_REGISTRY's.  Exit code 0, 2 for a bad command line,
// 3 when a write fails.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <thread>

#include "platform/registry/Registry.h"

namespace {

int Values(const std::string& key, const std::string& prefix, long count) {
    reg::HKEY k;
    if (reg::LONG r = reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, key, &k)) {
        std::fprintf(stderr, "mirelle-reg-writer: cannot create %s: error %d\n", key.c_str(), r);
        return 3;
    }
    for (long i = 0; i < count; ++i) {
        reg::DWORD v = static_cast<reg::DWORD>(i);
        if (reg::LONG r = reg::RegSetValueEx(k, prefix + std::to_string(i), reg::REG_DWORD, &v, sizeof v)) {
            std::fprintf(stderr, "mirelle-reg-writer: write %ld failed: error %d\n", i, r);
            return 3;
        }
        std::printf("committed %ld\n", i);
        std::fflush(stdout);
    }
    reg::RegCloseKey(k);
    return 0;
}

std::int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int Stamps(const std::string& key, const std::string& name, long count, long intervalMs) {
    reg::HKEY k;
    if (reg::LONG r = reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, key, &k)) {
        std::fprintf(stderr, "mirelle-reg-writer: cannot create %s: error %d\n", key.c_str(), r);
        return 3;
    }
    for (long i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
        std::int64_t now = MonotonicNs();
        if (reg::LONG r = reg::RegSetValueEx(k, name, reg::REG_BINARY, &now, sizeof now)) {
            std::fprintf(stderr, "mirelle-reg-writer: write %ld failed: error %d\n", i, r);
            return 3;
        }
    }
    reg::RegCloseKey(k);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    bool wait = argc > 2 && std::strcmp(argv[argc - 1], "--wait") == 0;
    if (wait) --argc;
    try {
        if (mode == "values" && argc == 5) {
            if (wait) {
                std::string line;
                std::getline(std::cin, line);
            }
            return Values(argv[2], argv[3], std::stol(argv[4]));
        }
        if (mode == "stamps" && argc == 6) return Stamps(argv[2], argv[3], std::stol(argv[4]), std::stol(argv[5]));
    } catch (const std::exception&) {
    }
    std::fprintf(stderr,
                 "usage: mirelle-reg-writer values KEY PREFIX COUNT [--wait]\n"
                 "       mirelle-reg-writer stamps KEY NAME COUNT INTERVAL_MS\n");
    return 2;
}
