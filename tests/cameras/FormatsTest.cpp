// The camera setup's pure logic: CameraControl and PTZTriggerList texts, the
// definition check, pending handler changes, the setup dialog's checks and
// the mask rules of the row pages.
#include <gtest/gtest.h>

#include "cameras/CamControlSetupDlg.h"
#include "cameras/CamCovertPropPage.h"
#include "cameras/CamGainPropPage.h"
#include "cameras/CamTerminationPropPage.h"
#include "cameras/CameraControlXml.h"
#include "cameras/CameraPropPage.h"
#include "cameras/PTZTriggerDefinition.h"
#include "cameras/PendingHandlerChanges.h"
#include "foundation/DebugLog.h"
#include "platform/registry/Registry.h"
#include "resources/Resources.h"

using namespace cameras;

namespace {

TEST(CameraControlXmlTest, WritesOptionalElementsOnlyWhenSet) {
    AssociationList list(2);
    list[0] = {2, "Protocol.1", "COM2", 3, 1};
    list[1] = {4, "Ip.1", "", -1, -1};
    EXPECT_EQ(WriteCameraControlXml(list),
              "<CameraControl>\r\n\t<Associations>\r\n"
              "\t\t<Handler>\r\n\t\t\t<CameraNumber>2</CameraNumber>\r\n\t\t\t<ProgramID>Protocol.1</ProgramID>\r\n"
              "\t\t\t<CameraAddress>3</CameraAddress>\r\n\t\t\t<SerialPort>COM2</SerialPort>\r\n"
              "\t\t\t<MonitorNum>1</MonitorNum>\r\n\t\t</Handler>\r\n"
              "\t\t<Handler>\r\n\t\t\t<CameraNumber>4</CameraNumber>\r\n\t\t\t<ProgramID>Ip.1</ProgramID>\r\n"
              "\t\t\t<MonitorNum>-1</MonitorNum>\r\n\t\t</Handler>\r\n"
              "\t</Associations>\r\n</CameraControl>\r\n");
    EXPECT_EQ(ReadCameraControlXml(WriteCameraControlXml(list)), list);
    EXPECT_EQ(WriteCameraControlXml({}), "<CameraControl>\r\n\t<Associations>\r\n\t</Associations>\r\n</CameraControl>\r\n");
}

TEST(CameraControlXmlTest, ReaderIsLenient) {
    const std::string text =
        "<junk><associations><handler><cameranumber>3</cameranumber><programid>A.1</programid>"
        "<serialport>COM4</serialport><cameraaddress>12abc</cameraaddress><monitornum>x</monitornum></handler>"
        "<Handler><CameraNumber>7</CameraNumber></Handler>"       // no ProgID: dropped
        "<Handler><CameraNumber>16</CameraNumber><ProgramID>B</ProgramID></Handler>"  // camera out of range
        "</associations><Handler><CameraNumber>1</CameraNumber><ProgramID>Outside</ProgramID></Handler>"
        "<ASSOCIATIONS><Unknown>1</Unknown><Handler><CameraNumber>65536</CameraNumber><ProgramID>C</ProgramID>"
        "</Handler></ASSOCIATIONS>";
    auto list = ReadCameraControlXml(text);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (CameraHandlerAssociation{3, "A.1", "COM4", 12, 0}));
    // 65536 travels as a 16-bit number: camera 0.
    EXPECT_EQ(list[1].CameraNumber, 0);
    EXPECT_EQ(list[1].ProgramID, "C");
}

TEST(CameraControlXmlTest, NumbersSaturateAsThe32BitLongAndOneSlashEndsATag) {
    // 4294967296 reads as the 32-bit long's largest value, -1 as 16 bits: no
    // camera (a 64-bit reading would wrap it to camera 0).
    auto list = ReadCameraControlXml(
        "<Associations><Handler><CameraNumber>4294967296</CameraNumber><ProgramID>Wrap</ProgramID></Handler>"
        "<Handler><CameraNumber>2</CameraNumber><ProgramID>A</ProgramID><CameraAddress>-4294967296</CameraAddress>"
        "<MonitorNum>99999999999</MonitorNum></Handler></Associations>");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (CameraHandlerAssociation{2, "A", "", 0, -1})) << "INT32_MIN and INT32_MAX as 16 bits";
    EXPECT_EQ(LeadingInteger("4294967296"), INT32_MAX);
    EXPECT_EQ(LeadingInteger("-4294967296"), INT32_MIN);
    // Only one leading slash is taken off an end tag: "<//Handler>" ends no handler.
    list = ReadCameraControlXml("<Associations><Handler><CameraNumber>1</CameraNumber><ProgramID>A</ProgramID>"
                                "<//Handler></Associations>");
    EXPECT_TRUE(list.empty());
}

