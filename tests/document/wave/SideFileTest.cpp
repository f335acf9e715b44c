#include "SideFileTestSupport.h"

#include "general/files/SafeFile.h"
#include "general/values/NoBoxes.h"
#include "general/xml/XMLTestSupport.h"
#include "document/wave/SideFile.h"
#include "document/records/WaveFileProps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::sidefiletest;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;
using kelvorn::xmltest::ReadAll;
using kelvorn::xmltest::TempDir;
using kelvorn::xmltest::WriteAll;

namespace {

const std::string fileHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                             "<!DOCTYPE UnitWave SYSTEM \"UnitWave.dtd\">\n"
                             "\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// Two spaces more in front of every line.
std::string Indent(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart)
            out += "  ";
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

const std::string defaultViewWave = "<ViewWave>\n"
                                    "  <DrawLines />\n"
                                    "  <DistPeriod />\n"
                                    "  <ValuesPerPixel>15</ValuesPerPixel>\n"
                                    "  <UseGrid />\n"
                                    "  <GridColor>808080</GridColor>\n"
                                    "  <CursorColor>FF00FF</CursorColor>\n"
                                    "  <Strength>1</Strength>\n"
                                    "  <SingleColor>000000</SingleColor>\n"
                                    "  <BackgroundColor>FFFFFF</BackgroundColor>\n"
                                    "  <LeftColor>0000FF</LeftColor>\n"
                                    "  <RightColor>808000</RightColor>\n"
                                    "  <FrontNone />\n"
                                    "  <DrawSingle />\n"
                                    "</ViewWave>\n";

const std::string defaultViewVolume = "<ViewVolume>\n"
                                      "  <TimeTop>20 khz</TimeTop>\n"
                                      "  <TimeBottom>20 hz</TimeBottom>\n"
                                      "  <XResolution>500</XResolution>\n"
                                      "  <YResolution>50</YResolution>\n"
                                      "  <YWidth>1</YWidth>\n"
                                      "  <YLog />\n"
                                      "  <SensNormal />\n"
                                      "  <Strength>1.3</Strength>\n"
                                      "  <SingleColor>FFFFFF</SingleColor>\n"
                                      "  <BackgroundColor>000000</BackgroundColor>\n"
                                      "  <LeftColor>0000FF</LeftColor>\n"
                                      "  <RightColor>808000</RightColor>\n"
                                      "  <CursorColor>FF00FF</CursorColor>\n"
                                      "  <ColorPalette1D>\n"
                                      "    <BeginColor>000000</BeginColor>\n"
                                      "    <EndColor>FFFFFF</EndColor>\n"
                                      "  </ColorPalette1D>\n"
                                      "  <DrawSingle />\n"
                                      "</ViewVolume>\n";

const std::string defaultDisplay = "  <SplitPosition>0.5</SplitPosition>\n"
                                   "  <View />\n"
                                   "  <View />\n"
                                   "  <ShowWave />\n" +
                                   Indent(defaultViewWave) + Indent(defaultViewVolume);

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
    "  <SplitPosition>0.25</SplitPosition>\n"
    "  <View />\n"
    "  <View>\n"
    "    <Zoom>\n"
    "      <WavePos>100</WavePos>\n"
    "      <WavePos>900</WavePos>\n"
    "    </Zoom>\n"
    "  </View>\n"
    "  <ShowVolume />\n" +
    Indent(Replace(Replace(defaultViewWave, "<FrontNone />", "<FrontLeft />"), "</ViewWave>",
                   "  <DrawEnvelope>\n"
                   "    <EnvelopeName>drum</EnvelopeName>\n"
                   "    <Strength>40 %</Strength>\n"
                   "  </DrawEnvelope>\n"
                   "</ViewWave>")) +
    Indent(Replace(Replace(Replace(defaultViewVolume, "<XResolution>500", "<XResolution>800"),
                           "  <ColorPalette1D>", "  <UseColorPalette1D />\n  <ColorPalette1D>"),
                   "    <EndColor>",
                   "    <ColorPalette1DItem>\n"
                   "      <Position>50 %</Position>\n"
                   "      <ColorBefore>0000FF</ColorBefore>\n"
                   "      <UseColorAfter />\n"
                   "      <ColorAfter>FF0000</ColorAfter>\n"
                   "    </ColorPalette1DItem>\n"
                   "    <EndColor>"));

std::string File(const std::string& selection, const std::string& display = defaultDisplay,
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
                                "    <Stereo />\n"
                                "    <SampleFreq>22050</SampleFreq>\n"
                                "    <BytesPerSample>1</BytesPerSample>\n"
                                "  </EmptyWave>\n";

class SideFileTest : public NoBoxes<>
{
protected:
    std::string Path(const std::string& name) const { return (dir.path / name).string(); }

    TempDir dir{"sidefile"};
};

// ---- the name rule ------------------------------------------------------------------------------

TEST(SideFileNameTest, ReplacesAFinalWavOfAnyCaseElseAppends)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"song.wav", "song.kvw"},
        {"/home/u/Song.WAV", "/home/u/Song.kvw"},
        {"b.WaV", "b.kvw"},
        {"/home/u/a", "/home/u/a.kvw"},
        {"take.wave", "take.wave.kvw"},
        {"x.wav.bak", "x.wav.bak.kvw"},
        {"dir.wav/file", "dir.wav/file.kvw"},
        {".wav", ".kvw"},
        {"wav", "wav.kvw"},
        {"a.mp3", "a.mp3.kvw"},
        {"", ".kvw"},
    };
    for (const auto& [wave, side] : cases)
        EXPECT_EQ(SideFileName(wave), side) << wave;
}

