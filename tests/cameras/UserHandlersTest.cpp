// The User-Defined Handlers page: choosing definition files, pending
// changes and their commit on apply.
#include "tests/cameras/CameraFixture.h"

#include <filesystem>
#include <fstream>

#include "foundation/FileDlg.h"

namespace {

using namespace camtest;

class UserHandlers : public CameraTest {
protected:
    void SetUp() override {
        CameraTest::SetUp();
        m_dir = std::filesystem::temp_directory_path() /
                ("mirelle-udh-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        mirelle::SetFloppyDiskCheck(nullptr);
        std::filesystem::remove_all(m_dir);
        CameraTest::TearDown();
    }
    std::string File(const std::string& name, const std::string& text) {
        auto p = (m_dir / name).string();
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    std::string Definition(const std::string& displayName, const std::string& extra = "") {
        return "<CameraHandler>\r\n<DisplayName>" + displayName + "</DisplayName>\r\n" + extra + "</CameraHandler>\r\n";
    }
    // Operator: Add / Update, then choose path in the host's file browser.
    std::string AddFile(const std::string& path) { return "click 1560\nset 9302 " + path + "\nclick 1\n"; }
    std::vector<std::string> Rows(ui::Dialog& d) {
        std::vector<std::string> out;
        auto& list = Page(d).Item(kUdhList);
        for (int i = 0; i < list.ItemCount(); ++i) out.push_back(list.ItemText(i));
        return out;
    }
    std::filesystem::path m_dir;
};

TEST_F(UserHandlers, ListShowsOnlyUserDefinedHandlers) {
    Script("page User-Defined Handlers");
    Then([&](ui::Dialog& d) {
        EXPECT_EQ(Rows(d), std::vector<std::string>{"Dome"});
        EXPECT_EQ(Page(d).Item(kUdhList).ItemData(0), 2);
        EXPECT_FALSE(Page(d).Item(kUdhRemove).enabled);
    });
    Script("select 1562 0");
    Then([](ui::Dialog& d) { EXPECT_TRUE(Page(d).Item(kUdhRemove).enabled); });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_TRUE(Changes().empty());
}

TEST_F(UserHandlers, PermanentHandlerNameIsRefused) {
    const auto path = File("protocol.xml", Definition("protocol d"));
    Script("page User-Defined Handlers\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "The name \"protocol d\" is already used by a permanent handler and cannot be used by a "
                              "User Defined Handler. Change the value of <DisplayName> in your handler file and try "
                              "again."});
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(CallsNamed("HostFileBrowser.SetFileDefaults"), std::vector<std::string>{"1 0 \"*.*\" \"*.*\""});
    EXPECT_EQ(CallsNamed("HostFileBrowser.SetFileMustExist"), std::vector<std::string>{"1"});
    EXPECT_EQ(CallsNamed("HostFileBrowser.BrowseForFile"), std::vector<std::string>{"1 0 1"});
}

TEST_F(UserHandlers, SameNewFileTwiceReplacesThePendingDefinition) {
    const auto first = File("a.xml", Definition("Speed Dome", "<v>1</v>\r\n"));
    const auto second = File("b.xml", Definition("SPEED DOME", "<v>2</v>\r\n"));
    Script("page User-Defined Handlers\n" + AddFile(first) + "answer yes\n" + AddFile(second));
    Then([&](ui::Dialog& d) { EXPECT_EQ(Rows(d), (std::vector<std::string>{"Dome", "Speed Dome"})); });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Handler name SPEED DOME already used. Replace it?"});
    std::ifstream in(second, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Changes(), (std::vector<std::string>{
                             "StoreXMLCameraHandlerDefinition " + host::Quote(text) + " \"\"",
                             "RegisterCameraHandler \"Speed Dome\" \"QllnXmlCameraHandler.User2\""}));
    EXPECT_EQ(unit->Data()["handlers"].back()["displayName"], "Speed Dome");
    EXPECT_EQ(unit->Data()["userHandlerDefinitions"]["QllnXmlCameraHandler.User2"], text);
}

TEST_F(UserHandlers, NoToTheQuestionRecordsNothing) {
    const auto path = File("a.xml", Definition("Dome"));
    Script("page User-Defined Handlers\nanswer no\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Handler name Dome already used. Replace it?"});
    EXPECT_TRUE(Changes().empty());
}

TEST_F(UserHandlers, UpdateRefreshesTheCamerasUsingTheHandler) {
    unit->Data()["cameraControlXml"] = "<Associations>" + Assoc(1, "QllnXmlCameraHandler.User1", 2, "COM3", 1) +
                                       Assoc(2, "Protocol.D", 3, "COM1", 1) +
                                       Assoc(6, "qllnxmlcamerahandler.user1", 7, "COM3", 1) + "</Associations>";
    const auto path = File("dome.xml", Definition("Dome", "<v>3</v>\r\n"));
    Script("page User-Defined Handlers\nanswer yes\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    auto changes = Changes();
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_NE(changes[0].find("\" \"QllnXmlCameraHandler.User1\""), std::string::npos);
    EXPECT_EQ(changes[1], "RegisterCameraHandler \"Dome\" \"QllnXmlCameraHandler.User1\"");
    EXPECT_EQ(changes[2], "RefreshCameraHandler 1");
    EXPECT_EQ(changes[3], "RefreshCameraHandler 6");
}

TEST_F(UserHandlers, RemovingAPendingAddDropsIt) {
    const auto path = File("new.xml", Definition("Box Cam"));
    Script("page User-Defined Handlers\n" + AddFile(path) + "select 1562 1\nclick 1561");
    Then([&](ui::Dialog& d) { EXPECT_EQ(Rows(d), std::vector<std::string>{"Dome"}); });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_TRUE(Changes().empty());
}

TEST_F(UserHandlers, RemoveThenAddOfTheSameNameCommitsInOrder) {
    const auto path = File("dome2.xml", Definition("Dome"));
    Script("page User-Defined Handlers\nselect 1562 0\nclick 1561");
    Then([&](ui::Dialog& d) { EXPECT_TRUE(Rows(d).empty()); });
    Script(AddFile(path));
    Then([&](ui::Dialog& d) { EXPECT_EQ(Rows(d), std::vector<std::string>{"Dome"}); });
    Script("click 1");
    Run("ShowCameras");
    EXPECT_TRUE(Messages().empty());  // the pending remove makes the name free
    auto changes = Changes();
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0], "UnregisterCameraHandler \"QllnXmlCameraHandler.User1\"");
    EXPECT_EQ(changes[1], "DeleteXMLCameraHandlerDefinition \"QllnXmlCameraHandler.User1\"");
    EXPECT_EQ(changes[2].substr(0, 31), "StoreXMLCameraHandlerDefinition");
    EXPECT_EQ(changes[3].substr(0, 29), "RegisterCameraHandler \"Dome\" ");
}

