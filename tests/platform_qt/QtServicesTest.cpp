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

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// The process itself ends, so the check runs in a child: this binary again, running only this
// test with SignalChildMode set. The child opens a dialog with a message box over it, both in
// their own modal loops, with (main loop) and without (start-up) the application's loop
// beneath, and says so on descriptor 3.
constexpr const char* SignalChildMode = "KELVORN_SIGNAL_CHILD";
constexpr const char* SignalTestFilter =
    "--gtest_filter=QuitOnSignals.EndsTheProgramWithinASecondWhateverModalLoopsRun";

[[noreturn]] void RunSignalChild(bool underMainLoop)
{
    QuitOnSignals endOnSignals;
    QtServices services;
    if (!GetService<TempDir>().Create())
        std::_Exit(4);
    auto openStackedDialogs = [] {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [] {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Kelvorn"),
                            QStringLiteral("Over a dialog"));
            QTimer::singleShot(0, &box, [] { [[maybe_unused]] auto n = ::write(3, "r", 1); });
            box.exec();
        });
        dialog.exec();
    };
    if (underMainLoop) {
        QTimer::singleShot(0, openStackedDialogs);
        QCoreApplication::exec();
    } else {
        openStackedDialogs();
    }
    // The dialogs closed or a loop returned: the signal did not end the program.
    std::_Exit(3);
}

std::vector<std::string> KelvornDirectories(const fs::path& base)
{
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(base))
        if (entry.path().filename().string().rfind("kelvorn-", 0) == 0)
            found.push_back(entry.path().filename().string());
    return found;
}

// Starts the child with TMPDIR base, its output in base/child.log and ready as descriptor 3;
// -1 when it cannot start.
pid_t SpawnSignalChild(const char* mode, const fs::path& base, int ready)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, ready, 3);
    const std::string log = (base / "child.log").string();
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    // Whatever the test runner ignores or blocks, the child starts with the defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    // Sharding or an output file of the runner would apply to the child too.
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "TMPDIR=", 7) != 0 && std::strncmp(*e, "GTEST_", 6) != 0)
            environment.emplace_back(*e);
    environment.push_back(std::string(SignalChildMode) + "=" + mode);
    environment.push_back("TMPDIR=" + base.string());
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string filter = SignalTestFilter;
    char* argv[] = {self.data(), filter.data(), nullptr};

    pid_t child = -1;
    const int failed = posix_spawn(&child, self.c_str(), &files, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return failed ? -1 : child;
}

} // namespace

TEST(QuitOnSignals, EndsTheProgramWithinASecondWhateverModalLoopsRun)
{
    if (const char* mode = std::getenv(SignalChildMode))
        RunSignalChild(std::string(mode) == "main loop");

    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        for (const char* mode : {"start-up", "main loop"}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + ", " + mode);
            std::string baseName = (fs::temp_directory_path() / "kv-signal-XXXXXX").string();
            ASSERT_NE(mkdtemp(baseName.data()), nullptr);
            const fs::path base = baseName;
            int ready[2];
            ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
            // Above 3, so that the copy to 3 is a real one, which drops close-on-exec.
            const int readyWrite = ::fcntl(ready[1], F_DUPFD_CLOEXEC, 10);
            ::close(ready[1]);
            const pid_t child = SpawnSignalChild(mode, base, readyWrite);
            ::close(readyWrite);
            ASSERT_GT(child, 0);

            pollfd wait{ready[0], POLLIN, 0};
            char byte = 0;
            const bool opened = ::poll(&wait, 1, 30000) == 1 && ::read(ready[0], &byte, 1) == 1;
            ::close(ready[0]);
            const std::vector<std::string> before = KelvornDirectories(base);

            ::kill(child, signal);
            const auto sent = std::chrono::steady_clock::now();
            int status = 0;
            pid_t ended = 0;
            while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
                   std::chrono::steady_clock::now() - sent < std::chrono::seconds(1))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (ended == 0) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
            }
            std::ifstream logFile(base / "child.log");
            const std::string childOutput((std::istreambuf_iterator<char>(logFile)),
                                          std::istreambuf_iterator<char>());

            EXPECT_TRUE(opened) << childOutput;
            EXPECT_EQ(before.size(), 1u) << "the child's temporary directory";
            EXPECT_EQ(ended, child) << "still running a second after the signal\n" << childOutput;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
                << "status " << status << "\n"
                << childOutput;
            EXPECT_TRUE(KelvornDirectories(base).empty());
            fs::remove_all(base);
        }
}
