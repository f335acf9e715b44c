// The wave side file: the name rule, byte-exact writing, reading back, and files refused with
// the place and reason while the document, its window and the caller's sound stay as they were.

#include "support/Documents.h"

#include "document/wave/SideFile.h"
#include "general/files/SafeFile.h"
#include "platform/test/ScriptedMessages.h"
#include "support/OtherUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvorn::test {
namespace {

const std::string fileHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                             "<!DOCTYPE UnitWave SYSTEM \"UnitWave.dtd\">\n\n";

// A display part with every element away from its default.
TWaveDisplayPart Display()
{
    TWaveDisplayPart d;
    d.SplitPosition = 0.25;
    d.View[1] = TPaneZoom{true, 100, 900};
    d.WaveWindKind = TWaveDisplayPart::waveWindVolume;
    d.WaveViewProps.DrawEnvelope = 1;
    d.WaveViewProps.EnvelopeName = unitUnitWave("drum");
    d.WaveViewProps.FrontKind = frontLeft;
    d.VoldViewProps.UseColorPalette1D = 1;
    TColorPalette1DItem* stop = d.VoldViewProps.ColorPalette1D.Insert(0.5, 0x0000FF);
    stop->SetUseColorAfter(true);
    stop->SetColorAfter(0xFF0000);
    d.VoldViewProps.XResolution.SetValue(800);
    return d;
}

const std::string displayText =
    "  <SplitPosition>0.25</SplitPosition>\n  <View />\n  <View>\n    <Zoom>\n"
    "      <WavePos>100</WavePos>\n      <WavePos>900</WavePos>\n    </Zoom>\n  </View>\n"
    "  <ShowVolume />\n" +
    Indent(Replace(Replace(defaultViewWaveText, "<FrontNone />", "<FrontLeft />"), "</ViewWave>",
                   "  <DrawEnvelope>\n    <EnvelopeName>drum</EnvelopeName>\n"
                   "    <Strength>40 %</Strength>\n  </DrawEnvelope>\n"
                   "</ViewWave>")) +
    Indent(Replace(Replace(Replace(defaultViewVolumeText, "<XResolution>500", "<XResolution>800"),
                           "  <ColorPalette1D>", "  <UseColorPalette1D />\n  <ColorPalette1D>"),
                   "    <EndColor>",
                   "    <ColorPalette1DItem>\n      <Position>50 %</Position>\n"
                   "      <ColorBefore>0000FF</ColorBefore>\n      <UseColorAfter />\n"
                   "      <ColorAfter>FF0000</ColorAfter>\n    </ColorPalette1DItem>\n"
                   "    <EndColor>"));

std::string File(const std::string& selection, const std::string& display = defaultDisplayText,
                 const std::string& emptyWave = "")
{
    return fileHead + "<UnitWave>\n  <Version>8.0</Version>\n" + selection + display + emptyWave +
           "</UnitWave>\n";
}

std::string CursorAt(int position)
{
    return "  <ValueDraw>\n    <Cursor>\n      <WavePos>" + std::to_string(position) +
           "</WavePos>\n    </Cursor>\n  </ValueDraw>\n";
}

std::string PartOf(const std::string& first, const std::string& second)
{
    return "  <ValueDraw>\n    <Part>\n      <WavePos>" + first + "</WavePos>\n      <WavePos>" +
           second + "</WavePos>\n    </Part>\n  </ValueDraw>\n";
}

struct Point
{
    std::string position;
    std::string value;
};

std::string Drawing(const std::vector<Point>& points, const std::string& length = "0.5 s",
                    const std::string& kind = "DrawLinear")
{
    std::string text = "  <UserDraw>\n    <" + kind + " />\n";
    for (const Point& p : points)
        text += "    <DrawPoint>\n      <Position>" + p.position +
                "</Position>\n      <WaveValue>" + p.value + "</WaveValue>\n    </DrawPoint>\n";
    return text + "    <DrawLength>" + length + "</DrawLength>\n  </UserDraw>\n";
}

const std::string stereoEmpty = "  <EmptyWave>\n"
                                "    <Stereo />\n    <SampleFreq>22050</SampleFreq>\n"
                                "    <BytesPerSample>1</BytesPerSample>\n  </EmptyWave>\n";

/// The fixture: a temporary folder, and no box but the announced ones.
class SideFileTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected()[0].text;
    }
    /// Loads the side file name into doc; the result code, message in message.
    int Load(TUnitWave& wave, const std::string& name, SoundPtr& sound, bool flag = false)
    {
        message.clear();
        return wave.LoadShadowFile(dir / name, message, flag, sound);
    }

    TempDir dir{"sidefile"};
    ScriptedMessages messages;
    std::string message;
};

