// The values dialog in its three modes and on both pages: the rows it builds, what each row shows,
// how the rows are laid out, and what OK reads and writes, or refuses without writing anything.
#include "factory/ui/dialogs/ValuesDialog.h"

#include "factory_ui/FactoryDialogKit.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>

#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Dlg = TDlgSntValues;

QLineEdit* EditOf(Dlg& d, int row)
{
    return qobject_cast<QLineEdit*>(d.RowValue(row));
}

QComboBox* ComboOf(Dlg& d, int row)
{
    return qobject_cast<QComboBox*>(d.RowValue(row));
}

/// A row's control and what it shows: "edit <text>", "flag <0|1>", "list <index>" or
/// "wave <text>", with " off" when it is disabled.
std::string Shown(Dlg& d, int row)
{
    QWidget* value = d.RowValue(row);
    std::string shown;
    if (auto* edit = qobject_cast<QLineEdit*>(value))
        shown = "edit " + Text(edit->text());
    else if (auto* flag = qobject_cast<QCheckBox*>(value))
        shown = flag->isChecked() ? "flag 1" : "flag 0";
    else if (auto* combo = qobject_cast<QComboBox*>(value))
        shown = combo->isEditable() ? "wave " + Text(combo->currentText())
                                    : "list " + std::to_string(combo->currentIndex());
    return shown + (value->isEnabled() ? "" : " off");
}

struct ValuesDialog : DialogTest
{
    TSountoryNodeInput* Pin(const std::string& name, ValueDomType type,
                            ValueDomain domain = ValueDomain::AllValues)
    {
        return NodeIn(node, name, type, domain);
    }
    TTestNode* node = Node("A");
};

struct ModeCase
{
    int mode;
    bool types;
    const char* caption;
    Strings rows;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.caption;
}

class ValuesModes : public ValuesDialog, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(ValuesModes, CaptionHelpAndRows)
{
    const ModeCase& c = GetParam();
    Pin("plain", ValueDomType::Factor);
    Pin("any", ValueDomType::AllValue);
    Out("out", ValueDomType::Time);
    Out("choice", ValueDomType::NoUnit);
    std::vector<TSountoryInput*> inputs{In("second", ValueDomType::FactorOrInteger),
                                        In("first", ValueDomType::Integer)};
    auto dialog = c.mode == Dlg::NodeInputs ? std::make_unique<Dlg>(nullptr, c.types, *node)
                  : c.mode == Dlg::FactoryOutputs
                      ? std::make_unique<Dlg>(nullptr, c.types, factory)
                      : std::make_unique<Dlg>(nullptr, c.types, inputs, factory);
    EXPECT_EQ(Text(dialog->windowTitle()), c.caption);
    EXPECT_EQ(dialog->HelpContext(), c.types ? 64 : 63);
    Strings rows;
    for (int i = 0; i < dialog->RowCount(); ++i) {
        auto* label = qobject_cast<QLabel*>(dialog->RowTitle(i));
        EXPECT_EQ(label != nullptr, c.mode == Dlg::FactoryInputs); // else a check box
        rows.push_back(Text(label ? label->text() : dialog->RowCheck(i)->text()));
    }
    EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    All, ValuesModes,
    ::testing::Values(
        ModeCase{0, false, "Input Values of Node \"A\"", {"plain", "any"}},
        ModeCase{0, true, "Input Type of Values of Node \"A\"", {"any"}},
        ModeCase{1, false, "Output Values of Factory \"Fact\"", {"out", "choice"}},
        ModeCase{1, true, "Output Type of Values of Factory \"Fact\"", {"choice"}},
        ModeCase{2, false, "Input Values of Sountory \"Fact\"", {"second", "first"}},
        ModeCase{2, true, "Input Type of Values of Sountory \"Fact\"", {"second", "first"}}));

