// The fault sweep of the demo tour: every demo script is run as the headless
// tour runs it (each on the unit the scripts before it left), then again
// with each of its host calls failing in turn (at that occurrence, with
// E_FAIL and with E_POINTER) and with each host class it creates refused.
// Every run must end without a crash (the sanitizer build runs this too),
// leave a unit that is written and read back whole, give the unit's
// interfaces all their references back, and report as mirelle-run does:
// the host: lines say what the unit carried out, the result comes last.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/codepage/CodePage.h"
#include "simulator/UnitFile.h"
#include "tests/support/Harness.h"

namespace {

namespace fs = std::filesystem;
using com::HRESULT;

struct DemoScript {
    std::string file, operation;
    std::vector<ui::Action> actions;
};

std::vector<DemoScript> DemoScripts() {
    std::vector<fs::path> paths;
    for (auto& e : fs::directory_iterator(fs::path(MIRELLE_SOURCE_DIR) / "apps/demo"))
        if (e.path().extension() == ".script") paths.push_back(e.path());
    std::sort(paths.begin(), paths.end());
    std::vector<DemoScript> out;
    for (auto& p : paths) {
        std::ifstream in(p);
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        const std::string tag = "# operation: ";
        if (text.rfind(tag, 0) != 0) continue;
        DemoScript s{p.filename().string(), text.substr(tag.size(), text.find('\n') - tag.size()), {}};
        auto parsed = ui::ParseScript(cp::Utf8ToAnsi(text));
        EXPECT_TRUE(parsed.ok()) << s.file << ": " << parsed.error;
        s.actions = parsed.actions;
        out.push_back(std::move(s));
    }
    return out;
}

// What one run did, and the unit it left.
struct SweepRun {
    HRESULT hr = com::S_OK;
    std::vector<std::string> lines;  // the report
    std::string scriptError;         // an action the dialogs could not take, or one left over
    bool finished = false;           // the operation returned (an action it could not take ends it)
    std::vector<host::HostCall> calls;
    std::vector<com::CLSID> classes;
};

class DemoSweep : public testing_support::Harness {
protected:
    void SetUp() override {
        Harness::SetUp();
        dir = fs::temp_directory_path() / ("mirelle-sweep-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // The scripts name files as the tour does, from the source tree.
        cwd = fs::current_path();
        fs::current_path(MIRELLE_SOURCE_DIR);
    }
    void TearDown() override {
        fs::current_path(cwd);
        fs::remove_all(dir);
        Harness::TearDown();
    }

    // Runs one script on the unit file start, with the failure set up by
    // inject, and checks what every run must keep.  The unit is left in
    // `unit` for the caller.
    SweepRun RunOne(const DemoScript& s, const std::string& start,
                    const std::function<void(host::SimulatedUnit&)>& inject, const std::string& label) {
        SCOPED_TRACE(s.file + " " + label);
        unit = host::SimulatedUnit::Load(start);
        inject(*unit);
        SweepRun r;
        apps::RunReport report([&r](const std::string& line) { r.lines.push_back(line); });
        report.Attach(*unit);
        try {
            auto setupUI = CreateSetupUI();
            auto run = apps::RunScript(s.operation, s.actions, *unit, *setupUI.get(), report);
            r.hr = run.outcome.hr;
            r.scriptError = run.error;
            r.finished = true;
        } catch (const ui::UiError& e) {
            r.scriptError = e.what();
        }
        unit->onCall = nullptr;
        unit->onRefused = nullptr;
        r.calls = unit->Calls();
        r.classes = unit->ClassesAskedFor();
        EXPECT_EQ(unit->OutstandingReferences(), 0) << "references of the unit's interfaces not given back";
        CheckReport(r);
        CheckUnit(r);
        return r;
    }

    // The report's order and what its host: lines promise.
    void CheckReport(const SweepRun& r) {
        const bool finished = r.finished;
        int stage = 0;  // 0 events, 1 out:, 2 error:, 3 result:
        int results = 0, hostLines = 0, outLines = 0;
        for (const auto& line : r.lines) {
            const std::string kind = line.substr(0, line.find(':'));
            int at = kind == "out" ? 1 : kind == "error" ? 2 : kind == "result" ? 3 : 0;
            EXPECT_GE(at, stage) << "out of order: " << line;
            stage = std::max(stage, at);
            results += at == 3;
            hostLines += kind == "host";
            outLines += at == 1;
            EXPECT_TRUE(kind == "message" || kind == "help" || kind == "host" || kind == "refused" || kind == "fail" ||
                        at != 0)
                << line;
        }
        if (finished) {
            EXPECT_EQ(results, 1);
            ASSERT_FALSE(r.lines.empty());
            EXPECT_EQ(r.lines.back().rfind("result: ", 0), 0u) << r.lines.back();
            EXPECT_EQ(std::count(r.lines.begin(), r.lines.end(), "error: " + com::HresultText(r.hr)),
                      com::FAILED(r.hr) ? 1 : 0);
        } else {
            EXPECT_EQ(results, 0) << "an action the dialogs could not take ends the run without a result";
        }
        // A host: line for each changing call the unit carried out.
        int carriedOut = 0;
        for (const auto& c : r.calls) carriedOut += c.changes && !c.injected && c.hr == com::S_OK;
        EXPECT_EQ(hostLines, carriedOut);
        // A unit that the report says nothing changed is as it was (a
        // change it carried out may have left a value as it was).
        if (hostLines + outLines == 0) {
            EXPECT_FALSE(unit->HasUnsavedChanges()) << "a change the report does not show";
        }
    }

    // The unit is written as mirelle-run writes it and read back whole.
    void CheckUnit(const SweepRun&) {
        EXPECT_EQ(host::CheckUnitData(unit->Data()), "");
        const std::string after = (dir / "after.json").string();
        try {
            unit->Save(after);
            auto back = host::SimulatedUnit::Load(after);
            EXPECT_EQ(back->Data(), unit->Data()) << "the written unit reads back as it was";
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }

    fs::path dir, cwd;
};

std::string Name(const com::CLSID& clsid) {
    for (const auto& [name, c] : apps::HostClasses())
        if (c == clsid) return name;
    return com::GuidToString(clsid);
}

TEST_F(DemoSweep, EveryHostCallOfEveryDemoScriptFailingEndsCleanly) {
    const auto scripts = DemoScripts();
    ASSERT_GE(scripts.size(), 14u);
    const auto begin = std::chrono::steady_clock::now();
    // The bundled unit, with the storage operations' pauses taken out and
    // their progress in four steps (each still a host call that may fail).
    std::string start = (dir / "start-0.json").string();
    {
        std::ifstream in(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json");
        nlohmann::ordered_json bundled = nlohmann::ordered_json::parse(in);
        bundled["storage"]["operationMs"] = 0;
        bundled["storage"]["progressSteps"] = 4;
        std::ofstream(start) << bundled.dump(2);
    }
    int runs = 0, failedCalls = 0;
    for (size_t i = 0; i < scripts.size(); ++i) {
        const DemoScript& s = scripts[i];
        const SweepRun normal = RunOne(s, start, [](host::SimulatedUnit&) {}, "as the tour runs it");
        ++runs;
        EXPECT_EQ(normal.hr, com::S_OK) << s.file;
        EXPECT_EQ(normal.scriptError, "") << s.file;
        // The next script starts from this one's unit, as in the tour.
        const std::string next = (dir / ("start-" + std::to_string(i + 1) + ".json")).string();
        unit->Save(next);

        std::map<std::string, int> seen;
        for (const auto& call : normal.calls) {
            const int nth = ++seen[call.name];
            for (HRESULT injected : {com::E_FAIL, com::E_POINTER}) {
                const std::string label = call.name + " #" + std::to_string(nth) + " failing with " +
                                          com::HresultText(injected);
                const SweepRun r = RunOne(
                    s, start, [&](host::SimulatedUnit& u) { u.FailCall(call.name, injected, nth); }, label);
                ++runs;
                ++failedCalls;
                EXPECT_TRUE(r.hr == com::S_OK || r.hr == injected) << s.file << " " << label << ": "
                                                                    << com::HresultText(r.hr);
                bool fired = false;
                for (const auto& c : r.calls) fired = fired || (c.injected && c.name == call.name);
                EXPECT_TRUE(fired) << s.file << " " << label << ": the call is reached as in the normal run";
            }
        }
        for (const auto& clsid : normal.classes) {
            const SweepRun r = RunOne(
                s, start, [&](host::SimulatedUnit& u) { u.FailCreate(clsid, com::E_FAIL); },
                Name(clsid) + " cannot be created");
            ++runs;
            EXPECT_TRUE(r.hr == com::S_OK || com::FAILED(r.hr)) << s.file;
        }
        start = next;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    RecordProperty("runs", runs);
    RecordProperty("failed_calls", failedCalls);
    RecordProperty("seconds", std::to_string(seconds));
    std::cout << "[ sweep    ] " << runs << " runs (" << failedCalls << " with a failing call) in " << seconds
              << " s\n";
}

}  // namespace
