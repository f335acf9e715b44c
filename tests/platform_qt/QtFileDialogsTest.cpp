#include "platform/qt/QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

TEST(QtNameFilters, ConvertsThePairsForm)
{
    EXPECT_EQ(QtNameFilters("Wave Files (*.wav)|*.wav|All files (*.*)|*.*"),
              (QStringList{"Wave Files (*.wav)", "All files (*)"}));
    EXPECT_EQ(QtNameFilters("Factory Files (*.kvf)|*.kvf|XML Files (*.xml)|*.xml"),
              (QStringList{"Factory Files (*.kvf)", "XML Files (*.xml)"}));
    // The patterns the pairs name win over what the description says.
    EXPECT_EQ(QtNameFilters("Sounds|*.wav;*.kvw|Odd (*.x)|*.y"),
              (QStringList{"Sounds (*.wav *.kvw)", "Odd (*.y)"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

// Answers the next file dialog from inside its own loop: types name and presses the button
// (an empty name cancels).
class DialogDriver : public QObject
{
public:
    explicit DialogDriver(QString answer) : name(std::move(answer))
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer.stop();
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(name);
            // accept() is protected in QFileDialog; its slot checks the name as a click would.
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        timer.start();
    }

    QString name;
    QString title;
    QStringList filters;

private:
    QTimer timer;
};

class QtFileDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kv-filedialogs-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        // The widget dialog, whatever the desktop: only it can be driven from here.
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    }
    void TearDown() override { fs::remove_all(dir); }

    FileDialogRequest Request(const char* title) const
    {
        return {title, "Wave Files (*.wav)|*.wav|All files (*.*)|*.*", "wav",
                (dir / "start.wav").string()};
    }

    fs::path dir;
};

TEST_F(QtFileDialogsTest, SaveAppendsTheDefaultExtensionToABareName)
{
    QtFileDialogs dialogs;
    DialogDriver driver(QString::fromStdString((dir / "song").string()));
    std::string path;
    ASSERT_TRUE(dialogs.SaveFile(Request("Save Wave"), path));
    EXPECT_EQ(path, (dir / "song.wav").string());
    EXPECT_EQ(driver.title, "Save Wave");
    EXPECT_EQ(driver.filters, (QStringList{"Wave Files (*.wav)", "All files (*)"}));
}

TEST_F(QtFileDialogsTest, CancelledSaveLeavesThePath)
{
    QtFileDialogs dialogs;
    DialogDriver driver({});
    std::string path = "kept";
    EXPECT_FALSE(dialogs.SaveFile(Request("Save Wave"), path));
    EXPECT_EQ(path, "kept");
}

TEST_F(QtFileDialogsTest, OpenAnswersTheChosenExistingFile)
{
    std::ofstream(dir / "a.wav") << "x";
    QtFileDialogs dialogs;
    DialogDriver driver(QString::fromStdString((dir / "a.wav").string()));
    EXPECT_EQ(dialogs.OpenFiles(Request("Open Wave"), true),
              std::vector<std::string>{(dir / "a.wav").string()});
    EXPECT_EQ(driver.title, "Open Wave");
}

} // namespace
