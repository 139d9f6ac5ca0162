// The command-line contracts of mirelle-run and mirelle-inspect, run as a user
// calls them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;

struct Output {
    int code;
    std::string out;  // standard output
    std::string err;  // standard error
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mirelle-tools-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        unitPath = dir / "unit.json";
        ResetUnit();
        ::setenv("MIRELLE_REGISTRY", (dir / "registry.db").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }
    void ResetUnit() {
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", unitPath,
                      fs::copy_options::overwrite_existing);
    }
    std::string File(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    Output Exec(const std::string& cmd) {
        std::string full = cmd + " 2>" + (dir / "stderr.txt").string();
        std::FILE* p = ::popen(full.c_str(), "r");
        std::string out;
        char buf[512];
        while (p && std::fgets(buf, sizeof buf, p)) out += buf;
        int status = p ? ::pclose(p) : -1;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ReadFile(dir / "stderr.txt")};
    }
    Output Run(const std::string& args) { return Exec(std::string(MIRELLE_RUN) + " " + args); }
    Output RunOp(const std::string& op, const std::string& script, const std::string& options = "") {
        return Run("--unit " + unitPath.string() + " --script " + File("s.txt", script) + " " + options + " " + op);
    }
    nlohmann::json Unit() { return nlohmann::json::parse(ReadFile(unitPath)); }
    fs::path dir, unitPath;
};

