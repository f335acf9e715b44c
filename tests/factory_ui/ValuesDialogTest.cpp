// The values dialog in its three modes and on both pages: the rows it builds, what each row shows,
// how the rows are laid out, and what OK reads and writes, or refuses without writing anything.
#include "factory/ui/dialogs/ValuesDialog.h"

#include "factory_ui/FactoryDialogKit.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct ValuesDialog : DialogTest
{
    ValuesDialog() { node = Node("A"); }

    TSountoryNodeInput* Pin(const std::string& name, ValueDomType type,
                            ValueDomain domain = ValueDomain::AllValues)
    {
        return NodeIn(node, name, type, domain);
    }
    static QLineEdit* EditOf(TDlgSntValues& d, int row)
    {
        return qobject_cast<QLineEdit*>(d.RowValue(row));
    }
    static QComboBox* ComboOf(TDlgSntValues& d, int row)
    {
        return qobject_cast<QComboBox*>(d.RowValue(row));
    }
    /// What a row's control is and shows: "edit <text>", "flag <0|1>", "list <index>" or
    /// "wave <text>", with " off" when it is disabled.
    static std::string Shown(TDlgSntValues& d, int row)
    {
        QWidget* value = d.RowValue(row);
        std::string shown;
        if (auto* edit = qobject_cast<QLineEdit*>(value))
            shown = "edit " + Text(edit->text());
        else if (auto* flag = qobject_cast<QCheckBox*>(value))
            shown = "flag " + std::string(flag->isChecked() ? "1" : "0");
        else if (auto* combo = qobject_cast<QComboBox*>(value))
            shown = combo->isEditable() ? "wave " + Text(combo->currentText())
                                        : "list " + std::to_string(combo->currentIndex());
        return shown + (value->isEnabled() ? "" : " off");
    }

    TTestNode* node;
};

struct ModeCase
{
    const char* name;
    int mode;
    bool types;
    const char* caption;
    int help;
    std::vector<std::string> rows;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
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
    TSountoryInput* first = In("first", ValueDomType::Integer);
    TSountoryInput* second = In("second", ValueDomType::FactorOrInteger);
    std::unique_ptr<TDlgSntValues> dialog;
    if (c.mode == TDlgSntValues::NodeInputs)
        dialog = std::make_unique<TDlgSntValues>(nullptr, c.types, *node);
    else if (c.mode == TDlgSntValues::FactoryOutputs)
        dialog = std::make_unique<TDlgSntValues>(nullptr, c.types, factory);
    else
        dialog = std::make_unique<TDlgSntValues>(
            nullptr, c.types, std::vector<TSountoryInput*>{second, first}, factory);
    EXPECT_EQ(Text(dialog->windowTitle()), c.caption);
    EXPECT_EQ(dialog->HelpContext(), c.help);
    std::vector<std::string> rows;
    for (int i = 0; i < dialog->RowCount(); ++i) {
        auto* label = qobject_cast<QLabel*>(dialog->RowTitle(i));
        rows.push_back(Text(label ? label->text() : dialog->RowCheck(i)->text()));
        EXPECT_EQ(label != nullptr, c.mode == TDlgSntValues::FactoryInputs);
    }
    EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    All, ValuesModes,
    ::testing::Values(
        ModeCase{"NodeValues", 0, false, "Input Values of Node \"A\"", 63, {"plain", "any"}},
        ModeCase{"NodeTypes", 0, true, "Input Type of Values of Node \"A\"", 64, {"any"}},
        ModeCase{
            "OutputValues", 1, false, "Output Values of Factory \"Fact\"", 63, {"out", "choice"}},
        ModeCase{
            "OutputTypes", 1, true, "Output Type of Values of Factory \"Fact\"", 64, {"choice"}},
        ModeCase{
            "InputValues", 2, false, "Input Values of Sountory \"Fact\"", 63, {"second", "first"}},
        ModeCase{"InputTypes",
                 2,
                 true,
                 "Input Type of Values of Sountory \"Fact\"",
                 64,
                 {"second", "first"}}));

