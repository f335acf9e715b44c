// The pin dialog on each kind of pin: what it shows, what OK writes and what it refuses.
#include "factory/ui/dialogs/PinDialog.h"

#include "factory_ui/FactoryDialogKit.h"
#include "general/xml/XMLWriter.h"

#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// In1, W (Wave) and Out1, Res (Wave) on the factory; node A (x, s Wave / y) behind node B (p / q).
struct PinDialog : DialogTest
{
    PinDialog()
    {
        in1 = In("In1", ValueDomType::Factor);
        In("W", ValueDomType::Wave);
        out1 = Out("Out1", ValueDomType::Factor);
        Out("Res", ValueDomType::Wave);
        a = Node("A");
        x = NodeIn(a, "x", ValueDomType::Factor);
        NodeIn(a, "s", ValueDomType::Wave);
        y = NodeOut(a, "y", ValueDomType::Factor);
        b = Node("B");
        p = NodeIn(b, "p", ValueDomType::Factor);
        q = NodeOut(b, "q", ValueDomType::Factor);
    }

    TSountoryTouchable& PinOf(int kind)
    {
        switch (kind) {
        case sntSountoryObjectInput:
            return *in1;
        case sntSountoryObjectOutput:
            return *out1;
        case sntSountoryObjectNodeInput:
            return *x;
        default:
            return *y;
        }
    }

    TSountoryInput* in1;
    TSountoryOutput* out1;
    TTestNode* a;
    TTestNode* b;
    TSountoryNodeInput* x;
    TSountoryNodeInput* p;
    TSountoryNodeOutput* y;
    TSountoryNodeOutput* q;
};

struct KindCase
{
    int kind;
    const char* caption;
    const char* connect;
    std::vector<std::string> candidates;
    bool multi;
    /// A name another pin of the same kind and owner bears, and the box that refuses it.
    const char* taken;
    const char* refusal;
};

const KindCase kindCases[] = {
    {sntSountoryObjectInput,
     "Input Properties",
     "Connect to",
     {"<none>", "Out1 <Output>", "B.p <Node Input>", "A.x <Node Input>"},
     true,
     "W",
     "A Input with name \"W\" already exists."},
    {sntSountoryObjectOutput,
     "Output Properties",
     "Connect from",
     {"<none>", "In1 <Input>", "B.q <Node Output>", "A.y <Node Output>", "A.y2 <Node Output>"},
     false,
     "Res",
     "A Output with name \"Res\" already exists."},
    {sntSountoryObjectNodeInput,
     "Node Input Properties",
     "Connect from",
     {"<none>", "In1 <Input>", "B.q <Node Output>"},
     false,
     "s",
     "A Node Input with name \"s\" already exists."},
    {sntSountoryObjectNodeOutput,
     "Node Output Properties",
     "Connect to",
     {"<none>", "Out1 <Output>", "B.p <Node Input>"},
     true,
     "y2",
     "A Node Output with name \"y2\" already exists."},
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.caption;
}

class PinKinds : public PinDialog, public ::testing::WithParamInterface<KindCase>
{
};

TEST_P(PinKinds, ShowsThePinAndRefusesATakenName)
{
    const KindCase& c = GetParam();
    NodeOut(a, "y2", ValueDomType::Factor);
    const char* shared = c.kind == sntSountoryObjectInput ? "Out1" : "In1";
    TDlgSntInputOutputProps dialog(nullptr, PinOf(c.kind));
    ExpectBoxes(1);
    EXPECT_TRUE(Run<TDlgSntInputOutputProps>(dialog, [&](TDlgSntInputOutputProps& d) {
        EXPECT_EQ(Text(d.windowTitle()), c.caption);
        EXPECT_EQ(Text(d.lblConnect->text()), c.connect);
        EXPECT_EQ(Items(d.lbConnect), c.candidates);
        EXPECT_EQ(d.lbConnect->selectionMode() == QAbstractItemView::MultiSelection, c.multi);
        EXPECT_EQ(Selected(d.lbConnect), std::vector<int>{0});
        EXPECT_EQ(Text(d.editHeight->text()), "50 %");
        EXPECT_EQ(Text(d.cboType->currentText()), "Factor");
        EXPECT_EQ(Items(d.cboDomain).size(), 11u);
        EXPECT_EQ(Text(d.cboDomain->currentText()), "All Values");
        d.editName->setText(QString::fromLatin1(c.taken));
        EXPECT_TRUE(StaysOpen(d));
        // A name of another kind of pin, or of another owner's pin, is free.
        d.editName->setText(QString::fromLatin1(shared));
    }));
    EXPECT_EQ(Boxes(), std::vector<std::string>{std::string("Input Error: ") + c.refusal});
    EXPECT_EQ(dialog.HelpContext(), 62);
    const std::string names[] = {in1->Name, out1->Name, x->Name, y->Name};
    EXPECT_EQ(names[c.kind == sntSountoryObjectInput       ? 0
                    : c.kind == sntSountoryObjectOutput    ? 1
                    : c.kind == sntSountoryObjectNodeInput ? 2
                                                           : 3],
              shared);
}

