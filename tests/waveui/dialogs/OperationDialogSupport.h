#pragma once
// What the operation dialog tests share: a wave list with fixed documents, a way to run a
// dialog through the scripted runner, and setting a control by name as a user would.

#include "general/Services.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/base/QtModalDialog.h"
#include "waveui/dialogs/OperationDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <string>
#include <vector>

namespace kelvorn::test {

/// Every list offers "Wave 1" and "Wave 2"; the mono lists only "Wave 1". Extra entries can be
/// added to all lists.
class FixedWaveList final : public WaveListSource
{
public:
    FixedWaveList() : install(this) {}
    void FillWaveList(std::vector<WaveChoice>& list, int mode) override
    {
        modes.push_back(mode);
        list.push_back({"Wave 1", nullptr});
        if (mode != waveListOtherMono)
            list.push_back({"Wave 2", nullptr});
        for (const WaveChoice& choice : extra)
            list.push_back(choice);
    }

    std::vector<WaveChoice> extra;
    std::vector<int> modes;

private:
    ScopedService<WaveListSource> install;
};

/// Sets the control called name as the user would: a line edit takes text; a button is
/// switched "on" or "off"; a list selects the item whose text is value ("" selects nothing);
/// a radio group turns on its item value; a page control shows page number value.
inline void Set(TOperationDialog& dialog, const std::string& name, const std::string& value)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromStdString(name));
    ASSERT_NE(control, nullptr) << name;
    const QString text = QString::fromLatin1(value.c_str());
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        ASSERT_TRUE(value == "on" || value == "off") << name;
        button->setChecked(value == "on");
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = value.empty() ? -1 : combo->findText(text);
        ASSERT_TRUE(value.empty() || index >= 0) << name << " has no " << value;
        combo->setCurrentIndex(index);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        bool found = false;
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            if (item->text() == text) {
                item->setChecked(true);
                found = true;
            }
        ASSERT_TRUE(found) << name << " has no " << value;
    } else if (auto* pages = qobject_cast<QTabWidget*>(control)) {
        pages->setCurrentIndex(std::stoi(value));
    } else {
        FAIL() << name << " cannot be set";
    }
}

/// What the control called name shows, in the terms Set takes.
inline std::string Shown(TOperationDialog& dialog, const std::string& name)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromStdString(name));
    if (!control)
        return "<missing " + name + ">";
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toLatin1().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->isChecked() ? "on" : "off";
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText().toLatin1().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            if (item->isChecked())
                return item->text().toLatin1().toStdString();
        return "";
    }
    if (auto* pages = qobject_cast<QTabWidget*>(control))
        return std::to_string(pages->currentIndex());
    return "<unknown " + name + ">";
}

/// Opens dialog through the scripted runner as class className, runs act on it and, when it
/// is still open afterwards, cancels it. Answers the result it closed with.
inline DialogResult RunScripted(ScriptedDialogs& dialogs, TOperationDialog& dialog,
                                const std::string& className, std::function<void()> act)
{
    dialogs.When(
        className, [&](ModalDialog&) { act(); }, DialogResult::Rejected);
    return RunDialog(dialog);
}

} // namespace kelvorn::test
