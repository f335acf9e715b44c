#include "support/PlainDocument.h"
#include "waveui/WaveWindow.h"
#include "ShellTestSupport.h"

#include "general/Services.h"
#include "general/xml/XMLElement.h"
#include "general/Services.h"
#include "shell/base/CursorTable.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <memory>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class ChildKelvornTest : public FrameTest
{
};

// ---- Caption
// ---------------------------------------------------------------------------------------

struct CaptionCase
{
    std::string name;
    std::string file;
    std::string caption;
};

class CaptionTest : public FrameTest, public ::testing::WithParamInterface<CaptionCase>
{
};

TEST_P(CaptionTest, ShowsNameAndFile)
{
    TMDIChildKelvorn* window = OpenWave(GetParam().name, 1, GetParam().file);
    EXPECT_EQ(window->CaptionText(), GetParam().caption);
    EXPECT_EQ(window->windowTitle().toStdString(), GetParam().caption + "[*]");
}

INSTANTIATE_TEST_SUITE_P(
    Captions, CaptionTest,
    ::testing::Values(CaptionCase{"Wave 1", "/home/u/a.wav", "Wave 1 - /home/u/a.wav"},
                      CaptionCase{"Wave 1", "", "Wave 1"},
                      CaptionCase{"", "/home/u/a.wav", "/home/u/a.wav"}, CaptionCase{"", "", ""}));

TEST_F(ChildKelvornTest, CaptionFollowsNameAndFileChanges)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    TUnitWave* unit = UnitWaveOf(window);
    unit->SetFileName("/tmp/x.wav");
    EXPECT_EQ(window->CaptionText(), "Wave 1 - /tmp/x.wav");
    unit->SetName("");
    EXPECT_EQ(window->CaptionText(), "/tmp/x.wav");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("/tmp/x.wav[*]"));
    unit->SetName("Caf\xe9");
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Café - /tmp/x.wav[*]"));
}

TEST_F(ChildKelvornTest, ANameHoldingTheMarkPlaceholderIsShownAsTyped)
{
    TMDIChildKelvorn* window = OpenWave("a[*]b");
    // "[*][*]" is the toolkit's literal "[*]"; the last "[*]" is the mark's place.
    EXPECT_EQ(window->windowTitle(), QStringLiteral("a[*][*]b[*]"));
}

TEST_F(ChildKelvornTest, ModifiedMarkFollowsTheDocument)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, "/tmp/a.wav", 10);
    EXPECT_FALSE(window->isWindowModified());
    UnitWaveOf(window)->SetModified();
    window->UpdateModifiedMark();
    EXPECT_TRUE(window->isWindowModified());
    UnitWaveOf(window)->ClearModified();
    window->UpdateCaption();
    EXPECT_FALSE(window->isWindowModified());

    // Documents that are no waves have no change flags the base knows of.
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    music->UpdateModifiedMark();
    EXPECT_FALSE(music->isWindowModified());
}

// ---- Kind and document
// ---------------------------------------------------------------------------

class CountedUnit final : public PlainDocument
{
public:
    CountedUnit(DocumentKind kind, int& alive) : PlainDocument(kind), alive(alive) { ++alive; }
    ~CountedUnit() override { --alive; }

private:
    int& alive;
};

TEST_F(ChildKelvornTest, OwnsItsOneDocument)
{
    int alive = 0;
    auto* window = new TMDIChildKelvorn;
    EXPECT_EQ(window->GetKind(), DocumentKind::None);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("MDI Child"));
    auto unit = std::make_unique<CountedUnit>(DocumentKind::Factory, alive);
    TFileUnit* raw = unit.get();
    EXPECT_EQ(window->SetUnit(std::move(unit)), window);
    EXPECT_EQ(raw->GetWindow(), window);
    EXPECT_EQ(window->GetKind(), DocumentKind::Factory);
    EXPECT_EQ(UnitWaveOf(window), nullptr);

    // A second document is refused; the first stays.
    messages.Expect();
    window->SetUnit(std::make_unique<CountedUnit>(DocumentKind::Wave, alive));
    EXPECT_EQ(window->GetUnit(), raw);
    EXPECT_EQ(alive, 1);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");

    services.AddDocumentWindow(window);
    window->close();
    EXPECT_EQ(alive, 1);
    Flush();
    EXPECT_EQ(alive, 0);
}

// ---- Close question
// ------------------------------------------------------------------------------

struct QuestionCase
{
    uint8_t kind;
    std::string name;
    std::string file;
    std::string question;
};

class SaveQuestionTest : public FrameTest, public ::testing::WithParamInterface<QuestionCase>
{
};

