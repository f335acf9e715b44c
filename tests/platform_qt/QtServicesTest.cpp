#include "platform/qt/QtServices.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "platform/Clock.h"
#include "platform/ColorDialog.h"
#include "platform/Screen.h"
#include "platform/qt/QtDialogRunner.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtMessages.h"
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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

std::vector<std::string> KelvornFolders(const std::string& base)
{
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(base))
        if (entry.path().filename().string().rfind("kelvorn-", 0) == 0)
            found.push_back(entry.path().string());
    return found;
}

TEST(QtServices, InstallsEveryServiceForItsLifetime)
{
    ScopedService<Clock> noClock(nullptr);
    MessageSink* before = &Messages();
    std::string tempPath;
    {
        QtServices services;
        EXPECT_NE(dynamic_cast<QtMessages*>(&Messages()), nullptr);
        EXPECT_NE(dynamic_cast<QtDialogRunner*>(FindService<DialogRunner>()), nullptr);
        EXPECT_NE(dynamic_cast<QtHelp*>(FindService<Help>()), nullptr);
        EXPECT_NE(dynamic_cast<QtFileDialogs*>(FindService<FileDialogs>()), nullptr);
        using namespace std::chrono;
        EXPECT_LT(abs(GetService<Clock>().Now() - system_clock::now()), minutes(1));
        const PixelRect w = GetService<Screen>().Geometry();
        const PixelRect a = GetService<Screen>().AvailableGeometry();
        const QRect p = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(std::tie(w.left, w.top, w.right, w.bottom),
                  std::make_tuple(p.x(), p.y(), p.x() + p.width(), p.y() + p.height()));
        EXPECT_TRUE(a.left >= w.left && a.top >= w.top && a.right <= w.right &&
                    a.bottom <= w.bottom && a.Width() > 0 && a.Height() > 0);
        ASSERT_TRUE(GetService<TempDir>().Create());
        tempPath = GetService<TempDir>().Path();
        EXPECT_TRUE(fs::is_directory(tempPath));
    }
    EXPECT_TRUE(!FindService<Clock>() && !FindService<Screen>() && !FindService<TempDir>() &&
                !FindService<FileDialogs>() && !FindService<Help>() &&
                !FindService<DialogRunner>() && !FindService<ColorDialog>() &&
                &Messages() == before);
    // The end of the program's services is the end of its temporary files.
    EXPECT_FALSE(fs::exists(tempPath));

    // A base of its own, with a trailing '/' or two, and the directory tried when that fails.
    PrivateDirectory base((fs::temp_directory_path() / "kv-qttempdir-XXXXXX").string());
    ASSERT_TRUE(base.Create());
    QtTempDir dir(base.Path() + "//"), missing(base.Path() + "/no/such");
    ASSERT_TRUE(dir.Create());
    EXPECT_EQ(KelvornFolders(base.Path()), std::vector<std::string>{dir.Path()});
    EXPECT_FALSE(missing.Create());
    EXPECT_EQ(missing.Path(), base.Path() + "/no/such/kelvorn-XXXXXX");
}

// The process itself ends, so the check runs in a child: this binary again, running only this
// test with SignalChild set. The child opens a dialog with a message box over it, both in
// their own modal loops, with (main loop) and without (start-up) the application's loop
// beneath, and then says "ready".
constexpr const char* SignalChild = "KELVORN_SIGNAL_CHILD";

[[noreturn]] void RunSignalChild(bool underMainLoop)
{
    QuitOnSignals endOnSignals;
    QtServices services;
    if (!GetService<TempDir>().Create())
        std::_Exit(4);
    auto openStackedDialogs = [] {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [] {
            QMessageBox box(QMessageBox::Warning, "Kelvorn", "Over a dialog");
            QTimer::singleShot(0, &box, [] { [[maybe_unused]] auto n = ::write(1, "ready", 5); });
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

// Starts the child with TMPDIR base and its output in log.
pid_t SpawnSignalChild(const char* mode, const std::string& base, const std::string& log)
{
    // Sharding or an output file of the runner would apply to the child too.
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "TMPDIR=", 7) != 0 && std::strncmp(*e, "GTEST_", 6) != 0)
            environment.emplace_back(*e);
    environment.push_back(std::string(SignalChild) + "=" + mode);
    environment.push_back("TMPDIR=" + base);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=QuitOnSignals.*";
    char* argv[] = {self.data(), filter.data(), nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        // Only calls that are safe after a fork. Whatever the test runner ignores or blocks,
        // the child starts with the defaults.
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT, 0600);
        ::dup2(out, 1);
        ::dup2(out, 2);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int s : {SIGTERM, SIGINT, SIGHUP})
            ::signal(s, SIG_DFL);
        ::execve(self.c_str(), argv, envp.data());
        ::_exit(127);
    }
    return child;
}

TEST(QuitOnSignals, EndsTheProgramWithinASecondWhateverModalLoopsRun)
{
    if (const char* mode = std::getenv(SignalChild))
        RunSignalChild(std::string(mode) == "main loop");
    using namespace std::chrono;
    auto waitFor = [](const auto& done, steady_clock::duration limit) {
        for (auto start = steady_clock::now(); !done() && steady_clock::now() - start < limit;)
            std::this_thread::sleep_for(milliseconds(5));
    };
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        for (const char* mode : {"start-up", "main loop"}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + ", " + mode);
            PrivateDirectory base((fs::temp_directory_path() / "kv-signal-XXXXXX").string());
            ASSERT_TRUE(base.Create());
            const std::string log = base.Path() + "/child.log";
            const pid_t child = SpawnSignalChild(mode, base.Path(), log);
            ASSERT_GT(child, 0);
            waitFor([&] { return ReadText(log).find("ready") != std::string::npos; }, seconds(30));
            const std::vector<std::string> before = KelvornFolders(base.Path());

            ::kill(child, signal);
            int status = 0;
            pid_t ended = 0;
            waitFor([&] { return (ended = ::waitpid(child, &status, WNOHANG)) != 0; }, seconds(1));
            if (ended == 0) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
            }
            const std::string output = ReadText(log);
            EXPECT_NE(output.find("ready"), std::string::npos) << output;
            EXPECT_EQ(before.size(), 1u) << "the child's temporary directory";
            EXPECT_EQ(ended, child) << "still running a second after the signal\n" << output;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status << output;
            EXPECT_TRUE(KelvornFolders(base.Path()).empty());
        }
}

} // namespace