TEST_F(ValuesDialog, EachRowShowsItsConstantAndAFrequencyNoItemShowsIsNeverReplaced)
{
    Pin("f", ValueDomType::Factor)->SetConstantValue({0.25, ValueType::Factor}, EHPerc);
    Pin("t", ValueDomType::Time)->SetConstantValue({0.5, ValueType::Time}, EHMS);
    Pin("b", ValueDomType::Boolean)->SetConstantValue({1, ValueType::Boolean}, EHNone);
    Pin("m", ValueDomType::WaveMonoStereo)
        ->SetConstantValue({2, ValueType::WaveMonoStereo}, EHNone);
    Pin("bytes", ValueDomType::WaveBytesPerSample);
    Pin("khz", ValueDomType::WaveSampleFrequency)
        ->SetConstantValue({22050.7, ValueType::WaveSampleFrequency}, EHNone);
    TSountoryNodeInput* odd = Pin("odd", ValueDomType::WaveSampleFrequency);
    odd->SetConstantValue({48000, ValueType::WaveSampleFrequency}, EHNone);
    Pin("w", ValueDomType::Wave, ValueDomain::Mono)->SetConstantSound("Take 2");
    TSountoryNodeInput* fed = Pin("fed", ValueDomType::Factor);
    fed->SetSource(In("In", ValueDomType::Factor));
    Pin("any", ValueDomType::AllValue)->SetConstantValue({1, ValueType::Boolean}, EHNone);
    host.waveLists[2] = {"Take 1", "Take 3"};
    ExpectBoxes(1);
    Dlg dialog(nullptr, false, *node);
    Run<Dlg>(dialog, [&](Dlg& d) {
        Strings shown;
        for (int i = 0; i < d.RowCount(); ++i)
            shown.push_back(Shown(d, i) + (d.RowCheck(i)->isChecked() ? "" : " unticked"));
        EXPECT_EQ(shown,
                  (Strings{"edit 25 %", "edit 500 ms", "flag 1", "list 1", "list -1 unticked",
                           "list 2", "list -1", "wave Take 2", "edit  off unticked", "flag 1"}));
        EXPECT_EQ(Items(ComboOf(d, 5)),
                  (Strings{"5 kHz", "11 kHz", "22 kHz", "44 kHz", "88 kHz", "176 kHz"}));
        EXPECT_EQ(Items(ComboOf(d, 3)), (Strings{"Mono", "Stereo"}));
        EXPECT_EQ(Items(ComboOf(d, 4)), (Strings{"1 Byte per Sample", "2 Bytes per Sample"}));
        EXPECT_EQ(Items(ComboOf(d, 7)), (Strings{"Take 1", "Take 3"}));
        EXPECT_EQ(Text(qobject_cast<QCheckBox*>(d.RowValue(2))->text()), "Flag Set");
        EXPECT_FALSE(d.RowCheck(8)->isEnabled());
        EXPECT_TRUE(StaysOpen(d));
        EXPECT_DOUBLE_EQ(odd->GetConstant().value, 48000);
        d.RowCheck(6)->setChecked(false); // an unticked row loses its constant
    });
    EXPECT_EQ(Boxes(), Strings{"Input Error: In odd: No sample frequency is selected."});
    EXPECT_FALSE(odd->GetHasConstant());
    EXPECT_EQ(fed->GetSource(), factory.FindInput("In"));
    EXPECT_EQ(node->Inputs()[1]->GetConstantUnitKind(), EHMS);
    EXPECT_DOUBLE_EQ(node->Inputs()[5]->GetConstant().value, 22050); // as the list shows it
    EXPECT_EQ(node->Inputs()[7]->GetConstantSoundName(), "Take 2");
}

TEST_F(ValuesDialog, RowsAreLaidOutByModeAndStretchWithTheScrollBox)
{
    Pin("f", ValueDomType::Factor);
    Pin("b", ValueDomType::Boolean);
    TSountoryInput* input = In("i", ValueDomType::Boolean);
    Dlg nodeDialog(nullptr, false, *node);
    Dlg inputDialog(nullptr, false, std::vector<TSountoryInput*>{input, input}, factory);
    for (Dlg* d : {&nodeDialog, &inputDialog}) {
        const int x = d == &inputDialog ? 135 : 140;
        d->show();
        for (int i = 0; i < 2; ++i) {
            const int left = x + (qobject_cast<QLineEdit*>(d->RowValue(i)) ? 4 : 0);
            EXPECT_EQ(d->RowTitle(i)->geometry(), QRect(10, 10 + 22 * i, x - 12, 15));
            EXPECT_EQ(d->RowValue(i)->geometry(),
                      QRect(left, 10 + 22 * i, d->sboValues->viewport()->width() - left - 10, 17));
        }
        d->resize(d->width() + 100, d->height());
        EXPECT_EQ(d->RowValue(1)->width(), d->sboValues->viewport()->width() - x - 10);
        d->sboValues->resize(100, d->sboValues->height());
        EXPECT_EQ(d->RowValue(0)->width(), 10);
        d->hide();
    }
}

struct ParseCase
{
    ValueDomType type;
    ValueDomain domain;
    std::function<void(Dlg&)> act; // on row 1
    /// What row 1 writes ("<value> <type> <unit>", or the wave name), or the box that refuses it.
    std::string expected;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.expected;
}

