// The Select and Zoom window on a real wave window: what "Apply" does with typed times, the
// boxes of refused times, its cleared state and a window that goes.
#include "support/WaveWindows.h"

#include "waveui/SelectZoom.h"

#include <QCheckBox>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class Host final : public SelZoomHost
{
public:
    QRect GetMainFormRect() const override { return mainRect; }
    TMDIChildWave* GetActiveChildWave() override { return active; }
    void SetTextInputMode(bool on) override { textInput.push_back(on); }

    QRect mainRect{100, 50, 600, 400};
    TMDIChildWave* active = nullptr;
    std::vector<bool> textInput;
};

std::string Seconds(double seconds)
{
    return unitTimePos(seconds, EHS).ToText();
}

class SelectZoomTest : public WaveWindowTest
{
protected:
    SelectZoomTest() : dialog(nullptr, main) {}

    /// One second of 44100 values at 44100 Hz, both panes 500 pixels wide.
    TMDIChildWave* OpenSecond()
    {
        TMDIChildWave* window = Open(Flat(1, 44100), 500, 500, 200);
        main.active = window;
        return window;
    }

    /// Presses "Apply" expecting the boxes texts (each under "Input Error").
    void Apply(const std::vector<std::string>& texts = {})
    {
        for (size_t i = 0; i < texts.size(); ++i)
            messages.Expect();
        dialog.OKBtn->click();
        ExpectInputErrors(messages, texts);
    }

    Host main;
    TDlgSelZoom dialog;
};

TEST_F(SelectZoomTest, WithoutAWaveWindowEverythingIsClearedAndOff)
{
    TMDIChildWave* window = OpenSecond();
    dialog.UpdateAll(window);
    EXPECT_TRUE(dialog.OKBtn->isEnabled());
    // The window goes: nothing of it stays behind, and "Apply" does nothing.
    main.active = nullptr;
    delete window;
    EXPECT_EQ(dialog.ShownWindow(), nullptr);
    Apply();
    EXPECT_FALSE(dialog.OKBtn->isEnabled());
    dialog.UpdateAll(nullptr);
    EXPECT_FALSE(dialog.OKBtn->isEnabled());
    EXPECT_FALSE(dialog.optCursor->isChecked());
    EXPECT_FALSE(dialog.optPart->isChecked());
    for (QLineEdit* edit :
         {dialog.editCursorAt, dialog.editPartBegin, dialog.editPartEnd, dialog.editZoom1Begin,
          dialog.editZoom1End, dialog.editZoom2Begin, dialog.editZoom2End}) {
        EXPECT_FALSE(edit->isEnabled()) << edit->objectName().toStdString();
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    }
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             dialog.optCursor, dialog.optPart, dialog.chkZoomed1, dialog.chkZoomed2})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(dialog.OKBtn->text(), "Apply");
    EXPECT_EQ(dialog.CancelBtn->text(), "Close");
    EXPECT_EQ(dialog.windowTitle(), "Select and Zoom");
    EXPECT_EQ(dialog.HelpContext(), 40);
    // A tool window, modeless, on top of nothing: dialogs and boxes open above it.
    EXPECT_EQ(dialog.windowType(), Qt::Tool);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(SelectZoomTest, AppliesATypedCursorRoundedToTheNearestSample)
{
    TMDIChildWave* window = OpenSecond();
    TUnitWave& unit = window->GetUnitWave();
    dialog.UpdateAll(window);
    struct Case
    {
        const char* text;
        int32_t sample;
    };
    // 10 and 12 microseconds are 0.441 and 0.5292 samples.
    for (const Case& c : {Case{"0.25 s", 11025}, Case{"0.00001 s", 0}, Case{"0.000012 s", 1},
                          Case{"0.9999 s", 44096}, Case{"0 s", 0}}) {
        Type(dialog.editCursorAt, c.text);
        Apply();
        EXPECT_TRUE(unit.IsCursor());
        EXPECT_EQ(unit.GetPos1(), c.sample) << c.text;
    }
    EXPECT_TRUE(unit.IsStateModified());
    EXPECT_FALSE(host.changed.empty());
    EXPECT_EQ(host.changed.back(), window);
    Type(dialog.editPartBegin, Seconds(0.1));
    Type(dialog.editPartEnd, Seconds(0.2));
    Apply();
    EXPECT_EQ(unit.GetPartBegin(), 4410);
    EXPECT_EQ(unit.GetPartEnd(), 8820);
}

