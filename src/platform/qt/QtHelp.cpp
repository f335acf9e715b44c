#include "platform/qt/QtHelp.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace kelvorn {

namespace {

QUrl PageUrl(const QString& root, const QString& page)
{
    QString path = root + QLatin1Char('/') + page;
    if (path.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

} // namespace

QtHelp::QtHelp(QString root) : root(std::move(root)) {}

QtHelp::~QtHelp() = default;

void QtHelp::ShowContext(int context)
{
    std::string page = HelpPageFor(context, [this](const std::string& name) {
        return QFile::exists(root + QLatin1Char('/') + QString::fromStdString(name));
    });
    ShowPage(QString::fromStdString(page));
}

void QtHelp::ShowContents()
{
    ShowPage(QStringLiteral("index.html"));
}

void QtHelp::ShowTopicSearch()
{
    ShowPage(QStringLiteral("topics.html"));
}

void QtHelp::ShowHelpOnHelp()
{
    ShowPage(QStringLiteral("help-on-help.html"));
}

QString QtHelp::CurrentPage() const
{
    return browser ? QFileInfo(browser->source().path()).fileName() : QString();
}

void QtHelp::ShowPage(const QString& page)
{
    if (!window) {
        window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Kelvorn Help"));
        window->setObjectName(QStringLiteral("HelpWindow"));
        // Help is no reason to keep the program running once its main window closed.
        window->setAttribute(Qt::WA_QuitOnClose, false);
        window->resize(640, 480);
        auto* contents = new QPushButton(QStringLiteral("&Contents"), window.get());
        contents->setObjectName(QStringLiteral("helpContents"));
        auto* topics = new QPushButton(QStringLiteral("&Topics"), window.get());
        topics->setObjectName(QStringLiteral("helpTopics"));
        auto* back = new QPushButton(QStringLiteral("&Back"), window.get());
        back->setObjectName(QStringLiteral("helpBack"));
        browser = new QTextBrowser(window.get());
        browser->setOpenExternalLinks(true);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(topics);
        buttons->addWidget(back);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(window.get());
        layout->addLayout(buttons);
        layout->addWidget(browser);
        QObject::connect(contents, &QPushButton::clicked, browser, [this] { ShowContents(); });
        QObject::connect(topics, &QPushButton::clicked, browser, [this] { ShowTopicSearch(); });
        QObject::connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
        QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
        back->setEnabled(false);
        // The keys scroll the page and follow its links; the buttons answer their letters.
        for (QPushButton* button : {contents, topics, back})
            button->setFocusPolicy(Qt::NoFocus);
        browser->setFocus();
    }
    browser->setSource(PageUrl(root, page));
    BelongTo(QApplication::activeModalWidget());
    window->show();
    window->raise();
    window->activateWindow();
}

void QtHelp::BelongTo(QWidget* modal)
{
    // Help asked for from a modal dialog belongs to that dialog: the window manager keeps it in
    // front of the dialog, and the dialog's modality, which blocks every other window, lets a
    // window of its own take clicks and keys. Otherwise the help is a window of its own.
    QWindow* owner = modal ? modal->windowHandle() : nullptr;
    const Qt::WindowType type = owner ? Qt::Dialog : Qt::Window;
    QWindow* handle = window->windowHandle();
    if (handle && handle->transientParent() == owner && window->windowType() == type)
        return;
    // The window manager reads type and owner when the window is mapped.
    window->hide();
    Qt::WindowFlags flags = type;
    if (owner)
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint;
    window->setWindowFlags(flags);
    window->winId();
    window->windowHandle()->setTransientParent(owner);
}

void QtHelp::CloseWindow()
{
    if (window)
        window->close();
}

} // namespace kelvorn
