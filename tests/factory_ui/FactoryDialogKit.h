#pragma once
// The factory dialogs offscreen: a factory with the recording host, every dialog run through the
// scripted runner, every box announced, help recorded, list texts read back as strings.

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

using Strings = std::vector<std::string>;

inline std::string Text(const QString& text)
{
    return text.toStdString();
}

template <class List> Strings Items(const List* list)
{
    Strings items;
    for (int i = 0; i < list->count(); ++i) {
        if constexpr (std::is_same_v<List, QComboBox>)
            items.push_back(Text(list->itemText(i)));
        else
            items.push_back(Text(list->item(i)->text()));
    }
    return items;
}

inline std::vector<int> Selected(const QListWidget* list)
{
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            rows.push_back(i);
    return rows;
}

/// Picks the item of that text as the user does.
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
        EXPECT_TRUE(messages.Unexpected().empty());
        EXPECT_EQ(messages.Pending(), 0u);
    }

    /// Runs dialog, acting on it while it is open, then presses answer; true when it closed
    /// with OK. A dialog that refuses OK is closed as cancelled and listed in Refused().
    template <class D>
    bool Run(D& dialog, std::function<void(D&)> act, DialogResult answer = DialogResult::Accepted)
    {
        std::string name = dialog.metaObject()->className();
        dialogs.When(
            name.substr(name.rfind(':') + 1),
            [&](ModalDialog&) {
                if (act)
                    act(dialog);
            },
            answer);
        return RunDialog(dialog) == DialogResult::Accepted;
    }

    /// Presses OK and answers whether the dialog stayed open.
    static bool StaysOpen(QDialog& dialog)
    {
        dialog.accept();
        return dialog.isVisible();
    }

    /// Announces the boxes the test expects; Boxes() gives them as "caption: text".
    void ExpectBoxes(size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            messages.Expect();
    }
    Strings Boxes() const
    {
        Strings boxes;
        for (const ShownMessage& shown : messages.Shown())
            boxes.push_back(shown.caption + ": " + shown.text);
        return boxes;
    }

    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    RecordingHelp help;
};

} // namespace kelvorn::test