TEST(CameraControlXmlTest, HostileTextNeverFails) {
    for (const char* t : {"", "<", "<Associations", "<Associations><Handler><CameraNumber>2", "</Associations>>>",
                          "<Associations a='><Handler b=\"x\"/></Associations>", "\x01\xff<<<>>>"})
        EXPECT_NO_THROW(ReadCameraControlXml(t)) << t;
    EXPECT_TRUE(ReadCameraControlXml("<Associations><Handler><CameraNumber>2").empty());
}

std::string Def(const std::string& alarmCam, int alarms, const std::string& command = "Preset",
                bool withCommandId = true) {
    std::string s = "<PTZTriggerDef><AlarmCameraID>" + alarmCam + "</AlarmCameraID><AlarmCameraName>A</AlarmCameraName>";
    for (int i = 0; i < alarms; ++i) s += "<Alarms><AlarmType>Input</AlarmType></Alarms>";
    s += "<PTZCameraID>5</PTZCameraID><PTZCameraName>P</PTZCameraName><PTZCommand>" + command + "</PTZCommand>";
    if (withCommandId) s += "<PTZCommandID>7</PTZCommandID>";
    return s + "</PTZTriggerDef>";
}

TEST(PTZTriggerListTest, ReadingRules) {
    struct Case {
        std::string text;
        bool ok;
        size_t records;
    } cases[] = {
        {"<PTZTriggerList></PTZTriggerList>", true, 0},
        {"<PTZTriggerList />", true, 0},
        {"", false, 0},
        {"<ptztriggerlist></ptztriggerlist>", false, 0},  // names are case-sensitive
        {"<PTZTriggerList>" + Def("1", 1), false, 0},      // never closed
        {"<PTZTriggerList>" + Def("1", 4) + "</PTZTriggerList>", true, 1},
        {"<PTZTriggerList>" + Def("1", 5) + "</PTZTriggerList>", false, 0},
        {"<PTZTriggerList>" + Def("1", 0) + "</PTZTriggerList>", false, 0},
        {"<PTZTriggerList>" + Def("1", 1) + Def("2", 1, "Preset", false) + "</PTZTriggerList>", false, 0},
        {"<PTZTriggerList><PTZTriggerDef><Alarms><AlarmName>x</AlarmName></Alarms></PTZTriggerDef></PTZTriggerList>",
         false, 0},
        {"<x/><PTZTriggerList><Other>1</Other>" + Def("1", 2) + "</PTZTriggerList><after>", true, 1},
    };
    for (const auto& c : cases) {
        PTZTriggerListDocument doc;
        EXPECT_EQ(doc.Read(c.text), c.ok) << c.text;
        EXPECT_EQ(doc.Records().size(), c.records) << c.text;
    }
}

TEST(PTZTriggerListTest, NumbersKeepTheirFieldWidth) {
    EXPECT_EQ(PTZNumber("0x0A"), 10u);
    EXPECT_EQ(PTZNumber("010"), 8u);
    EXPECT_EQ(PTZNumber("  12abc"), 12u);
    EXPECT_EQ(PTZNumber(std::string(32, '1')), 0u);
    EXPECT_EQ(PTZNumber("4294967296"), 4294967295u) << "the 32-bit unsigned long saturates";
    EXPECT_EQ(PTZNumber("-1"), 4294967295u);
    PTZTriggerListDocument doc;
    ASSERT_TRUE(doc.Read("<PTZTriggerList>" + Def("300", 1) + Def("0x0A", 1) + Def("4294967296", 1) +
                         "</PTZTriggerList>"));
    EXPECT_EQ(doc.Records()[0]->AlarmCameraID.value, 44);
    EXPECT_EQ(doc.Records()[1]->AlarmCameraID.value, 10);
    EXPECT_EQ(doc.Records()[2]->AlarmCameraID.value, 255) << "low 8 bits of the saturated value";
}