// ---- writing and reading back ---------------------------------------------------------------

TEST_F(SideFileTest, WritesPartAndDisplayByteForByteAndReadsThemBack)
{
    Document doc(Mono(1000));
    doc.window.display = Display();
    doc.wave.SetPos1(700);
    doc.wave.SetPos2(200);
    ASSERT_TRUE(doc.wave.SaveShadowFile(Path("song.wav")));
    const std::string written = ReadAll(dir.path / "song.kvw");
    EXPECT_EQ(written, File(PartOf("200", "700"), displayText));
    EXPECT_EQ(dir.Count(), 1u);

    // A freshly opened document (both positions 0): the first position gets the larger value.
    Document again(Mono(1000));
    SoundPtr sound = again.wave.GetSound();
    std::string message;
    ASSERT_EQ(again.wave.LoadShadowFile(Path("song.kvw"), message, true, sound), 1) << message;
    EXPECT_EQ(again.wave.GetPos1(), 700);
    EXPECT_EQ(again.wave.GetPos2(), 200);
    EXPECT_TRUE(again.window.display == doc.window.display);
    EXPECT_EQ(again.window.viewReads, 1);
    EXPECT_TRUE(again.window.displayFlag);
    EXPECT_EQ(sound, again.wave.GetSound());
    EXPECT_FALSE(again.wave.IsUserDrawing());

    ASSERT_TRUE(again.wave.SaveShadowFile(Path("copy.wav")));
    EXPECT_EQ(ReadAll(dir.path / "copy.kvw"), written);
}

TEST_F(SideFileTest, APartKeepsItsOrientationWhenReadIntoAPart)
{
    WriteAll(dir.path / "p.kvw", File(PartOf("10", "20")));
    Document doc(Mono(100));
    doc.wave.SetPos1(1);
    doc.wave.SetPos2(2);
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(doc.wave.LoadShadowFile(Path("p.kvw"), message, false, sound), 1) << message;
    EXPECT_EQ(doc.wave.GetPos1(), 10);
    EXPECT_EQ(doc.wave.GetPos2(), 20);
    EXPECT_FALSE(doc.window.displayFlag);
}

TEST_F(SideFileTest, ACursorIsWrittenAsCursorAndPositionsAreClamped)
{
    Document doc(Mono(100));
    doc.wave.SetCursor(37);
    ASSERT_TRUE(doc.wave.SaveShadowFile(Path("c.wav")));
    EXPECT_EQ(ReadAll(dir.path / "c.kvw"), File(CursorAt(37)));

    WriteAll(dir.path / "far.kvw", File(CursorAt(5000)));
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(doc.wave.LoadShadowFile(Path("far.kvw"), message, false, sound), 1) << message;
    EXPECT_EQ(doc.wave.GetPos1(), 100);
    EXPECT_EQ(doc.wave.GetPos2(), 100);
    EXPECT_EQ(sound, nullptr);
}

