#include "shell/base/EditFields.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kelvorn;

namespace {

struct FieldKind
{
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
    std::function<QString(QWidget*)> text;
};

void PrintTo(const FieldKind& kind, std::ostream* os)
{
    *os << kind.name;
}

class EditFields : public ::testing::TestWithParam<FieldKind>
{
};

QColor Background(QWidget* w, QPalette::ColorGroup group = QPalette::Active)
{
    return w->palette().color(group, QPalette::Base);
}

} // namespace

TEST_P(EditFields, DisableKeepsOrClearsTheTextAndShowsTheButtonFace)
{
    const FieldKind& kind = GetParam();
    QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);
    // The point of the colours: a disabled field looks different from an enabled one.
    ASSERT_NE(window, buttonFace);

    std::unique_ptr<QWidget> field = kind.make();
    ASSERT_EQ(kind.text(field.get()), "Wave 1");

    DisableEdit(field.get(), false);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(kind.text(field.get()), "Wave 1");
    EXPECT_EQ(Background(field.get()), buttonFace);
    EXPECT_EQ(Background(field.get(), QPalette::Disabled), buttonFace);

    EnableEdit(field.get());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_EQ(kind.text(field.get()), "Wave 1");
    EXPECT_EQ(Background(field.get()), window);

    DisableEdit(field.get(), true);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(kind.text(field.get()), "");
    EXPECT_EQ(Background(field.get(), QPalette::Disabled), buttonFace);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditFields,
    ::testing::Values(
        FieldKind{"LineEdit", [] { return std::make_unique<QLineEdit>("Wave 1"); },
                  [](QWidget* w) { return static_cast<QLineEdit*>(w)->text(); }},
        FieldKind{"TextEdit",
                  [] {
                      auto edit = std::make_unique<QTextEdit>();
                      edit->setPlainText("Wave 1");
                      return edit;
                  },
                  [](QWidget* w) { return static_cast<QTextEdit*>(w)->toPlainText(); }},
        FieldKind{"PlainTextEdit", [] { return std::make_unique<QPlainTextEdit>("Wave 1"); },
                  [](QWidget* w) { return static_cast<QPlainTextEdit*>(w)->toPlainText(); }},
        FieldKind{"EditableComboBox",
                  [] {
                      auto combo = std::make_unique<QComboBox>();
                      combo->setEditable(true);
                      combo->setEditText("Wave 1");
                      return combo;
                  },
                  [](QWidget* w) { return static_cast<QComboBox*>(w)->currentText(); }}),
    [](const ::testing::TestParamInfo<FieldKind>& info) { return std::string(info.param.name); });