TEST_F(ValuesDialog, EachRowShowsThePinsConstantInTheControlOfItsType)
{
    Pin("f", ValueDomType::Factor)->SetConstantValue({0.25, ValueType::Factor}, EHPerc);
    Pin("t", ValueDomType::Time)->SetConstantValue({0.5, ValueType::Time}, EHMS);
    Pin("b", ValueDomType::Boolean)->SetConstantValue({1, ValueType::Boolean}, EHNone);
    Pin("m", ValueDomType::WaveMonoStereo)
        ->SetConstantValue({2, ValueType::WaveMonoStereo}, EHNone);
    Pin("bytes", ValueDomType::WaveBytesPerSample);
    Pin("khz", ValueDomType::WaveSampleFrequency)
        ->SetConstantValue({22050.7, ValueType::WaveSampleFrequency}, EHNone);
    Pin("odd", ValueDomType::WaveSampleFrequency)
        ->SetConstantValue({48000, ValueType::WaveSampleFrequency}, EHNone);
    Pin("w", ValueDomType::Wave, ValueDomain::Mono)->SetConstantSound("Take 2");
    Pin("fed", ValueDomType::Factor)->SetSource(In("In", ValueDomType::Factor));
    Pin("any", ValueDomType::AllValue)->SetConstantValue({1, ValueType::Boolean}, EHNone);
    host.waveLists[2] = {"Take 1", "Take 3"};
    TDlgSntValues dialog(nullptr, false, *node);
    Run<TDlgSntValues>(dialog, [&](TDlgSntValues& d) {
        std::vector<std::string> shown;
        for (int i = 0; i < d.RowCount(); ++i)
            shown.push_back(Shown(d, i));
        EXPECT_EQ(shown, (std::vector<std::string>{"edit 25 %", "edit 500 ms", "flag 1", "list 1",
                                                   "list -1", "list 2", "list -1", "wave Take 2",
                                                   "edit  off", "flag 1"}));
        EXPECT_EQ(Items(ComboOf(d, 5)), (std::vector<std::string>{"5 kHz", "11 kHz", "22 kHz",
                                                                  "44 kHz", "88 kHz", "176 kHz"}));
        EXPECT_EQ(Items(ComboOf(d, 3)), (std::vector<std::string>{"Mono", "Stereo"}));
        EXPECT_EQ(Items(ComboOf(d, 4)),
                  (std::vector<std::string>{"1 Byte per Sample", "2 Bytes per Sample"}));
        EXPECT_EQ(Items(ComboOf(d, 7)), (std::vector<std::string>{"Take 1", "Take 3"}));
        EXPECT_EQ(Text(qobject_cast<QCheckBox*>(d.RowValue(2))->text()), "Flag Set");
        EXPECT_FALSE(d.RowCheck(4)->isChecked());
        EXPECT_FALSE(d.RowCheck(8)->isEnabled());
        EXPECT_TRUE(d.RowCheck(9)->isChecked());
        d.RowCheck(6)->setChecked(false); // its 48000 is no choice of the list
    });
    EXPECT_EQ(node->Inputs()[8]->GetSource(), factory.FindInput("In"));
    EXPECT_FALSE(node->Inputs()[6]->GetHasConstant());
    // Rows with a constant are written again from what they show.
    EXPECT_EQ(node->Inputs()[1]->GetConstantUnitKind(), EHMS);
    EXPECT_DOUBLE_EQ(node->Inputs()[5]->GetConstant().value, 22050);
    EXPECT_EQ(node->Inputs()[7]->GetConstantSoundName(), "Take 2");
}

TEST_F(ValuesDialog, RowsAreLaidOutByModeAndStretchWithTheScrollBox)
{
    Pin("f", ValueDomType::Factor);
    Pin("b", ValueDomType::Boolean);
    TSountoryInput* input = In("i", ValueDomType::Factor);
    TDlgSntValues nodeDialog(nullptr, false, *node);
    TDlgSntValues inputDialog(nullptr, false, std::vector<TSountoryInput*>{input, input}, factory);
    for (TDlgSntValues* d : {&nodeDialog, &inputDialog}) {
        const bool inputs = d == &inputDialog;
        d->show();
        for (int i = 0; i < d->RowCount(); ++i) {
            const int top = 10 + 22 * i;
            EXPECT_EQ(d->RowTitle(i)->geometry(), QRect(10, top, inputs ? 123 : 128, 15));
            const bool edit = qobject_cast<QLineEdit*>(d->RowValue(i)) != nullptr;
            const int left = (inputs ? 135 : 140) + (edit ? 4 : 0); // an edit sits 4 further in
            const QRect value = d->RowValue(i)->geometry();
            EXPECT_EQ(value.topLeft(), QPoint(left, top));
            EXPECT_EQ(value.height(), 17);
            EXPECT_EQ(value.width(), d->sboValues->viewport()->width() - left - 10);
        }
        d->resize(d->width() + 100, d->height());
        EXPECT_EQ(d->RowValue(1)->width(),
                  d->sboValues->viewport()->width() - d->RowValue(1)->x() - 10);
        d->sboValues->resize(100, d->sboValues->height());
        EXPECT_EQ(d->RowValue(0)->width(), 10);
        d->hide();
    }
    EXPECT_EQ(nodeDialog.RowValue(0)->x(), 144);
}