TEST(PTZTriggerListTest, RecordsToDefinitions) {
    reg::UseMemory();
    std::vector<std::string> logged;
    DebugLoggerDLL::SetSink([&](const std::string& l) { logged.push_back(l); });
    PTZTriggerListDocument doc;
    ASSERT_TRUE(doc.Read("<PTZTriggerList>"
                         "<PTZTriggerDef><AlarmCameraID>2</AlarmCameraID><AlarmCameraName>ABCDEFGHIJKLM</AlarmCameraName>"
                         "<Alarms><AlarmType>filter</AlarmType></Alarms><Alarms><AlarmType>VIDEOLOSS</AlarmType></Alarms>"
                         "<Alarms><AlarmType>Smoke</AlarmType></Alarms><PTZCameraID>5</PTZCameraID>"
                         "<PTZCameraName>P</PTZCameraName><PTZCommand>preset</PTZCommand><PTZCommandID>12</PTZCommandID>"
                         "</PTZTriggerDef>" +
                         Def("1", 1, "Zoom") + Def("3", 1, "PATTERN") + "</PTZTriggerList>"));
    std::vector<PTZTriggerDefinition> defs;
    RecordsToDefinitions(doc, defs);
    DebugLoggerDLL::SetSink(nullptr);
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[0].AlarmCameraName(), "ABCDEFGHIJ");
    EXPECT_TRUE(defs[0].Filter() && defs[0].VideoLoss());
    EXPECT_FALSE(defs[0].Input() || defs[0].Generated());
    EXPECT_EQ(defs[0].ActionType(), 0);
    EXPECT_EQ(defs[0].ActionValue(), 12u);
    EXPECT_EQ(defs[1].ActionType(), 1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("PTZ Trigger XML contains bad action type. Ignoring this trigger definition."),
              std::string::npos);
}

TEST(PTZTriggerListTest, WritesDefinitionsInTheDocumentOrder) {
    PTZTriggerDefinition d;
    d.SetAlarmCameraID(2);
    d.SetAlarmCameraName("Till 1");
    d.SetFilter(1);
    d.SetInput(1);
    d.SetPTZCameraID(5);
    d.SetPTZCameraName("Dome");
    d.SetActionValue(7);
    PTZTriggerListDocument doc;
    DefinitionsToRecords({d}, doc);
    EXPECT_EQ(doc.Write(),
              "<PTZTriggerList>\r\n<PTZTriggerDef>\r\n<AlarmCameraID>2</AlarmCameraID>\r\n"
              "<AlarmCameraName>Till 1</AlarmCameraName>\r\n<Alarms>\r\n<AlarmType>Filter</AlarmType>\r\n</Alarms>\r\n"
              "<Alarms>\r\n<AlarmType>Input</AlarmType>\r\n</Alarms>\r\n<PTZCameraID>5</PTZCameraID>\r\n"
              "<PTZCameraName>Dome</PTZCameraName>\r\n<PTZCommand>Preset</PTZCommand>\r\n"
              "<PTZCommandID>7</PTZCommandID>\r\n</PTZTriggerDef>\r\n</PTZTriggerList>\r\n");
    PTZTriggerListDocument back;
    ASSERT_TRUE(back.Read(doc.Write()));
    std::vector<PTZTriggerDefinition> defs;
    RecordsToDefinitions(back, defs);
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0], d);
    PTZTriggerListDocument empty;
    EXPECT_EQ(empty.Write(), "<PTZTriggerList>\r\n</PTZTriggerList>\r\n");
}