// ---- the name rule ------------------------------------------------------------------------------

TEST(SideFileNameTest, ReplacesAFinalWavOfAnyCaseElseAppends)
{
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {{"song.wav", "song.kvw"},
        {"/home/u/Song.WAV", "/home/u/Song.kvw"}, {"b.WaV", "b.kvw"}, {"v", "v.kvw"},
        {"/home/u/a", "/home/u/a.kvw"}, {"take.wave", "take.wave.kvw"}, {"wav", "wav.kvw"},
        {"x.wav.bak", "x.wav.bak.kvw"}, {"dir.wav/file", "dir.wav/file.kvw"}, {".wav", ".kvw"},
        {"av", "av.kvw"}, {"", ".kvw"}, {"a.mp3", "a.mp3.kvw"}};
    // clang-format on
    for (const auto& [wave, side] : cases) {
        // In a buffer of its own on the heap: a read before the name's first character lands
        // in the allocator's guard zone, which the address sanitizer reports.
        std::string name;
        name.reserve(64);
        name.assign(wave);
        EXPECT_EQ(SideFileName(name), side) << wave;
    }
}

// ---- writing and reading back ---------------------------------------------------------------

TEST_F(SideFileTest, WritesPartAndDisplayByteForByteAndReadsThemBack)
{
    WaveDoc doc(RampMono(1000));
    doc.window.display = Display();
    doc.wave.SetPos1(700);
    doc.wave.SetPos2(200);
    ASSERT_TRUE(doc.wave.SaveShadowFile(dir / "song.wav"));
    const std::string written = ReadFile(dir / "song.kvw");
    EXPECT_EQ(written, File(PartOf("200", "700"), displayText));
    EXPECT_EQ(dir.Count(), 1u);

    // A freshly opened document (both positions 0): the first position gets the larger value.
    WaveDoc again(RampMono(1000));
    SoundPtr sound = again.wave.GetSound();
    ASSERT_EQ(Load(again.wave, "song.kvw", sound, true), 1) << message;
    EXPECT_EQ(again.wave.GetPos1(), 700);
    EXPECT_EQ(again.wave.GetPos2(), 200);
    EXPECT_TRUE(again.window.display == doc.window.display);
    EXPECT_EQ(again.window.viewReads, 1);
    EXPECT_TRUE(again.window.displayFlag);
    EXPECT_EQ(sound, again.wave.GetSound());
    EXPECT_FALSE(again.wave.IsUserDrawing());
    ASSERT_TRUE(again.wave.SaveShadowFile(dir / "copy.wav"));
    EXPECT_EQ(ReadFile(dir / "copy.kvw"), written);

    // Into a document with a part: the part keeps the file's orientation.
    WriteFile(dir / "p.kvw", File(PartOf("10", "20")));
    again.wave.SetPos1(1);
    again.wave.SetPos2(2);
    ASSERT_EQ(Load(again.wave, "p.kvw", sound), 1) << message;
    EXPECT_EQ(again.wave.GetPos1(), 10);
    EXPECT_EQ(again.wave.GetPos2(), 20);
    EXPECT_FALSE(again.window.displayFlag);
}