TEST_F(ValuesDialog, EditingARowTicksItsBoxAndAnUntickedRowLosesItsConstant)
{
    TSountoryNodeInput* edited = Pin("e", ValueDomType::Integer);
    TSountoryNodeInput* flagged = Pin("b", ValueDomType::Boolean);
    TSountoryNodeInput* listed = Pin("m", ValueDomType::WaveMonoStereo);
    TSountoryNodeInput* dropped = Pin("d", ValueDomType::Factor);
    dropped->SetConstantValue({3, ValueType::Factor}, EHNone);
    TDlgSntValues dialog(nullptr, false, *node);
    Run<TDlgSntValues>(dialog, [](TDlgSntValues& d) {
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(d.RowCheck(i)->isChecked());
        EditOf(d, 0)->setText(QStringLiteral("12"));
        qobject_cast<QCheckBox*>(d.RowValue(1))->click();
        ComboOf(d, 2)->setCurrentIndex(0);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(d.RowCheck(i)->isChecked());
        d.RowCheck(3)->setChecked(false);
    });
    EXPECT_DOUBLE_EQ(edited->GetConstant().value, 12);
    EXPECT_EQ(edited->GetConstant().valueType, ValueType::Integer);
    EXPECT_DOUBLE_EQ(flagged->GetConstant().value, 1);
    EXPECT_DOUBLE_EQ(listed->GetConstant().value, 1);
    EXPECT_FALSE(dropped->GetHasConstant());
}

