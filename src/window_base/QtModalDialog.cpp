#include "window_base/QtModalDialog.h"

#include "general/Services.h"

#include <QMetaObject>

namespace kelvorn {

std::string QtModalDialog::ClassName() const
{
    if (!dialog)
        return {};
    std::string name = dialog->metaObject()->className();
    size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

DialogResult QtModalDialog::Exec()
{
    return dialog && dialog->exec() == QDialog::Accepted ? DialogResult::Accepted
                                                         : DialogResult::Rejected;
}

void QtModalDialog::Open()
{
    if (!dialog)
        return;
    dialog->setResult(QDialog::Rejected);
    dialog->show();
}

bool QtModalDialog::IsOpen() const
{
    return dialog && dialog->isVisible();
}

void QtModalDialog::Accept()
{
    if (dialog)
        dialog->accept();
}

void QtModalDialog::Reject()
{
    if (dialog)
        dialog->reject();
}

void QtModalDialog::Finish(DialogResult result)
{
    if (dialog)
        dialog->done(result == DialogResult::Accepted ? QDialog::Accepted : QDialog::Rejected);
}

DialogResult QtModalDialog::Result() const
{
    return dialog && dialog->result() == QDialog::Accepted ? DialogResult::Accepted
                                                           : DialogResult::Rejected;
}

DialogResult RunDialog(QDialog& dialog)
{
    QtModalDialog modal(dialog);
    return GetService<DialogRunner>().Run(modal);
}

} // namespace kelvorn
