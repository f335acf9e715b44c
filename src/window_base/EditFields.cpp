#include "window_base/EditFields.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kelvorn {

namespace {

// In every colour group, so the colour shows in the disabled state as well.
void SetBackground(QWidget* edit, QPalette::ColorRole from)
{
    QPalette palette = edit->palette();
    QColor color = QApplication::palette(edit).color(QPalette::Active, from);
    palette.setColor(QPalette::Base, color);
    edit->setPalette(palette);
}

void ClearText(QWidget* edit)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->clear();
    else if (auto* text = qobject_cast<QTextEdit*>(edit))
        text->clear();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit))
        plain->clear();
    else if (auto* combo = qobject_cast<QComboBox*>(edit); combo && combo->isEditable())
        combo->clearEditText();
}

} // namespace

void EnableEdit(QWidget* edit)
{
    if (!edit)
        return;
    edit->setEnabled(true);
    SetBackground(edit, QPalette::Base);
}

void DisableEdit(QWidget* edit, bool clear)
{
    if (!edit)
        return;
    if (clear)
        ClearText(edit);
    SetBackground(edit, QPalette::Button);
    edit->setEnabled(false);
}

} // namespace kelvorn
