#include "platform/qt/QtFileDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace kelvorn {

namespace {

QString FromLocal(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocal(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Prepares the dialog both kinds share; the pattern the initial file name matches picks the
// filter, so that Save As of a music file does not start on the wave filter.
void SetUp(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setWindowTitle(QString::fromLatin1(request.title.c_str()));
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromLatin1(request.defaultExtension.c_str()));
    if (!request.fileName.empty()) {
        const QFileInfo info(FromLocal(request.fileName));
        if (info.isAbsolute())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
}

} // namespace

QStringList QtNameFilters(const std::string& filter)
{
    QStringList result;
    for (const FileFilterEntry& entry : ParseFileFilter(filter)) {
        QString description = QString::fromLatin1(entry.description.c_str());
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns;
        for (const std::string& pattern : entry.patterns)
            patterns << (pattern == "*.*" ? QStringLiteral("*") : QString::fromLatin1(pattern));
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

std::vector<std::string> QtFileDialogs::OpenFiles(const FileDialogRequest& request, bool multiple)
{
    QFileDialog dialog(owner ? owner : QApplication::activeWindow());
    SetUp(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    std::vector<std::string> files;
    if (dialog.exec() != QDialog::Accepted)
        return files;
    for (const QString& file : dialog.selectedFiles())
        files.push_back(ToLocal(file));
    return files;
}

bool QtFileDialogs::SaveFile(const FileDialogRequest& request, std::string& path)
{
    QFileDialog dialog(owner ? owner : QApplication::activeWindow());
    SetUp(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    // The native dialogs do not all honour the default suffix.
    path =
        AppendDefaultExtension(ToLocal(dialog.selectedFiles().front()), request.defaultExtension);
    return true;
}

} // namespace kelvorn
