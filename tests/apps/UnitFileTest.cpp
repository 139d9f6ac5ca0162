// The unit file's schema and the simulated unit's file handling: the bundled
// units conform, the check names the field that breaks it, and a write-back
// edits the file in place.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "simulator/SimulatedUnit.h"
#include "simulator/UnitFile.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

json ReadJson(const fs::path& p) {
    std::ifstream in(p);
    return json::parse(in);
}

TEST(UnitSchema, BundledUnitsConformAndTheBuiltInSchemaIsTheFile) {
    const fs::path root = MIRELLE_SOURCE_DIR;
    const json schema = ReadJson(root / "apps/units/unit.schema.json");
    EXPECT_EQ(schema, host::UnitSchema());
    for (auto& entry : fs::directory_iterator(root / "apps/units")) {
        if (entry.path().extension() != ".json" || entry.path().filename() == "unit.schema.json") continue;
        EXPECT_EQ(host::CheckAgainstSchema(ReadJson(entry.path()), schema), "") << entry.path();
    }
}

TEST(UnitSchema, MessagesNameTheField) {
    const json schema = json::parse(R"({
      "$defs": {"port": {"type": "integer", "minimum": 0, "maximum": 65535}},
      "type": "object", "required": ["id"],
      "properties": {
        "id": {"type": "integer"},
        "mode": {"enum": ["a", "b"]},
        "list": {"type": "array", "maxItems": 2, "items": {"type": "object", "properties": {"port": {"$ref": "#/$defs/port"}}}},
        "level": {"type": "number", "minimum": 1},
        "flags": {"type": "object", "additionalProperties": {"type": ["boolean", "integer"]}},
        "closed": {"type": "object", "properties": {"x": {}}, "additionalProperties": false}
      }})");
    struct Case {
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {R"({"id": 1})", ""},
        {R"({"id": 1, "unknown": [1, "x"]})", ""},
        {R"({})", "id: missing"},
        {R"({"id": 1.5})", "id: expected an integer"},
        {R"({"id": 1, "list": [{"port": 1}, {"port": -1}]})", "list[1].port: expected an integer from 0 to 65535"},
        {R"({"id": 1, "list": [{}, {}, {}]})", "list: expected at most 2 items, found 3"},
        {R"({"id": 1, "mode": "c"})", "mode: expected one of \"a\", \"b\""},
        {R"({"id": 1, "level": 0.5})", "level: expected a number of at least 1"},
        {R"({"id": 1, "flags": {"7": true, "8": "on"}})", "flags.8: expected true or false or an integer"},
        {R"({"id": 1, "closed": {"x": 1, "y": 2}})", "closed.y: unknown field"},
        {R"([])", "(unit): expected an object"},
    };
    for (const auto& c : cases) EXPECT_EQ(host::CheckAgainstSchema(json::parse(c.value), schema), c.message) << c.value;
}

class UnitFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = fs::temp_directory_path() / ("mirelle-unitfile-" + std::to_string(::getpid()) + ".json");
    }
    void TearDown() override { fs::remove(path); }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path path;
};

// The writer refuses what the reader would refuse, before it opens the new
// file: nothing is left behind and the old file stays.
TEST_F(UnitFile, SaveRefusesDeepNestingAndLeavesNothingBehind) {
    json deep = 1;
    for (int i = 0; i < 100; ++i) deep = json::array({std::move(deep)});
    Write("{}\n");
    auto unit = host::SimulatedUnit::Load(path.string());
    unit->Data()["extra"] = deep;
    try {
        unit->Save(path.string());
        ADD_FAILURE() << "saved";
    } catch (const host::UnitFileError& e) {
        EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("nested more than 64 deep"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Read(), "{}\n");
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
}

// A save that cannot go through says why, in terms of the new file written
// beside the old one first, and leaves no new file behind.
TEST_F(UnitFile, SaveThatCannotGoThroughSaysWhyAndLeavesNothing) {
    Write("{}\n");
    auto unit = host::SimulatedUnit::Load(path.string());
    unit->Data()["recordInfo"]["fillThreshold"] = 75;
    const fs::path folder = path.string() + ".d";
    struct Case {
        fs::path target;
        std::function<void()> prepare;
        const char* why;
    } cases[] = {
        // The folder is missing (as a folder that cannot be written, the new
        // file cannot be made).
        {folder / "missing" / "unit.json", [] {}, "No such file or directory"},
        // The new file is made but cannot take the old one's place.
        {folder / "busy", [&] { fs::create_directories(folder / "busy" / "inside"); }, "cannot take the place of"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.string());
        c.prepare();
        try {
            unit->Save(c.target.string());
            ADD_FAILURE() << "saved";
        } catch (const host::UnitFileError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(c.target.string()), std::string::npos) << what;
            EXPECT_NE(what.find("written beside it first"), std::string::npos) << what;
            EXPECT_NE(what.find(c.why), std::string::npos) << what;
        }
        EXPECT_FALSE(fs::exists(c.target.string() + ".tmp"));
    }
    fs::remove_all(folder);
    EXPECT_EQ(Read(), "{}\n");
}

