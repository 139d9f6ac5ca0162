// The audio setup as the operator drives it through ShowAudio, and the level
// meter fed through UpdateLevelMeter (also from another thread).
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "component/SetupSheetDlg.h"
#include "util/AudioInfo.h"
#include "util/DisplayInfo.h"
#include "tests/support/Harness.h"

using nlohmann::json;

namespace {

enum {
    kPlay = 1403, kPlayMute = 1404, kLine = 1406, kLineMute = 1407, kMic = 1408, kMicMute = 1409,
    kNone = 1411, kRecLine = 1412, kRecMic = 1413, kLineRec = 1414, kMicRec = 1415, kBoost = 1416, kLamp0 = 1421,
    kAssoc1 = 1510,
};

class AudioSheet : public testing_support::Harness {
protected:
    json UnitData() override { return data; }
    void Unit(const json& more) {
        if (more.is_object()) data.merge_patch(more);
        unit = std::make_unique<host::SimulatedUnit>(data);
    }
    // Runs ShowAudio on the test's own host objects.
    int RunAudio() {
        setupUI = apps::CreateSetupUI();
        std::int16_t result = -1;
        hr = setupUI->ShowAudio(unit->SetupUISupport(), 0, 0, reinterpret_cast<std::int32_t*>(&assoc),
                                reinterpret_cast<std::int32_t*>(&mixer), &result);
        return result;
    }
    static ui::PropertyPage& Active(ui::Dialog& frame) {
        return *static_cast<CSetupSheetDlg&>(frame).Sheet()->ActivePage();
    }
    static int LitLamps(ui::Dialog& frame) {
        auto& page = *static_cast<CSetupSheetDlg&>(frame).Sheet()->Page(0);
        int lit = 0;
        for (int i = 0; i < 14; ++i) {
            bool on = page.IsTicked(kLamp0 + i);
            if (on) {
                EXPECT_EQ(lit, i) << "lamps must light from the lowest up";
            }
            lit += on;
        }
        return lit;
    }
    void Level(std::int32_t peak) {
        std::int16_t bVal = 123;
        EXPECT_EQ(setupUI->UpdateLevelMeter(peak, &bVal), com::S_OK);
        EXPECT_EQ(bVal, 123);
    }