TEST_F(SideFileTest, TheUserDrawingRoundTripsExactly)
{
    Document doc(Mono(0, 8000));
    doc.wave.StartUserDrawing(TUnitWave::DrawParabola);
    doc.wave.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{-32767}, 1.0 / 3));
    doc.wave.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{12345}, 0.1));
    doc.wave.SetDrawLength(0.3);
    ASSERT_TRUE(doc.wave.RenderUserDraw());
    ASSERT_TRUE(doc.wave.SaveShadowFile(Path("d.wav")));
    const std::string written = ReadAll(dir.path / "d.kvw");
    EXPECT_EQ(
        written,
        File(Drawing(
            {{"0", "0 $"}, {"0.1", "12345 $"}, {"0.3333333333333333", "-32767 $"}, {"1", "0 $"}},
            "0.3 s", "DrawParabola")));

    Document again(Mono(2401, 8000));
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(again.wave.LoadShadowFile(Path("d.kvw"), message, false, sound), 1) << message;
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
    EXPECT_EQ(again.window.drawCursorCalls, 1);
    // Reading does not render: the sound is still the one the .wav gave.
    EXPECT_EQ(again.wave.GetValues(), 2401);

    ASSERT_TRUE(again.wave.SaveShadowFile(Path("d2.wav")));
    EXPECT_EQ(ReadAll(dir.path / "d2.kvw"), written);
    // The drawing read back renders the same samples as the one saved.
    ASSERT_TRUE(again.wave.RenderUserDraw());
    const Wave* a = doc.wave.GetSound()->GetLeftWave();
    const Wave* b = again.wave.GetSound()->GetLeftWave();
    ASSERT_EQ(a->Values(), b->Values());
    for (int32_t i = 0; i < a->Values(); ++i)
        ASSERT_EQ(a->Data()[i], b->Data()[i]) << i;
}

TEST_F(SideFileTest, AValueDrawEndsADrawing)
{
    Document doc(Mono(0));
    doc.wave.StartUserDrawing(TUnitWave::DrawLinear);
    WriteAll(dir.path / "v.kvw", File(CursorAt(3)));
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(doc.wave.LoadShadowFile(Path("v.kvw"), message, false, sound), 1) << message;
    EXPECT_FALSE(doc.wave.IsUserDrawing());
    EXPECT_EQ(doc.wave.GetDrawNodes(), nullptr);
    EXPECT_EQ(doc.wave.GetPos1(), 3);
}

TEST_F(SideFileTest, AnEmptyWaveKeepsItsFormat)
{
    Document doc(std::make_shared<StereoSound>(22050, int16_t{1}));
    ASSERT_TRUE(doc.wave.SaveShadowFile(Path("e.wav")));
    EXPECT_EQ(ReadAll(dir.path / "e.kvw"), File(CursorAt(0), defaultDisplay, stereoEmpty));

    Document again(Mono(10));
    SoundPtr sound = again.wave.GetSound();
    std::string message;
    ASSERT_EQ(again.wave.LoadShadowFile(Path("e.kvw"), message, false, sound), 1) << message;
    ASSERT_NE(sound, nullptr);
    EXPECT_NE(sound, again.wave.GetSound());
    EXPECT_EQ(sound->GetMonoStereo(), 2);
    EXPECT_EQ(sound->GetSampleFreq(), 22050);
    EXPECT_EQ(sound->GetBytesPSample(), 1);
    EXPECT_EQ(sound->GetValues(), 0);

    // Mono, 16 bits.
    Document mono(std::make_shared<MonoSound>(11025, int16_t{2}));
    ASSERT_TRUE(mono.wave.SaveShadowFile(Path("m.wav")));
    ASSERT_EQ(again.wave.LoadShadowFile(Path("m.kvw"), message, false, sound), 1) << message;
    EXPECT_EQ(sound->GetMonoStereo(), 1);
    EXPECT_EQ(sound->GetSampleFreq(), 11025);
    EXPECT_EQ(sound->GetBytesPSample(), 2);
}

TEST_F(SideFileTest, WithoutAWindowTheDefaultDisplayIsWrittenAndReadAnyway)
{
    TUnitWave wave("alone", "", Mono(50));
    wave.SetCursor(5);
    ASSERT_TRUE(wave.SaveShadowFile(Path("alone")));
    EXPECT_EQ(ReadAll(dir.path / "alone.kvw"), File(CursorAt(5)));
    WriteAll(dir.path / "w.kvw", File(CursorAt(7), displayText));
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(wave.LoadShadowFile(Path("w.kvw"), message, false, sound), 1) << message;
    EXPECT_EQ(wave.GetPos1(), 7);
}