TEST_F(Tools, RecordModeEndToEnd) {
    auto r = RunOp("ShowRecordModeDlg", "tick 1014 1\nslide 1016 5\nclick 4\nclick 1\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "help: 60\nout: recordInfo.fillThreshold 75\nresult: 1\n");
    EXPECT_EQ(Unit()["recordInfo"]["fillThreshold"], 75);
}

// Each operation with in/out values prints the ones it changed, sorted by
// name, after the host calls and before the result; a cancelled run prints
// none and changes nothing.
TEST_F(Tools, OutLinesPerOperation) {
    struct Case {
        std::string op, script, out;
    };
    const Case cases[] = {
        {"ShowRecordModeDlg", "tick 1014 1\nslide 1016 5\nclick 1\n",
         "out: recordInfo.fillThreshold 75\nresult: 1\n"},
        {"ShowRecordModeDlg", "tick 1019 1\nclick 1\n", "out: recordInfo.circular 1\nresult: 1\n"},
        {"ShowRecordModeDlg", "tick 1019 1\nclick Cancel\n", "result: 2\n"},
        {"ShowODSetup", "tick 320 0\ntick 321 1\nclick OK\n",
         "out: printerInterface.showCustomerEntries 0\nout: printerInterface.showJournalEntries 1\nresult: 1\n"},
        {"ShowRawTextSetup", "set 1092 1b,0d,0a\nclick 1\n", "out: rawText.eol \"1B 0D 0A\"\nresult: 1\n"},
        {"ShowCOMPortSetup", "select 1101 2\nselect 1102 8\nselect 1106 1\nclick 1\n",
         "out: comPort.baudRate 19200\nout: comPort.flowControl 1\nout: comPort.portId 2\nresult: 1\n"},
        {"ShowTextIPPortSetup", "set 1121 5102\nclick 1\n", "out: textIPPort.port 5102\nresult: 1\n"},
        {"ShowPortAddressDlg", "set 1033 5101\nselect 1037 6\nclick 1\n",
         "message: The new port settings will take effect the next time you start Quellan.\n"
         "out: portAddress.livePort 5101\nout: portAddress.maxLiveClients 6\nresult: 1\n"},
        {"ShowDisplay", "set 1202 0:15\npage Call Monitor\ntick 1311 1\nclick 1\n",
         "out: displayInfo.callCamera 1\nout: displayInfo.sequencerDwell 15\nresult: 1\n"},
        {"ShowAudio", "page Camera Associations\ntick 1512 1\nclick 1\n",
         "host: SetLiveLineMute 0 0\nhost: SetLiveMicMute 1 0\n"
         "out: audioAssociations 0,0,0,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1\nresult: 1\n"},
        {"ShowCameras", "set 1470 Front Door\nclick 1\n",
         "host: SetCameraNames \"Front Door\",\"Lobby\",\"Till 1\",\"Till 2\",\"Stock Room\",\"Car Park\","
         "\"Loading\",\"Office\",\"Camera 9\",\"Camera 10\",\"Camera 11\",\"Camera 12\",\"Camera 13\","
         "\"Camera 14\",\"Camera 15\",\"Camera 16\" 16 1 0\nresult: 1\n"},
    };
    for (const auto& c : cases) {
        ResetUnit();
        auto r = RunOp(c.op, c.script);
        EXPECT_EQ(r.code, 0) << c.op << " " << c.script << r.err;
        EXPECT_EQ(r.out, c.out) << c.op << " " << c.script;
    }
}

// The unit file keeps its key order and layout: a run changes the lines of
// the values that changed and nothing else (no defaults added).
TEST_F(Tools, UnitFileIsEditedNotRewritten) {
    const std::string before = ReadFile(unitPath);
    auto r = RunOp("ShowCameras", "set 1470 Front Door\nclick 1\n");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string after = ReadFile(unitPath);
    std::istringstream a(before), b(after);
    std::string la, lb;
    int lines = 0, differing = 0;
    while (std::getline(a, la) && std::getline(b, lb)) {
        ++lines;
        if (la != lb) {
            ++differing;
            EXPECT_NE(lb.find("Front Door"), std::string::npos) << lb;
        }
    }
    EXPECT_EQ(std::count(before.begin(), before.end(), '\n'), std::count(after.begin(), after.end(), '\n'));
    EXPECT_EQ(differing, 1);
    EXPECT_EQ(after.find("\"valid\""), std::string::npos);
    // A run that changes nothing writes the file as it was.
    ASSERT_EQ(RunOp("ShowRecordModeDlg", "click 1\n").code, 0);
    EXPECT_EQ(ReadFile(unitPath), after);
}

// Failures injected with --fail, one per setup: the fail: line where it
// fired, then what the component makes of it.
TEST_F(Tools, FailOnCallsOfEverySetup) {
    struct Case {
        std::string op, script, fail;
        int code;
        std::string out;
    };
    const Case cases[] = {
        {"ShowRecordModeDlg", "click 4\nclick 1\n", "ShowHelp=E_POINTER", 0,
         "fail: ShowHelp 60 -> E_POINTER\nresult: 1\n"},
        {"ShowTextExceptions", "", "GetDefinitionsText", 4,
         "fail: GetDefinitionsText -> E_FAIL\nerror: 0x80004005\nresult: -1\n"},
        {"ShowCameras", "click 1\n", "GetCameraCount=0x8007000E", 4,
         "fail: GetCameraCount -> E_OUTOFMEMORY\nerror: 0x8007000E\nresult: -1\n"},
        {"ShowStorage", "", "GetVolumeCount=E_INVALIDARG", 4,
         "fail: GetVolumeCount -> E_INVALIDARG\nerror: 0x80070057\nresult: -1\n"},
        {"ShowPortAddressDlg", "tick 1039 1\nset 1041 HQ\nclick 1\n", "RegisterWithServer", 4,
         "fail: RegisterWithServer \"QLN-4411-0001\" \"HQ\" -> E_FAIL\nerror: 0x80004005\nresult: -1\n"},
        {"ShowTextStreams", "click 1131\nset 1140 Till 2\nclick 1\nclick 2\n", "CreateStream", 0,
         "fail: CreateStream -2 \"COM Port\" \"General Text\" 0 -> E_FAIL\n"
         "message: Unable to create text stream.\nresult: 0\n"},
        {"ShowIPSourceConfig", "click 2\n", "GetIPSourceConfig", 0,
         "fail: GetIPSourceConfig -> E_FAIL\n"
         "message: Error retrieving IP Sources data from the remote Quellan.\nresult: 2\n"},
        {"ShowAudio", "slide 1403 80\nclick 1\n", "SetLivePlayVolume#1", 0,
         "host: SetLiveLineMute 0 0\nhost: SetLiveMicMute 1 0\nfail: SetLivePlayVolume 80 0 -> E_FAIL\n"
         "out: audioMixer.playVolume 80\nresult: 1\n"},
        {"ShowTextIPPortSetup", "set 1121 5101\nclick 1\n", "GetUsedTextIPPorts", 0,
         "fail: GetUsedTextIPPorts -> E_FAIL\nout: textIPPort.port 5101\nresult: 1\n"},
    };
    for (const auto& c : cases) {
        ResetUnit();
        const std::string before = ReadFile(unitPath);
        auto r = RunOp(c.op, c.script, "--fail " + c.fail);
        EXPECT_EQ(r.code, c.code) << c.op << " --fail " << c.fail << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.op << " --fail " << c.fail << "\n" << r.err;
        if (c.code == 4) {
            EXPECT_NE(r.err.find("hresult: 0x"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("not written"), std::string::npos) << r.err;
            EXPECT_EQ(ReadFile(unitPath), before) << c.op;
        }
    }
}

// A run that ends in an error after the unit carried out changes still
// leaves the file holding them, as the host: lines said, and says so.
TEST_F(Tools, ChangesTheUnitCarriedOutAreWrittenWhenTheRunFails) {
    struct Case {
        std::string op, script, options;
        int code;
        std::string host;  // a host: line printed before the error
    };
    const Case cases[] = {
        // A bad action after the sheet created a stream.
        {"ShowTextStreams", "click 1131\nset 1140 Till 2\nclick 1\nclick 9999\n", "", 2, "host: CreateStream"},
        // The registration went through; the next change fails.
        {"ShowPortAddressDlg", "tick 1039 1\nset 1041 HQ\nclick 1\n", "--fail ApplyManagedMode", 4,
         "host: RegisterWithServer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        ResetUnit();
        const std::string before = ReadFile(unitPath);
        auto dry = RunOp(c.op, c.script, c.options + " --dry-run");
        EXPECT_EQ(dry.code, c.code) << dry.err;
        EXPECT_EQ(ReadFile(unitPath), before) << "--dry-run writes nothing";
        auto r = RunOp(c.op, c.script, c.options);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.out.find(c.host), std::string::npos) << r.out;
        EXPECT_NE(ReadFile(unitPath), before);
        EXPECT_NE(r.err.find("the unit file was written with the changes the unit carried out"), std::string::npos)
            << r.err;
        EXPECT_EQ(r.err.find("not written"), std::string::npos) << r.err;
    }
    // Written as the unit holds it: the created stream is there.
    ResetUnit();
    RunOp("ShowTextStreams", "click 1131\nset 1140 Till 2\nclick 1\nclick 9999\n");
    const auto written = Unit();
    bool found = false;
    for (auto& st : written["textStreams"]["streams"]) found = found || st["Name"] == "Till 2";
    EXPECT_TRUE(found);
}

// A script that goes wrong because an injected failure ended a dialog early
// or left a list empty names that failure in its message.
TEST_F(Tools, BadScriptAfterAnInjectedFailureNamesTheFailure) {
    struct Case {
        std::string op, script, fail, says;
    };
    const Case cases[] = {
        {"ShowCOMPortSetup", "select 1101 2\nclick 1\n", "GetAvailableComPorts",
         "the injected failure of GetAvailableComPorts (E_FAIL) fired before"},
        {"ShowIPSourceConfig", "select 1080 0\nclick 1082\nclick 2\n", "GetIPSourceConfig=E_POINTER",
         "the injected failure of GetIPSourceConfig (E_POINTER) fired before"},
    };
    for (const auto& c : cases) {
        auto r = RunOp(c.op, c.script, "--fail " + c.fail);
        EXPECT_EQ(r.code, 2) << c.op << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.op << "\n" << r.err;
    }
    // Without an injected failure the message is as before.
    auto plain = RunOp("ShowCOMPortSetup", "select 1101 99\nclick 1\n");
    EXPECT_EQ(plain.code, 2);
    EXPECT_EQ(plain.err.find("injected"), std::string::npos) << plain.err;
}

// A host object the component cannot create is named in the tool's error and
// in the debug log, not only as the E_POINTER it turns into.
TEST_F(Tools, HostObjectThatCannotBeCreatedIsNamed) {
    struct Case {
        std::string op, script, cls;
    };
    const Case cases[] = {
        {"ShowCameras", "click 1\n", "HostSystemObject"},
        {"ShowTextExceptions", "", "DefinitionListCodec"},
    };
    const std::string log = (dir / "debug.log").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        fs::remove(log);
        auto r = Exec("MIRELLE_LOG=" + log + " " + MIRELLE_RUN + " --unit " + unitPath.string() + " --script " +
                      File("s.txt", c.script) + " --fail-create " + c.cls + " " + c.op);
        EXPECT_EQ(r.code, 4) << r.err;
        EXPECT_NE(r.err.find("cannot create " + c.cls + " {"), std::string::npos) << r.err;
        EXPECT_NE(ReadFile(log).find("cannot create " + c.cls + " {"), std::string::npos) << ReadFile(log);
    }
}

// A registration whose module file is gone names the file and the way out;
// mirelle-regsvr -u takes such registrations away.
TEST_F(Tools, StaleRegistrationIsNamedAndRemovable) {
    const std::string clsid = "{3F2B7A10-8C4E-4D21-A75E-104D6C0B0100}";
    const std::string gone = (dir / "moved" / "Mirelle.so").string();
    const std::string reg = std::string(MIRELLE_REG) + " add ";
    ASSERT_EQ(Exec(reg + "'HKCR\\CLSID\\" + clsid + "\\InprocServer32' /ve /d " + gone).code, 0);
    ASSERT_EQ(Exec(reg + "'HKCR\\Mirelle.SetupUI\\CLSID' /ve /d '" + clsid + "'").code, 0);
    auto r = RunOp("ShowRecordModeDlg", "click 1\n");
    EXPECT_EQ(r.code, 4);
    EXPECT_NE(r.err.find("registered with the module " + gone), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("mirelle-regsvr -u " + gone), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--module"), std::string::npos) << r.err;

    auto u = Exec(std::string(MIRELLE_REGSVR) + " -u " + gone);
    EXPECT_EQ(u.code, 0) << u.err;
    EXPECT_NE(u.out.find("1 class registration"), std::string::npos) << u.out;
    EXPECT_EQ(Exec(std::string(MIRELLE_REG) + " query 'HKCR\\Mirelle.SetupUI'").code, 1);
    EXPECT_EQ(Exec(std::string(MIRELLE_REG) + " query 'HKCR\\CLSID\\" + clsid + "'").code, 1);
    // A file that is gone and was never registered stays an error.
    EXPECT_EQ(Exec(std::string(MIRELLE_REGSVR) + " -u " + gone).code, 3);
    EXPECT_EQ(RunOp("ShowRecordModeDlg", "click 1\n").code, 0);
}

// A changing call that the unit declines prints refused: instead of host:.
TEST_F(Tools, RefusedCallsAreNotReportedAsDone) {
    auto unit = Unit();
    unit["castellan"]["refuse"] = {"RegisterWithServer"};
    File("unit.json", unit.dump());
    auto r = RunOp("ShowPortAddressDlg", "tick 1039 1\nset 1041 HQ\nclick 1\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("refused: RegisterWithServer \"QLN-4411-0001\" \"HQ\" -> S_FALSE\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("host: RegisterWithServer"), std::string::npos) << r.out;
}

TEST_F(Tools, DryRunLeavesTheFileAndPrintsTheSame) {
    const std::string before = ReadFile(unitPath);
    const std::string script = "set 1202 0:15\ntick 1205 1\nclick 1\n";
    auto dry = RunOp("ShowDisplay", script, "--dry-run");
    EXPECT_EQ(dry.code, 0) << dry.err;
    EXPECT_EQ(ReadFile(unitPath), before);
    auto real = RunOp("ShowDisplay", script);
    EXPECT_EQ(real.out, dry.out);
    EXPECT_NE(ReadFile(unitPath), before);
}

TEST_F(Tools, TracePrintsReadsToo) {
    auto r = RunOp("ShowRecordModeDlg", "click 1\n", "--trace --fail-create HostSystemObject");
    EXPECT_EQ(r.code, 0) << r.err;
    auto t = RunOp("ShowTextIPPortSetup", "click 1\n", "--trace");
    EXPECT_NE(t.out.find("read: GetUsedTextIPPorts\n"), std::string::npos) << t.out;
    EXPECT_EQ(RunOp("ShowTextIPPortSetup", "click 1\n").out.find("read:"), std::string::npos);
}

TEST_F(Tools, BadCommandLinesAndScriptsExitWithTwo) {
    const std::string before = ReadFile(unitPath);
    const std::string unit = "--unit " + unitPath.string() + " ";
    struct Case {
        std::string args;
        std::string says;
    };
    const Case cases[] = {
        {unit + "--script " + File("bad.txt", "click\n") + " ShowODSetup", "line 1"},
        {unit + "--script " + File("miss.txt", "tick 1014 1\nclick 999\n") + " ShowRecordModeDlg",
         "line 2: click: dialog 150 has no control 999 (dialog \"Quellan Record Mode Setup\" 150); nearest control"},
        {unit + "--script " + File("dis.txt", "tick 1019 1\nslide 1016 2\n") + " ShowRecordModeDlg",
         "line 2: slide: control 1016 of dialog 150 is disabled"},
        {unit + "--script " + File("page.txt", "page Terminaton\n") + " ShowCameras",
         "did you mean page \"Termination\"?"},
        {unit + "--script " + File("left.txt", "click 1\ntick 1019 1\n") + " ShowRecordModeDlg",
         "line 2: action left after the dialog closed"},
        {unit + "--script " + File("answer.txt", "answer yes\nclick 1\n") + " ShowRecordModeDlg",
         "line 1: no message box used this answer"},
        {unit + "--script " + File("cap.txt", "click Apply\n") + " ShowRecordModeDlg", "OK, Cancel or Help"},
        {unit + "ShowNothing", "unknown operation \"ShowNothing\""},
        {unit + "ShowODSetp", "did you mean ShowODSetup?"},
        {unit + "--script " + (dir / "none.txt").string() + " ShowODSetup", "cannot open script"},
        {"ShowODSetup", "--unit is required"},
        {unit, "operation is required"},
        {unit + "--frobnicate ShowODSetup", "frobnicate"},
        {unit + "--fail GetVersion=E_NOPE ShowODSetup", "unknown result \"E_NOPE\""},
        {unit + "--fail GetVersion#0 ShowODSetup", "not a call number"},
        {unit + "--fail GetVersion=S_OK ShowODSetup", "needs a failing result"},
        {unit + "--fail-create Toaster ShowODSetup", "no such host class"},
    };
    for (const auto& c : cases) {
        auto r = Run(c.args);
        EXPECT_EQ(r.code, 2) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_EQ(ReadFile(unitPath), before);
}

TEST_F(Tools, BadUnitFilesExitWithThree) {
    auto unitWith = [&](const std::string& name, const std::function<void(nlohmann::json&)>& edit) {
        auto u = Unit();
        edit(u);
        return File(name, u.dump());
    };
    struct Case {
        std::string file, says;
    };
    const Case cases[] = {
        {File("broken.json", "{\"cameras\": ["), "not valid JSON"},
        {(dir / "absent.json").string(), "cannot open unit file"},
        {File("array.json", "[1, 2]"), "(unit): expected an object"},
        {unitWith("port.json", [](auto& u) { u["textStreams"]["streams"][1]["IpPort"] = 70000; }),
         "textStreams.streams[1].IpPort: expected an integer from -1 to 65535"},
        {unitWith("name.json", [](auto& u) { u["cameras"][2]["name"] = 7; }), "cameras[2].name: expected a string"},
        {unitWith("flag.json", [](auto& u) { u["recordInfo"]["circular"] = "yes"; }),
         "recordInfo.circular: expected true or false or an integer"},
        {unitWith("fill.json", [](auto& u) { u["recordInfo"]["fillThreshold"] = 101; }),
         "recordInfo.fillThreshold: expected an integer from 0 to 100"},
        {unitWith("handler.json", [](auto& u) { u["handlers"][0].erase("progId"); }), "handlers[0].progId: missing"},
        // Nesting far beyond the format's own is refused before anything
        // walks it; so is a number no double holds.
        {File("deep.json", "{\"cameras\": " + std::string(20000, '[') + std::string(20000, ']') + "}"),
         "nested more than 64 deep"},
        {File("deep-objects.json", [] {
             std::string t;
             for (int i = 0; i < 20000; ++i) t += "{\"a\": ";
             return t + "1" + std::string(20000, '}');
         }()),
         "nested more than 64 deep"},
        {File("overflow.json", "{\"recordInfo\": {\"fillThreshold\": 1e400}}"), "number overflow"},
    };
    for (const auto& c : cases) {
        auto r = Run("--unit " + c.file + " ShowODSetup");
        EXPECT_EQ(r.code, 3) << c.file << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.file << "\n" << r.err;
        EXPECT_NE(r.err.find(c.file), std::string::npos) << "the message names the file\n" << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// --describe lists the dialog and every page with their controls' ids,
// kinds, captions and states, and leaves the unit alone.
TEST_F(Tools, DescribeListsDialogsPagesAndControls) {
    const std::string before = ReadFile(unitPath);
    auto r = Run("--unit " + unitPath.string() + " --describe ShowRecordModeDlg");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("dialog 150 \"", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n  1019 radio "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" slider "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(range "), std::string::npos) << r.out;
    auto cams = Run("--unit " + unitPath.string() + " --describe ShowCameras");
    EXPECT_EQ(cams.code, 0) << cams.err;
    for (const char* page : {"page \"Names\"", "page \"Termination\"", "page \"Gain Mode\""})
        EXPECT_NE(cams.out.find(page), std::string::npos) << page << "\n" << cams.out;
    EXPECT_NE(cams.out.find("\"Entrance\""), std::string::npos);
    EXPECT_EQ(ReadFile(unitPath), before);
}

// Dialogs that only a button opens are found by pressing it, each with the
// button that opens it: through the stream sheet down to the exception
// builder, and (after selecting a row) the storage label dialog.
TEST_F(Tools, DescribeFollowsButtonsIntoNestedDialogs) {
    const std::string before = ReadFile(unitPath);
    const struct {
        const char* operation;
        std::vector<const char*> blocks;
    } cases[] = {
        {"ShowTextStreams",
         {"dialog 201 \"Quellan Text Stream\"\n",
          "dialog 147 \"Quellan Text Stream Setup\"\nfrom dialog 201 click 1131 \"Add\"\n",
          "\nfrom dialog 147 page \"Alarms\" click 1171 \"Build Exceptions\"\n",
          "dialog 229 \"Build Text Exception\"\nfrom dialog 234 click 1201 \"Add\"\n"}},
        {"ShowStorage", {"dialog 206 \"\"\nfrom dialog 204 click 1006 \"Label\"\n"}},
        {"ShowCameras", {"\nfrom dialog 147 page \"Camera Control\" click 1491 \"Setup\"\n"}},
    };
    for (const auto& c : cases) {
        auto r = Run("--unit " + unitPath.string() + " --describe " + c.operation);
        EXPECT_EQ(r.code, 0) << r.err;
        for (const char* block : c.blocks) EXPECT_NE(r.out.find(block), std::string::npos) << block << "\n" << r.out;
        // Each dialog once, however many buttons open it.
        std::set<std::string> headings;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("dialog ", 0) == 0) {
                EXPECT_TRUE(headings.insert(line).second) << line;
            }
        }
    }
    EXPECT_EQ(ReadFile(unitPath), before);
}

TEST_F(Tools, HelpAndVersion) {
    auto h = Run("--help");
    EXPECT_EQ(h.code, 0);
    for (const char* word : {"--unit", "--script", "--fail", "--fail-create", "--dry-run", "--trace", "--describe", "ShowAudio",
                             "Exit codes"})
        EXPECT_NE(h.out.find(word), std::string::npos) << word;
    auto v = Run("--version");
    EXPECT_EQ(v.code, 0);
    EXPECT_EQ(v.out.rfind("mirelle-run ", 0), 0u) << v.out;
    EXPECT_EQ(Exec(std::string(MIRELLE_INSPECT) + " --help").code, 0);
}

TEST_F(Tools, InspectCommands) {
    const std::string inspect = std::string(MIRELLE_INSPECT) + " ";
    struct Case {
        std::string command, text;
        int code;
        std::string out;
    };
    const Case cases[] = {
        {"xml-nodes", "<A x=\"1\" y='2'>text<B/></A>", 0,
         "start\tA\ttext\nattr\tx\t1\nattr\ty\t2\nstart\tB/\t\nend\t/A\n"},
        {"camera-control",
         "<CameraControl><Associations><Handler><CameraNumber>3</CameraNumber><ProgramID>P.1</ProgramID>"
         "<CameraAddress>7</CameraAddress><SerialPort>COM2</SerialPort><MonitorNum>-1</MonitorNum></Handler>"
         "<Handler><CameraNumber>99</CameraNumber><ProgramID>Q</ProgramID></Handler></Associations></CameraControl>",
         0, "ok 1\ncamera 3\tprogId P.1\tport COM2\taddress 7\tmonitor -1\n"},
        {"ip-config",
         "<IPSourceConfig><UnassignedCameras>12</UnassignedCameras><IPDevices><IPDevice><Name>Enc</Name>"
         "<GUID>{G}</GUID></IPDevice></IPDevices><IPSources><IPSource ID=\"4\"><GUID>{G}</GUID>"
         "<Address>192.0.2.1</Address><Cameras>3,5</Cameras></IPSource></IPSources></IPSourceConfig>",
         0, "ok unassigned 12 devices 1 sources 1\ndevice\t{G}\tEnc\nsource\t4\t{G}\t192.0.2.1\t3,5\n"},
        {"ip-config", "<IPSourceConfig><IPDevices><IPDevice><Name>Enc", 0, "failed\n"},
        {"nothing", "", 2, ""},
    };
    for (const auto& c : cases) {
        auto r = Exec(inspect + c.command + " " + File("in.txt", c.text));
        EXPECT_EQ(r.code, c.code) << c.command << r.err;
        EXPECT_EQ(r.out, c.out) << c.command;
    }
    EXPECT_EQ(Exec(inspect + "xml-nodes " + (dir / "none").string()).code, 2);
    EXPECT_EQ(Exec(inspect + "xml-nodes").code, 2);
}

}  // namespace
