// Note players on generated sample waves, and the list operations of staves and players.

#include "general/Services.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

constexpr double A4 = 1.0 / 440.0;

/// Upward zero crossings per second of a mono sound.
double Frequency(const Sound& sound)
{
    const Wave& w = *sound.GetLeftWave();
    int32_t crossings = 0, firstAt = -1, lastAt = -1;
    for (int32_t i = 1; i < w.Values(); ++i)
        if (w[i - 1] < 0 && w[i] >= 0) {
            if (firstAt < 0)
                firstAt = i;
            lastAt = i;
            ++crossings;
        }
    return (crossings - 1) * double(sound.GetSampleFreq()) / (lastAt - firstAt);
}

struct Players : MusicDoc
{
    Players() { waves.Add("sample", SineSound(440.0, 22050)); }

    /// A one-player of kind on the wave caption with FreqUp freqUp.
    TOnePlayer Make(NotePlayerKind kind, double freqUp = 0.0, const char* caption = "sample")
    {
        TOnePlayerProps props(unitFactor(0.5, EHNone), unitFreq(freqUp, EHHZ));
        const unitUnitWave wave(caption);
        switch (kind) {
        case notePlayerSimpleSampler:
            props = SimpleProps(caption, A4, 0.5);
            props.FreqUp.value = freqUp;
            break;
        case notePlayerRollOutSampler: {
            TRollOutSamplerProps p;
            p.SampleWave = wave;
            props.SetRollOutSamplerProps(p);
            break;
        }
        case notePlayerResonantSampler: {
            TResonantSamplerProps p;
            p.SampleWave = wave;
            props.SetResonantSamplerProps(p);
            break;
        }
        case notePlayerRepeatWaveForm:
            props.SetRepeatWaveFormProps(TRepeatWaveFormProps{wave});
            break;
        default:
            props.SetRollOutWaveFormProps(TRollOutWaveFormProps{wave});
            break;
        }
        return TOnePlayer(Group()->GetPlayer(), props);
    }
};

