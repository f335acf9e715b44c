// Under a real X server with a window manager: the close box of a document window is drawn by
// the document area, not by the window manager, so only the X server's own clicks and keys show
// how it behaves after the close question.
#include "XDesktop.h"

#include "platform/qt/QtMessages.h"
#include "support/ModalProbe.h"
#include "support/TitleBar.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using CloseBoxTest = XDesktopTest;

// However the question was left, the next click on the close box, with the pointer where it
// was, asks again; No at last closes the window.
TEST_F(CloseBoxTest, EveryClickOnTheCloseBoxAfterTheQuestionAsksAgain)
{
    TMainForm& main = *form;
    QtMessages boxes;
    ScopedService<MessageSink> installBoxes(&boxes);
    int asked = 0;
    boxes.SetPresenter([&asked](const std::string& text, const std::string& caption, MsgIcon icon,
                                MsgButtons buttons) {
        ++asked;
        return QtMessages::ShowMessageBox(text, caption, icon, buttons);
    });
    ASSERT_NO_FATAL_FAILURE(ShowMainWindow(false));
    Trigger("FileNewMuz");
    QPointer<TMDIChildKelvorn> piece = form->Documents().GetActiveChild();
    ASSERT_TRUE(piece && piece->IsDocumentModified());
    piece->setGeometry(20, 20, 400, 300);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QPoint closeBox = piece->mapToGlobal(CloseBoxOf(*piece));

    struct Way
    {
        const char* what;
        std::function<void(QDialog& box)> leave;
    };
    const Way ways[] = {
        {"Escape", [this](QDialog&) { x.Key(keysym::Escape); }},
        {"Cancel clicked",
         [this](QDialog& box) {
             auto* cancel = static_cast<QMessageBox&>(box).button(QMessageBox::Cancel);
             x.Click(cancel->mapToGlobal(cancel->rect().center()));
         }},
        {"the box's own close box", [this](QDialog& box) { x.CloseByUser(box); }},
    };
    // A click sooner than the double-click interval after the last one is a double click, which
    // the close box leaves alone as any title bar button does: each click is a click of its own.
    const auto clickCloseBox = [&] {
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        x.Click(closeBox);
    };
    clickCloseBox();
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        const int before = asked;
        bool left = false;
        ModalProbe probe([&](QDialog& box) {
            // The user answers the box they see where it is, with the keyboard in it.
            ASSERT_TRUE(Framed(box));
            ASSERT_TRUE(Active(box));
            way.leave(box);
            left = QTest::qWaitFor([&] { return !box.isVisible(); }, 5000);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return probe.Seen() && asked == before + 1; }, 5000))
            << "the click on the close box asked nothing";
        EXPECT_TRUE(left) << "the box stayed";
        ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 5000));
        EXPECT_TRUE(piece);
        clickCloseBox();
    }
    ModalProbe no(
        [](QDialog& box) { static_cast<QMessageBox&>(box).button(QMessageBox::No)->click(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return piece.isNull(); }, 5000))
        << "the last click asked nothing, or No kept the window";
}

} // namespace