std::function<void(Dlg&)> Type(const char* text)
{
    return [text](Dlg& d) { EditOf(d, 1)->setText(QString::fromUtf8(text)); };
}

std::function<void(Dlg&)> Choose(int index)
{
    return [index](Dlg& d) {
        ComboOf(d, 1)->setCurrentIndex(index);
        d.RowCheck(1)->setChecked(true); // an empty choice is no edit
    };
}

std::string Box(const std::string& text)
{
    return "Input Error: " + text;
}

std::string Written(const TSountoryNodeInput& pin)
{
    if (pin.IsWave())
        return pin.GetConstantSoundName();
    std::ostringstream text;
    text << pin.GetConstant().value << ' ' << GetValueTypeName(pin.GetConstant().valueType) << ' '
         << GetMeasureName(pin.GetConstantUnitKind());
    return text.str();
}

class ValuesParse : public ValuesDialog, public ::testing::WithParamInterface<ParseCase>
{
};

// A first row that reads well, then the row under test: a refused row writes neither, and an
// edit ticks its row, or OK would take its constant away.
TEST_P(ValuesParse, OkWritesEachTypeOrRefusesWithoutWritingAnyRow)
{
    const ParseCase& c = GetParam();
    TSountoryNodeInput* before = Pin("before", ValueDomType::Factor);
    TSountoryNodeInput* pin = Pin("v", c.type, c.domain);
    host.waveLists[0] = {"Take 1"};
    const bool refused = c.expected.starts_with(Box(""));
    ExpectBoxes(refused ? 1 : 0);
    Dlg dialog(nullptr, false, *node);
    const bool written = Run<Dlg>(dialog, [&](Dlg& d) {
        EditOf(d, 0)->setText(QStringLiteral("2"));
        c.act(d);
    });
    EXPECT_EQ(written, !refused);
    EXPECT_EQ(Boxes(), refused ? Strings{c.expected} : Strings{});
    EXPECT_EQ(before->GetHasConstant(), written);
    EXPECT_EQ(pin->GetHasConstant(), written);
    EXPECT_EQ(written ? Written(*pin) : c.expected, c.expected);
}

using DT = ValueDomType;
using D = ValueDomain;

INSTANTIATE_TEST_SUITE_P(
    All, ValuesParse,
    ::testing::Values(
        ParseCase{DT::Factor, D::AllValues, Type("25 %"), "0.25 Factor EHPerc"},
        ParseCase{DT::Factor, D::Positive, Type("-1"), Box("In v: Value must be positive.")},
        ParseCase{DT::Integer, D::PositiveNotZero, Type("7"), "7 Integer EHNone"},
        ParseCase{DT::Integer, D::AllValues, Type("7.5"), Box("In v: Invalid value: \"7.5\".")},
        ParseCase{DT::Time, D::AllValues, Type("500 ms"), "0.5 Time EHMS"},
        ParseCase{DT::Frequency, D::AllValues, Type("2 kHz"), "2000 Frequency EHKHZ"},
        ParseCase{DT::BalanceAngle, D::NegOneInclPosOneIncl, Type("-50 %"),
                  "-0.5 Balance Angle EHPerc"},
        ParseCase{DT::PlaceInWindow, D::ZeroInclOneExcl, Type("1"),
                  Box("In v: Value is too high. (maximum: less than 1 or 100 %)")},
        ParseCase{DT::Factor, D::AllValues,
                  [](Dlg& d) {
                      EditOf(d, 1)->setText(QStringLiteral("1"));
                      EditOf(d, 1)->clear();
                  },
                  Box("In v: Input has no value.")},
        ParseCase{DT::Boolean, D::AllValues,
                  [](Dlg& d) { qobject_cast<QCheckBox*>(d.RowValue(1))->click(); },
                  "1 Boolean EHNone"},
        ParseCase{DT::WaveMonoStereo, D::AllValues, Choose(-1), "2 Mono/Stereo EHNone"},
        ParseCase{DT::WaveBytesPerSample, D::AllValues, Choose(0), "1 Bytes per Sample EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(0), "5512 Sample Frequency EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(1),
                  "11025 Sample Frequency EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(3),
                  "44100 Sample Frequency EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(4),
                  "88200 Sample Frequency EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(5),
                  "176128 Sample Frequency EHNone"},
        ParseCase{DT::WaveSampleFrequency, D::AllValues, Choose(-1),
                  Box("In v: No sample frequency is selected.")},
        ParseCase{DT::Wave, D::AllValues, Choose(0), "Take 1"},
        ParseCase{DT::Wave, D::AllValues, Choose(-1), Box("Wave Field \"v\" is not filled.")},
        ParseCase{DT::Wave, D::AllValues,
                  [](Dlg& d) { ComboOf(d, 1)->setEditText(QStringLiteral("<a>")); },
                  Box("In v: A name may not contain \"<\" or \">\".")}));