TEST_F(SideFileTest, ACursorIsWrittenAsCursorAndPositionsAreClamped)
{
    WaveDoc doc(RampMono(100));
    doc.wave.SetCursor(37);
    ASSERT_TRUE(doc.wave.SaveShadowFile(dir / "c.wav"));
    EXPECT_EQ(ReadFile(dir / "c.kvw"), File(CursorAt(37)));

    WriteFile(dir / "far.kvw", File(CursorAt(5000)));
    SoundPtr sound;
    ASSERT_EQ(Load(doc.wave, "far.kvw", sound), 1) << message;
    EXPECT_EQ(doc.wave.GetPos1(), 100);
    EXPECT_EQ(doc.wave.GetPos2(), 100);
    EXPECT_EQ(sound, nullptr);
}

TEST_F(SideFileTest, TheUserDrawingRoundTripsExactly)
{
    WaveDoc doc(RampMono(0, 8000));
    doc.wave.StartUserDrawing(TUnitWave::DrawParabola);
    doc.wave.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{-32767}, 1.0 / 3));
    doc.wave.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{12345}, 0.1));
    doc.wave.SetDrawLength(0.3);
    ASSERT_TRUE(doc.wave.RenderUserDraw());
    ASSERT_TRUE(doc.wave.SaveShadowFile(dir / "d.wav"));
    const std::string written = ReadFile(dir / "d.kvw");
    EXPECT_EQ(
        written,
        File(Drawing(
            {{"0", "0 $"}, {"0.1", "12345 $"}, {"0.3333333333333333", "-32767 $"}, {"1", "0 $"}},
            "0.3 s", "DrawParabola")));

    WaveDoc again(RampMono(2401, 8000));
    SoundPtr sound;
    ASSERT_EQ(Load(again.wave, "d.kvw", sound), 1) << message;
    ASSERT_TRUE(again.wave.IsUserDrawing());
    EXPECT_EQ(again.wave.GetDrawKind(), TUnitWave::DrawParabola);
    EXPECT_EQ(again.wave.GetDrawLength(), 0.3);
    EXPECT_EQ(again.wave.GetDrawNodeCount(), 4);
    const TDrawNode* node = again.wave.GetDrawNodes();
    const std::vector<std::pair<double, int16_t>> expected = {
        {0.0, 0}, {0.1, 12345}, {1.0 / 3, -32767}, {1.0, 0}};
    for (const auto& [position, value] : expected) {
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->GetPosition(), position);
        EXPECT_EQ(node->GetValue(), value);
        node = node->GetNext();
    }
    EXPECT_EQ(again.window.Calls("SetDrawCursor").size(), 1u);
    // Reading does not render: the sound is still the one the .wav gave.
    EXPECT_EQ(again.wave.GetValues(), 2401);
    ASSERT_TRUE(again.wave.SaveShadowFile(dir / "d2.wav"));
    EXPECT_EQ(ReadFile(dir / "d2.kvw"), written);
    // The drawing read back renders the same samples as the one saved.
    ASSERT_TRUE(again.wave.RenderUserDraw());
    EXPECT_EQ(ChannelsOf(*again.wave.GetSound()), ChannelsOf(*doc.wave.GetSound()));

    // A value draw read into a drawing ends it.
    WriteFile(dir / "v.kvw", File(CursorAt(3)));
    ASSERT_EQ(Load(again.wave, "v.kvw", sound), 1) << message;
    EXPECT_FALSE(again.wave.IsUserDrawing());
    EXPECT_EQ(again.wave.GetDrawNodes(), nullptr);
    EXPECT_EQ(again.wave.GetPos1(), 3);
}

