#include "platform/qt/QtMessages.h"

#include "general/Assert.h"
#include "general/Services.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace kelvorn;

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
                             "In QtMessagesTest.cpp line " + std::to_string(assertLine) +
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

} // namespace
