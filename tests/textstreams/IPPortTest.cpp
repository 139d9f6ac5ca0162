#include "tests/support/Harness.h"
#include "textstreams/TextStreamPorts.h"

namespace {

using testing_support::Harness;
using namespace textstreams;

TEST(UsedIpPorts, OwnPortAndProposal) {
    auto l = BuildUsedIpPortList("5101,5100,900", 5100);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].text, "<IP Port 5100>");
    EXPECT_EQ(l.entries[1].text, "IP Port 5101");
    EXPECT_EQ(l.entries[2].text, "IP Port 900");
    EXPECT_EQ(l.own, 0);
    EXPECT_EQ(l.selected, 0);
    EXPECT_FALSE(IsIpPortUsed(l, 5100));
    EXPECT_TRUE(IsIpPortUsed(l, 900));

    EXPECT_EQ(ProposeIpPort(BuildUsedIpPortList("5100,5101", -1)), "5102");
    EXPECT_EQ(ProposeIpPort(BuildUsedIpPortList("", -1)), "5100");
    EXPECT_EQ(ProposeIpPort(BuildUsedIpPortList("65534", -1)), "");
    // Ports are 16-bit: 70636 is 5100.
    EXPECT_EQ(BuildUsedIpPortList("70636", 5100).entries[0].text, "<IP Port 5100>");
}

TEST(UsedIpPorts, PortTextCheck) {
    auto l = BuildUsedIpPortList("5100,6000", 5100);
    struct Case {
        const char* text;
        eIpPortCheck want;
    } cases[] = {
        {"0", eIpPortCheck::OutOfRange},   {"65535", eIpPortCheck::OutOfRange}, {"12a", eIpPortCheck::OutOfRange},
        {"", eIpPortCheck::OutOfRange},    {"-5", eIpPortCheck::OutOfRange},    {"99999999999", eIpPortCheck::OutOfRange},
        {"65534", eIpPortCheck::Ok},       {" 5100 ", eIpPortCheck::Ok},        {"6000", eIpPortCheck::Used},
        {"1", eIpPortCheck::Ok},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckIpPortText(c.text, l), c.want) << c.text;
}

class IPPort : public Harness {
protected:
    nlohmann::json UnitData() override {
        // The unit answers the used ports from its TCP/IP streams.
        auto stream = [](int id, int port) {
            return nlohmann::json{{"Name", "S" + std::to_string(id)}, {"StreamId", id}, {"ConnectionType", 2},
                                  {"IpPort", port}};
        };
        return {{"textStreams", {{"streams", {stream(0, 5100), stream(1, 5101), stream(2, 5100), stream(3, -1)}},
                                 {"networkName", "QUELLAN-01"}, {"ipAddress", "127.0.0.1"}}},
                {"textIPPort", {{"port", -1}}}};
    }
    long Port() { return unit->Data()["textIPPort"]["port"].get<long>(); }
    const std::string kRange = "Invalid value for IP Port.  Please enter a value between 0 and 65535.";
    const std::string kUsed = "Value for IP Port already assigned to another text stream.";
};

TEST_F(IPPort, NewStreamGetsAProposalAndTheSystemInformation) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.GetItemText(1121), "5102");
        EXPECT_EQ(d.GetItemText(1122), "QUELLAN-01");
        EXPECT_EQ(d.GetItemText(1123), "127.0.0.1");
        EXPECT_EQ(d.Item(1124).ItemCount(), 2);
        EXPECT_EQ(d.Caption(), "Quellan Text Stream Setup");
    });
    Script("click 1");
    EXPECT_EQ(Run("ShowTextIPPortSetup").result, 1);
    EXPECT_EQ(Port(), 5102);
    EXPECT_EQ(unit->CallNames(), (std::vector<std::string>{"GetUsedTextIPPorts", "GetNetworkIdentity"}));
}

TEST_F(IPPort, BadAndUsedPortsAreRefusedAndTheDialogStaysOpen) {
    unit->Data()["textIPPort"]["port"] = 5100;
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.GetItemText(1121), "5100");
        EXPECT_EQ(d.Item(1124).ItemText(d.Item(1124).selection), "<IP Port 5100>");
    });
    Script("set 1121 12a\nclick 1\nset 1121 65535\nclick 1\nset 1121 5101\nclick 1\nset 1121 5100\nclick 1");
    EXPECT_EQ(Run("ShowTextIPPortSetup").result, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kRange, kRange, kUsed}));
    EXPECT_EQ(Port(), 5100);
}

TEST_F(IPPort, FailingHostListsLeaveThemEmptyAndCancelIsNotTaken) {
    unit->FailCall("GetUsedTextIPPorts", com::E_FAIL);
    unit->FailCall("GetNetworkIdentity", com::E_FAIL);
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.GetItemText(1121), "5100");
        EXPECT_EQ(d.Item(1124).ItemCount(), 0);
        EXPECT_EQ(d.GetItemText(1122), "");
    });
    Script("click 4\nclick 2");
    EXPECT_EQ(Run("ShowTextIPPortSetup").result, 2);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"78"});
}

}  // namespace