TEST(PlayersTest, SimpleSamplerKeepsTheSampleAtItsOwnPitch)
{
    Players m;
    TOnePlayer player = m.Make(notePlayerSimpleSampler);
    std::unique_ptr<Sound> sound;
    double factor = 0, start = -1, end = -1;
    std::string message;
    AbortFlag abort = 0;
    ASSERT_TRUE(player.GetSound(&abort, {A4, 0.25, 1.0}, sound, factor, message));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->GetValues(), 22050);
    EXPECT_EQ((*sound->GetLeftWave())[1234],
              (*m.waves.FindUnitWave("sample")->GetSound()->GetLeftWave())[1234]);
    EXPECT_DOUBLE_EQ(factor, 0.5);
    ASSERT_TRUE(player.GetOffsets({A4, 0.25, 1.0}, start, end, message));
    EXPECT_DOUBLE_EQ(start, 0.0);
    EXPECT_DOUBLE_EQ(end, 1.0);

    TOnePlayer up = m.Make(notePlayerSimpleSampler, 10.0);
    ASSERT_TRUE(up.GetSound(&abort, {A4, 0.25, 1.0}, sound, factor, message));
    EXPECT_NEAR(Frequency(*sound), 450.0, 1.0);
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(PlayersTest, EveryKindReachesAsFarAsItsOffsetsSay)
{
    const struct
    {
        NotePlayerKind kind;
        double tolerance; // seconds
    } cases[] = {{notePlayerSimpleSampler, 2.0 / 22050},
                 {notePlayerRollOutSampler, 2.0 / 22050},
                 {notePlayerResonantSampler, 1.0 / 22050},
                 {notePlayerRepeatWaveForm, 0.0},
                 {notePlayerRollOutWaveForm, A4}};
    Players m;
    m.waves.FindUnitWave("sample")->SetPart(2205, 4410);
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        TOnePlayer player = m.Make(c.kind);
        std::unique_ptr<Sound> sound;
        double factor = 0, start = -1, end = -1;
        std::string message;
        AbortFlag abort = 0;
        const TPlayRequest request{A4 / 2, 0.5, 2.0};
        ASSERT_TRUE(player.GetSound(&abort, request, sound, factor, message)) << message;
        ASSERT_TRUE(player.GetOffsets(request, start, end, message));
        ASSERT_TRUE(sound);
        // The echoes of the repeated wave form follow the sample, which starts on the note.
        if (c.kind == notePlayerRepeatWaveForm) {
            EXPECT_EQ(start, 0.0);
            EXPECT_EQ(factor, 1.0);
        }
        EXPECT_NEAR(sound->GetValues() / 22050.0, start + end, c.tolerance + 1e-9);
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(PlayersTest, ResonantSamplerStartsAtItsSelectedPart)
{
    Players m;
    m.waves.FindUnitWave("sample")->SetPart(11025, 22050);
    TOnePlayer player = m.Make(notePlayerResonantSampler);
    double start = 0, end = 0;
    std::string message;
    ASSERT_TRUE(player.GetOffsets({A4, 0.25, 1.0}, start, end, message));
    EXPECT_DOUBLE_EQ(start, 0.5);
}

TEST(PlayersTest, EmptySampleAndNegativePeriodAreSilent)
{
    Players m;
    m.waves.Add("empty", std::make_shared<MonoSound>(22050, 2));
    for (NotePlayerKind kind :
         {notePlayerSimpleSampler, notePlayerRollOutSampler, notePlayerResonantSampler,
          notePlayerRepeatWaveForm, notePlayerRollOutWaveForm}) {
        SCOPED_TRACE(int(kind));
        const struct
        {
            const char* caption;
            double freqUp, period;
        } cases[] = {{"empty", 0.0, A4},
                     {"sample", -500.0, A4},
                     // FreqUp cancels the note's frequency exactly: no period at all.
                     {"sample", -512.0, 1.0 / 512}};
        for (const auto& c : cases) {
            TOnePlayer player = m.Make(kind, c.freqUp, c.caption);
            std::unique_ptr<Sound> sound;
            double factor = 0, start = -1, end = -1;
            std::string message;
            AbortFlag abort = 0;
            EXPECT_TRUE(player.GetSound(&abort, {c.period, 0.25, 1.0}, sound, factor, message));
            EXPECT_FALSE(sound);
            EXPECT_TRUE(player.GetOffsets({c.period, 0.25, 1.0}, start, end, message));
            EXPECT_EQ(start, 0.0);
            EXPECT_EQ(end, 0.0);
            EXPECT_EQ(message, "");
        }
    }
    // A wave form is repeated from two values on; one value is no wave form yet.
    for (int16_t values : {1, 2}) {
        m.waves.Add("short", FlatSound(1000, values));
        TOnePlayer player = m.Make(notePlayerRepeatWaveForm, 0.0, "short");
        std::unique_ptr<Sound> sound;
        double factor = 0, start = -1, end = -1;
        std::string message;
        AbortFlag abort = 0;
        EXPECT_TRUE(player.GetSound(&abort, {A4, 0.25, 1.0}, sound, factor, message));
        EXPECT_EQ(sound != nullptr, values == 2) << values;
        EXPECT_TRUE(player.GetOffsets({A4, 0.25, 1.0}, start, end, message));
        EXPECT_EQ(end > 0.0, values == 2) << values;
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(PlayersTest, OneAgainstTwoPlayers)
{
    Players m;
    TCompoundPlayer compound(&m.doc);
    compound.InsertOnePlayer(nullptr, new TOnePlayer(&compound, SimpleProps("sample", A4, 0.3)));
    std::unique_ptr<Sound> one, two;
    double factor = 0, start = 0;
    std::string message;
    AbortFlag abort = 0;
    ASSERT_TRUE(compound.GetSound(&abort, {A4, 0.25, 1.0}, one, factor, start, message));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->GetMonoStereo(), 1);
    EXPECT_EQ(one->GetValues(), 22050);
    EXPECT_DOUBLE_EQ(factor, 0.3);

    m.waves.FindUnitWave("sample")->SetPart(11025, 22050);
    TOnePlayerProps resonant(unitFactor(0.5, EHNone), unitFreq(0.0, EHHZ));
    resonant.SetResonantSamplerProps(TResonantSamplerProps{});
    compound.InsertOnePlayer(compound.GetFirstOnePlayer(), new TOnePlayer(&compound, resonant));
    ASSERT_TRUE(compound.GetSound(&abort, {A4, 0.25, 1.0}, two, factor, start, message));
    ASSERT_TRUE(two);
    double s = 0, e = 0;
    ASSERT_TRUE(compound.GetOffsets({A4, 0.25, 1.0}, s, e, message));
    EXPECT_EQ(two->GetMonoStereo(), 2);
    EXPECT_EQ(two->GetValues(), static_cast<int32_t>(22050 * (s + e) + 1));
    EXPECT_DOUBLE_EQ(start, 0.5);
    EXPECT_DOUBLE_EQ(factor, 1.0);
}

TEST(PlayersTest, MissingSampleWindowFails)
{
    MusicDoc m;
    TOnePlayer player(m.Group()->GetPlayer(), SimpleProps("sample", A4));
    std::unique_ptr<Sound> sound;
    double factor = 0;
    std::string message;
    AbortFlag abort = 0;
    EXPECT_FALSE(player.GetSound(&abort, {A4, 0.25, 1.0}, sound, factor, message));
    EXPECT_EQ(message, "Cannot find window \"sample\".");
    // A group's player says so too, before it makes anything.
    TCompoundPlayer compound(&m.doc);
    compound.InsertOnePlayer(nullptr, new TOnePlayer(&compound, SimpleProps("sample", A4)));
    double start = -1;
    message.clear();
    sound = std::make_unique<MonoSound>(22050, 2); // nothing of it may stay
    EXPECT_FALSE(compound.GetSound(&abort, {A4, 0.25, 1.0}, sound, factor, start, message));
    EXPECT_EQ(message, "Cannot find window \"sample\".");
    EXPECT_FALSE(sound);
}

/// What the model hands the main window's player, as (values, maximised).
struct PlayedSounds final : SoundPlayer
{
    void PlaySound(const Sound& sound, bool maximise) override
    {
        played.push_back({sound.GetValues(), maximise});
    }
    std::vector<std::pair<int32_t, bool>> played;
};

TEST(PlayersTest, AClickedNotePlaysAsItSoundsWhileAutoPlayIsOn)
{
    struct Row
    {
        const char* name;
        uint8_t autoPlay;
        const char* caption;
        bool ok;
        std::vector<std::pair<int32_t, bool>> played;
    };
    const Row rows[] = {
        {"auto play", 1, "sample", true, {{22050, false}}},
        {"auto play off", 0, "sample", true, {}},
        {"no sample window", 1, "gone", false, {}},
    };
    for (const Row& row : rows) {
        MusicDoc m;
        m.waves.Add("sample", SineSound(440.0, 22050));
        PlayedSounds player;
        ScopedService<SoundPlayer> install(&player);
        TMuzNote* note = m.Note(0.0, 5);
        // Sampled at the note's own period, the sample sounds unchanged.
        m.Player().OnePlayerProps = SimpleProps(row.caption, note->GetPeriod());
        m.doc.autoPlay = row.autoPlay;
        EXPECT_EQ(note->PlayNoteSound(1.0), row.ok) << row.name;
        EXPECT_EQ(player.played, row.played) << row.name;
    }
}

TEST(PlayersTest, TwelveSemitonesUpHalveThePeriod)
{
    Players m;
    TMuzNote* note = m.Note(0.0, 5);
    m.Player().OnePlayerProps = SimpleProps("sample", note->GetPeriod());
    for (double transpose : {0.0, 12.0, -12.0, 24.0}) {
        const double scale = std::pow(2.0, -transpose / 12);
        double start = -1, end = -1;
        std::string message;
        ASSERT_TRUE(note->GetSymbolOffsets(transpose, 1.0, message, start, end)) << message;
        EXPECT_DOUBLE_EQ(end, scale) << transpose; // the sample is one second long
        TNoteSound result;
        AbortFlag abort = 0;
        ASSERT_TRUE(note->GetSymbolSound(transpose, 1.0, &abort, message, result)) << message;
        ASSERT_TRUE(result.sound);
        EXPECT_NEAR(result.sound->GetValues(), 22050 * scale, 1.0) << transpose;
    }
}

TEST(PlayersTest, GroupAndPlayerLists)
{
    MusicDoc m;
    TNoteGroup* firstGroup = m.Group();
    auto* second = new TNoteGroup(m.stave, std::make_unique<TCompoundPlayer>(&m.doc), 0, 0, 2);
    m.stave->InsertNoteGroup(nullptr, second);
    EXPECT_EQ(m.stave->GetFirstNoteGroup(), second);
    EXPECT_EQ(m.stave->GetPrevNoteGroup(firstGroup), second);
    EXPECT_EQ(m.stave->GetPrevNoteGroup(second), nullptr);
    ASSERT_TRUE(m.stave->DeleteNoteGroup(second));
    delete second;
    m.messages.Expect();
    EXPECT_FALSE(m.stave->DeleteNoteGroup(firstGroup));
    ASSERT_EQ(m.messages.Shown().size(), 1u);
    EXPECT_EQ(m.messages.Shown()[0].caption, "Assertion failed");
    EXPECT_EQ(m.stave->GetFirstNoteGroup(), firstGroup);

    // The players: neither the only one nor none can be taken out; a taken one is unlinked.
    TCompoundPlayer* players = firstGroup->GetPlayer();
    TOnePlayer* only = players->GetFirstOnePlayer();
    m.messages.Clear();
    m.messages.Expect();
    m.messages.Expect();
    EXPECT_FALSE(players->DeleteOnePlayer(only));
    EXPECT_FALSE(players->DeleteOnePlayer(nullptr));
    EXPECT_EQ(m.messages.Shown().size(), 2u);
    EXPECT_EQ(players->GetFirstOnePlayer(), only);
    auto* middle = new TOnePlayer(players, SimpleProps("b", A4));
    players->InsertOnePlayer(only, middle);
    auto* last = new TOnePlayer(players, SimpleProps("c", A4));
    players->InsertOnePlayer(middle, last);
    EXPECT_TRUE(players->DeleteOnePlayer(middle));
    EXPECT_EQ(only->GetNext(), last);
    EXPECT_EQ(middle->GetNext(), nullptr);
    delete middle;
    EXPECT_TRUE(players->DeleteOnePlayer(only));
    EXPECT_EQ(players->GetFirstOnePlayer(), last);
    EXPECT_EQ(only->GetNext(), nullptr);
    delete only;
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

} // namespace
} // namespace kelvorn::test