TEST_P(SaveQuestionTest, WordsKindNameAndFile)
{
    auto unit = std::make_unique<PlainDocument>(DocumentKind(GetParam().kind));
    unit->SetName(GetParam().name);
    unit->SetFileName(GetParam().file);
    TMDIChildKelvorn* window = Open(new TMDIChildKelvorn, std::move(unit));
    EXPECT_EQ(window->GetSaveQuestion(), GetParam().question);
}

INSTANTIATE_TEST_SUITE_P(
    Questions, SaveQuestionTest,
    ::testing::Values(
        QuestionCase{1, "Wave 1", "",
                     "Do you want to save the Wave with name \"Wave 1\" to a new file?"},
        QuestionCase{2, "Music 1", "/m/a.kvm",
                     "Do you want to save the Music with name \"Music 1\" to current file "
                     "\"/m/a.kvm\"?"},
        QuestionCase{3, "", "/f/b.kvf",
                     "Do you want to save the Factory without name to current file \"/f/b.kvf\"?"},
        QuestionCase{3, "", "", "Do you want to save the Factory without name to a new file?"},
        QuestionCase{9, "X", "",
                     "Do you want to save the Unknown Object with name \"X\" to a new file?"}));

struct CloseCase
{
    const char* label;
    bool modified;
    MsgAnswer answer;
    bool saveSucceeds;
    bool asked;
    int saves;
    bool closes;
};

class CloseQuestionTest : public FrameTest, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseQuestionTest, AnswersDecide)
{
    const CloseCase& c = GetParam();
    int saves = 0;
    services.SetSaveHandler([&](TMDIChildKelvorn& window) {
        ++saves;
        EXPECT_EQ(window.GetUnit()->GetName(), "Wave 1");
        EXPECT_FALSE(window.IsClosing());
        return c.saveSucceeds;
    });
    // An untitled wave with values has unsaved changes; one with a file has none yet.
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, c.modified ? "" : "/tmp/a.wav", 10);
    if (c.asked)
        messages.Expect(c.answer);

    EXPECT_EQ(window->close(), c.closes);
    EXPECT_EQ(window->IsClosing(), c.closes);
    EXPECT_EQ(services.DocumentWindowCount(), c.closes ? 0 : 1);
    EXPECT_EQ(saves, c.saves);
    EXPECT_TRUE(messages.Unexpected().empty());
    ASSERT_EQ(messages.Shown().size(), c.asked ? 1u : 0u);
    if (c.asked) {
        const ShownMessage& box = messages.Shown()[0];
        EXPECT_EQ(box.text, "Do you want to save the Wave with name \"Wave 1\" to a new file?");
        EXPECT_EQ(box.caption, "You have unsaved changes");
        EXPECT_EQ(box.buttons, MsgButtons::YesNoCancel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CloseQuestionTest,
    ::testing::Values(CloseCase{"Unchanged", false, MsgAnswer::Ok, true, false, 0, true},
                      CloseCase{"YesSaved", true, MsgAnswer::Yes, true, true, 1, true},
                      CloseCase{"YesSaveFailed", true, MsgAnswer::Yes, false, true, 1, false},
                      CloseCase{"No", true, MsgAnswer::No, true, true, 0, true},
                      CloseCase{"Cancel", true, MsgAnswer::Cancel, true, true, 0, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ChildKelvornTest, YesWithoutASaveHandlerKeepsTheWindow)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, "", 10);
    messages.Expect(MsgAnswer::Yes);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(services.DocumentWindowCount(), 1);
}

TEST_F(ChildKelvornTest, ReleaseClosesWithoutTheQuestion)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, "", 10);
    ASSERT_TRUE(window->IsDocumentModified());
    QPointer<TMDIChildKelvorn> alive(window);
    window->Release();
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(services.DocumentWindowCount(), 0);
    Flush();
    EXPECT_TRUE(alive.isNull());
}

// ---- Cursors
// -----------------------------------------------------------------------------------------