struct ParseCase
{
    const char* name;
    ValueDomType type;
    ValueDomain domain;
    std::function<void(QWidget*)> act;
    /// The constant written: value, type and unit; or the box that refuses the row.
    TSntValue value;
    MeasureUnitKind unit;
    std::string refusal;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

std::function<void(QWidget*)> Type(const char* text)
{
    return [text](QWidget* w) { qobject_cast<QLineEdit*>(w)->setText(QString::fromUtf8(text)); };
}

std::function<void(QWidget*)> Choose(int index)
{
    return [index](QWidget* w) { qobject_cast<QComboBox*>(w)->setCurrentIndex(index); };
}

class ValuesParse : public ValuesDialog, public ::testing::WithParamInterface<ParseCase>
{
};

// A first row that reads well, then the row under test: a refused row writes neither.
TEST_P(ValuesParse, OkWritesEachTypeOrRefusesWithoutWritingAnyRow)
{
    const ParseCase& c = GetParam();
    TSountoryNodeInput* before = Pin("before", ValueDomType::Factor);
    TSountoryNodeInput* pin = Pin("v", c.type, c.domain);
    host.waveLists[0] = {"Take 1"};
    const bool refused = !c.refusal.empty();
    ExpectBoxes(refused ? 1 : 0);
    TDlgSntValues dialog(nullptr, false, *node);
    Run<TDlgSntValues>(dialog, [&](TDlgSntValues& d) {
        EditOf(d, 0)->setText(QStringLiteral("2"));
        c.act(d.RowValue(1));
        d.RowCheck(1)->setChecked(true);
    });
    if (refused) {
        EXPECT_EQ(Boxes(), std::vector<std::string>{"Input Error: " + c.refusal});
        EXPECT_EQ(dialogs.Refused(), std::vector<std::string>{"TDlgSntValues"});
        EXPECT_FALSE(before->GetHasConstant());
        EXPECT_FALSE(pin->GetHasConstant());
        return;
    }
    EXPECT_DOUBLE_EQ(before->GetConstant().value, 2);
    ASSERT_TRUE(pin->GetHasConstant());
    if (c.type == ValueDomType::Wave) {
        EXPECT_EQ(pin->GetConstantSoundName(), "Take 1");
        return;
    }
    EXPECT_DOUBLE_EQ(pin->GetConstant().value, c.value.value);
    EXPECT_EQ(pin->GetConstant().valueType, c.value.valueType);
    EXPECT_EQ(pin->GetConstantUnitKind(), c.unit);
}

INSTANTIATE_TEST_SUITE_P(
    All, ValuesParse,
    ::testing::Values(
        ParseCase{"Factor",
                  ValueDomType::Factor,
                  ValueDomain::AllValues,
                  Type("25 %"),
                  {0.25, ValueType::Factor},
                  EHPerc,
                  ""},
        ParseCase{"FactorOutOfDomain",
                  ValueDomType::Factor,
                  ValueDomain::Positive,
                  Type("-1"),
                  {},
                  EHNone,
                  "In v: Value must be positive."},
        ParseCase{"Integer",
                  ValueDomType::Integer,
                  ValueDomain::PositiveNotZero,
                  Type("7"),
                  {7, ValueType::Integer},
                  EHNone,
                  ""},
        ParseCase{"IntegerFraction",
                  ValueDomType::Integer,
                  ValueDomain::AllValues,
                  Type("7.5"),
                  {},
                  EHNone,
                  "In v: Invalid value: \"7.5\"."},
        ParseCase{"Time",
                  ValueDomType::Time,
                  ValueDomain::AllValues,
                  Type("500 ms"),
                  {0.5, ValueType::Time},
                  EHMS,
                  ""},
        ParseCase{"Frequency",
                  ValueDomType::Frequency,
                  ValueDomain::AllValues,
                  Type("2 kHz"),
                  {2000, ValueType::Frequency},
                  EHKHZ,
                  ""},
        ParseCase{"Balance",
                  ValueDomType::BalanceAngle,
                  ValueDomain::NegOneInclPosOneIncl,
                  Type("-50 %"),
                  {-0.5, ValueType::BalanceAngle},
                  EHPerc,
                  ""},
        ParseCase{"PlaceAtOne",
                  ValueDomType::PlaceInWindow,
                  ValueDomain::ZeroInclOneExcl,
                  Type("1"),
                  {},
                  EHNone,
                  "In v: Value is too high. (maximum: less than 1 or 100 %)"},
        ParseCase{"Empty",
                  ValueDomType::Factor,
                  ValueDomain::AllValues,
                  Type(""),
                  {},
                  EHNone,
                  "In v: Input has no value."},
        ParseCase{"FlagClear",
                  ValueDomType::Boolean,
                  ValueDomain::AllValues,
                  [](QWidget*) {},
                  {0, ValueType::Boolean},
                  EHNone,
                  ""},
        ParseCase{"StereoByNoChoice",
                  ValueDomType::WaveMonoStereo,
                  ValueDomain::AllValues,
                  Choose(-1),
                  {2, ValueType::WaveMonoStereo},
                  EHNone,
                  ""},
        ParseCase{"OneByte",
                  ValueDomType::WaveBytesPerSample,
                  ValueDomain::AllValues,
                  Choose(0),
                  {1, ValueType::WaveBytesPerSample},
                  EHNone,
                  ""},
        ParseCase{"HighestFrequency",
                  ValueDomType::WaveSampleFrequency,
                  ValueDomain::AllValues,
                  Choose(5),
                  {176128, ValueType::WaveSampleFrequency},
                  EHNone,
                  ""},
        ParseCase{"NoFrequency",
                  ValueDomType::WaveSampleFrequency,
                  ValueDomain::AllValues,
                  Choose(-1),
                  {},
                  EHNone,
                  "In v: No sample frequency is selected."},
        ParseCase{
            "WaveNamed", ValueDomType::Wave, ValueDomain::AllValues, Choose(0), {}, EHNone, ""},
        ParseCase{"WaveNotNamed",
                  ValueDomType::Wave,
                  ValueDomain::AllValues,
                  Choose(-1),
                  {},
                  EHNone,
                  "Wave Field \"v\" is not filled."},
        ParseCase{
            "WaveNameTheFileCannotHold",
            ValueDomType::Wave,
            ValueDomain::AllValues,
            [](QWidget* w) { qobject_cast<QComboBox*>(w)->setEditText(QStringLiteral("<a>")); },
            {},
            EHNone,
            "In v: A name may not contain \"<\" or \">\"."}));

TEST_F(ValuesDialog, AFrequencyNoItemShowsIsRefusedAndKeptAsItWas)
{
    TSountoryNodeInput* pin = Pin("sf", ValueDomType::WaveSampleFrequency);
    pin->SetConstantValue({48000, ValueType::WaveSampleFrequency}, EHNone);
    ExpectBoxes(1);
    TDlgSntValues dialog(nullptr, false, *node);
    Run<TDlgSntValues>(dialog, [](TDlgSntValues& d) {
        EXPECT_EQ(ComboOf(d, 0)->currentIndex(), -1);
        EXPECT_TRUE(d.RowCheck(0)->isChecked());
    });
    EXPECT_EQ(dialogs.Refused(), std::vector<std::string>{"TDlgSntValues"});
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"Input Error: In sf: No sample frequency is selected."});
    EXPECT_DOUBLE_EQ(pin->GetConstant().value, 48000);
}

