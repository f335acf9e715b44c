#pragma once
// "Edit Name": the modeless tool window that shows the name of the active document and
// renames it. It reaches the documents only through NameTarget, which the main window
// implements; the main window calls Retarget whenever the active document changes and whenever
// a document window closes, so that after the last one it shows no document.

#include "window_base/FormLayout.h"

#include <QWidget>

#include <string>

class QLineEdit;
class QPushButton;

namespace kelvorn {

/// The active document as the name window sees it.
class NameTarget
{
public:
    virtual ~NameTarget() = default;

    /// Whether a document window is active.
    virtual bool HasActiveDocument() const = 0;
    /// The active document's name (may be empty).
    virtual std::string ActiveName() const = 0;
    /// Whether the active document may take name: an empty name or one no other open
    /// document bears. Otherwise it has shown "A window with name "N" already exists."
    virtual bool CheckUniqueName(const std::string& name) = 0;
    /// Gives the active document name, and its window the new caption.
    virtual void SetActiveName(const std::string& name) = 0;
    /// The main window's text-input mode: typed keys reach the focused field, not shortcuts.
    virtual void SetTextInputMode(bool on) = 0;
};

class TDlgEditName : public QWidget
{
    Q_OBJECT

public:
    /// target: not owned; it must outlive the window.
    TDlgEditName(QWidget* owner, NameTarget& target);

    /// Shows name in the field, enabled, with OK and Cancel enabled.
    void SetEditName(const std::string& name);
    /// Follows the active document: its name, or with none an empty, disabled field and
    /// disabled buttons.
    void Retarget();

    QLineEdit* editName;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    /// Renames the active document to the field's text when the text is a name the files can
    /// hold and no other document bears; a refused name stays in the field.
    void btnOkClick();
    /// Puts the active document's name back into the field.
    void btnCancelClick();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    NameTarget& target;
    FormLayout layout;
};

/// Why name cannot be given to a document, or "" when it can: the files that store names
/// cannot hold "<" or ">", nor a character outside Latin-1.
std::string NameRefusal(const QString& name);

} // namespace kelvorn
