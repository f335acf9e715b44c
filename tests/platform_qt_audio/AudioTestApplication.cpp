// One QCoreApplication for the whole binary: the audio device needs an event loop, no display.
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

struct AudioApplication : ::testing::Environment
{
    void SetUp() override { app = new QCoreApplication(argc, argv); }
    void TearDown() override { delete app; }
    int argc = 1;
    char name[32] = "test_platform_qt_audio";
    char* argv[2] = {name, nullptr};
    QCoreApplication* app = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new AudioApplication);

} // namespace
