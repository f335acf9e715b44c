#pragma once
// The factory dialogs offscreen: a factory with the recording host, every dialog run through the
// scripted runner, every box announced, help recorded, and the texts of lists and boxes read
// back as plain strings.

#include "factory/FactoryKit.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "window_base/QtModalDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

namespace kelvorn::test {

inline std::string Text(const QString& text)
{
    return text.toStdString();
}

inline std::vector<std::string> Items(const QComboBox* combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i)
        items.push_back(Text(combo->itemText(i)));
    return items;
}

inline std::vector<std::string> Items(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(Text(list->item(i)->text()));
    return items;
}

/// The rows of a list that are selected.
inline std::vector<int> Selected(const QListWidget* list)
{
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            rows.push_back(i);
    return rows;
}

/// Picks the item of that text, as the user would; fails the test when there is none.
inline void Pick(QComboBox* combo, const std::string& text)
{
    const int index = combo->findText(QString::fromStdString(text));
    ASSERT_GE(index, 0) << text;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

/// Types text into an edit and leaves it.
inline void TypeAndLeave(QLineEdit* edit, const std::string& text)
{
    edit->setText(QString::fromStdString(text));
    emit edit->editingFinished();
}

struct DialogTest : ::testing::Test, FactoryFixture
{
    ~DialogTest() override
    {
        EXPECT_TRUE(dialogs.Unexpected().empty());
        EXPECT_EQ(dialogs.Pending(), 0u);
        EXPECT_TRUE(messages.Unexpected().empty())
            << (messages.Unexpected().empty() ? "" : messages.Unexpected()[0].text);
        EXPECT_EQ(messages.Pending(), 0u);
    }

    /// Runs the dialog: act on it while it is open, then press answer. True when it closed
    /// with OK.
    template <class D>
    bool Run(D& dialog, std::function<void(D&)> act, DialogResult answer = DialogResult::Accepted)
    {
        std::string name = dialog.metaObject()->className();
        name = name.substr(name.rfind(':') + 1);
        dialogs.When(
            name,
            [&](ModalDialog&) {
                if (act)
                    act(dialog);
            },
            answer);
        return RunDialog(dialog) == DialogResult::Accepted;
    }

    /// Presses OK while the dialog is open and answers whether it stayed open; each box it
    /// shows must have been announced.
    static bool StaysOpen(QDialog& dialog)
    {
        dialog.accept();
        return dialog.isVisible();
    }

    /// Announces n boxes.
    void ExpectBoxes(int n)
    {
        for (int i = 0; i < n; ++i)
            messages.Expect();
    }

    /// The texts of the boxes shown so far, "caption: text".
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> boxes;
        for (const ShownMessage& shown : messages.Shown())
            boxes.push_back(shown.caption + ": " + shown.text);
        return boxes;
    }

    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    RecordingHelp help;
};

} // namespace kelvorn::test
