#include "window_base/EditName.h"

#include "general/GuiMessages.h"
#include "platform/test/ScriptedMessages.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

// Open documents by name; one of them active, or none.
class FakeDocuments final : public NameTarget
{
public:
    std::vector<std::string> names{"Wave 1", "Wave 2", "Music 1"};
    int active = 0;
    int uniqueChecks = 0;
    std::vector<bool> inputModes;

    bool HasActiveDocument() const override { return active >= 0; }
    std::string ActiveName() const override { return names.at(active); }
    bool CheckUniqueName(const std::string& name) override
    {
        ++uniqueChecks;
        if (name.empty())
            return true;
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name && int(i) != active) {
                TGuiMessages::ShowWindowExistsError(name);
                return false;
            }
        return true;
    }
    void SetActiveName(const std::string& name) override { names.at(active) = name; }
    void SetTextInputMode(bool on) override { inputModes.push_back(on); }

    /// Closes the active document's window; none is active afterwards.
    void CloseActive()
    {
        names.erase(names.begin() + active);
        active = -1;
    }
};

class EditNameTest : public ::testing::Test
{
protected:
    void Type(const QString& text)
    {
        dialog.editName->clear();
        // QTest types only ASCII keys; other characters come as one input.
        bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii)
            QTest::keyClicks(dialog.editName, text);
        else
            dialog.editName->insert(text);
    }
    bool ShowsNoDocument() const
    {
        return !dialog.editName->isEnabled() && dialog.editName->text().isEmpty() &&
               !dialog.btnOk->isEnabled() && !dialog.btnCancel->isEnabled();
    }

    ScriptedMessages messages;
    FakeDocuments documents;
    QWidget owner;
    TDlgEditName dialog{&owner, documents};
};

struct RenameCase
{
    const char* name;
    const char* typed;    // UTF-8
    const char* expected; // the active document's name afterwards (Latin-1 bytes)
    const char* caption;  // the box shown, or "" for none
    const char* text;
};

class EditNameRename : public EditNameTest, public ::testing::WithParamInterface<RenameCase>
{
};

} // namespace

TEST_F(EditNameTest, FormAndLayout)
{
    EXPECT_EQ(dialog.windowTitle(), "Edit Name");
    EXPECT_TRUE(dialog.isWindow());
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::Tool));
    // Above its owner only: the program's dialogs open above it, other programs' windows too.
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_EQ(dialog.size(), QSize(312 - 8, 72 - 26));
    EXPECT_EQ(dialog.minimumWidth(), 180 - 8);
    EXPECT_EQ(dialog.minimumHeight(), dialog.maximumHeight());
    EXPECT_EQ(dialog.editName->geometry(), QRect(8, 8, 166, 24));
    EXPECT_EQ(dialog.btnOk->geometry(), QRect(186, 8, 52, 25));
    EXPECT_EQ(dialog.btnCancel->geometry(), QRect(245, 8, 53, 25));
    EXPECT_TRUE(dialog.editName->font().bold());
    EXPECT_EQ(dialog.editName->font().pixelSize(), 15);
    EXPECT_TRUE(dialog.btnOk->isDefault());
    dialog.show();
    dialog.resize(400, 100);
    EXPECT_EQ(dialog.height(), 72 - 26);
    EXPECT_EQ(dialog.editName->width(), 166 + 96);
    EXPECT_EQ(dialog.btnOk->x(), 186 + 96);
    EXPECT_EQ(dialog.btnCancel->x(), 245 + 96);
}

TEST_F(EditNameTest, WithoutADocumentAllIsDisabledAndEmpty)
{
    documents.active = -1;
    dialog.show();
    EXPECT_TRUE(ShowsNoDocument());
    EXPECT_EQ(dialog.editName->palette().color(QPalette::Base),
              dialog.editName->palette().color(QPalette::Button));
    documents.active = 1;
    dialog.Retarget();
    EXPECT_EQ(dialog.editName->text(), "Wave 2");
    EXPECT_TRUE(dialog.btnOk->isEnabled());
}

TEST_F(EditNameTest, ClosingTheLastDocumentWindowRetargetsToNone)
{
    dialog.show();
    documents.names = {"Factory 1"};
    documents.active = 0;
    dialog.Retarget();
    documents.CloseActive();
    dialog.Retarget();
    EXPECT_TRUE(ShowsNoDocument());
    // An Enter that was already on its way renames nothing and asserts nothing.
    QTest::keyClick(dialog.editName, Qt::Key_Return);
    dialog.btnOkClick();
    dialog.btnCancelClick();
    EXPECT_TRUE(ShowsNoDocument());
    EXPECT_EQ(documents.uniqueChecks, 0);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_P(EditNameRename, OkRenamesOrRefuses)
{
    const RenameCase& c = GetParam();
    dialog.show();
    const bool box = *c.caption != '\0';
    if (box)
        messages.Expect();
    const QString typed = QString::fromUtf8(c.typed);
    Type(typed);
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    EXPECT_EQ(documents.names[0], c.expected);
    EXPECT_EQ(dialog.editName->text(), typed);
    EXPECT_TRUE(messages.Unexpected().empty());
    if (box) {
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].caption, c.caption);
        EXPECT_EQ(messages.Shown()[0].text, c.text);
    } else {
        EXPECT_TRUE(messages.Shown().empty());
    }
    EXPECT_EQ(documents.names[1], "Wave 2");
}

const char* const NoAngles = "A name may not contain \"<\" or \">\".";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Names, EditNameRename, ::testing::Values(
    RenameCase{"NewName", "Drums", "Drums", "", ""},
    RenameCase{"OwnName", "Wave 1", "Wave 1", "", ""},
    RenameCase{"Empty", "", "", "", ""},
    RenameCase{"Latin1", "Caf\xc3\xa9", "Caf\xe9", "", ""},
    RenameCase{"TakenByAnother", "Wave 2", "Wave 1", "Error", "A window with name \"Wave 2\" already exists."},
    RenameCase{"LessThan", "a<b", "Wave 1", "Input Error", NoAngles},
    RenameCase{"GreaterThan", "Wave>", "Wave 1", "Input Error", NoAngles},
    RenameCase{"OutsideLatin1", "Wave \xe2\x82\xac", "Wave 1", "Input Error", "A name may only contain Latin-1 characters."}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditNameTest, CancelPutsTheNameBackAndChangesNothing)
{
    dialog.show();
    Type("Something else");
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.editName->text(), "Wave 1");
    EXPECT_EQ(documents.names[0], "Wave 1");
    EXPECT_EQ(documents.uniqueChecks, 0);
    EXPECT_TRUE(dialog.isVisible());
}