TEST_F(SelectZoomTest, ARefusedTimeShowsItsBoxAndChangesNothing)
{
    struct Case
    {
        std::vector<std::pair<const char*, const char*>> typed; // field, text
        std::string message;
    };
    const std::string end = ": Must be prior before the end of the wave.";
    for (const Case& c : std::vector<Case>{
             {{{"editCursorAt", "1 s"}}, "In Selected Cursor" + end},
             {{{"editCursorAt", "soon"}}, "In Cursor At: Input has no value."},
             {{{"editPartBegin", "0.5 s"}, {"editPartEnd", "0.25 s"}},
              "Part Begin must be prior before Part End."},
             {{{"editPartBegin", "0.5 s"}, {"editPartEnd", "0.5 s"}},
              "Part Begin must be prior before Part End."},
             {{{"editPartBegin", "1 s"}, {"editPartEnd", "2 s"}}, "In Part Begin" + end},
             {{{"editPartBegin", "0.5 s"}, {"editPartEnd", "1 s"}}, "In Part End" + end},
             {{{"editZoom1Begin", "0.3 s"}, {"editZoom1End", "0.2 s"}},
              "Zoom First: Begin must be prior before End."},
             // 4410.0 and 4410.22 samples: both round to sample 4410.
             {{{"editZoom2Begin", "0.1 s"}, {"editZoom2End", "0.100005 s"}},
              "Zoom Second: Begin must be prior before End."},
             {{{"editZoom2Begin", "0.5 s"}, {"editZoom2End", "1 s"}}, "In Zoom Second End" + end},
             {{{"editZoom1Begin", "1 s"}, {"editZoom1End", "1.5 s"}},
              "In Zoom First Begin" + end}}) {
        TMDIChildWave* window = OpenSecond();
        TUnitWave& unit = window->GetUnitWave();
        unit.SetCursor(1000);
        dialog.UpdateAll(window);
        for (const auto& [field, text] : c.typed) {
            ASSERT_NE(dialog.findChild<QLineEdit*>(field), nullptr) << field;
            Type(dialog.findChild<QLineEdit*>(field), text);
        }
        Apply({c.message});
        EXPECT_TRUE(unit.IsCursor());
        EXPECT_EQ(unit.GetPos1(), 1000);
        EXPECT_FALSE(Pane(*window, 1).IsZoomed());
        EXPECT_FALSE(Pane(*window, 2).IsZoomed());
        delete window;
    }
}

TEST_F(SelectZoomTest, AZoomChangeOfAWindowNotShownShowsItsSelectionToo)
{
    // The main window clears the tool window while a dialog has the activation; the zoom change
    // that comes before it gets the activation back must not leave "Apply" with nothing ticked.
    TMDIChildWave* window = OpenSecond();
    TUnitWave& unit = window->GetUnitWave();
    unit.ChangePart(4410, 8820);
    for (bool cleared : {true, false}) {
        SCOPED_TRACE(cleared);
        dialog.UpdateAll(cleared ? nullptr : window);
        dialog.UpdateZoom(window, 2);
        EXPECT_EQ(dialog.ShownWindow(), window);
        EXPECT_TRUE(dialog.optPart->isChecked() && dialog.OKBtn->isEnabled());
        EXPECT_EQ(dialog.editPartBegin->text().toStdString(), Seconds(0.1));
        Type(dialog.editPartEnd, "0.3 s");
        Apply();
        EXPECT_EQ(unit.GetPartEnd(), 13230);
        unit.ChangePart(4410, 8820);
    }
}

} // namespace
