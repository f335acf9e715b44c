// The boxes, file dialogs and help window of the Qt edge.
#include "general/Assert.h"
#include "general/Services.h"
#include "platform/TempDir.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtMessages.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

std::string Box(const std::string& caption, const std::string& text, MsgIcon icon,
                MsgButtons buttons)
{
    return caption + ": " + text + " " + std::to_string(int(icon)) + "/" +
           std::to_string(int(buttons));
}

// A worker is answered with the first button at once, and its box waits for the GUI thread;
// the GUI thread's box comes at once with the user's answer.
TEST(QtMessages, WorkerBoxesAreShownOnTheGuiThreadAndTheGuiThreadsAtOnce)
{
    QtMessages sink;
    ScopedService<MessageSink> install{&sink};
    const std::thread::id gui = std::this_thread::get_id();
    std::vector<std::string> boxes;
    sink.SetPresenter(
        [&](const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) {
            boxes.push_back(Box(caption, text, icon, buttons) +
                            (std::this_thread::get_id() == gui ? "" : " on a worker"));
            return MsgAnswer::No;
        });

    std::vector<MsgAnswer> answers;
    bool held = true;
    const int workerValue = 2;
    const int assertLine = __LINE__ + 5;
    std::future<void> worker = std::async(std::launch::async, [&] {
        for (MsgButtons b :
             {MsgButtons::Ok, MsgButtons::OkCancel, MsgButtons::YesNo, MsgButtons::YesNoCancel})
            answers.push_back(Messages().Show("Save?", "Question", MsgIcon::Question, b));
        held = KV_SOFT_ASSERT(workerValue == 3);
    });
    // Should the worker wait for the GUI thread, it gets the events served: the test fails
    // instead of hanging.
    const bool alone = worker.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    while (worker.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(alone) << "the worker waited for the GUI thread";
    EXPECT_FALSE(held);
    EXPECT_EQ(answers, (std::vector<MsgAnswer>{MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Yes,
                                               MsgAnswer::Yes}));
    EXPECT_TRUE(boxes.empty()) << "a box was shown before the GUI thread took it";

    for (QDeadlineTimer deadline(5000); boxes.size() < 5 && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(Messages().Show("Overwrite?", "Confirm", MsgIcon::Warning, MsgButtons::YesNo),
              MsgAnswer::No);
    const auto question = [](MsgButtons b) {
        return Box("Question", "Save?", MsgIcon::Question, b);
    };
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         question(MsgButtons::Ok), question(MsgButtons::OkCancel),
                         question(MsgButtons::YesNo), question(MsgButtons::YesNoCancel),
                         Box("Assertion failed",
                             "In QtDialogsTest.cpp line " + std::to_string(assertLine) +
                                 ": Condition \"workerValue == 3\"failed!",
                             MsgIcon::Information, MsgButtons::Ok),
                         Box("Confirm", "Overwrite?", MsgIcon::Warning, MsgButtons::YesNo)}));
}

