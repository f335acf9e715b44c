#pragma once
// The program's help window: a browser on the program's own HTML pages, which are built into
// the program as Qt resources under ":/help". The window is made on first use and only hidden
// when closed. Asked for from a modal dialog, it comes up in front of the dialog and takes
// clicks and keys while the dialog stays open. Needs a QApplication.

#include "platform/Help.h"

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include <memory>

class QWidget;

namespace kelvorn {

class QtHelp final : public Help
{
public:
    /// root: the folder of the pages (":/help", or a directory on disk).
    explicit QtHelp(QString root = QStringLiteral(":/help"));
    ~QtHelp() override;
    QtHelp(const QtHelp&) = delete;
    QtHelp& operator=(const QtHelp&) = delete;

    void ShowContext(int context) override;
    void ShowContents() override;
    void ShowTopicSearch() override;
    void ShowHelpOnHelp() override;
    void CloseWindow() override;

    /// The file name of the page shown ("index.html", ...); empty before the first request.
    QString CurrentPage() const;
    /// The window, once a page was shown; else nullptr.
    QWidget* Window() const { return window.get(); }
    QTextBrowser* Browser() const { return browser.data(); }

private:
    void ShowPage(const QString& page);
    /// Makes the window belong to modal (in front of it and not blocked by it), or with null
    /// a window of its own.
    void BelongTo(QWidget* modal);

    QString root;
    std::unique_ptr<QWidget> window;
    QPointer<QTextBrowser> browser;
};

} // namespace kelvorn
