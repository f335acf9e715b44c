#include "platform/qt/QtMessages.h"

#include "general/Assert.h"
#include "general/Services.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace kelvorn;

namespace {

struct PresentedBox
{
    std::thread::id thread;
    std::string text;
    std::string caption;
    MsgIcon icon;
    MsgButtons buttons;
};

// The Qt sink installed, its boxes recorded in place of the modal QMessageBox.
class QtMessagesTest : public ::testing::Test
{
protected:
    QtMessagesTest()
    {
        sink.SetPresenter([this](const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) {
            boxes.push_back({std::this_thread::get_id(), text, caption, icon, buttons});
            return MsgAnswer::No;
        });
    }

    // Runs job on its own thread while this (the GUI) thread serves no events; true when the job
    // finished so. A job still waiting then gets the events served until it ends, so that a sink
    // that waits on the GUI thread fails the test instead of hanging it.
    static bool RunWithoutGui(const std::function<void()>& job)
    {
        std::future<void> finished = std::async(std::launch::async, job);
        const bool alone = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        while (finished.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        finished.get();
        return alone;
    }

    // Serves the GUI thread's events until count boxes were presented (or five seconds passed).
    void ServeUntilBoxes(size_t count)
    {
        QDeadlineTimer deadline(5000);
        while (boxes.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    QtMessages sink;
    ScopedService<MessageSink> install{&sink};
    std::vector<PresentedBox> boxes;
};

TEST_F(QtMessagesTest, SoftAssertionOnAWorkerIsShownOnTheGuiThread)
{
    std::thread::id worker;
    bool held = true;
    const int workerValue = 2;
    const int assertLine = __LINE__ + 3;
    const bool alone = RunWithoutGui([&] {
        worker = std::this_thread::get_id();
        held = KV_SOFT_ASSERT(workerValue == 3);
    });
    EXPECT_TRUE(alone) << "the worker waited for the GUI thread";
    EXPECT_FALSE(held);
    EXPECT_TRUE(boxes.empty()) << "the box was shown before the GUI thread took it";

    ServeUntilBoxes(1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].thread, std::this_thread::get_id());
    EXPECT_NE(boxes[0].thread, worker);
    EXPECT_EQ(boxes[0].text, "In QtMessagesTest.cpp line " + std::to_string(assertLine) +
                                 ": Condition \"workerValue == 3\"failed!");
    EXPECT_EQ(boxes[0].caption, "Assertion failed");
    EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(boxes[0].buttons, MsgButtons::Ok);
}

TEST_F(QtMessagesTest, WorkerIsAnsweredWithTheFirstButtonAtOnceAndGuiThreadByTheUser)
{
    const struct
    {
        MsgButtons buttons;
        MsgAnswer answer;
    } rows[] = {{MsgButtons::Ok, MsgAnswer::Ok},
                {MsgButtons::OkCancel, MsgAnswer::Ok},
                {MsgButtons::YesNo, MsgAnswer::Yes},
                {MsgButtons::YesNoCancel, MsgAnswer::Yes}};
    for (const auto& row : rows) {
        boxes.clear();
        MsgAnswer answer = MsgAnswer::Cancel;
        EXPECT_TRUE(RunWithoutGui([&] {
            answer = Messages().Show("Save changes?", "Question", MsgIcon::Question, row.buttons);
        }));
        EXPECT_EQ(answer, row.answer);
        ServeUntilBoxes(1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Save changes?");
        EXPECT_EQ(boxes[0].buttons, row.buttons);
    }
    // On the GUI thread the box comes at once, with the user's answer.
    boxes.clear();
    EXPECT_EQ(Messages().Show("Overwrite?", "Confirm", MsgIcon::Warning, MsgButtons::YesNo),
              MsgAnswer::No);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].thread, std::this_thread::get_id());
    EXPECT_EQ(boxes[0].icon, MsgIcon::Warning);
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
