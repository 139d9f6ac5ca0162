// The command-line contracts of mirelle-run and mirelle-inspect.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;

struct Output {
    int code;
    std::string out;
};

Output Exec(const std::string& cmd) {
    std::string full = cmd + " 2>&1";
    std::FILE* p = ::popen(full.c_str(), "r");
    std::string out;
    char buf[512];
    while (p && std::fgets(buf, sizeof buf, p)) out += buf;
    int status = p ? ::pclose(p) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mirelle-tools-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        unitPath = dir / "unit.json";
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", unitPath,
                      fs::copy_options::overwrite_existing);
        ::setenv("MIRELLE_REGISTRY", (dir / "registry.db").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string File(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    }
    Output RunOp(const std::string& op, const std::string& script) {
        return Exec(std::string(MIRELLE_RUN) + " --unit " + unitPath.string() + " --script " +
                    File("s.txt", script) + " " + op);
    }
    nlohmann::json Unit() {
        std::ifstream in(unitPath);
        return nlohmann::json::parse(in);
    }
    fs::path dir, unitPath;
};

TEST_F(Tools, RecordModeEndToEnd) {
    auto r = RunOp("ShowRecordModeDlg", "tick 1014 1\nslide 1016 5\nclick 4\nclick 1\n");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "help: 60\nresult: 1\n");
    EXPECT_EQ(Unit()["recordInfo"]["fillThreshold"], 75);
}

TEST_F(Tools, PrinterOptionsEndToEnd) {
    auto r = RunOp("ShowODSetup", "tick 320 0\nclick 227\ntick 321 1\nclick 227\n");
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "message: Please select at least one option.\nresult: 1\n");
    EXPECT_EQ(Unit()["printerInterface"]["showCustomerEntries"], 0);
    EXPECT_EQ(Unit()["printerInterface"]["showJournalEntries"], 1);
}

TEST_F(Tools, BadInputExitsWithTwoAndLeavesTheUnitAlone) {
    std::string before = Unit().dump();
    struct Case {
        std::string args;
        std::string says;
    };
    const Case cases[] = {
        {"--unit " + unitPath.string() + " --script " + File("bad.txt", "click\n") + " ShowODSetup", "line 1"},
        {"--unit " + unitPath.string() + " --script " + File("miss.txt", "click 999\n") + " ShowODSetup",
         "no control 999"},
        {"--unit " + unitPath.string() + " --script " + File("dis.txt", "tick 1019 1\nslide 1016 2\n") +
             " ShowRecordModeDlg",
         "disabled"},
        {"--unit " + File("broken.json", "{\"cameras\": [") + " ShowODSetup", "not valid JSON"},
        {"--unit " + (dir / "absent.json").string() + " ShowODSetup", "cannot open"},
        {"--unit " + unitPath.string() + " ShowNothing", "unknown operation"},
        {"--unit " + unitPath.string() + " --script " + (dir / "none.txt").string() + " ShowODSetup",
         "cannot open script"},
        {"ShowODSetup", "no unit file"},
    };
    for (const auto& c : cases) {
        auto r = Exec(std::string(MIRELLE_RUN) + " " + c.args);
        EXPECT_EQ(r.code, 2) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
    }
    EXPECT_EQ(Unit().dump(), before);
}

TEST_F(Tools, InspectXmlNodes) {
    auto r = Exec(std::string(MIRELLE_INSPECT) + " xml-nodes " + File("a.xml", "<A x=\"1\" y='2'>text<B/></A>"));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "start\tA\ttext\nattr\tx\t1\nattr\ty\t2\nstart\tB/\t\nend\t/A\n");
    EXPECT_EQ(Exec(std::string(MIRELLE_INSPECT) + " xml-nodes " + (dir / "none").string()).code, 2);
    EXPECT_EQ(Exec(std::string(MIRELLE_INSPECT) + " nothing " + File("b.xml", "")).code, 2);
}

}  // namespace