TEST_F(SideFileTest, AnEmptyWaveKeepsItsFormat)
{
    WaveDoc doc(std::make_shared<StereoSound>(22050, int16_t{1}));
    ASSERT_TRUE(doc.wave.SaveShadowFile(dir / "e.wav"));
    EXPECT_EQ(ReadFile(dir / "e.kvw"), File(CursorAt(0), defaultDisplayText, stereoEmpty));
    WaveDoc mono(std::make_shared<MonoSound>(11025, int16_t{2}));
    ASSERT_TRUE(mono.wave.SaveShadowFile(dir / "m.wav"));

    struct Case
    {
        const char* file;
        int16_t channels;
        int32_t freq;
        int16_t bytes;
    };
    for (const Case& c : {Case{"e.kvw", 2, 22050, 1}, Case{"m.kvw", 1, 11025, 2}}) {
        WaveDoc again(RampMono(10));
        SoundPtr sound = again.wave.GetSound();
        ASSERT_EQ(Load(again.wave, c.file, sound), 1) << message;
        ASSERT_NE(sound, again.wave.GetSound());
        EXPECT_EQ(sound->GetMonoStereo(), c.channels) << c.file;
        EXPECT_EQ(sound->GetSampleFreq(), c.freq) << c.file;
        EXPECT_EQ(sound->GetBytesPSample(), c.bytes) << c.file;
        EXPECT_EQ(sound->GetValues(), 0);
    }
}

TEST_F(SideFileTest, WithoutAWindowTheDefaultDisplayIsWrittenAndReadAnywayAndCrLfReadsAsLf)
{
    TUnitWave wave("alone", "", RampMono(50));
    wave.SetCursor(5);
    ASSERT_TRUE(wave.SaveShadowFile(dir / "alone"));
    EXPECT_EQ(ReadFile(dir / "alone.kvw"), File(CursorAt(5)));
    WriteFile(dir / "w.kvw", File(CursorAt(7), displayText));
    SoundPtr sound;
    ASSERT_EQ(Load(wave, "w.kvw", sound), 1) << message;
    EXPECT_EQ(wave.GetPos1(), 7);

    // CR LF files read as LF files.
    std::string crlf;
    for (char c : File(PartOf("1", "2"), displayText))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFile(dir / "crlf.kvw", crlf);
    WaveDoc doc(RampMono(10));
    SoundPtr crlfSound;
    ASSERT_EQ(Load(doc.wave, "crlf.kvw", crlfSound), 1) << message;
    EXPECT_TRUE(doc.window.display == Display());
}

// ---- refused files ------------------------------------------------------------------------------

struct Refused
{
    const char* name;
    std::string text; // the whole file
    std::string message;
    std::string windowRefusal = ""; // the window's own reader refuses with this
};

const std::string envelopeNameBlank =
    "unexpected end of element \"EnvelopeName\", expect text, at line 35, column 20.";

class SideFileRefusedTest : public ::testing::TestWithParam<Refused>
{
};

TEST_P(SideFileRefusedTest, ChangesNothingAndSaysWhereAndWhy)
{
    const Refused& c = GetParam();
    ScriptedMessages messages;
    TempDir dir("sidefile-refused");
    WriteFile(dir / "f.kvw", c.text);
    WaveDoc doc(RampMono(100));
    doc.wave.SetPos1(40);
    doc.wave.SetPos2(60);
    doc.window.display = Display();
    doc.window.refusal = c.windowRefusal;
    SoundPtr sound = doc.wave.GetSound();
    const SoundPtr before = sound;
    std::string message;
    EXPECT_EQ(doc.wave.LoadShadowFile(dir / "f.kvw", message, false, sound), 2);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(doc.wave.GetPos1(), 40);
    EXPECT_EQ(doc.wave.GetPos2(), 60);
    EXPECT_FALSE(doc.wave.IsUserDrawing());
    EXPECT_EQ(doc.window.viewReads, c.windowRefusal.empty() ? 0 : 1);
    EXPECT_TRUE(doc.window.display == Display());
    EXPECT_EQ(sound, before);
    EXPECT_TRUE(messages.Shown().empty());
}

