// The mixer page's rules and the audio data classes on their own.
#include <cstdlib>

#include <gtest/gtest.h>

#include "audio/MixerRules.h"
#include "simulator/UnitData.h"

using namespace audio;
using Mode = CAudioMixerInfo::eMixerRecordMode;

TEST(MixerRules, MeterLightsEveryLampUpToThePeak) {
    struct Case {
        long peak;
        bool noRecording;
        int lit;  // lamps 0..lit-1 lit, the rest dark
    } cases[] = {{-1, false, 0}, {0, false, 1}, {5, false, 6}, {13, false, 14}, {200, false, 14},
                 {-100000, false, 0}, {13, true, 0}, {0, true, 0}};
    for (const auto& c : cases) {
        auto lamps = MeterLamps(c.peak, c.noRecording);
        for (int i = 0; i < kMeterLamps; ++i) EXPECT_EQ(lamps[i], i < c.lit) << "peak " << c.peak << " lamp " << i;
    }
}

TEST(MixerRules, RecordModeButtonsArrangeTheControls) {
    auto line = ButtonArrangement(CAudioMixerInfo::eRecordLine);
    EXPECT_EQ(line.lineRecordLevel.shown, true);
    EXPECT_EQ(line.lineRecordLevel.enabled, true);
    EXPECT_EQ(line.micRecordLevel.shown, false);
    EXPECT_EQ(line.micBoost.enabled, false);
    EXPECT_EQ(line.micVolume.shown, false);
    EXPECT_FALSE(line.noRecording);

    auto mic = ButtonArrangement(CAudioMixerInfo::eRecordMic);
    EXPECT_EQ(mic.micRecordLevel.enabled, true);
    EXPECT_EQ(mic.micBoost.enabled, true);
    EXPECT_EQ(mic.lineVolume.shown, false);
    EXPECT_EQ(mic.lineRecordLevel.enabled, false);

    auto none = ButtonArrangement(CAudioMixerInfo::eRecordNone);
    EXPECT_TRUE(none.noRecording);
    for (auto* s : {&none.lineRecordLevel, &none.micRecordLevel, &none.lineVolume, &none.micVolume}) {
        EXPECT_EQ(s->shown, true);
        EXPECT_EQ(s->enabled, false);
    }

    // On opening the page without recording only the microphone volume shows.
    auto start = InitialArrangement(CAudioMixerInfo::eRecordNone);
    EXPECT_EQ(start.lineVolume.shown, false);
    EXPECT_EQ(start.micVolume.shown, true);
    EXPECT_EQ(start.micVolume.enabled, false);
    EXPECT_FALSE(start.micBoost.enabled.has_value());
}

TEST(MixerRules, InitialMuteCallsByModeAndLink) {
    using V = std::vector<MuteCall>;
    EXPECT_EQ(InitialMuteCalls(CAudioMixerInfo::eRecordLine, false, false, false),
              (V{{Input::Line, 0}, {Input::Mic, 1}}));
    EXPECT_EQ(InitialMuteCalls(CAudioMixerInfo::eRecordLine, true, true, false), (V{{Input::Line, 1}}));
    EXPECT_EQ(InitialMuteCalls(CAudioMixerInfo::eRecordMic, false, false, true),
              (V{{Input::Mic, 1}, {Input::Line, 1}}));
    EXPECT_EQ(InitialMuteCalls(CAudioMixerInfo::eRecordMic, false, false, false),
              (V{{Input::Mic, 0}, {Input::Line, 1}}));
    EXPECT_EQ(InitialMuteCalls(CAudioMixerInfo::eRecordNone, true, false, false),
              (V{{Input::Line, 1}, {Input::Mic, 1}}));
    EXPECT_EQ(KnownRecordMode(7), CAudioMixerInfo::eRecordNone);
    EXPECT_EQ(KnownRecordMode(2), CAudioMixerInfo::eRecordMic);
}

TEST(AudioInfo, MixerCommitsOnlyOnSave) {
    CAudioMixerInfo m;
    m.SetPlayVolume(80);
    EXPECT_TRUE(m.SetRecordMode(0, CAudioMixerInfo::eRecordMic));
    EXPECT_FALSE(m.SetRecordMode(1, CAudioMixerInfo::eRecordNone));  // one channel only
    EXPECT_EQ(m.GetRecordMode(1), CAudioMixerInfo::eRecordNone);
    EXPECT_TRUE(m.HasUnsavedChanges());
    EXPECT_EQ(m.m_saved.playVolume, 50);
    EXPECT_FALSE(m.SaveSettings(3));
    EXPECT_TRUE(m.SaveSettings(0));
    EXPECT_FALSE(m.HasUnsavedChanges());
    EXPECT_EQ(m.m_saved.playVolume, 80);
    EXPECT_EQ(m.m_nSaveCount, 1);
}

TEST(AudioInfo, AssociationsAreHandedOutAsAFreshArray) {
    CAudioAssocInfo a;
    std::int16_t* values = reinterpret_cast<std::int16_t*>(1);
    EXPECT_EQ(a.GetAudioAssociations(&values), 0);
    EXPECT_EQ(values, nullptr);
    std::int16_t in[20] = {0, -1, 0};
    EXPECT_TRUE(a.SetAudioAssociations(in, 20, 0));  // at most 16 kept
    EXPECT_FALSE(a.SetAudioAssociations(nullptr, 3, 0));
    ASSERT_EQ(a.GetAudioAssociations(&values), 16);
    EXPECT_EQ(values[1], -1);
    values[1] = 5;  // the copy is the caller's
    EXPECT_EQ(a.m_values[1], -1);
    std::free(values);
}

TEST(AudioUnitData, SectionsRoundTripAndTolerateBadEntries) {
    CAudioMixerInfo m;
    m.SetMicVolume(33);
    m.SaveSettings(0);
    m.SetMicVolume(99);  // not saved: the unit keeps 33
    m.m_bLinkedVolumes = true;
    nlohmann::json unit = nlohmann::json::object();
    host::SaveAudioMixerInfo(unit, m);
    EXPECT_EQ(unit["audioMixer"]["micVolume"], 33);
    CAudioMixerInfo back;
    host::LoadAudioMixerInfo(unit, back);
    EXPECT_EQ(back.GetMicVolume(), 33);
    EXPECT_TRUE(back.m_bLinkedVolumes);
    EXPECT_FALSE(back.HasUnsavedChanges());

    auto bad = nlohmann::json::parse(R"({"audioMixer": {"playVolume": "loud", "recordMode": 1e30, "micMute": true},
                                         "audioAssociations": [0, "x", 70000, -1, 1]})");
    CAudioMixerInfo bm;
    host::LoadAudioMixerInfo(bad, bm);
    EXPECT_EQ(bm.GetPlayVolume(), 50);
    EXPECT_EQ(bm.GetRecordMode(0), CAudioMixerInfo::eRecordLine);
    EXPECT_EQ(bm.IsMicMute(), 1);
    CAudioAssocInfo ba;
    host::LoadAudioAssocInfo(bad, ba);
    EXPECT_EQ(ba.m_values, (std::vector<std::int16_t>{0, -1, -1, -1, 1}));

    CAudioAssocInfo none;
    host::LoadAudioAssocInfo(nlohmann::json{{"audioAssociations", "none"}}, none);
    host::LoadAudioMixerInfo(nlohmann::json{{"audioMixer", 3}}, bm);
    EXPECT_TRUE(none.m_values.empty());
}
