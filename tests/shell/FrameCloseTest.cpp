// The main window as a new user meets it: exit with tool windows open, the frame's close
// question, where new windows land, and a damaged WAV file.
#include "ShellSupport.h"

#include "general/Services.h"
#include "platform/qt/QtHelp.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QTimer>

#include <fstream>

namespace kelvorn::test {
namespace {

using FrameCloseTest = CommandsTest;

TEST_F(FrameCloseTest, ExitWithToolWindowsAndHelpOpenEndsTheEventLoop)
{
    QtHelp qtHelp;
    ScopedService<Help> installHelp(&qtHelp);
    qtHelp.ShowContents();
    // A plain tool window stands for Select and Zoom, which the view commands make.
    form->SetToolWindowMaker(TMainForm::Tool::SelZoom,
                             [](QWidget* owner) { return new QWidget(owner); });
    form->ToggleToolWindow(TMainForm::Tool::SelZoom);
    ASSERT_TRUE(form->ToolSlot(TMainForm::Tool::EditName).IsVisible() &&
                form->ToolSlot(TMainForm::Tool::SelZoom).IsVisible() &&
                qtHelp.Window()->isVisible());

    bool timedOut = false;
    QTimer::singleShot(0, form.get(), [this] { A("FileExit")->trigger(); });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [&] {
        timedOut = true;
        QApplication::quit();
    });
    failsafe.start(5000);
    QApplication::exec();
    EXPECT_FALSE(timedOut || form->isVisible() || qtHelp.Window()->isVisible());
    EXPECT_FALSE(form->ToolSlot(TMainForm::Tool::EditName).IsVisible() ||
                 form->ToolSlot(TMainForm::Tool::SelZoom).IsVisible());
}

TEST_F(FrameCloseTest, ACancelClosesNothingAndOnlyAllNoClosesAll)
{
    std::vector<TUnitWave*> units;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        units.push_back(commands->OpenWaveFile(WriteWav(name, Pattern(100, 7)), {}, false));
        ASSERT_NE(units.back(), nullptr);
        units.back()->SetModified();
    }
    // Most recent first: c is saved by Yes, b cancels, a is never asked.
    messages.Expect(MsgAnswer::Yes);
    messages.Expect(MsgAnswer::Cancel);
    A("FileExit")->trigger();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 3);
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_NE(messages.Shown()[0].text.find("\"Wave 3\""), std::string::npos);
    EXPECT_NE(messages.Shown()[1].text.find("\"Wave 2\""), std::string::npos);
    EXPECT_FALSE(units[2]->IsModified());
    EXPECT_TRUE(units[1]->IsModified());

    messages.Expect(MsgAnswer::No);
    messages.Expect(MsgAnswer::No);
    A("FileExit")->trigger();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FrameCloseTest, TenNewWindowsLieWhollyInsideTheFrame)
{
    form->Frame()->setFixedSize(1000, 700);
    Flush();
    const QRect area = form->Frame()->viewport()->rect();
    for (int i = 0; i < 10; ++i) {
        dialogs.When("TDlgWaveFileProp", DialogResult::Accepted);
        Trigger("FileNewWave");
        QMdiSubWindow* window = form->Frame()->activeSubWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(area.contains(window->geometry())) << i;
        EXPECT_EQ(window->width(), area.width() * 2 / 3) << i;
    }
}

TEST_F(FrameCloseTest, ATruncatedWaveOpensWhatItHoldsWithAWarningAndAsModified)
{
    const std::string path = WriteWav("cut.wav", Pattern(4410, 3));
    // Cut at a frame boundary, in the middle of a frame, and right after the header.
    for (uintmax_t keep : {44u + 4u * 1000u, 44u + 4u * 1000u + 3u, 44u}) {
        const std::string cut = Path("cut" + std::to_string(keep) + ".wav");
        std::filesystem::copy_file(path, cut);
        std::filesystem::resize_file(cut, keep);
        messages.Expect();
        TUnitWave* unit = commands->OpenWaveFile(cut, {}, false);
        ASSERT_NE(unit, nullptr);
        const int32_t frames = int32_t((keep - 44) / 4);
        EXPECT_EQ(unit->GetValues(), frames);
        // A wave without values has nothing to save.
        EXPECT_EQ(unit->IsModified(), frames > 0);
        ASSERT_FALSE(messages.Shown().empty());
        EXPECT_EQ(messages.Shown().back().caption, "File Error");
        EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Warning);
        EXPECT_EQ(messages.Shown().back().text,
                  "Cannot read the whole file: \"" + cut + "\" The file is damaged: only " +
                      std::to_string(frames) +
                      " of the 4410 sample frames its header announces "
                      "were read.");
    }
    // A revert of a file damaged since it was opened warns the same way and stays modified.
    TUnitWave* whole = commands->OpenWaveFile(path, {}, false);
    ASSERT_NE(whole, nullptr);
    whole->SetModified();
    std::filesystem::resize_file(path, 44 + 4 * 1000);
    messages.Expect();
    Trigger("FileRevert");
    EXPECT_EQ(whole->GetValues(), 1000);
    EXPECT_TRUE(whole->IsModified());
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Warning);
}

} // namespace
} // namespace kelvorn::test