    json data = json::object();
    CAudioMixerInfo mixer;
    CAudioAssocInfo assoc;
    com::ComPtr<mirelle::ISetupUI> setupUI;
    com::HRESULT hr = com::S_OK;
};

TEST_F(AudioSheet, OpensWithTheStoredLevelsAndTheRecordModeArrangement) {
    struct Case {
        CAudioMixerInfo::eMixerRecordMode mode;
        int ticked;
        bool lineShown, micShown, micEnabled, lineRecEnabled, micRecShown, micRecEnabled;
    } cases[] = {
        {CAudioMixerInfo::eRecordLine, kRecLine, true, false, true, true, false, false},
        {CAudioMixerInfo::eRecordMic, kRecMic, false, true, true, false, true, true},
        {CAudioMixerInfo::eRecordNone, kNone, false, true, false, false, true, false},
    };
    for (const auto& c : cases) {
        mixer = CAudioMixerInfo{};
        mixer.SetPlayVolume(70);
        mixer.SetLineVolume(60);
        mixer.SetMicVolume(40);
        mixer.SetPlayMuteState(1);
        mixer.SetMicBoostState(0, 1);
        mixer.SetLineRecordLevel(0, 25);
        mixer.SetMicRecordLevel(0, 35);
        mixer.SetRecordMode(0, c.mode);
        Then([&](ui::Dialog& d) {
            auto& p = Active(d);
            EXPECT_EQ(p.Item(kPlay).pos, 70);
            EXPECT_EQ(p.Item(kLine).pos, 60);
            EXPECT_EQ(p.Item(kMic).pos, 40);
            EXPECT_TRUE(p.IsTicked(kPlayMute));
            EXPECT_TRUE(p.IsTicked(kBoost));
            EXPECT_EQ(p.Item(kLineRec).pos, 25);
            EXPECT_EQ(p.Item(kMicRec).pos, 35);
            EXPECT_TRUE(p.IsTicked(c.ticked));
            EXPECT_EQ(p.Item(kLine).visible, c.lineShown);
            EXPECT_EQ(p.Item(kLineMute).visible, c.lineShown);
            EXPECT_EQ(p.Item(kMic).visible, c.micShown);
            EXPECT_EQ(p.Item(kMic).enabled, c.micEnabled);
            EXPECT_EQ(p.Item(kLineRec).enabled, c.lineRecEnabled);
            EXPECT_EQ(p.Item(kMicRec).visible, c.micRecShown);
            EXPECT_EQ(p.Item(kMicRec).enabled, c.micRecEnabled);
        });
        Script("click 2");
        unit->ClearCalls();
        EXPECT_EQ(RunAudio(), 2);
        // Without the host's own mixer the page mutes the inputs not recorded.
        std::vector<std::string> expected =
            c.mode == CAudioMixerInfo::eRecordLine  ? std::vector<std::string>{"SetLiveLineMute 0 0", "SetLiveMicMute 1 0"}
            : c.mode == CAudioMixerInfo::eRecordMic ? std::vector<std::string>{"SetLiveMicMute 0 0", "SetLiveLineMute 1 0"}
                                                    : std::vector<std::string>{"SetLiveLineMute 1 0", "SetLiveMicMute 1 0"};
        EXPECT_EQ(Changes(), expected);
        // Cancel writes nothing into the mixer information.
        EXPECT_EQ(mixer.m_nSaveCount, 0);
    }
}

TEST_F(AudioSheet, MissingDataObjectsAreEditedAsLocalDefaultsNotRefused) {
    Unit({});
    setupUI = apps::CreateSetupUI();
    std::string caption;
    Then([&](ui::Dialog& frame) {
        caption = frame.Caption();
        EXPECT_NE(dynamic_cast<CSetupSheetDlg*>(&frame), nullptr) << "the audio sheet, not a \"not available\" box";
    });
    Script("click 1");
    std::int16_t result = -1;
    hr = setupUI->ShowAudio(unit->SetupUISupport(), 0, 0, nullptr, nullptr, &result);
    EXPECT_EQ(hr, com::S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "Quellan Audio Setup");
}

TEST_F(AudioSheet, WithTheHostsMixerNoMuteStatesAreSentOnOpening) {
    Unit({{"localMode", 1}});
    Script("click 2");
    RunAudio();
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(CallsNamed("GetLocalMode").size(), 1u);
}

TEST_F(AudioSheet, RecordModeButtonsRearrangeAndTellTheHost) {
    Unit({{"localMode", 1}});
    mixer.SetMicMuteState(1);
    Script("click 1411");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        for (int id : {kLineRec, kMicRec, kLine, kLineMute, kMic, kMicMute}) {
            EXPECT_TRUE(p.Item(id).visible) << id;
            EXPECT_FALSE(p.Item(id).enabled) << id;
        }
        EXPECT_FALSE(p.Item(kBoost).enabled);
    });
    Script("click 1413");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        for (int id : {kMicRec, kMic, kMicMute, kBoost}) EXPECT_TRUE(p.Item(id).visible && p.Item(id).enabled) << id;
        for (int id : {kLineRec, kLine, kLineMute}) EXPECT_FALSE(p.Item(id).visible || p.Item(id).enabled) << id;
    });
    Script("click 1412");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        for (int id : {kLineRec, kLine, kLineMute}) EXPECT_TRUE(p.Item(id).visible && p.Item(id).enabled) << id;
        for (int id : {kMicRec, kMic, kMicMute}) EXPECT_FALSE(p.Item(id).visible || p.Item(id).enabled) << id;
        EXPECT_FALSE(p.Item(kBoost).enabled);
    });
    Script("click 1407\nclick 2");
    RunAudio();
    EXPECT_EQ(Changes(), (std::vector<std::string>{"SetLiveRecordMode 0 1 0 0", "SetLiveRecordMode 2 1 0 0",
                                                   "SetLiveRecordMode 1 1 0 0", "SetLiveLineMute 1 0"}));
}

TEST_F(AudioSheet, LiveControlsReachTheHostAtOnce) {
    Unit({{"localMode", 1}});
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordMic);
    Script("slide 1403 90\nclick 1404\nslide 1408 20\nclick 1409\nclick 1416\nslide 1415 77\nclick 2");
    RunAudio();
    EXPECT_EQ(Changes(), (std::vector<std::string>{"SetLivePlayVolume 90 0", "SetLivePlayMute 1 0",
                                                   "SetLiveMicVolume 20 0", "SetLiveMicMute 1 0",
                                                   "SetLiveMicBoost 1 0", "SetLiveMicRecordLevel 77 0"}));
    // With the host's mixer the record level is stored at once; nothing else
    // changes before apply, and nothing is saved on Cancel.
    EXPECT_EQ(mixer.GetMicRecordLevel(0), 77);
    EXPECT_EQ(mixer.GetPlayVolume(), 50);
    EXPECT_EQ(mixer.m_nSaveCount, 0);
    auto live = unit->Data()["audioLive"];
    EXPECT_EQ(live["playVolume"], 90);
    EXPECT_EQ(live["micMute"], 1);
}

TEST_F(AudioSheet, RecordLevelWaitsForApplyWithoutTheHostsMixer) {
    Script("slide 1414 12\nclick 2");
    RunAudio();
    EXPECT_EQ(mixer.GetLineRecordLevel(0), 50);
    EXPECT_EQ(CallsNamed("SetLiveLineRecordLevel"), std::vector<std::string>{"12 0"});
}

