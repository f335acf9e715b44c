#pragma once
// The file dialogs on QFileDialog. The pairs-form filter becomes Qt's name filters; "*.*"
// becomes "*", since on this system a file needs no dot in its name to be a file.

#include "platform/FileDialogs.h"

#include <QStringList>

class QWidget;

namespace kelvorn {

/// The name filters QFileDialog takes for a pairs-form filter: each description without a
/// parenthesised pattern list of its own, then " (" + its patterns + ")"
/// ("All files (*.*)|*.*" gives "All files (*)").
QStringList QtNameFilters(const std::string& filter);

class QtFileDialogs final : public FileDialogs
{
public:
    /// owner: the window the dialogs centre on; null takes the active window at each call.
    explicit QtFileDialogs(QWidget* owner = nullptr) : owner(owner) {}

    std::vector<std::string> OpenFiles(const FileDialogRequest& request, bool multiple) override;
    bool SaveFile(const FileDialogRequest& request, std::string& path) override;

private:
    QWidget* owner;
};

} // namespace kelvorn
