#include "platform/qt/QtHelp.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

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
        auto* topics = new QPushButton(QStringLiteral("&Topics"), window.get());
        auto* back = new QPushButton(QStringLiteral("&Back"), window.get());
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
    }
    browser->setSource(PageUrl(root, page));
    window->show();
    window->raise();
    window->activateWindow();
}

void QtHelp::CloseWindow()
{
    if (window)
        window->close();
}

} // namespace kelvorn
