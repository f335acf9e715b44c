// One QCoreApplication for the whole binary: the audio device needs an event loop, no display.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class AudioApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { app = std::make_unique<QCoreApplication>(argc, argv); }
    void TearDown() override { app.reset(); }

private:
    int argc = 1;
    char name[32] = "test_platform_qt_audio";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
};

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new AudioApplicationEnvironment);

} // namespace