// Lines: the file head takes 3, "<UnitWave>" is line 4, "<Version>" line 5, the selection
// starts at line 6. Columns are counted from 1 and point behind the begin tag.
INSTANTIATE_TEST_SUITE_P(
    Files, SideFileRefusedTest,
    ::testing::Values(
        Refused{"CursorNegative", File(CursorAt(-1)),
                "In Cursor WavePos: Value must be positive. At line 8, column 16."},
        Refused{"PartNoNumber", File(PartOf("x", "2")),
                "In Part WavePos 1: Invalid value: \"x\". At line 8, column 16."},
        Refused{"PartSecondNoNumber", File(PartOf("1", "y")),
                "In Part WavePos 2: Invalid value: \"y\". At line 9, column 16."},
        Refused{"PartReversed", File(PartOf("9", "2")),
                "In Part WavePos 2: Value must not be less than Part WavePos 1. At line 9, "
                "column 16."},
        Refused{"NoDrawPoint", File(Drawing({})),
                "In UserDraw: A drawing needs at least two DrawPoints. At line 6, column 13."},
        Refused{"OneDrawPoint", File(Drawing({{"1", "0"}})),
                "In UserDraw: A drawing needs at least two DrawPoints. At line 6, column 13."},
        Refused{"PointsOutOfOrder",
                File(Drawing({{"0", "0"}, {"0.7", "5 $"}, {"0.2", "5 $"}, {"1", "0"}})),
                "In DrawPoint Position: Value must be more than the Position of the DrawPoint "
                "before. At line 17, column 17."},
        Refused{"PointsAtOnePlace",
                File(Drawing({{"0", "0"}, {"0.5", "5 $"}, {"0.5", "6 $"}, {"1", "0"}})),
                "In DrawPoint Position: Value must be more than the Position of the DrawPoint "
                "before. At line 17, column 17."},
        Refused{"LastPointBelowOne", File(Drawing({{"0", "0"}, {"0.999", "5 $"}})),
                "In DrawPoint Position: The last DrawPoint must be at 1. At line 13, column 17."},
        Refused{"PositionAboveOne", File(Drawing({{"0", "0"}, {"1.5", "5 $"}})),
                "In DrawPoint Position: Value must be no more than 1. At line 13, column 17."},
        Refused{"BadWaveValue", File(Drawing({{"0", "0"}, {"1", "loud"}})),
                "In DrawPoint WaveValue: Input has no value. At line 14, column 18."},
        Refused{"DrawLengthTooLong", File(Drawing({{"0", "0"}, {"1", "0"}}, "100000 s")),
                "In DrawLength: Value is too large to count its samples. At line 16, column 17."},
        // The count comes from the empty wave's frequency when the file holds one.
        Refused{"DrawLengthTooLongAtTheFileFrequency",
                File(Drawing({{"0", "0"}, {"1", "0"}}, "3000 s"), defaultDisplayText,
                     Replace(stereoEmpty, "<SampleFreq>22050", "<SampleFreq>1000000")),
                "In DrawLength: Value is too large to count its samples. At line 16, column 17."},
        Refused{"DrawLengthNegative", File(Drawing({{"0", "0"}, {"1", "0"}}, "-1 s")),
                "In DrawLength: Value must be positive. At line 16, column 17."},
        Refused{"BytesPerSampleThree",
                File(CursorAt(0), defaultDisplayText,
                     Replace(stereoEmpty, "<BytesPerSample>1", "<BytesPerSample>3")),
                "In BytesPerSample: Value must be 1 or 2. At line 53, column 21."},
        Refused{"BytesPerSampleZero",
                File(CursorAt(0), defaultDisplayText,
                     Replace(stereoEmpty, "<BytesPerSample>1", "<BytesPerSample>0")),
                "In BytesPerSample: Value must be positive and more than 0. At line 53, column "
                "21."},
        Refused{"SampleFreqZero",
                File(CursorAt(0), defaultDisplayText,
                     Replace(stereoEmpty, "<SampleFreq>22050", "<SampleFreq>0")),
                "In SampleFreq: Value must be positive and more than 0. At line 52, column 17."},
        Refused{"SplitPosition",
                File(CursorAt(0),
                     Replace(defaultDisplayText, "<SplitPosition>0.5", "<SplitPosition>2")),
                "In SplitPosition: Value must be no more than 1. At line 11, column 18."},
        Refused{"ZoomEmpty",
                File(CursorAt(0), Replace(displayText, "<WavePos>900", "<WavePos>100")),
                "In Zoom WavePos 2: Value must be more than Zoom WavePos 1. At line 16, column "
                "16."},
        Refused{"ZoomNegative",
                File(CursorAt(0), Replace(displayText, "<WavePos>100", "<WavePos>-100")),
                "In Zoom WavePos 1: Value must be positive. At line 15, column 16."},
        // Control bytes alone are no name: refused as a blank name is, where the file would
        // otherwise turn the envelope on without one and lose it on the next save.
        Refused{"EnvelopeNameOfControlBytes",
                File(CursorAt(0), Replace(displayText, "<EnvelopeName>drum", "<EnvelopeName>\x13")),
                envelopeNameBlank},
        Refused{
            "EnvelopeNameOfALoneCarriageReturn",
            File(CursorAt(0), Replace(displayText, "<EnvelopeName>drum", "<EnvelopeName>\r\x01")),
            envelopeNameBlank},
        Refused{"EnvelopeNameBlank",
                File(CursorAt(0), Replace(displayText, "<EnvelopeName>drum", "<EnvelopeName>  ")),
                envelopeNameBlank},
        Refused{"NoDisplayPart",
                fileHead + "<UnitWave>\n  <Version>8.0</Version>\n" + CursorAt(0) + "</UnitWave>\n",
                "unexpected end of element \"UnitWave\", expect begin of element "
                "\"SplitPosition\". at line 11, column 11."},
        // The window's own reader has the last word, after every check of the file.
        Refused{"TheWindowRefusesItsPart", File(CursorAt(4)),
                "In SplitPosition: the panes are not there. At line 11, column 18.",
                "In SplitPosition: the panes are not there."}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST_F(SideFileTest, AMissingFileIsRefusedAndAnotherVersionIsAssertedAndReadOn)
{
    WaveDoc doc(RampMono(10));
    SoundPtr sound;
    EXPECT_EQ(Load(doc.wave, "none.kvw", sound), 2);
    EXPECT_FALSE(message.empty());

    WriteFile(dir / "v.kvw",
              Replace(File(CursorAt(4)), "<Version>8.0</Version>", "<Version>9.0</Version>"));
    messages.Expect();
    EXPECT_EQ(Load(doc.wave, "v.kvw", sound), 1) << message;
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_NE(messages.Shown()[0].text.find("\"version == \"8.0\"\"failed!"), std::string::npos)
        << messages.Shown()[0].text;
    EXPECT_EQ(doc.wave.GetPos1(), 4);
}

// ---- through a link ----------------------------------------------------------------------------

// A wave reached through a link is the file the link names: its side file stands beside that
// file, whichever name the wave was saved or opened by.
TEST_F(SideFileTest, ALinkedWaveKeepsItsSideFileBesideTheFileItNames)
{
    namespace fs = std::filesystem;
    const std::string d = dir.path.string();
    fs::create_directory(dir / "takes");
    fs::create_symlink("takes/take.wav", dir / "song.wav"); // names no file yet
    fs::create_symlink("song.wav", dir / "again.WAV");
    fs::create_symlink("loop.wav", dir / "loop.wav");
    for (const char* name : {"/song.wav", "/again.WAV", "/takes/take.wav"})
        EXPECT_EQ(SideFileName(d + name), d + "/takes/take.kvw") << name;
    EXPECT_EQ(SideFileName(d + "/loop.wav"), d + "/loop.kvw");

    WaveDoc doc(RampMono(1000), d + "/song.wav");
    doc.wave.SetPart(200, 700);
    ASSERT_TRUE(doc.wave.SaveAs(d + "/song.wav"));
    // The link stays a link, and nothing is written beside it.
    EXPECT_EQ(fs::read_symlink(dir / "song.wav"), "takes/take.wav");
    EXPECT_EQ(dir.Count(), 4u);
    EXPECT_EQ(ReadFile(dir.path / "takes" / "take.kvw"), File(PartOf("200", "700")));

    // Reverted through the other link, the wave takes its part back from the file's side file.
    WaveDoc again(RampMono(10), d + "/again.WAV");
    std::string failed;
    ASSERT_TRUE(again.wave.Revert(message, failed)) << message;
    const int32_t first = again.wave.GetPos1(), second = again.wave.GetPos2();
    EXPECT_EQ(std::pair(std::min(first, second), std::max(first, second)), std::pair(200, 700));
}

// Saved by root, a user's wave keeps its side file the user's: a new one takes the wave's owner
// and group, one that exists keeps its own.
TEST_F(SideFileTest, ANewSideFileIsTheWavesOwnersAndAnOldOneKeepsItsOwn)
{
    if (!CanActAsOtherUsers())
        GTEST_SKIP() << "only root can give a file to another user";
    namespace fs = std::filesystem;
    const fs::path wave = dir / "s.wav", side = dir / "s.kvw";
    WriteFile(wave, "the user's wave");
    ASSERT_EQ(::chown(wave.c_str(), nobodyUser, nobodyGroup), 0);
    WaveDoc doc(RampMono(10));
    // Whether a side file of a third user's exists before the save; its owner after.
    const std::tuple<bool, std::string> rows[] = {{false, "65534:65534"}, {true, "65533:65532"}};
    for (const auto& [exists, owner] : rows) {
        SCOPED_TRACE(exists);
        fs::remove(side);
        if (exists) {
            WriteFile(side, "old");
            ASSERT_EQ(::chown(side.c_str(), 65533, 65532), 0);
        }
        ASSERT_TRUE(doc.wave.SaveShadowFile(wave));
        struct stat info
        {
        };
        ASSERT_EQ(::stat(side.c_str(), &info), 0);
        EXPECT_EQ(std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid), owner);
    }
}

// ---- failed saves -----------------------------------------------------------------------------

TEST_F(SideFileTest, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    WriteFile(dir / "s.kvw", "old");
    WaveDoc doc(RampMono(10));
    SafeFileWriter::FailAfterBytes(100);
    messages.Expect();
    EXPECT_FALSE(doc.wave.SaveShadowFile(dir / "s.wav"));
    SafeFileWriter::FailAfterBytes(-1);
    ASSERT_EQ(messages.Shown().size(), 1u);
    const ShownMessage box = messages.Shown()[0];
    EXPECT_EQ(box.caption, "FileError");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.text.rfind("Cannot save Wave Shadow File: ", 0), 0u) << box.text;
    const std::string tail = " The Wave is saved correctly.";
    ASSERT_GT(box.text.size(), tail.size());
    EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
    EXPECT_EQ(ReadFile(dir / "s.kvw"), "old");
    EXPECT_EQ(dir.Count(), 1u);
}