TEST_F(UserHandlers, HostFailuresDuringApplyAreOnlyLogged) {
    const auto path = File("n.xml", Definition("Box Cam"));
    unit->FailCall("UnregisterCameraHandler", com::E_FAIL);
    unit->FailCall("RegisterCameraHandler", com::E_FAIL);
    Script("page User-Defined Handlers\nselect 1562 0\nclick 1561\n" + AddFile(path) + "click 1");
    EXPECT_EQ(Run("ShowCameras").result, 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(unit->CallNames().back(), "RegisterCameraHandler");
    EXPECT_EQ(CallsNamed("DeleteXMLCameraHandlerDefinition").size(), 1u);
}

TEST_F(UserHandlers, RejectedFileShowsTheComponentsText) {
    const auto path = File("bad.xml", "<Something/>");
    Script("page User-Defined Handlers\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Invalid Camera Definition File. The file is not a camera handler definition.");
    EXPECT_EQ(ui::DefaultMessageBoxes().Shown()[0].caption, "Add User-Defined Camera Handler");
    EXPECT_TRUE(Changes().empty());
}

TEST_F(UserHandlers, MissingHandlerComponentIsReported) {
    unit->FailCreate(host::CLSID_XmlCameraHandler, com::E_FAIL);
    const auto path = File("x.xml", Definition("X"));
    Script("page User-Defined Handlers\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"XML Camera Handler not installed. Unable to install user-defined "
                                                   "handler."});
    EXPECT_EQ(ui::DefaultMessageBoxes().Shown()[0].style, ui::MB_OK | ui::MB_ICONERROR);
}

TEST_F(UserHandlers, UnusableVolumeIsReported) {
    mirelle::SetFloppyDiskCheck([](char drive, int) { return drive == '/' ? 0 : 1; });
    const auto path = File("x.xml", Definition("X"));
    Script("page User-Defined Handlers\n" + AddFile(path) + "click 1");
    Run("ShowCameras");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to initialize volume " + path.substr(0, 2) + "."});
    EXPECT_TRUE(Changes().empty());
}

TEST_F(UserHandlers, BrowserFailureIsRaisedAndCancelChoosesNothing) {
    Script("page User-Defined Handlers\nclick 1560\nclick 2\nclick 1");
    EXPECT_EQ(Run("ShowCameras").result, 1);
    EXPECT_TRUE(Messages().empty());
    unit->FailCall("HostFileBrowser.BrowseForFile", com::E_ACCESSDENIED);
    Script("page User-Defined Handlers\nclick 1560");
    EXPECT_EQ(Run("ShowCameras").hr, com::E_ACCESSDENIED);
    unit->ClearFailures();
    unit->FailCreate(host::CLSID_HostFileBrowser, com::E_FAIL);
    Script("page User-Defined Handlers\nclick 1560");
    EXPECT_EQ(Run("ShowCameras").hr, com::E_POINTER);
}

TEST_F(UserHandlers, LocalModeUsesTheFileDialog) {
    unit->Data()["localMode"] = 1;
    const auto path = File("local.xml", Definition("Local Cam"));
    Script("page User-Defined Handlers\nclick 1560");
    Then([](ui::Dialog& d) {
        auto& f = dynamic_cast<mirelle::CFileDlg&>(d);
        EXPECT_EQ(f.Filter(), "\"Files (*.*)|*.*||\"");
        EXPECT_EQ(f.DefaultExtension(), "Text");
        EXPECT_EQ(f.GetItemText(kFilePath), "*.*");
        EXPECT_EQ(f.Flags(), mirelle::OFN_HIDEREADONLY | mirelle::OFN_FILEMUSTEXIST);
    });
    Script("set 9302 " + path + "\nclick 1\nclick 1");
    Run("ShowCameras");
    EXPECT_TRUE(CallsNamed("HostFileBrowser.BrowseForFile").empty());
    EXPECT_EQ(Changes().back(), "RegisterCameraHandler \"Local Cam\" \"QllnXmlCameraHandler.User2\"");
}

}  // namespace
