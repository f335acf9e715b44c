// The pin dialog on each kind of pin: what it shows, what OK writes and what it refuses.
#include "factory/ui/dialogs/PinDialog.h"

#include "factory_ui/FactoryDialogKit.h"
#include "general/xml/XMLWriter.h"

#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Dlg = TDlgSntInputOutputProps;

// In1, W (Wave), Out1, Res (Wave); node A (x, s Wave / y, y2) behind node B (p / q).
struct PinDialog : DialogTest
{
    PinDialog()
    {
        In("W", ValueDomType::Wave);
        Out("Res", ValueDomType::Wave);
        NodeIn(a, "s", ValueDomType::Wave);
        NodeOut(a, "y2", ValueDomType::Factor);
    }
    TSountoryInput* in1 = In("In1", ValueDomType::Factor);
    TSountoryOutput* out1 = Out("Out1", ValueDomType::Factor);
    TTestNode* a = Node("A");
    TSountoryNodeInput* x = NodeIn(a, "x", ValueDomType::Factor);
    TSountoryNodeOutput* y = NodeOut(a, "y", ValueDomType::Factor);
    TTestNode* b = Node("B");
    TSountoryNodeInput* p = NodeIn(b, "p", ValueDomType::Factor);
    TSountoryNodeOutput* q = NodeOut(b, "q", ValueDomType::Factor);
};

struct KindCase
{
    size_t pin; // In1, Out1, A.x, A.y
    const char* caption;
    const char* connect;
    Strings candidates;
    const char* taken; // another pin's name of the same kind and owner
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.caption;
}

class PinKinds : public PinDialog, public ::testing::WithParamInterface<KindCase>
{
};

TEST_P(PinKinds, ShowsThePinAndRefusesOnlyANameOfItsOwnKind)
{
    const KindCase& c = GetParam();
    const std::string kind = std::string(c.caption).substr(0, std::string(c.caption).rfind(' '));
    TSountoryTouchable* pins[] = {in1, out1, x, y};
    std::string* names[] = {&in1->Name, &out1->Name, &x->Name, &y->Name};
    const size_t at = c.pin;
    Dlg dialog(nullptr, *pins[at]);
    ExpectBoxes(1);
    const char* other = at == 0 ? "Out1" : "In1"; // a name of another kind or owner is free
    EXPECT_TRUE(Run<Dlg>(dialog, [&](Dlg& d) {
        EXPECT_EQ(Text(d.windowTitle()), c.caption);
        EXPECT_EQ(Text(d.lblConnect->text()), c.connect);
        EXPECT_EQ(Items(d.lbConnect), c.candidates);
        const bool source = std::string(c.connect) == "Connect to";
        EXPECT_EQ(d.lbConnect->selectionMode() == QAbstractItemView::MultiSelection, source);
        EXPECT_EQ(Selected(d.lbConnect), std::vector<int>{0});
        EXPECT_EQ(Text(d.editHeight->text()), "50 %");
        EXPECT_EQ(Text(d.cboType->currentText()) + "/" + Text(d.cboDomain->currentText()),
                  "Factor/All Values");
        d.editName->setText(QString::fromLatin1(c.taken));
        EXPECT_TRUE(StaysOpen(d));
        d.editName->setText(QString::fromLatin1(other));
    }));
    EXPECT_EQ(Boxes(),
              Strings{"Input Error: A " + kind + " with name \"" + c.taken + "\" already exists."});
    EXPECT_EQ(*names[at], other);
    EXPECT_EQ(dialog.HelpContext(), 62);
}