TEST_F(SideFileTest, ADrawingItsReaderWouldRefuseIsNotWritten)
{
    WaveDoc doc(RampMono(0));
    doc.wave.StartUserDrawing(TUnitWave::DrawLinear);
    // The end node moved below 1: a file of it would not read back.
    doc.wave.GetDrawNodes()->GetNext()->SetPosition(0.5);
    messages.Expect();
    EXPECT_FALSE(doc.wave.SaveShadowFile(dir / "bad.wav"));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Cannot save Wave Shadow File: In DrawPoint Position: The "
              "last DrawPoint must be at 1. The Wave is saved correctly.");
    EXPECT_EQ(dir.Count(), 0u);
}

TEST_F(SideFileTest, AnUnknownDrawKindIsAssertedAndWrittenAsLinear)
{
    WaveDoc doc(RampMono(3));
    doc.wave.RestoreUserDrawing(7, 0.5);
    doc.wave.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
    doc.wave.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 1.0));
    messages.Expect();
    ASSERT_TRUE(doc.wave.SaveShadowFile(dir / "k.wav"));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_NE(messages.Shown()[0].text.find(
                  "\"DrawKind == DrawLinear || DrawKind == DrawParabola\"failed!"),
              std::string::npos)
        << messages.Shown()[0].text;
    EXPECT_EQ(ReadFile(dir / "k.kvw"), File(Drawing({{"0", "0 $"}, {"1", "0 $"}})));
}

} // namespace
} // namespace kelvorn::test
