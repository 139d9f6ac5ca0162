// Reading the host's IPSourceConfig document and the assigned-camera mask.
#include <gtest/gtest.h>

#include "network/IPSourceConfig.h"

namespace {

using namespace network;

const char* kConfig =
    "<IPSourceConfig>\r\n"
    "\t<UnassignedCameras>12</UnassignedCameras>\r\n"
    "\t<IPDevices>\r\n"
    "\t\t<IPDevice><Name>Video Encoder</Name><GUID>{A-1}</GUID></IPDevice>\r\n"
    "\t\t<IPDevice><Extra>x</Extra><GUID>{B-2}</GUID><Name>Dome</Name></IPDevice>\r\n"
    "\t</IPDevices>\r\n"
    "\t<IPSources>\r\n"
    "\t\t<IPSource ID=\"0x1F\"><GUID>{A-1}</GUID><Address>10.0.0.5</Address><Cameras>3,5</Cameras></IPSource>\r\n"
    "\t\t<IPSource ID=\"010\"><Address>10.0.0.6</Address><GUID>{C-3}</GUID><Cameras>1</Cameras></IPSource>\r\n"
    "\t</IPSources>\r\n"
    "</IPSourceConfig>\r\n";

TEST(IPSourceConfigRead, DevicesAndSourcesInDocumentOrder) {
    IPSourceConfig c;
    ASSERT_TRUE(ReadIPSourceConfig(kConfig, c));
    EXPECT_EQ(c.unassignedCameras, 12);
    ASSERT_EQ(c.devices.size(), 2u);
    EXPECT_EQ(c.devices[0].name, "Video Encoder");
    EXPECT_EQ(c.devices[1].guid, "{B-2}");
    EXPECT_EQ(c.devices[1].name, "Dome");
    ASSERT_EQ(c.sources.size(), 2u);
    EXPECT_EQ(c.sources[0].id, 31);  // hexadecimal
    EXPECT_EQ(c.sources[0].address, "10.0.0.5");
    EXPECT_EQ(c.sources[0].cameras, "3,5");
    EXPECT_EQ(c.sources[1].id, 8);  // octal
    EXPECT_EQ(c.sources[1].guid, "{C-3}");
}

TEST(IPSourceConfigRead, TextCutOffBeforeAnEndTagFails) {
    std::string text = kConfig;
    for (const char* cut : {"</IPSourceConfig>", "</IPSources>", "</IPSource>", "</IPDevices>"}) {
        SCOPED_TRACE(cut);
        IPSourceConfig c;
        EXPECT_FALSE(ReadIPSourceConfig(text.substr(0, text.find(cut)), c));
    }
    IPSourceConfig c;
    EXPECT_FALSE(ReadIPSourceConfig("", c));
    EXPECT_FALSE(ReadIPSourceConfig("<Other></Other>", c));
}

TEST(IPSourceConfigRead, NumbersWithAutomaticBase) {
    EXPECT_EQ(ReadConfigNumber("0x1F"), 31);
    EXPECT_EQ(ReadConfigNumber("017"), 15);
    EXPECT_EQ(ReadConfigNumber("42"), 42);
    EXPECT_EQ(ReadConfigNumber(std::string(32, '1')), 0);
    EXPECT_EQ(ReadConfigNumber("x"), 0);
}

TEST(IPSourceConfigRead, CameraMask) {
    struct Case {
        std::vector<std::string> lists;
        std::uint32_t mask;
    } cases[] = {
        {{"3,5"}, 20},
        {{"1", "2,3"}, 7},
        {{"1,,4"}, 1},  // stops at the first empty piece
        {{""}, 0},
        {{"33"}, 1},  // only the low five bits choose the bit
        {{"32"}, 0x80000000u},
    };
    for (const auto& c : cases) {
        std::vector<IPSourceEntry> sources;
        for (const auto& l : c.lists) sources.push_back({"", "", l, 0});
        EXPECT_EQ(AssignedCameraMask(sources), c.mask) << c.lists.front();
    }
}

}  // namespace

namespace {

TEST(IPSourceConfigRead, RowTexts) {
    network::IPSourceConfig c;
    ASSERT_TRUE(network::ReadIPSourceConfig(kConfig, c));
    EXPECT_EQ(network::SourceRowText(c, 0, 0), "Video Encoder");
    EXPECT_EQ(network::SourceRowText(c, 0, 1), "10.0.0.5");
    EXPECT_EQ(network::SourceRowText(c, 0, 2), "3,5");
    EXPECT_EQ(network::SourceRowText(c, 1, 0), "Device GUID not found");
    EXPECT_EQ(network::SourceRowText(c, 2, 0), "Invalid Source Row 2");
}

}  // namespace