INSTANTIATE_TEST_SUITE_P(All, PinKinds,
                         ::testing::Values(KindCase{0,
                                                    "Input Properties",
                                                    "Connect to",
                                                    {"<none>", "Out1 <Output>", "B.p <Node Input>",
                                                     "A.x <Node Input>"},
                                                    "W"},
                                           KindCase{1,
                                                    "Output Properties",
                                                    "Connect from",
                                                    {"<none>", "In1 <Input>", "B.q <Node Output>",
                                                     "A.y <Node Output>", "A.y2 <Node Output>"},
                                                    "Res"},
                                           KindCase{2,
                                                    "Node Input Properties",
                                                    "Connect from",
                                                    {"<none>", "In1 <Input>", "B.q <Node Output>"},
                                                    "s"},
                                           KindCase{3,
                                                    "Node Output Properties",
                                                    "Connect to",
                                                    {"<none>", "Out1 <Output>", "B.p <Node Input>"},
                                                    "y2"}));

TEST_F(PinDialog, AFixedPinGreysNameTypeAndDomainButAWaveWindowPinKeepsItsDomain)
{
    factory.SetFactoryKind(FactoryChangeWW);
    x->Fixed = true;
    TSountoryInput* wave = factory.FindInput("Wave");
    TSountoryInput* select = factory.FindInput("Select Begin");
    for (auto [pin, domain] :
         {std::pair<TSntPinPlace*, bool>{wave, true}, {select, false}, {x, false}}) {
        Dlg dialog(nullptr, *dynamic_cast<TSountoryTouchable*>(pin));
        Run<Dlg>(dialog, [&](Dlg& d) {
            EXPECT_FALSE(d.editName->isEnabled() || d.cboType->isEnabled());
            EXPECT_EQ(d.cboDomain->isEnabled(), domain);
            d.editHeight->setText(QStringLiteral("0.25"));
        });
        EXPECT_DOUBLE_EQ(pin->GetHeightValue(), 0.25);
    }
}

TEST_F(PinDialog, ATypeChangeRefillsTheCandidatesAndDropsTheConnectionsNoLongerListed)
{
    x->SetSource(q);
    p->SetSource(in1);
    out1->SetSource(in1);
    Dlg target(nullptr, *x);
    Run<Dlg>(target, [](Dlg& d) {
        EXPECT_EQ(Selected(d.lbConnect), std::vector<int>{2});
        Pick(d.cboType, "Wave");
        EXPECT_EQ(Items(d.lbConnect), (Strings{"<none>", "W <Input>"}));
        EXPECT_TRUE(Selected(d.lbConnect).empty()); // its source is no candidate now
        EXPECT_EQ(Items(d.cboDomain), (Strings{"All Values", "Mono", "Stereo"}));
    });
    EXPECT_EQ(x->GetValueDomType(), ValueDomType::Wave);
    EXPECT_EQ(x->GetSource(), nullptr);
    Dlg source(nullptr, *in1);
    Run<Dlg>(source, [](Dlg& d) {
        EXPECT_EQ(Selected(d.lbConnect), (std::vector<int>{1, 2}));
        Pick(d.cboType, "Wave");
        EXPECT_EQ(Items(d.lbConnect),
                  (Strings{"<none>", "Res <Output>", "A.x <Node Input>", "A.s <Node Input>"}));
    });
    EXPECT_EQ(p->GetSource(), nullptr);
    EXPECT_EQ(out1->GetSource(), nullptr);
}

TEST_F(PinDialog, BooleanStoresDomainZeroAndTheDomainPickedLastComesBack)
{
    x->SetValueDomain(ValueDomain::Positive);
    Dlg dialog(nullptr, *x);
    ExpectBoxes(2);
    Run<Dlg>(dialog, [](Dlg& d) {
        EXPECT_EQ(d.RememberedDomain(), ValueDomain::Positive);
        Pick(d.cboDomain, "[0,1]");
        Pick(d.cboType, "Integer"); // offers "All Values" .. "Positive Not Zero" only
        EXPECT_EQ(d.cboDomain->currentIndex(), -1);
        EXPECT_TRUE(StaysOpen(d));
        Pick(d.cboType, "Factor");
        EXPECT_EQ(Text(d.cboDomain->currentText()), "[0,1]");
        d.cboType->setCurrentIndex(-1);
        EXPECT_TRUE(StaysOpen(d));
        Pick(d.cboType, "Boolean");
        EXPECT_FALSE(d.cboDomain->isEnabled());
        EXPECT_EQ(d.cboDomain->count(), 0);
    });
    EXPECT_EQ(Boxes(), (Strings{"Input Error: No domain is selected in the Listbox \"Domain\".",
                                "Input Error: No type is selected in the Listbox \"Type\"."}));
    EXPECT_EQ(x->GetValueDomType(), ValueDomType::Boolean);
    EXPECT_EQ(x->GetValueDomain(), ValueDomain::AllValues);
}

