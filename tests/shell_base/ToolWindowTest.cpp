#include "shell/base/ToolWindow.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace kelvorn;

TEST(ToolWindow, IsCreatedOnFirstUseOnlyAndHiddenOnClose)
{
    QWidget owner;
    int made = 0;
    int notices = 0;
    ToolWindow<QLabel> tool(&owner, [&made](QWidget* parent) {
        ++made;
        auto* label = new QLabel("tool", parent);
        // Even a window that would delete itself on close is only hidden.
        label->setAttribute(Qt::WA_DeleteOnClose, true);
        return label;
    });
    tool.SetClosedNotice([&notices] { ++notices; });
    EXPECT_FALSE(tool.Exists());
    EXPECT_EQ(tool.Existing(), nullptr);
    EXPECT_EQ(made, 0);

    EXPECT_TRUE(tool.Toggle());
    QPointer<QLabel> first = tool.Existing();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_TRUE(first->isVisible());

    EXPECT_FALSE(tool.Toggle());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(notices, 1);

    EXPECT_TRUE(tool.Toggle());
    first->close(); // its own close box
    EXPECT_EQ(notices, 2);
    ASSERT_FALSE(first.isNull());
    EXPECT_FALSE(tool.IsVisible());

    tool.Show();
    tool.Show();
    EXPECT_EQ(tool.Window(), first.data());
    EXPECT_EQ(made, 1);
    EXPECT_EQ(tool.Creations(), 1);
    tool.Close();
    EXPECT_EQ(notices, 3);
}

TEST(ToolWindow, TheOwnerDeletesItsWindow)
{
    auto owner = std::make_unique<QWidget>();
    ToolWindow<QWidget> tool(owner.get());
    tool.Show();
    QPointer<QWidget> window = tool.Existing();
    ASSERT_FALSE(window.isNull());
    owner.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(tool.Exists());
}

TEST(ToolWindow, WithoutOwnerTheSlotDeletesItsWindow)
{
    QPointer<QWidget> window;
    {
        ToolWindow<QWidget> tool(nullptr);
        int notices = 0;
        tool.SetClosedNotice([&notices] { ++notices; });
        tool.Show();
        window = tool.Existing();
        ASSERT_FALSE(window.isNull());
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(notices, 0);
    }
    EXPECT_TRUE(window.isNull());
}