TEST_F(SideFileTest, CrLfFilesReadAsLfFiles)
{
    std::string text = File(PartOf("1", "2"), displayText);
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteAll(dir.path / "crlf.kvw", crlf);
    Document doc(Mono(10));
    SoundPtr sound;
    std::string message;
    ASSERT_EQ(doc.wave.LoadShadowFile(Path("crlf.kvw"), message, false, sound), 1) << message;
    EXPECT_TRUE(doc.window.display == Display());
}

// ---- refused files ------------------------------------------------------------------------------

struct Refused
{
    const char* name;
    std::string text; // the whole file
    std::string message;
};

class SideFileRefusedTest : public NoBoxes<::testing::TestWithParam<Refused>>
{
};

TEST_P(SideFileRefusedTest, ChangesNothingAndSaysWhereAndWhy)
{
    const Refused& c = GetParam();
    TempDir dir("sidefile-refused");
    WriteAll(dir.path / "f.kvw", c.text);
    Document doc(Mono(100));
    doc.wave.SetPos1(40);
    doc.wave.SetPos2(60);
    doc.window.display = Display();
    SoundPtr sound = doc.wave.GetSound();
    const SoundPtr before = sound;
    std::string message;
    EXPECT_EQ(doc.wave.LoadShadowFile((dir.path / "f.kvw").string(), message, false, sound), 2);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(doc.wave.GetPos1(), 40);
    EXPECT_EQ(doc.wave.GetPos2(), 60);
    EXPECT_FALSE(doc.wave.IsUserDrawing());
    EXPECT_EQ(doc.window.viewReads, 0);
    EXPECT_TRUE(doc.window.display == Display());
    EXPECT_EQ(sound, before);
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
        Refused{"DrawLengthNegative", File(Drawing({{"0", "0"}, {"1", "0"}}, "-1 s")),
                "In DrawLength: Value must be positive. At line 16, column 17."},
        Refused{"BytesPerSampleThree",
                File(CursorAt(0), defaultDisplay,
                     Replace(stereoEmpty, "<BytesPerSample>1", "<BytesPerSample>3")),
                "In BytesPerSample: Value must be 1 or 2. At line 53, column 21."},
        Refused{"BytesPerSampleZero",
                File(CursorAt(0), defaultDisplay,
                     Replace(stereoEmpty, "<BytesPerSample>1", "<BytesPerSample>0")),
                "In BytesPerSample: Value must be positive and more than 0. At line 53, column "
                "21."},
        Refused{"SampleFreqZero",
                File(CursorAt(0), defaultDisplay,
                     Replace(stereoEmpty, "<SampleFreq>22050", "<SampleFreq>0")),
                "In SampleFreq: Value must be positive and more than 0. At line 52, column 17."},
        Refused{
            "SplitPosition",
            File(CursorAt(0), Replace(defaultDisplay, "<SplitPosition>0.5", "<SplitPosition>2")),
            "In SplitPosition: Value must be no more than 1. At line 11, column 18."},
        Refused{"ZoomEmpty",
                File(CursorAt(0), Replace(displayText, "<WavePos>900", "<WavePos>100")),
                "In Zoom WavePos 2: Value must be more than Zoom WavePos 1. At line 16, column "
                "16."},
        Refused{"ZoomNegative",
                File(CursorAt(0), Replace(displayText, "<WavePos>100", "<WavePos>-100")),
                "In Zoom WavePos 1: Value must be positive. At line 15, column 16."},
        Refused{"ViewWaveColour",
                File(CursorAt(0), Replace(defaultDisplay, "<GridColor>808080", "<GridColor>grey")),
                "In GridColor: Invalid Hexdecimal value: \"grey\". At line 20, column 16."},
        Refused{
            "ViewVolumeGridTooLarge",
            File(CursorAt(0), Replace(defaultDisplay, "<XResolution>500", "<XResolution>400000")),
            "In Resolution: Horizontal times Vertical must not be more than 16777216 cells. "
            "At line 34, column 18."},
        Refused{
            "NoDisplayPart",
            fileHead + "<UnitWave>\n  <Version>8.0</Version>\n" + CursorAt(0) + "</UnitWave>\n",
            "unexpected end of element \"UnitWave\", expect begin of element \"SplitPosition\". "
            "at line 11, column 11."}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST_F(SideFileTest, AMissingFileIsRefused)
{
    Document doc(Mono(10));
    SoundPtr sound;
    std::string message;
    EXPECT_EQ(doc.wave.LoadShadowFile(Path("none.kvw"), message, false, sound), 2);
    EXPECT_FALSE(message.empty());
}

TEST_F(SideFileTest, AnotherVersionIsAssertedAndReadOn)
{
    WriteAll(dir.path / "v.kvw",
             Replace(File(CursorAt(4)), "<Version>8.0</Version>", "<Version>9.0</Version>"));
    Document doc(Mono(10));
    SoundPtr sound;
    std::string message;
    messages.Expect();
    EXPECT_EQ(doc.wave.LoadShadowFile(Path("v.kvw"), message, false, sound), 1) << message;
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "SideFile.cpp", "version == \"8.0\""));
    EXPECT_EQ(doc.wave.GetPos1(), 4);
}