TEST_F(AudioSheet, LinkedVolumesMoveTogetherAndApplyOneValue) {
    mixer.m_bLinkedVolumes = true;
    mixer.SetLineVolume(30);
    mixer.SetMicVolume(90);
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordNone);
    Then([](ui::Dialog& d) { EXPECT_EQ(Active(d).Item(kMic).pos, 30); });
    Script("click 1412\nslide 1406 64");
    Then([](ui::Dialog& d) { EXPECT_EQ(Active(d).Item(kMic).pos, 64); });
    Script("click 1413\nslide 1408 41");
    Then([](ui::Dialog& d) { EXPECT_EQ(Active(d).Item(kLine).pos, 41); });
    Script("click 1");
    unit->ClearCalls();
    EXPECT_EQ(RunAudio(), 1);
    EXPECT_EQ(CallsNamed("SetLiveLineVolume"), (std::vector<std::string>{"64 0", "41 0"}));
    EXPECT_TRUE(CallsNamed("SetLiveMicVolume").empty());
    EXPECT_EQ(mixer.m_saved.lineVolume, 41);
    EXPECT_EQ(mixer.m_saved.micVolume, 41);
}

TEST_F(AudioSheet, ApplyWritesEveryControlAndSaves) {
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordLine);
    Script("slide 1403 10\nclick 1404\nslide 1406 20\nclick 1407\nslide 1414 30\nclick 1413\nslide 1408 40\n"
           "slide 1415 50\nclick 1416\nclick 1409\nclick 1");
    EXPECT_EQ(RunAudio(), 1);
    const auto& s = mixer.m_saved;
    EXPECT_EQ(s.playVolume, 10);
    EXPECT_EQ(s.playMute, 1);
    EXPECT_EQ(s.lineVolume, 20);
    EXPECT_EQ(s.lineMute, 1);
    EXPECT_EQ(s.lineRecordLevel, 30);
    EXPECT_EQ(s.micVolume, 40);
    EXPECT_EQ(s.micRecordLevel, 50);
    EXPECT_EQ(s.micBoost, 1);
    EXPECT_EQ(s.micMute, 1);
    EXPECT_EQ(s.recordMode, CAudioMixerInfo::eRecordMic);
    EXPECT_EQ(mixer.m_nSaveCount, 1);
    EXPECT_FALSE(mixer.HasUnsavedChanges());
}

TEST_F(AudioSheet, OKReachesTheUnitFileAndCancelDoesNot) {
    Unit({{"audioMixer", {{"playVolume", 70}, {"recordMode", 1}}}, {"audioAssociations", {0, -1, -1}}});
    Script("slide 1403 15\nclick 2");
    Run("ShowAudio");
    EXPECT_EQ(unit->Data()["audioMixer"]["playVolume"], 70);
    EXPECT_EQ(unit->Data()["audioLive"]["playVolume"], 15);  // heard at once, not kept
    EXPECT_EQ(unit->Data()["audioAssociations"], json({0, -1, -1}));

    Script("slide 1403 15\npage Camera Associations\ntick 1511 1\nclick 1");
    Run("ShowAudio");
    EXPECT_EQ(unit->Data()["audioMixer"]["playVolume"], 15);
    auto a = unit->Data()["audioAssociations"];
    ASSERT_EQ(a.size(), 16u);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], -1);
    EXPECT_EQ(a[15], -1);  // not given by the library: not associated
}

TEST_F(AudioSheet, AssociationsShowNamesAndWriteBackAllSixteen) {
    Unit({{"cameraCount", 8},
          {"cameras", json::array({{{"name", "Door"}}, {{"name", "x"}, {"valid", false}}})}});
    std::int16_t stored[16] = {0, 1, -1, 0, 0, 0, 0, 0, 0, 7, -1, 0, 0, 0, 0, 0};
    assoc.SetAudioAssociations(stored, 16, 0);
    Script("page Camera Associations");
    Then([](ui::Dialog& d) {
        auto& p = Active(d);
        EXPECT_EQ(p.GetItemText(kAssoc1), "Door");
        EXPECT_EQ(p.GetItemText(kAssoc1 + 1), "Camera 2");  // not valid: the template text stays
        EXPECT_TRUE(p.IsTicked(kAssoc1));
        EXPECT_FALSE(p.IsTicked(kAssoc1 + 1));  // a stored 1 shows unchecked
        for (int i = 0; i < 16; ++i) EXPECT_EQ(p.Item(kAssoc1 + i).visible, i < 8) << i;
    });
    Script("tick 1510 0\ntick 1512 1\nclick 4\nclick 1");
    EXPECT_EQ(RunAudio(), 1);
    std::vector<std::int16_t> expected = {-1, -1, 0, 0, 0, 0, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0};
    EXPECT_EQ(assoc.m_values, expected);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"91"});
}