TEST_F(ValuesDialog, TheTypesPageOffersTheAdmittedTypesAndWritesAZeroOfANewOne)
{
    TSountoryOutput* fresh = Out("fresh", ValueDomType::AllValue);
    TSountoryOutput* same = Out("same", ValueDomType::FactorOrInteger);
    same->SetConstantValue({0.3, ValueType::Factor}, EHPerc);
    TSountoryOutput* none = Out("none", ValueDomType::NoUnit);
    TSountoryOutput* fed = Out("fed", ValueDomType::AllComputable);
    fed->SetSource(In("In", ValueDomType::Time));
    ExpectBoxes(1);
    TDlgSntValues dialog(nullptr, true, factory);
    Run<TDlgSntValues>(dialog, [](TDlgSntValues& d) {
        EXPECT_EQ(Items(ComboOf(d, 0)).size(), 14u);
        EXPECT_EQ(Items(ComboOf(d, 1)), (std::vector<std::string>{"Factor", "Integer"}));
        EXPECT_EQ(Items(ComboOf(d, 2)), (std::vector<std::string>{"Factor", "Angle", "Integer"}));
        EXPECT_EQ(ComboOf(d, 3)->count(), 0);
        EXPECT_FALSE(ComboOf(d, 3)->isEnabled());
        EXPECT_EQ(Text(ComboOf(d, 0)->currentText()), "Factor");
        Pick(ComboOf(d, 0), "Time");
        d.RowCheck(2)->setChecked(true);
        ComboOf(d, 2)->setCurrentIndex(-1);
        EXPECT_TRUE(StaysOpen(d));
        Pick(ComboOf(d, 2), "Angle");
    });
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Input Error: In none: No type is selected."});
    EXPECT_EQ(fresh->GetConstant().valueType, ValueType::Time);
    EXPECT_DOUBLE_EQ(fresh->GetConstant().value, 0);
    EXPECT_DOUBLE_EQ(same->GetConstant().value, 0.3);
    EXPECT_EQ(same->GetConstantUnitKind(), EHPerc);
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
    dialogs.When(
        "TDlgSntValues",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntValues>(modal);
            EXPECT_EQ(Text(d->windowTitle()), "Input Type of Values of Sountory \"Fact\"");
            ASSERT_EQ(d->RowCount(), 1);
            Pick(ComboOf(*d, 0), "Time");
        },
        DialogResult::Accepted);
    dialogs.When(
        "TDlgSntValues",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntValues>(modal);
            EXPECT_EQ(Text(d->windowTitle()), "Input Values of Sountory \"Fact\"");
            ASSERT_EQ(d->RowCount(), 3);
            EditOf(*d, 0)->setText(QStringLiteral("20 ms"));
            EditOf(*d, 1)->setText(QStringLiteral("3"));
            Pick(ComboOf(*d, 2), "Left and Right");
        },
        DialogResult::Accepted);
    TSntValuesDialogAsker asker(nullptr);
    ASSERT_TRUE(factory.AskInputTypesAndValues(message, asker)) << message;
    EXPECT_EQ(any->GetGivenValue().valueType, ValueType::Time);
    EXPECT_DOUBLE_EQ(any->GetGivenValue().value, 0.02);
    EXPECT_EQ(any->GivenUnitKind, EHMS);
    EXPECT_DOUBLE_EQ(count->GetGivenValue().value, 3);
    EXPECT_EQ(wave->GivenSoundName, "Left and Right");
    // Cancel stops the run.
    dialogs.When("TDlgSntValues", DialogResult::Rejected);
    EXPECT_FALSE(factory.AskInputTypesAndValues(message, asker));
    EXPECT_EQ(message, "Stopped by user.");
}

} // namespace