TEST(QtMessages, BoxesStillQueuedGoWithTheSink)
{
    int presented = 0;
    {
        QtMessages sink;
        sink.SetPresenter([&presented](const std::string&, const std::string&, MsgIcon,
                                       MsgButtons) { return ++presented, MsgAnswer::Ok; });
        std::thread worker([&sink] { sink.Show("late", "Error", MsgIcon::Stop, MsgButtons::Ok); });
        worker.join();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(presented, 0);
}

TEST(QtNameFilters, ConvertsThePairsForm)
{
    EXPECT_EQ(QtNameFilters("Wave Files (*.wav)|*.wav|All files (*.*)|*.*"),
              (QStringList{"Wave Files (*.wav)", "All files (*)"}));
    // The patterns the pairs name win over what the description says.
    EXPECT_EQ(QtNameFilters("Sounds|*.wav;*.kvw|Odd (*.x)|*.y|(*.z)|*.z"),
              (QStringList{"Sounds (*.wav *.kvw)", "Odd (*.y)", "(*.z) (*.z)"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

// Answers the next file dialog from inside its own loop with name (an empty name cancels) and
// notes what the dialog showed.
struct DialogAnswer
{
    explicit DialogAnswer(const std::string& answer)
    {
        timer.callOnTimeout([this, name = QString::fromStdString(answer)] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer.stop();
            shown = (dialog->windowTitle() + ": " + dialog->nameFilters().join(", ") + ": " +
                     dialog->selectedNameFilter())
                        .toStdString();
            if (name.isEmpty())
                return dialog->reject();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            // accept() is protected in QFileDialog; its slot checks the name as a click would.
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        timer.start(10);
    }
    QTimer timer;
    std::string shown;
};

TEST(QtFileDialogs, AnswerWhatTheUserChoseWithTheDefaultExtension)
{
    // The widget dialog, whatever the desktop: only it can be driven from here.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    PrivateDirectory dir((fs::temp_directory_path() / "kv-filedialogs-XXXXXX").string());
    ASSERT_TRUE(dir.Create());
    std::ofstream(dir.Path() + "/a.wav") << "x";
    const FileDialogRequest save{"Save Wave", "Wave Files (*.wav)|*.wav|All files (*.*)|*.*", "wav",
                                 dir.Path() + "/start.wav"};
    QtFileDialogs dialogs;
    std::string path = "kept";
    {
        DialogAnswer answer("");
        EXPECT_FALSE(dialogs.SaveFile(save, path));
        EXPECT_EQ(path, "kept");
    }
    {
        DialogAnswer answer(dir.Path() + "/song");
        ASSERT_TRUE(dialogs.SaveFile(save, path));
        EXPECT_EQ(path, dir.Path() + "/song.wav");
        EXPECT_EQ(answer.shown, "Save Wave: Wave Files (*.wav), All files (*): Wave Files (*.wav)");
    }
    {
        DialogAnswer answer(dir.Path() + "/a.wav");
        EXPECT_EQ(dialogs.OpenFiles({"Open", "XML Files (*.xml)|*.xml", "", ""}, true),
                  std::vector<std::string>{dir.Path() + "/a.wav"});
        EXPECT_EQ(answer.shown, "Open: XML Files (*.xml): XML Files (*.xml)");
    }
}

TEST(QtHelp, OneWindowShowsTheBuiltInPages)
{
    QtHelp help;
    EXPECT_EQ(help.Window(), nullptr);
    EXPECT_TRUE(help.CurrentPage().isEmpty());
    // Every builtin function shares one page; a number without a page shows the contents.
    const int contexts[] = {9, 66, 1024 + 37, 10, 0, -5};
    const char* const pages[] = {"context-9.html", "context-66.html", "context-1024.html",
                                 "index.html",     "index.html",      "index.html"};
    for (int i = 0; i < 6; ++i) {
        help.ShowContext(contexts[i]);
        EXPECT_EQ(help.CurrentPage().toStdString(), pages[i]);
        EXPECT_FALSE(help.Browser()->toPlainText().isEmpty());
    }
    QWidget* window = help.Window();
    EXPECT_EQ(window->windowTitle(), "Kelvorn Help");
    help.ShowTopicSearch();
    EXPECT_EQ(help.CurrentPage(), "topics.html");
    help.ShowHelpOnHelp();
    EXPECT_EQ(help.CurrentPage(), "help-on-help.html");
    window->close();
    help.ShowContents();
    EXPECT_EQ(help.CurrentPage(), "index.html");
    EXPECT_EQ(help.Window(), window);
    EXPECT_TRUE(window->isVisible());
    help.ShowContext(21);
    EXPECT_NE(help.Browser()->toPlainText().indexOf("Rotate"), -1);

    // Pages from a folder on disk.
    PrivateDirectory folder((fs::temp_directory_path() / "kv-help-XXXXXX").string());
    ASSERT_TRUE(folder.Create());
    for (const char* page : {"/index.html", "/context-5.html"})
        ASSERT_TRUE(
            QFile::copy(QString(":/help") + page, QString::fromStdString(folder.Path()) + page));
    QtHelp disk(QString::fromStdString(folder.Path()));
    disk.ShowContext(5);
    EXPECT_EQ(disk.Browser()->source(),
              QUrl::fromLocalFile(QString::fromStdString(folder.Path()) + "/context-5.html"));
    EXPECT_NE(disk.Browser()->toPlainText().indexOf("Make Line"), -1);
    disk.ShowContext(9);
    EXPECT_EQ(disk.CurrentPage(), "index.html");
}

// Help asked for from inside a dialog's own modal loop comes up in front of the dialog and takes
// a click and a key while the dialog stays open; afterwards it is a window of its own again.
TEST(QtHelp, AWindowOpenedFromAModalDialogTakesClicksAndKeys)
{
    QtHelp help;
    help.ShowContents();
    help.Window()->hide();
    QDialog dialog;
    dialog.setWindowTitle("Volume");
    std::string afterClick, afterKey, failed;
    bool dialogOpen = false;
    QWindow* owner = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        help.ShowContext(9);
        QWidget* window = help.Window();
        if (!QTest::qWaitForWindowExposed(window)) {
            failed = "the help window never showed";
            return dialog.reject();
        }
        owner = window->windowHandle()->transientParent();
        auto* contents = window->findChild<QPushButton*>("helpContents");
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          contents->mapTo(window, contents->rect().center()));
        afterClick = help.CurrentPage().toStdString();
        // The page keeps the keys: Alt+Left goes back to the page before.
        QTest::keyClick(window->windowHandle(), Qt::Key_Left, Qt::AltModifier);
        afterKey = help.CurrentPage().toStdString();
        dialogOpen = dialog.isVisible();
        dialog.accept();
    });
    // Should the loop never get its turn, this ends it and the checks below fail.
    QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(2); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted) << failed;
    EXPECT_TRUE(dialogOpen);
    EXPECT_EQ(owner, dialog.windowHandle());
    EXPECT_EQ(afterClick, "index.html");
    EXPECT_EQ(afterKey, "context-9.html");

    // Asked for with no dialog open, it belongs to nobody.
    help.ShowContents();
    EXPECT_EQ(help.Window()->windowHandle()->transientParent(), nullptr);
    EXPECT_EQ(help.Window()->windowType(), Qt::Window);
    EXPECT_TRUE(help.Window()->isVisible());
    help.CloseWindow();
}

// Every page is reachable from the contents and the topic list, and every link leads to a
// page that exists.
TEST(HelpPages, LinksResolveAndEveryPageIsListed)
{
    QStringList pages = QDir(":/help").entryList({"*.html"}, QDir::Files);
    ASSERT_GE(pages.size(), 40);
    QRegularExpression href("href=\"([^\"#]+)\"");
    std::set<QString> linked;
    QString topics;
    for (const QString& page : pages) {
        QFile file(":/help/" + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        if (page == "topics.html")
            topics = text;
        EXPECT_TRUE(text.contains(QRegularExpression("<title>[^<]+</title>")))
            << page.toStdString();
        for (auto it = href.globalMatch(text); it.hasNext();) {
            QString target = it.next().captured(1);
            EXPECT_TRUE(pages.contains(target))
                << page.toStdString() << " links " << target.toStdString();
            linked.insert(target);
        }
    }
    for (const QString& page : pages) {
        EXPECT_TRUE(linked.count(page)) << page.toStdString() << " is not linked";
        EXPECT_TRUE(!page.startsWith("context-") || topics.contains("\"" + page + "\""))
            << page.toStdString() << " is not in the topics";
    }
}

} // namespace
