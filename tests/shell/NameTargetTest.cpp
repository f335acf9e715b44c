// The Edit Name window on the real document services, wired as the main window wires it.
#include "ShellTestSupport.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class NameTargetTest : public FrameTest
{
protected:
    NameTargetTest()
    {
        QObject::connect(&services, &TDocumentServices::LastDocumentWindowClosing, &dialog,
                         &TDlgEditName::Retarget);
    }

    bool ShowsNoDocument() const
    {
        return !dialog.editName->isEnabled() && dialog.editName->text().isEmpty() &&
               !dialog.btnOk->isEnabled() && !dialog.btnCancel->isEnabled();
    }

    TActiveNameTarget target{services, [](bool) {}};
    TDlgEditName dialog{nullptr, target};
};

TEST_F(NameTargetTest, RenamesTheActiveDocumentAndItsCaption)
{
    OpenWave("Wave 1");
    TMDIChildKelvorn* active = OpenWave("Wave 2", 1, "/w/b.wav");
    dialog.Retarget();
    EXPECT_EQ(dialog.editName->text(), QStringLiteral("Wave 2"));

    dialog.editName->setText(QStringLiteral("Drums"));
    dialog.btnOkClick();
    EXPECT_EQ(active->GetUnit()->GetName(), "Drums");
    EXPECT_EQ(active->CaptionText(), "Drums - /w/b.wav");
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(NameTargetTest, RefusedNamesStayInTheField)
{
    OpenWave("Wave 1");
    TMDIChildKelvorn* active = OpenWave("Wave 2");
    dialog.Retarget();

    struct Refusal
    {
        const char* typed;
        const char* text;
        const char* caption;
    };
    for (Refusal r : {Refusal{"Wave 1", "A window with name \"Wave 1\" already exists.", "Error"},
                      Refusal{"<Wave>", "A name may not contain \"<\" or \">\".", "Input Error"}}) {
        messages.Clear();
        messages.Expect();
        dialog.editName->setText(QString::fromLatin1(r.typed));
        dialog.btnOkClick();
        EXPECT_EQ(active->GetUnit()->GetName(), "Wave 2") << r.typed;
        EXPECT_EQ(dialog.editName->text(), QString::fromLatin1(r.typed));
        ASSERT_EQ(messages.Shown().size(), 1u) << r.typed;
        EXPECT_EQ(messages.Shown()[0].text, r.text);
        EXPECT_EQ(messages.Shown()[0].caption, r.caption);
    }
}

TEST_F(NameTargetTest, ClosingTheLastWindowOfAnyKindLeavesNoDocumentToName)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* factory = OpenFactory("Factory 1", 0);
    dialog.Retarget();
    EXPECT_EQ(dialog.editName->text(), QStringLiteral("Factory 1"));

    wave->close();
    EXPECT_FALSE(ShowsNoDocument());
    factory->close();
    // At once, before the toolkit deletes the window.
    EXPECT_TRUE(ShowsNoDocument());
    EXPECT_FALSE(target.HasActiveDocument());

    // Enter in the disabled field renames nothing.
    dialog.btnOkClick();
    EXPECT_TRUE(messages.Shown().empty());
    Flush();
    EXPECT_TRUE(ShowsNoDocument());
}

} // namespace