TEST_F(SideFileTest, AWindowThatRefusesItsPartStopsTheRead)
{
    // The window's own reader has the last word: a refusal there leaves the document alone.
    class RefusingWindow final : public WaveWindowLink
    {
    public:
        void RefreshCaption(const std::string&) override {}
        void UpdateCaption() override {}
        void SetDrawCursor() override {}
        bool HasPaneGroup() const override { return true; }
        void SaveZoom(int32_t, int32_t) override {}
        void RestoreZoom(int32_t, int32_t) override {}
        void RepaintPosition(int32_t) override {}
        void RepaintRange(int32_t, int32_t) override {}
        void DrawCursor(int32_t) override {}
        void RefreshWave() override {}
        void SetIconByChannels(int16_t) override {}
        uint8_t GetWaveWindKind() const override { return 0; }
        void WriteViewXml(TXMLComplexElement& root) const override {}
        bool ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line,
                         int32_t& column, bool) override
        {
            message = "In SplitPosition: the panes are not there.";
            line = first->GetLine();
            column = first->GetColumn();
            return false;
        }
    } window;
    WriteAll(dir.path / "r.kvw", File(CursorAt(4)));
    TUnitWave wave("w", "", Mono(10));
    wave.SetChildWave(&window);
    SoundPtr sound;
    std::string message;
    EXPECT_EQ(wave.LoadShadowFile(Path("r.kvw"), message, false, sound), 2);
    EXPECT_EQ(message, "In SplitPosition: the panes are not there. At line 11, column 18.");
    EXPECT_EQ(wave.GetPos1(), 0);
    wave.SetChildWave(nullptr);
}

// ---- failed saves -----------------------------------------------------------------------------

TEST_F(SideFileTest, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    WriteAll(dir.path / "s.kvw", "old");
    Document doc(Mono(10));
    SafeFileWriter::FailAfterBytes(100);
    messages.Expect();
    EXPECT_FALSE(doc.wave.SaveShadowFile(Path("s.wav")));
    SafeFileWriter::FailAfterBytes(-1);
    const ShownMessage box = OnlyBox();
    EXPECT_EQ(box.caption, "FileError");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.text.rfind("Cannot save Wave Shadow File: ", 0), 0u) << box.text;
    const std::string tail = " The Wave is saved correctly.";
    ASSERT_GT(box.text.size(), tail.size());
    EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
    EXPECT_EQ(ReadAll(dir.path / "s.kvw"), "old");
    EXPECT_EQ(dir.Count(), 1u);
}

TEST_F(SideFileTest, ADrawingItsReaderWouldRefuseIsNotWritten)
{
    Document doc(Mono(0));
    doc.wave.StartUserDrawing(TUnitWave::DrawLinear);
    // The end node moved below 1: a file of it would not read back.
    doc.wave.GetDrawNodes()->GetNext()->SetPosition(0.5);
    messages.Expect();
    EXPECT_FALSE(doc.wave.SaveShadowFile(Path("bad.wav")));
    EXPECT_EQ(OnlyBox().text, "Cannot save Wave Shadow File: In DrawPoint Position: The last "
                              "DrawPoint must be at 1. The Wave is saved correctly.");
    EXPECT_EQ(dir.Count(), 0u);
}

} // namespace