TEST(PTZTriggerDefinitionTest, SettersAndCheckOrder) {
    PTZTriggerDefinition d;
    d.SetActionType(1);
    d.SetActionType(7);
    EXPECT_EQ(d.ActionType(), 1);
    d.SetLabelText("0123456789AB");
    EXPECT_EQ(d.LabelText(), "0123456789");

    struct Case {
        int alarm, ptz, filter, input, type;
        unsigned value;
        int code;
    } cases[] = {
        {-1, 2, 0, 0, 0, 1, 3},  // alarm camera before alarm type
        {16, 2, 1, 0, 0, 1, 3},  {2, -1, 1, 0, 0, 1, 4}, {2, 16, 1, 0, 0, 1, 4}, {2, 3, 0, 0, 0, 1, 1},
        {3, 3, 1, 0, 0, 1, 2},   {3, 3, 0, 1, 0, 1, 0},  {1, 2, 0, 1, 0, 96, 0}, {1, 2, 0, 1, 0, 97, 5},
        {1, 2, 0, 1, 1, 63, 0},  {1, 2, 0, 1, 1, 64, 5}, {1, 2, 0, 1, 0, 0, 0},  {1, 2, 0, 1, 0, 0x10001, 5},
    };
    for (const auto& c : cases) {
        PTZTriggerDefinition t;
        t.SetAlarmCameraID(c.alarm);
        t.SetPTZCameraID(c.ptz);
        t.SetFilter(c.filter);
        t.SetInput(c.input);
        t.SetActionType(c.type);
        t.SetActionValue(c.value);
        EXPECT_EQ(CheckDefinition(t), c.code) << c.alarm << " " << c.ptz << " " << c.value;
    }
    EXPECT_EQ(ValidityMessageId(0), 0);
    EXPECT_EQ(ValidityMessageId(1), 160);
    EXPECT_EQ(ValidityMessageId(5), 164);
    EXPECT_EQ(ValidityMessageId(E_MAX_ERROR_CODES), 165);
    EXPECT_EQ(ValidityMessageId(-3), 165);
}

TEST(PendingHandlerChangesTest, ReplayAndInstalledState) {
    EXPECT_TRUE(IsUserDefinedProgId("QllnXmlCameraHandler.User1"));
    EXPECT_FALSE(IsUserDefinedProgId("qllnxmlcamerahandler.User1"));
    EXPECT_FALSE(IsUserDefinedProgId("QllnXmlCameraHandler"));
    PendingChanges p = {{"", "New", "def", 5, eActionAdd},
                        {"Q.1", "Old", "", 2, eActionRemove},
                        {"Q.2", "Kept", "d", 3, eActionUpdate},
                        {"", "Bad", "", 0, 9}};
    auto rows = ReplayPending({{"Old", 2}, {"Kept", 3}, {"Old", 4}}, p);
    EXPECT_EQ(rows, (std::vector<HandlerRow>{{"Kept", 3}, {"Old", 4}, {"New", 5}}));
    EXPECT_FALSE(StillInstalled("Old", p));
    EXPECT_TRUE(StillInstalled("old", p));  // case-sensitive
    p.push_back({"", "Old", "x", 6, eActionAdd});
    EXPECT_TRUE(StillInstalled("Old", p));
}