INSTANTIATE_TEST_SUITE_P(All, PinKinds, ::testing::ValuesIn(kindCases));

TEST_F(PinDialog, AFixedPinGreysNameTypeAndDomainButAWaveWindowPinKeepsItsDomain)
{
    factory.SetFactoryKind(FactoryChangeWW);
    struct Case
    {
        TSntPinPlace* pin;
        TSountoryTouchable* touched;
        bool domain;
    };
    TSountoryInput* wave = factory.FindInput("Wave");
    TSountoryInput* select = factory.FindInput("Select Begin");
    x->Fixed = true;
    for (const Case& c : {Case{wave, wave, true}, Case{select, select, false}, Case{x, x, false}}) {
        TDlgSntInputOutputProps dialog(nullptr, *c.touched);
        Run<TDlgSntInputOutputProps>(dialog, [&](TDlgSntInputOutputProps& d) {
            EXPECT_FALSE(d.editName->isEnabled());
            EXPECT_FALSE(d.cboType->isEnabled());
            EXPECT_EQ(d.cboDomain->isEnabled(), c.domain);
            EXPECT_TRUE(d.editHeight->isEnabled());
            EXPECT_TRUE(d.lbConnect->isEnabled());
            d.editHeight->setText(QStringLiteral("0.25"));
        });
        EXPECT_DOUBLE_EQ(c.pin->GetHeightValue(), 0.25);
    }
}

TEST_F(PinDialog, ATypeChangeRefillsTheCandidatesAndDropsTheConnectionsNoLongerListed)
{
    x->SetSource(q);
    p->SetSource(in1);
    out1->SetSource(in1);
    // The target x: its Factor source is no candidate of a wave, so it ends with none.
    TDlgSntInputOutputProps target(nullptr, *x);
    Run<TDlgSntInputOutputProps>(target, [](TDlgSntInputOutputProps& d) {
        EXPECT_EQ(Selected(d.lbConnect), std::vector<int>{2});
        Pick(d.cboType, "Wave");
        EXPECT_EQ(Items(d.lbConnect), (std::vector<std::string>{"<none>", "W <Input>"}));
        EXPECT_TRUE(Selected(d.lbConnect).empty());
        EXPECT_EQ(Items(d.cboDomain), (std::vector<std::string>{"All Values", "Mono", "Stereo"}));
    });
    EXPECT_EQ(x->GetValueDomType(), ValueDomType::Wave);
    EXPECT_EQ(x->GetSource(), nullptr);
    // The source In1 loses both of its targets.
    TDlgSntInputOutputProps source(nullptr, *in1);
    Run<TDlgSntInputOutputProps>(source, [](TDlgSntInputOutputProps& d) {
        EXPECT_EQ(Selected(d.lbConnect), (std::vector<int>{1, 2}));
        Pick(d.cboType, "Wave");
        // x is a wave input since the first dialog.
        EXPECT_EQ(Items(d.lbConnect),
                  (std::vector<std::string>{"<none>", "Res <Output>", "A.x <Node Input>",
                                            "A.s <Node Input>"}));
    });
    EXPECT_EQ(p->GetSource(), nullptr);
    EXPECT_EQ(out1->GetSource(), nullptr);
    EXPECT_TRUE(host.warnings.empty());
}

TEST_F(PinDialog, BooleanStoresDomainZeroAndTheDomainPickedLastComesBack)
{
    x->SetValueDomain(ValueDomain::Positive);
    TDlgSntInputOutputProps dialog(nullptr, *x);
    ExpectBoxes(1);
    Run<TDlgSntInputOutputProps>(dialog, [](TDlgSntInputOutputProps& d) {
        EXPECT_EQ(d.RememberedDomain(), ValueDomain::Positive);
        Pick(d.cboDomain, "[0,1]");
        Pick(d.cboType, "Integer"); // offers "All Values" .. "Positive Not Zero" only
        EXPECT_EQ(d.cboDomain->currentIndex(), -1);
        EXPECT_TRUE(StaysOpen(d));
        Pick(d.cboType, "Factor");
        EXPECT_EQ(Text(d.cboDomain->currentText()), "[0,1]");
        Pick(d.cboType, "Boolean");
        EXPECT_FALSE(d.cboDomain->isEnabled());
        EXPECT_EQ(d.cboDomain->count(), 0);
    });
    EXPECT_EQ(Boxes(), std::vector<std::string>{
                           "Input Error: No domain is selected in the Listbox \"Domain\"."});
    EXPECT_EQ(x->GetValueDomType(), ValueDomType::Boolean);
    EXPECT_EQ(x->GetValueDomain(), ValueDomain::AllValues);
}

struct ConstantCase
{
    ValueDomType from;
    TSntValue constant; // a wave name when from is Wave
    const char* to;
    bool kept;
};

void PrintTo(const ConstantCase& c, std::ostream* os)
{
    *os << GetValueDomTypeName(c.from) << " to " << c.to;
}