struct ConstantCase
{
    ValueDomType from;
    TSntValue constant; // a wave name on a Wave pin
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

TEST_P(PinConstants, ANewTypeKeepsOnlyAConstantItCanHoldAndTheFactoryStaysSavable)
{
    const ConstantCase& c = GetParam();
    const bool wave = c.from == ValueDomType::Wave;
    TSountoryNodeInput* pin = NodeIn(a, "k", c.from);
    TSountoryInput* input = In("K", c.from);
    wave ? pin->SetConstantSound("Take 1") : pin->SetConstantValue(c.constant, EHMS);
    input->SetGivenValue(c.constant, EHMS);
    for (TSountoryTouchable* touched :
         {static_cast<TSountoryTouchable*>(pin), static_cast<TSountoryTouchable*>(input)}) {
        Dlg dialog(nullptr, *touched);
        Run<Dlg>(dialog, [&](Dlg& d) { Pick(d.cboType, c.to); });
    }
    EXPECT_EQ(pin->GetHasConstant(), c.kept);
    EXPECT_EQ(input->Given, c.kept);
    std::string text, error;
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

TEST_F(PinDialog, NoneWithTargetsConnectsTheTargetsAndOnlyANewTargetIsAsked)
{
    p->SetValueDomain(ValueDomain::Negative);
    in1->SetValueDomain(ValueDomain::PositiveNotZero); // never matches p
    Dlg source(nullptr, *in1);
    Run<Dlg>(source, [](Dlg& d) {
        for (int i : {0, 1, 2})
            d.lbConnect->item(i)->setSelected(true);
    });
    EXPECT_EQ(out1->GetSource(), in1);
    EXPECT_EQ(p->GetSource(), in1);
    EXPECT_EQ(host.warnings, Strings{"Make Connection between \"In1\" and \"B.p | " +
                                     std::string(NeverMatchWarning)});
    Dlg target(nullptr, *p);
    Run<Dlg>(target, [](Dlg& d) {
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
    const char* box;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << '"' << c.name << "\" " << c.height;
}

class PinRefusals : public PinDialog, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(PinRefusals, ANameOrHeightTheFileCannotHoldIsRefusedWhereTyped)
{
    const RefusalCase& c = GetParam();
    Dlg dialog(nullptr, *x);
    ExpectBoxes(1);
    EXPECT_FALSE(Run<Dlg>(dialog, [&](Dlg& d) {
        d.editName->setText(QString::fromLatin1(c.name));
        d.editHeight->setText(QString::fromLatin1(c.height));
    }));
    EXPECT_EQ(Boxes(), Strings{std::string("Input Error: In ") + c.box});
    EXPECT_EQ(x->Name, "x");
    EXPECT_DOUBLE_EQ(x->GetHeightValue(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    All, PinRefusals,
    ::testing::Values(RefusalCase{"", "0.3", "Name: Field should not be empty."},
                      RefusalCase{"a<b", "0.3", "Name: A name may not contain \"<\" or \">\"."},
                      RefusalCase{" x", "0.3", "Name: A name may not begin or end with a blank."},
                      RefusalCase{"x\t", "0.3", "Name: A name may not begin or end with a blank."},
                      RefusalCase{"z", "1.5", "Height: Value must be no more than 1."}));

} // namespace