TEST_F(UnitFile, SaveKeepsOrderAndAddsNoDefaults) {
    Write("{\n  \"zeta\": 1,\n  \"cameras\": [{\"name\": \"A\", \"extra\": 5}, {\"name\": \"B\"}],\n  \"alpha\": {\"b\": 2, \"a\": 1}\n}\n");
    auto unit = host::SimulatedUnit::Load(path.string());
    unit->Save(path.string());
    EXPECT_EQ(Read(), "{\n  \"zeta\": 1,\n  \"cameras\": [{\"name\": \"A\", \"extra\": 5}, {\"name\": \"B\"}],\n"
                      "  \"alpha\": {\"b\": 2, \"a\": 1}\n}\n");
    unit->Data()["cameras"][0]["name"] = "Door";  // edited in place, its other member kept
    unit->Data()["alpha"]["c"] = 3;               // appended
    unit->Data().erase("zeta");                   // removed
    unit->Data()["cameraCount"] = 8;              // a default changed: written
    unit->Save(path.string());
    EXPECT_EQ(Read(), "{\n  \"cameras\": [{\"name\": \"Door\", \"extra\": 5}, {\"name\": \"B\"}],\n"
                      "  \"alpha\": {\"b\": 2, \"a\": 1, \"c\": 3},\n  \"cameraCount\": 8\n}\n");
}

TEST_F(UnitFile, LoadRefusesDataThatBreaksTheSchema) {
    Write(R"({"textStreams": {"streams": [{}, {}, {"IpPort": 65536}]}})");
    try {
        host::SimulatedUnit::Load(path.string());
        FAIL() << "loaded";
    } catch (const host::UnitFileError& e) {
        EXPECT_NE(std::string(e.what()).find("textStreams.streams[2].IpPort: expected an integer from -1 to 65535"),
                  std::string::npos)
            << e.what();
    }
}

// Failures at different occurrences of one call add up; the one at the nth
// call wins over one on every call; S_OK removes them.
TEST(SimulatedUnitFailures, NthAndEveryCombine) {
    host::SimulatedUnit unit;
    unit.FailCall("X", com::E_FAIL, 2);
    unit.FailCall("X", com::E_POINTER, 4);
    std::vector<com::HRESULT> got;
    for (int i = 0; i < 5; ++i) got.push_back(unit.Enter("X", "", false));
    EXPECT_EQ(got, (std::vector<com::HRESULT>{com::S_OK, com::E_FAIL, com::S_OK, com::E_POINTER, com::S_OK}));
    unit.FailCall("X", com::E_OUTOFMEMORY);
    unit.FailCall("X", com::E_INVALIDARG, 1);
    EXPECT_EQ(unit.Enter("X", "", false), com::E_INVALIDARG);
    EXPECT_EQ(unit.Enter("X", "", false), com::E_OUTOFMEMORY);
    unit.FailCall("X", com::S_OK);
    EXPECT_EQ(unit.Enter("X", "", false), com::S_OK);
    auto calls = unit.Calls();
    EXPECT_TRUE(calls[1].injected);
    EXPECT_FALSE(calls[0].injected);
}

}  // namespace

namespace {

std::u16string Take(com::BSTR& b) {
    std::u16string out(com::BstrView(b));
    com::SysFreeString(b);
    b = nullptr;
    return out;
}

// The unit answers in the host's code page: its UTF-8 texts reach the
// component as Windows-1252, texts it is given come back as they went, and
// the IP source text is handed out literally.
TEST(SimulatedUnitCodePage, TextsTravelInTheHostsCodePage) {
    host::SimulatedUnit unit(json::parse(R"({
      "handlers": [{"displayName": "Kamera", "progId": "Kamerä.Steuerung", "defaultPort": "COM3 Süd", "defaultMonitor": 2}],
      "castellan": {"serverName": "Zentrale Köln"},
      "ipSources": {"devices": [{"guid": "{G}", "name": "Enc & Co <Süd>"}],
                    "sources": [{"id": 1, "guid": "{G}", "address": "10.0.0.1 & 2", "cameras": "1"}]}
    })"));
    struct Case {
        const char* what;
        std::function<std::u16string()> answer;
        std::u16string expected;
    };
    const Case cases[] = {
        {"default port of a non-ASCII ProgID",
         [&] {
             com::Bstr prog(u"KAMERä.steuerung");
             com::BSTR port = nullptr;
             std::int16_t monitor = -1;
             EXPECT_EQ(unit.CameraControlUISupport()->GetHandlerDefaults(prog.get(), &port, &monitor), com::S_OK);
             EXPECT_EQ(monitor, 2);
             return Take(port);
         },
         u"COM3 Süd"},
        {"server name",
         [&] {
             com::Bstr info(u"x");
             com::BSTR name = nullptr;
             unit.RmtResMgrUISupport()->GetServerNameText(info.get(), &name);
             return Take(name);
         },
         u"Zentrale Köln"},
        {"IP source configuration",
         [&] {
             com::BSTR xml = nullptr;
             host::VARIANT_BOOL ok = 0;
             EXPECT_EQ(unit.SetupUISupport()->GetIPSourceConfig(&xml, &ok), com::S_OK);
             std::u16string text = Take(xml);
             const size_t at = text.find(u"<Name>");
             return at == std::u16string::npos ? text : text.substr(at, text.find(u"</Address>") - at);
         },
         u"<Name>Enc & Co <Süd></Name><GUID>{G}</GUID></IPDevice></IPDevices><IPSources><IPSource ID=\"1\">"
         u"<GUID>{G}</GUID><Address>10.0.0.1 & 2"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.answer(), c.expected) << c.what;

    // A user handler with a non-ASCII ProgID is stored and deleted by it, and
    // the unit can still be written.
    com::Bstr def(u"<CameraHandler/>");
    com::BSTR prog = com::SysAllocString(u"Kamerä.Eigen");
    EXPECT_EQ(unit.CameraControlUISupport()->StoreXMLCameraHandlerDefinition(def.get(), &prog), com::S_OK);
    EXPECT_TRUE(unit.Data()["userHandlerDefinitions"].contains("Kamerä.Eigen"));
    EXPECT_NO_THROW((void)unit.Data().dump());
    EXPECT_EQ(unit.CameraControlUISupport()->DeleteXMLCameraHandlerDefinition(prog), com::S_OK);
    com::SysFreeString(prog);
}

}  // namespace