TEST_F(ChildKelvornTest, CursorsComeFromTheTable)
{
    const CursorTable* table = ProgramCursors();
    ASSERT_NE(table, nullptr);
    TMDIChildKelvorn* window = OpenWave("Wave 1");

    struct Step
    {
        void (TMDIChildKelvorn::*set)();
        int index;
    };
    for (Step step :
         {Step{&TMDIChildKelvorn::SetDrawCursor, 1}, Step{&TMDIChildKelvorn::SetZoomCursor, 6},
          Step{&TMDIChildKelvorn::SetZoomOutCursor, 7}}) {
        (window->*step.set)();
        EXPECT_EQ(window->cursor().shape(), Qt::BitmapCursor) << step.index;
        EXPECT_EQ(window->cursor().pixmap().toImage(), table->At(step.index).pixmap().toImage())
            << step.index;
        EXPECT_EQ(window->cursor().hotSpot(), table->At(step.index).hotSpot()) << step.index;
    }
    window->SetDefaultCursor();
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

// ---- Project window element ------------------------------------------------------------------

std::string Text(const TXMLItem* item)
{
    return item && item->IsText() ? item->GetText() : std::string("<none>");
}

TEST_F(ChildKelvornTest, WindowElementRoundTrip)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    window->setGeometry(12, 34, 320, 210);
    TXMLComplexElement element("Window");
    window->WriteWindowXML(element);

    const TXMLItem* item = element.GetFirstChild();
    std::vector<std::string> names;
    for (const TXMLItem* i = item; i; i = i->GetNext())
        names.push_back(i->GetElement());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Name", "Left", "Top", "Width", "Height", "Normal"}));
    EXPECT_EQ(Text(element.GetChild("Name")), "Wave 1");
    EXPECT_EQ(Text(element.GetChild("Left")), "12");
    EXPECT_EQ(Text(element.GetChild("Top")), "34");
    EXPECT_EQ(Text(element.GetChild("Width")), "320");
    EXPECT_EQ(Text(element.GetChild("Height")), "210");

    TMDIChildKelvorn* copy = OpenWave("");
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(copy->ReadWindowXML(element.GetChild("Left"), "Read 1", message, line, column))
        << message;
    EXPECT_EQ(copy->GetUnit()->GetName(), "Read 1");
    EXPECT_EQ(copy->geometry(), QRect(12, 34, 320, 210));
    EXPECT_FALSE(copy->isMinimized());
    EXPECT_FALSE(copy->isMaximized());
}

TEST_F(ChildKelvornTest, UnnamedWindowWritesNoName)
{
    TMDIChildKelvorn* window = OpenWave("");
    TXMLComplexElement element("Window");
    window->WriteWindowXML(element);
    EXPECT_EQ(element.GetChild("Name"), nullptr);
    EXPECT_EQ(element.GetFirstChild()->GetElement(), "Left");
}

TEST_F(ChildKelvornTest, StateElementRestoresMinimizedAndMaximized)
{
    for (const char* state : {"Minimized", "Maximized"}) {
        TXMLComplexElement element("Window");
        element.AddText("Left", "5");
        element.AddText("Top", "6");
        element.AddText("Width", "200");
        element.AddText("Height", "150");
        element.AddComplex(state);
        TMDIChildKelvorn* window = OpenWave("");
        std::string message;
        int32_t line = 0, column = 0;
        ASSERT_TRUE(window->ReadWindowXML(element.GetChild("Left"), state, message, line, column));
        EXPECT_EQ(window->isMinimized(), std::string(state) == "Minimized") << state;
        EXPECT_EQ(window->isMaximized(), std::string(state) == "Maximized") << state;

        TXMLComplexElement written("Window");
        window->WriteWindowXML(written);
        EXPECT_NE(written.GetChild(state), nullptr) << state;
    }
}

TEST_F(ChildKelvornTest, ABadNumberStopsWithItsPositionAndKeepsWhatWasRead)
{
    TXMLComplexElement element("Window");
    element.AddText("Left", "7");
    element.AddText("Top", "8");
    element.AddText("Width", "wide")->SetPosition(14, 9);
    element.AddText("Height", "100");
    element.AddComplex("Normal");
    TMDIChildKelvorn* window = OpenWave("");
    window->setGeometry(1, 2, 300, 200);
    std::string message;
    int32_t line = 0, column = 0;
    EXPECT_FALSE(window->ReadWindowXML(element.GetChild("Left"), "W", message, line, column));
    EXPECT_NE(message.find("Width"), std::string::npos) << message;
    EXPECT_EQ(line, 14);
    EXPECT_EQ(column, 9);
    EXPECT_EQ(window->geometry(), QRect(7, 8, 300, 200));
    EXPECT_EQ(window->GetUnit()->GetName(), "W");
}

TEST_F(ChildKelvornTest, AMissingStateElementIsAnAssertion)
{
    TXMLComplexElement element("Window");
    element.AddText("Left", "7");
    element.AddText("Top", "8");
    element.AddText("Width", "100");
    element.AddText("Height", "100");
    element.AddComplex("Sideways");
    TMDIChildKelvorn* window = OpenWave("");
    messages.Expect();
    std::string message;
    int32_t line = 0, column = 0;
    EXPECT_FALSE(window->ReadWindowXML(element.GetChild("Left"), "", message, line, column));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
    EXPECT_FALSE(message.empty());
}

} // namespace