class PinConstants : public PinDialog, public ::testing::WithParamInterface<ConstantCase>
{
};

TEST_P(PinConstants, ANewTypeKeepsOnlyAConstantItCanHold)
{
    const ConstantCase& c = GetParam();
    TSountoryNodeInput* pin = NodeIn(a, "k", c.from);
    if (c.from == ValueDomType::Wave)
        pin->SetConstantSound("Take 1");
    else
        pin->SetConstantValue(c.constant, EHMS);
    TSountoryInput* input = In("K", c.from);
    input->SetGivenValue(c.constant, EHMS);
    for (TSountoryTouchable* touched :
         {static_cast<TSountoryTouchable*>(pin), static_cast<TSountoryTouchable*>(input)}) {
        TDlgSntInputOutputProps dialog(nullptr, *touched);
        Run<TDlgSntInputOutputProps>(dialog,
                                     [&](TDlgSntInputOutputProps& d) { Pick(d.cboType, c.to); });
    }
    EXPECT_EQ(pin->GetHasConstant(), c.kept);
    if (c.from != ValueDomType::Wave) {
        EXPECT_EQ(input->Given, c.kept);
    }
    // What stays can be saved.
    std::string text;
    std::string error;
    EXPECT_TRUE(FormatXMLFile(*factory.ToXmlTree(), "", text, error)) << error;
}

INSTANTIATE_TEST_SUITE_P(
    All, PinConstants,
    ::testing::Values(ConstantCase{ValueDomType::Factor, {2, ValueType::Factor}, "Wave", false},
                      ConstantCase{ValueDomType::Time, {0.5, ValueType::Time}, "Boolean", false},
                      ConstantCase{ValueDomType::Time, {0.5, ValueType::Time}, "Frequency", true},
                      ConstantCase{
                          ValueDomType::AllValue, {1, ValueType::Boolean}, "Integer", false},
                      ConstantCase{ValueDomType::Wave, {}, "Wave", true},
                      ConstantCase{ValueDomType::Wave, {}, "Factor", false}));

TEST_F(PinDialog, NoneWithTargetsConnectsTheTargetsAndANeverMatchIsAsked)
{
    p->SetValueDomain(ValueDomain::Negative);
    in1->SetValueDomain(ValueDomain::PositiveNotZero); // never matches p
    TDlgSntInputOutputProps source(nullptr, *in1);
    Run<TDlgSntInputOutputProps>(source, [](TDlgSntInputOutputProps& d) {
        d.lbConnect->item(0)->setSelected(true);
        d.lbConnect->item(1)->setSelected(true);
        d.lbConnect->item(2)->setSelected(true);
    });
    EXPECT_EQ(out1->GetSource(), in1);
    EXPECT_EQ(p->GetSource(), in1);
    EXPECT_EQ(host.warnings,
              std::vector<std::string>{"Make Connection between \"In1\" and \"B.p | " +
                                       std::string(NeverMatchWarning)});
    // A target takes its new source without the question.
    TDlgSntInputOutputProps target(nullptr, *p);
    Run<TDlgSntInputOutputProps>(target, [](TDlgSntInputOutputProps& d) {
        EXPECT_EQ(Selected(d.lbConnect), std::vector<int>{1});
        d.lbConnect->item(1)->setSelected(false);
        d.lbConnect->item(2)->setSelected(true);
    });
    EXPECT_EQ(p->GetSource(), y);
    EXPECT_EQ(host.warnings.size(), 1u);
}

struct RefusalCase
{
    const char* name;
    const char* height;
    std::vector<std::string> boxes;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << "\"" << c.name << "\" " << c.height;
}

class PinRefusals : public PinDialog, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(PinRefusals, ANameOrHeightTheFileCannotHoldIsRefusedWhereTyped)
{
    const RefusalCase& c = GetParam();
    TDlgSntInputOutputProps dialog(nullptr, *x);
    ExpectBoxes(int(c.boxes.size()));
    dialogs.When(
        "TDlgSntInputOutputProps",
        [&](ModalDialog&) {
            dialog.editName->setText(QString::fromLatin1(c.name));
            dialog.editHeight->setText(QString::fromLatin1(c.height));
        },
        DialogResult::Accepted);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(x->Name, "x");
    EXPECT_DOUBLE_EQ(x->GetHeightValue(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    All, PinRefusals,
    ::testing::Values(
        RefusalCase{"", "0.3", {"Input Error: In Name: Field should not be empty."}},
        RefusalCase{"a<b", "0.3", {"Input Error: In Name: A name may not contain \"<\" or \">\"."}},
        RefusalCase{
            " x", "0.3", {"Input Error: In Name: A name may not begin or end with a blank."}},
        RefusalCase{
            "x\t", "0.3", {"Input Error: In Name: A name may not begin or end with a blank."}},
        RefusalCase{"z", "1.5", {"Input Error: In Height: Value must be no more than 1."}}));

} // namespace
