// The document services of the main window and the document windows they manage.
#include "ShellSupport.h"

#include <QPointer>
#include <QSignalSpy>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class DocumentServicesTest : public ShellTest
{
protected:
    DocumentServicesTest() : services((Start(), form->Documents())) {}

    TDocumentServices& services;
};

// ---- Names ---------------------------------------------------------------------------------

TEST_F(DocumentServicesTest, UniqueNamesTakeTheSmallestFreeNumberOfTheWholeName)
{
    // The names open, the base and suffix asked for, the name made.
    const std::tuple<std::vector<std::string>, const char*, const char*, const char*> rows[] = {
        {{}, "Wave", "", "Wave 1"},
        {{"Wave 1", "Wave 3"}, "Wave", "", "Wave 2"},
        {{"Wave 1", "Copy 1 of Wave 1"}, "Copy", "of Wave 1", "Copy 2 of Wave 1"},
        {{"Copy 1"}, "Copy", "of Wave 1", "Copy 1 of Wave 1"},
        {{"Wave 1 of Music 1"}, "Wave", "of Music 1", "Wave 2 of Music 1"},
        {{"wave 1"}, "Wave", "", "Wave 1"},
        {{"Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8", "Wave 9"},
         "Wave",
         "",
         "Wave 10"},
        // Names of every kind count as taken.
        {{"Music 1", "Music 2", "Music 3"}, "Music", "", "Music 4"},
    };
    for (const auto& [open, base, suffix, expected] : rows) {
        for (size_t i = 0; i < open.size(); ++i) {
            if (i == 0)
                OpenMusic(open[i]);
            else if (i == 1)
                OpenFactory(open[i], 0);
            else
                OpenWave(open[i]);
        }
        EXPECT_EQ(services.MakeUniqueName(base, suffix), expected);
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }
}

TEST_F(DocumentServicesTest, CheckUniqueNameAcceptsOrShowsOneBox)
{
    const char* const rows[][2] = {
        {"Wave 1", ""}, // its own name
        {"", ""},
        {"Wave 3", ""},
        {"wave 2", ""},
        {"Wave 2", "Error: A window with name \"Wave 2\" already exists."},
        {"Music 1", "Error: A window with name \"Music 1\" already exists."},
        {"a<b", "Input Error: A name may not contain \"<\" or \">\"."},
        {"Wave 1>", "Input Error: A name may not contain \"<\" or \">\"."},
    };
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    OpenWave("Wave 2");
    OpenMusic("Music 1");
    for (const auto& row : rows) {
        messages.Clear();
        const bool accepted = !*row[1];
        if (!accepted)
            messages.Expect();
        EXPECT_EQ(services.CheckUniqueName(row[0], first->GetUnit()), accepted) << row[0];
        EXPECT_EQ(messages.Shown().size(), accepted ? 0u : 1u) << row[0];
        if (!accepted) {
            EXPECT_EQ(LastBox(), row[1]);
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

// ---- Closing windows -----------------------------------------------------------------------

TEST_F(DocumentServicesTest, AClosingWindowLeavesTheListAtOnce)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* closing = OpenWave("Wave 2");
    QPointer<TMDIChildKelvorn> alive(closing);
    QSignalSpy closingSpy(&services, &TDocumentServices::DocumentWindowClosing);
    // The frame activates the next window while the closing one is still its child: whatever
    // runs on that activation (the action update, the name window) must not see it either.
    std::vector<std::vector<std::string>> seen;
    const QMetaObject::Connection watch =
        QObject::connect(form->Frame(), &QMdiArea::subWindowActivated, form->Frame(),
                         [&](QMdiSubWindow*) { seen.push_back(Names()); });
    ASSERT_TRUE(closing->close());
    QObject::disconnect(watch);
    ASSERT_FALSE(seen.empty());
    for (const auto& names : seen)
        EXPECT_EQ(names, std::vector<std::string>{"Wave 1"});
    // Deleted only when the event loop gets round to it, but no longer a document window.
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(closing->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 2"), nullptr);
    EXPECT_EQ(services.MakeUniqueName("Wave"), "Wave 2");
    EXPECT_TRUE(services.CheckUniqueName("Wave 2", first->GetUnit()));
    EXPECT_NE(services.GetActiveChild(), closing);
    Flush();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});

    // A refused close keeps the window listed.
    TMDIChildKelvorn* changed = OpenWave("Wave 3", 1, 10);
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(changed->close());
    EXPECT_FALSE(changed->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 3"), changed->GetUnit());
}

} // namespace
