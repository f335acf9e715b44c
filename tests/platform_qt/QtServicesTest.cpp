#include "platform/qt/QtServices.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/TempDir.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtTempDir.h"
#include "platform/qt/QuitOnSignals.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

class QtTempDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = (fs::temp_directory_path() / "kv-qttempdir-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        base = name;
    }
    void TearDown() override { fs::remove_all(base); }

    fs::path base;
};

// Sets an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

} // namespace

TEST_F(QtTempDirTest, CreatesAPrivateDirectoryAndRemovesItWithItsFiles)
{
    fs::path path;
    {
        QtTempDir dir(base.string());
        EXPECT_FALSE(dir.Exists());
        ASSERT_TRUE(dir.Create());
        EXPECT_TRUE(dir.Exists());
        path = dir.Path();
        EXPECT_EQ(path.parent_path(), base);
        EXPECT_EQ(path.filename().string().rfind("kelvorn-", 0), 0u);
        EXPECT_NE(path.filename().string(), "kelvorn-XXXXXX");
        ASSERT_TRUE(fs::is_directory(path));
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);

        fs::create_directory(path / "sub");
        std::ofstream(dir.FilePath("play.wav")) << "RIFF";
        std::ofstream((path / "sub" / "record.wav").string()) << "RIFF";
        ASSERT_TRUE(dir.Create());
        EXPECT_EQ(fs::path(dir.Path()), path);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::exists(base));
}

TEST_F(QtTempDirTest, TwoInstancesNeverShareADirectory)
{
    QtTempDir first(base.string() + "/");
    QtTempDir second(base.string());
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(fs::path(first.Path()).parent_path(), base);
}

TEST_F(QtTempDirTest, FailureNamesTheDirectoryTriedAndLeavesNothing)
{
    std::string missing = (base / "no" / "such").string();
    {
        QtTempDir dir(missing);
        EXPECT_FALSE(dir.Create());
        EXPECT_FALSE(dir.Exists());
        EXPECT_EQ(dir.Path(), missing + "/kelvorn-XXXXXX");
        EXPECT_FALSE(dir.Create());
    }
    EXPECT_TRUE(fs::is_empty(base));
}

TEST_F(QtTempDirTest, UsesTheSystemTemporaryPath)
{
    ScopedEnv tmp("TMPDIR", base.string());
    QtTempDir dir;
    ASSERT_TRUE(dir.Create());
    EXPECT_EQ(fs::path(dir.Path()).parent_path(), base);
}

TEST(QtClock, TellsTheSystemTime)
{
    using namespace std::chrono;
    QtClock clock;
    auto difference = clock.Now() - system_clock::now();
    EXPECT_LT(std::chrono::abs(difference), minutes(1));
}

TEST(QtScreen, ReportsThePrimaryScreen)
{
    QtScreen screen;
    PixelRect whole = screen.Geometry();
    PixelRect available = screen.AvailableGeometry();
    QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(whole.Width(), primary->geometry().width());
    EXPECT_EQ(whole.Height(), primary->geometry().height());
    EXPECT_GT(whole.Width(), 0);
    EXPECT_GT(whole.Height(), 0);
    EXPECT_GE(available.left, whole.left);
    EXPECT_GE(available.top, whole.top);
    EXPECT_LE(available.right, whole.right);
    EXPECT_LE(available.bottom, whole.bottom);
}

TEST(QtServices, InstallsEveryServiceForItsLifetime)
{
    ScopedService<Clock> noClock(nullptr);
    MessageSink* before = &Messages();
    std::string tempPath;
    {
        QtServices services;
        EXPECT_NE(dynamic_cast<QtMessages*>(&Messages()), nullptr);
        EXPECT_NE(dynamic_cast<QtClock*>(FindService<Clock>()), nullptr);
        EXPECT_NE(dynamic_cast<QtScreen*>(FindService<Screen>()), nullptr);
        EXPECT_NE(dynamic_cast<QtFileDialogs*>(FindService<FileDialogs>()), nullptr);
        ASSERT_NE(dynamic_cast<QtTempDir*>(FindService<TempDir>()), nullptr);
        ASSERT_TRUE(GetService<TempDir>().Create());
        tempPath = GetService<TempDir>().Path();
        EXPECT_TRUE(fs::is_directory(tempPath));
    }
    EXPECT_EQ(FindService<Clock>(), nullptr);
    EXPECT_EQ(FindService<Screen>(), nullptr);
    EXPECT_EQ(FindService<TempDir>(), nullptr);
    EXPECT_EQ(FindService<FileDialogs>(), nullptr);
    EXPECT_EQ(dynamic_cast<QtMessages*>(&Messages()), nullptr);
    EXPECT_EQ(&Messages(), before);
    // The end of the program's services is the end of its temporary files.
    EXPECT_FALSE(fs::exists(tempPath));
}

TEST(QuitOnSignals, TerminationEndsTheEventLoopNormally)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        QuitOnSignals quit;
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        // A loop that the signal does not end fails here rather than hanging.
        QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << signal;
        EXPECT_EQ(quit.Received(), signal);
    }
}
