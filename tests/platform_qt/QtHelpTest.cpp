#include "platform/qt/QtHelp.h"
#include "general/Services.h"
#include "platform/qt/QtDialogRunner.h"
#include "platform/qt/QtServices.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace kelvorn;

namespace {

QString ReadPage(const QString& name)
{
    QFile file(":/help/" + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

struct PageCase
{
    int context;
    const char* page;
};

class HelpContextPage : public ::testing::TestWithParam<PageCase>
{
};

} // namespace

TEST_P(HelpContextPage, ShowsThePageOfItsNumber)
{
    QtHelp help;
    help.ShowContext(GetParam().context);
    ASSERT_NE(help.Window(), nullptr);
    EXPECT_TRUE(help.Window()->isVisible());
    EXPECT_EQ(help.CurrentPage().toStdString(), GetParam().page);
    EXPECT_FALSE(help.Browser()->toPlainText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Contexts, HelpContextPage,
                         ::testing::Values(PageCase{9, "context-9.html"},
                                           PageCase{2, "context-2.html"},
                                           PageCase{66, "context-66.html"},
                                           PageCase{1024, "context-1024.html"},
                                           PageCase{1024 + 37, "context-1024.html"},
                                           PageCase{10, "index.html"}, PageCase{999, "index.html"},
                                           PageCase{0, "index.html"}, PageCase{-5, "index.html"}));

TEST(QtHelp, MenuPagesAndOneWindow)
{
    QtHelp help;
    EXPECT_EQ(help.Window(), nullptr);
    EXPECT_TRUE(help.CurrentPage().isEmpty());
    help.ShowContents();
    QWidget* window = help.Window();
    EXPECT_EQ(help.CurrentPage(), "index.html");
    EXPECT_EQ(window->windowTitle(), "Kelvorn Help");
    help.ShowTopicSearch();
    EXPECT_EQ(help.CurrentPage(), "topics.html");
    help.ShowHelpOnHelp();
    EXPECT_EQ(help.CurrentPage(), "help-on-help.html");
    window->close();
    help.ShowContext(21);
    EXPECT_EQ(help.Window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(help.Browser()->toPlainText().indexOf("Rotate"), -1);
}

TEST(QtHelp, PagesFromAFolderOnDisk)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* page : {"index.html", "context-5.html"})
        ASSERT_TRUE(QFile::copy(QString(":/help/") + page, folder.filePath(page)));
    QtHelp help(folder.path());
    help.ShowContext(5);
    EXPECT_EQ(help.CurrentPage(), "context-5.html");
    EXPECT_EQ(help.Browser()->source(), QUrl::fromLocalFile(folder.filePath("context-5.html")));
    EXPECT_NE(help.Browser()->toPlainText().indexOf("Make Line"), -1);
    help.ShowContext(9);
    EXPECT_EQ(help.CurrentPage(), "index.html");
}

// Every page is reachable from the contents and the topic list, and every link leads to a
// page that exists.
TEST(HelpPages, LinksResolveAndEveryPageIsListed)
{
    QStringList pages = QDir(":/help").entryList({"*.html"}, QDir::Files);
    ASSERT_GE(pages.size(), 40);
    ASSERT_TRUE(pages.contains("index.html"));
    QRegularExpression href("href=\"([^\"#]+)\"");
    QRegularExpression title("<title>([^<]+)</title>");
    std::set<QString> linked;
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        QString text = ReadPage(page);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_TRUE(title.match(text).hasMatch());
        for (auto it = href.globalMatch(text); it.hasNext();) {
            QString target = it.next().captured(1);
            EXPECT_TRUE(pages.contains(target)) << target.toStdString();
            linked.insert(target);
        }
    }
    for (const QString& page : pages)
        EXPECT_TRUE(linked.count(page)) << page.toStdString() << " is not linked";
    QString topics = ReadPage("topics.html");
    for (const QString& page : pages) {
        if (page.startsWith("context-")) {
            EXPECT_TRUE(topics.contains("\"" + page + "\"")) << page.toStdString();
        }
    }
}

TEST(HelpPageFor, NumbersWithoutAPageGoToTheContents)
{
    auto only = [](std::set<std::string> names) {
        return [names](const std::string& page) { return names.count(page) > 0; };
    };
    auto some = only({"context-3.html", "context-1024.html"});
    EXPECT_EQ(HelpPageFor(3, some), "context-3.html");
    EXPECT_EQ(HelpPageFor(4, some), "index.html");
    EXPECT_EQ(HelpPageFor(1024, some), "context-1024.html");
    EXPECT_EQ(HelpPageFor(1024 + 255, some), "context-1024.html");
    EXPECT_EQ(HelpPageFor(1024 + 3, only({"context-3.html"})), "index.html");
    EXPECT_EQ(HelpPageFor(0, only({"context-0.html"})), "index.html");
}

TEST(QtServices, InstallsTheDialogRunnerAndHelp)
{
    {
        QtServices services;
        EXPECT_NE(dynamic_cast<QtDialogRunner*>(FindService<DialogRunner>()), nullptr);
        EXPECT_NE(dynamic_cast<QtHelp*>(FindService<Help>()), nullptr);
    }
    EXPECT_EQ(FindService<DialogRunner>(), nullptr);
    EXPECT_EQ(FindService<Help>(), nullptr);
}