TEST(CamControlSetupDlgTest, PortOrderAndChecks) {
    res::Install();
    std::vector<std::string> ports = {"COM1", "COM3", "MUX"};
    CCamControlSetupDlg::InsertPortInOrder(ports, "COM2");
    CCamControlSetupDlg::InsertPortInOrder(ports, "COM12");
    EXPECT_EQ(ports, (std::vector<std::string>{"COM1", "COM2", "COM3", "MUX", "COM12"}));

    struct Case {
        bool portCheck;
        const char* port;
        const char* address;
        const char* monitor;
        int opened, msg;
    } cases[] = {
        {true, "COM2", "9999", "1", 1, 0},   {true, "COM2", "0", "1", 1, 103},  {true, "COM2", "12a", "1", 1, 103},
        {true, "COM2", "10000", "1", 1, 103}, {true, "COM2", "", "1", 1, 103},  {true, "COM2", "5", "0", 1, 104},
        {true, "COM2", "5", "10000", 1, 104}, {true, "COM2", "5", "-1", -1, 0}, {true, "COM2", "5", "-2", -1, 104},
        {true, "mux", "5", "3", 1, 0},        {true, "", "5", "3", 1, 102},     {true, "com2", "5", "3", 1, 102},
        {false, "", "5", "3", 1, 0},          {true, "MYCOM", "5", "3", 1, 0},  {true, "COM2", "0009", "3", 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCamControlSetupDlg::Check(c.portCheck, c.port, c.address, c.monitor,
                                             static_cast<std::int16_t>(c.opened)),
                  c.msg)
            << c.port << " " << c.address << " " << c.monitor;
}

TEST(RowPagesTest, MaskRules) {
    CCamTerminationPropPage::Flags stored{};
    stored[10] = 1;
    CCamTerminationPropPage::Selections sel;
    sel.fill(-1);  // hidden rows have no selection
    for (int i = 0; i < 4; ++i) sel[i] = 0;
    sel[2] = 1;
    bool changed = false;
    EXPECT_EQ(CCamTerminationPropPage::BuildMask(sel, stored, 4, changed), 0x0404);
    EXPECT_TRUE(changed);
    sel[2] = 0;
    CCamTerminationPropPage::BuildMask(sel, stored, 4, changed);
    EXPECT_FALSE(changed);

    std::array<int, 16> cov;
    cov.fill(-1);
    CCamCovertPropPage::Flags none{};
    cov[0] = 0;
    cov[1] = 0;
    cov[2] = 1;
    auto o = CCamCovertPropPage::Decide(cov, none, 3);
    EXPECT_EQ(o.mask, 4);  // the hidden fourth row reads as Normal
    EXPECT_EQ(o.messageId, 1067);
    EXPECT_TRUE(o.changed);
    CCamCovertPropPage::Flags was{};
    was[2] = 1;
    cov[2] = 0;
    o = CCamCovertPropPage::Decide(cov, was, 3);
    EXPECT_EQ(o.messageId, 1068);
    EXPECT_EQ(o.mask, 0);

    CCamGainPropPage::Modes modes{};
    modes.fill(1);
    modes[3] = 9;
    std::array<int, 16> g;
    g.fill(1);
    g[1] = 4;
    g[3] = -1;
    std::int32_t mask = 0;
    EXPECT_TRUE(CCamGainPropPage::TakeSelections(g, 4, modes, mask));
    EXPECT_EQ(mask, 0x0A);
    EXPECT_EQ(modes[3], -1);
}

TEST(NameBlockTest, BlockAndCaseInsensitiveChange) {
    CCameraPropPage::Names a, b;
    a[0] = "Lobby";
    a[15] = "Yard";
    const std::string block = CCameraPropPage::BuildNameBlock(a);
    EXPECT_EQ(block.size(), 5u + 1 + 14 + 4 + 1);
    EXPECT_EQ(block.substr(0, 6), std::string("Lobby\0", 6));
    b = a;
    b[0] = "LOBBY";
    EXPECT_FALSE(CCameraPropPage::NamesChanged(b, a));
    b[15] = "Gate";
    EXPECT_TRUE(CCameraPropPage::NamesChanged(b, a));
}

}  // namespace

#include "apps/inspect/Commands.h"

namespace {

TEST(InspectPtzTest, ReadAndCheckReports) {
    const std::string doc =
        "<PTZTriggerList><PTZTriggerDef><AlarmCameraID>2</AlarmCameraID><AlarmCameraName>Till 1</AlarmCameraName>"
        "<Alarms><AlarmType>Filter</AlarmType></Alarms><PTZCameraID>2</PTZCameraID><PTZCameraName>Dome</PTZCameraName>"
        "<PTZCommand>Preset</PTZCommand><PTZCommandID>7</PTZCommandID></PTZTriggerDef>"
        "<PTZTriggerDef><AlarmCameraID>1</AlarmCameraID><AlarmCameraName>A</AlarmCameraName>"
        "<Alarms><AlarmType>Input</AlarmType></Alarms><PTZCameraID>2</PTZCameraID><PTZCameraName>B</PTZCameraName>"
        "<PTZCommand>Pattern</PTZCommand><PTZCommandID>64</PTZCommandID></PTZTriggerDef></PTZTriggerList>";
    EXPECT_EQ(apps::PtzRead(doc), "ok 2\n"
                                  "alarm=2 \"Till 1\" types=Filter ptz=2 \"Dome\" action=Preset 7\n"
                                  "alarm=1 \"A\" types=Input ptz=2 \"B\" action=Pattern 64\n");
    EXPECT_EQ(apps::PtzCheck(doc), "2\n5\n");
    EXPECT_EQ(apps::PtzRead("<PTZTriggerList>"), "failed\n");
    EXPECT_EQ(apps::PtzRead("<PTZTriggerList></PTZTriggerList>"), "ok 0\n");
}

}  // namespace