TEST_F(AudioSheet, AssociationPageNeverShownWritesNothing) {
    std::int16_t stored[3] = {0, 5, 0};
    assoc.SetAudioAssociations(stored, 3, 0);
    Script("click 4\nclick 1");
    EXPECT_EQ(RunAudio(), 1);
    EXPECT_EQ(assoc.m_values, (std::vector<std::int16_t>{0, 5, 0}));
    EXPECT_EQ(mixer.m_nSaveCount, 1);
    EXPECT_EQ(CallsNamed("ShowHelp"), std::vector<std::string>{"90"});
}

TEST_F(AudioSheet, FailingLiveCallsLeaveThePageWorking) {
    unit->FailCall("SetLivePlayVolume", com::E_FAIL);
    Script("slide 1403 5\nslide 1403 200\nclick 1");
    EXPECT_EQ(RunAudio(), 1);
    EXPECT_EQ(hr, com::S_OK);
    EXPECT_EQ(mixer.m_saved.playVolume, 100);  // the slider stops at its range
    EXPECT_EQ(CallsNamed("SetLivePlayVolume"), (std::vector<std::string>{"5 0", "100 0"}));
}

TEST_F(AudioSheet, HostSystemObjectMissingRaisesEPointer) {
    unit->FailCreate(host::CLSID_HostSystemObject, com::E_FAIL);
    Script("click 1");
    RunAudio();
    EXPECT_EQ(hr, com::E_POINTER);
}

// ---- level meter ----------------------------------------------------------------

TEST_F(AudioSheet, LevelMeterFollowsThePeak) {
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordLine);
    Then([&](ui::Dialog&) { Level(0); });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 1); });
    Then([&](ui::Dialog&) { Level(-1); });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 0); });
    Then([&](ui::Dialog&) { Level(6); });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 7); });
    Then([&](ui::Dialog&) { Level(99); });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 14); });
    // Without recording the meter goes and stays dark.
    Script("click 1411");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 0); });
    Then([&](ui::Dialog&) { Level(13); });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 0); });
    Script("click 2");
    RunAudio();
}

TEST_F(AudioSheet, LevelMeterWithNoAudioSheetOpenDoesNothing) {
    setupUI = apps::CreateSetupUI();
    Level(5);
    // Nor while another setup is open.
    Then([&](ui::Dialog&) { Level(5); });
    Script("click 2");
    std::int16_t r = 0;
    CDisplayInfo info;
    setupUI->ShowDisplay(unit->SetupUISupport(), 0, 0, reinterpret_cast<std::int32_t*>(&info), &r);
    EXPECT_EQ(r, 2);
}

// The host feeds the meter from its own audio thread while the dialog's
// thread keeps dispatching.
TEST_F(AudioSheet, AudioLevelMeterFromAnotherThread) {
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordMic);
    std::thread feeder;
    std::atomic<bool> done{false};
    Then([&](ui::Dialog&) {
        feeder = std::thread([&] {
            for (int i = 0; i < 2000; ++i) {
                std::int16_t bVal = 7;
                setupUI->UpdateLevelMeter(i % 14, &bVal);
            }
            std::int16_t bVal = 7;
            setupUI->UpdateLevelMeter(9, &bVal);
            done = true;
        });
    });
    Then([&](ui::Dialog& d) {
        // Dispatch on the dialog's thread while the feeder posts.
        auto queue = ui::ThreadQueue();
        while (!done) {
            queue->Pump();
            (void)LitLamps(d);
        }
        feeder.join();
    });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 10); });
    Script("click 1");
    EXPECT_EQ(RunAudio(), 1);
    if (feeder.joinable()) feeder.join();
}

}  // namespace

// A nested ShowAudio finds the audio slot taken and is refused; the meter
// still reaches the sheet that is open.
TEST_F(AudioSheet, RefusedNestedShowAudioKeepsTheMeterOnTheOpenSheet) {
    mixer.SetRecordMode(0, CAudioMixerInfo::eRecordLine);
    Then([&](ui::Dialog&) {
        CAudioMixerInfo otherMixer;
        CAudioAssocInfo otherAssoc;
        std::int16_t nested = -1;
        EXPECT_EQ(setupUI->ShowAudio(unit->SetupUISupport(), 0, 0, reinterpret_cast<std::int32_t*>(&otherAssoc),
                                     reinterpret_cast<std::int32_t*>(&otherMixer), &nested),
                  com::S_OK);
        EXPECT_EQ(nested, 2);
        Level(6);
    });
    Script("wait");
    Then([](ui::Dialog& d) { EXPECT_EQ(LitLamps(d), 7); });
    Script("click 1");
    EXPECT_EQ(RunAudio(), 1);
}