TEST_F(ValuesDialog, TheTypesPageOffersTheAdmittedTypesAndWritesAZeroOfANewOne)
{
    TSountoryOutput* fresh = Out("fresh", ValueDomType::AllValue);
    TSountoryOutput* same = Out("same", ValueDomType::FactorOrInteger);
    same->SetConstantValue({0.3, ValueType::Factor}, EHPerc);
    TSountoryOutput* none = Out("none", ValueDomType::NoUnit);
    TSountoryOutput* fed = Out("fed", ValueDomType::AllComputable);
    fed->SetSource(In("In", ValueDomType::Time));
    ExpectBoxes(1);
    Dlg dialog(nullptr, true, factory);
    Run<Dlg>(dialog, [](Dlg& d) {
        EXPECT_EQ(Items(ComboOf(d, 0)).size(), 14u);
        EXPECT_EQ(Items(ComboOf(d, 1)), (Strings{"Factor", "Integer"}));
        EXPECT_EQ(Items(ComboOf(d, 2)), (Strings{"Factor", "Angle", "Integer"}));
        EXPECT_EQ(Shown(d, 3), "list -1 off");
        EXPECT_EQ(Text(ComboOf(d, 0)->currentText()), "Factor");
        Pick(ComboOf(d, 0), "Time");
        ComboOf(d, 2)->setCurrentIndex(-1);
        EXPECT_TRUE(StaysOpen(d));
        Pick(ComboOf(d, 2), "Angle");
    });
    EXPECT_EQ(Boxes(), Strings{"Input Error: In none: No type is selected."});
    EXPECT_EQ(fresh->GetConstant().valueType, ValueType::Time);
    EXPECT_DOUBLE_EQ(fresh->GetConstant().value, 0);
    EXPECT_DOUBLE_EQ(same->GetConstant().value, 0.3);
    EXPECT_EQ(none->GetConstant().valueType, ValueType::Angle);
    EXPECT_NE(fed->GetSource(), nullptr);
}

TEST_F(ValuesDialog, TheRunAsksTypesThenValuesOfTheFactoryInputs)
{
    TSountoryInput* any = In("any", ValueDomType::AllValue);
    TSountoryInput* count = In("count", ValueDomType::Integer);
    TSountoryInput* wave = In("wave", ValueDomType::Wave, ValueDomain::Stereo);
    In("Select Begin", ValueDomType::PlaceInWindow); // the window fills it
    host.waveLists[3] = {"Left and Right"};
    auto step = [&](Strings rows, std::function<void(Dlg&)> act) {
        dialogs.When(
            "TDlgSntValues",
            [rows, act](ModalDialog& modal) {
                Dlg* d = DialogAs<Dlg>(modal);
                ASSERT_EQ(d->RowCount(), int(rows.size()));
                for (int i = 0; i < d->RowCount(); ++i)
                    EXPECT_EQ(Text(qobject_cast<QLabel*>(d->RowTitle(i))->text()), rows[size_t(i)]);
                act(*d);
            },
            DialogResult::Accepted);
    };
    step({"any"}, [](Dlg& d) { Pick(ComboOf(d, 0), "Time"); });
    step({"any", "count", "wave"}, [](Dlg& d) {
        EditOf(d, 0)->setText(QStringLiteral("20 ms"));
        EditOf(d, 1)->setText(QStringLiteral("3"));
        Pick(ComboOf(d, 2), "Left and Right");
    });
    TSntValuesDialogAsker asker(nullptr);
    ASSERT_TRUE(factory.AskInputTypesAndValues(message, asker)) << message;
    EXPECT_EQ(any->GetGivenValue().valueType, ValueType::Time);
    EXPECT_DOUBLE_EQ(any->GetGivenValue().value, 0.02);
    EXPECT_EQ(any->GivenUnitKind, EHMS);
    EXPECT_DOUBLE_EQ(count->GetGivenValue().value, 3);
    EXPECT_EQ(wave->GivenSoundName, "Left and Right");
    dialogs.When("TDlgSntValues", DialogResult::Rejected);
    EXPECT_FALSE(factory.AskInputTypesAndValues(message, asker));
    EXPECT_EQ(message, "Stopped by user.");
}

} // namespace
