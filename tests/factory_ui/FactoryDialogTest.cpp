// The factory properties dialog: the placement modes it offers, the size rule, the kind and the
// fitting it applies, and the names it refuses.
#include "factory/ui/dialogs/FactoryDialog.h"

#include "factory/core/UserNodes.h"
#include "factory_ui/FactoryDialogKit.h"

#include <QCheckBox>
#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct FactoryDialog : DialogTest
{
    FactoryDialog()
    {
        // Another open factory with a user node (a, b / r) and a mix loop node.
        host.open.push_back(&other);
        auto* user =
            other.CreateNode<TSountoryNodeUser>("UN", "X", TSountoryRectangle{20, 20, 80, 60});
        NodeIn(user, "a", ValueDomType::Factor);
        NodeIn(user, "b", ValueDomType::Time, ValueDomain::Positive);
        NodeOut(user, "r", ValueDomType::Wave);
        other.CreateNode<TSountoryNodeLoop>("LN", "Y", TSountoryRectangle{20, 80, 80, 120}, true);
    }

    /// Runs the dialog on the factory; act while it is open.
    bool Edit(std::function<void(TDlgSntSountoryProps&)> act,
              DialogResult answer = DialogResult::Accepted)
    {
        TDlgSntSountoryProps dialog(nullptr, factory);
        return Run(dialog, std::move(act), answer);
    }

    TUnitSountory other{"Other", "", host};
};

struct ModeCase
{
    const char* name;
    uint8_t mode;
    bool overlapping;
    bool allowEnabled, allowTicked, cascadeEnabled, cascadeTicked;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class FactoryModes : public FactoryDialog, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(FactoryModes, ThePlacementModesOnOfferAndWhatTheBoxesStore)
{
    const ModeCase& c = GetParam();
    NodeAt("A", {20, 20, 100, 100});
    NodeAt("B", c.overlapping ? TSountoryRectangle{50, 50, 150, 150}
                              : TSountoryRectangle{200, 20, 300, 100});
    factory.SetNodesCombination(c.mode);
    Edit([&](TDlgSntSountoryProps& d) {
        EXPECT_EQ(d.chkAllowOverlappingNodes->isEnabled(), c.allowEnabled);
        EXPECT_EQ(d.chkAllowOverlappingNodes->isChecked(), c.allowTicked);
        EXPECT_EQ(d.chkCasMovNodes->isEnabled(), c.cascadeEnabled);
        EXPECT_EQ(d.chkCasMovNodes->isChecked(), c.cascadeTicked);
    });
    EXPECT_EQ(factory.GetNodesCombination(), c.mode);
}

INSTANTIATE_TEST_SUITE_P(
    All, FactoryModes,
    ::testing::Values(ModeCase{"Overlapping", NodesOverlap, true, false, true, false, false},
                      ModeCase{"OverlapAllowed", NodesOverlap, false, true, true, false, false},
                      ModeCase{"Shift", NodesShift, false, true, false, true, true},
                      ModeCase{"Fixed", NodesFixed, false, true, false, true, false}));

TEST_F(FactoryDialog, TickingOverlapUnticksCascadeAndUntickingLeavesTheFixedMode)
{
    Edit([](TDlgSntSountoryProps& d) {
        d.chkAllowOverlappingNodes->click();
        EXPECT_FALSE(d.chkCasMovNodes->isEnabled());
        EXPECT_FALSE(d.chkCasMovNodes->isChecked());
    });
    EXPECT_EQ(factory.GetNodesCombination(), NodesOverlap);
    Edit([](TDlgSntSountoryProps& d) {
        d.chkAllowOverlappingNodes->click();
        EXPECT_TRUE(d.chkCasMovNodes->isEnabled());
        EXPECT_FALSE(d.chkCasMovNodes->isChecked());
    });
    EXPECT_EQ(factory.GetNodesCombination(), NodesFixed);
}

TEST_F(FactoryDialog, AnAreaTooSmallForItsNodesIsCorrectedOnLeavingAndAtOk)
{
    ExpectBoxes(4);
    Edit(
        [](TDlgSntSountoryProps& d) {
            TypeAndLeave(d.editWidth, "50");
            EXPECT_EQ(Text(d.editWidth->text()), "70");
        },
        DialogResult::Rejected);
    NodeAt("A", {100, 50, 300, 150}); // right 300 + 15, bottom 150 + 5
    Edit([&](TDlgSntSountoryProps& d) {
        TypeAndLeave(d.editWidth, "314");
        EXPECT_EQ(Text(d.editWidth->text()), "315");
        TypeAndLeave(d.editHeight, "40");
        EXPECT_EQ(Text(d.editHeight->text()), "155");
        d.editWidth->setText(QStringLiteral("100")); // not left: OK checks it
        EXPECT_TRUE(StaysOpen(d));
        EXPECT_EQ(Text(d.editWidth->text()), "315");
        EXPECT_EQ(factory.GetWidth(), 435);
    });
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Input Error: Field Rectangle Width is corrected.",
                                        "Input Error: Field Rectangle Width is corrected.",
                                        "Input Error: Field Rectangle Height is corrected.",
                                        "Input Error: Field Rectangle Width is corrected."}));
    EXPECT_EQ(factory.GetWidth(), 315);
    EXPECT_EQ(factory.GetHeight(), 155);
    EXPECT_EQ(factory.FactoryRect.left, 25);
}

struct KindCase
{
    const char* type;
    const char* label;
    std::vector<std::string> nodes;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.type;
}

class FactoryKinds : public FactoryDialog, public ::testing::WithParamInterface<KindCase>
{
};

TEST_P(FactoryKinds, TheKindSetsUpTheFitListAndOkMakesItsPins)
{
    const KindCase& c = GetParam();
    factory.SetFactoryKind(FactoryChangeWW);
    factory.RemoveInput(factory.FindInput("Wave"));
    In("Mine", ValueDomType::Factor);
    Edit([&](TDlgSntSountoryProps& d) {
        EXPECT_EQ(Text(d.cboType->currentText()), "Change Wave Window");
        Pick(d.cboType, c.type);
        EXPECT_EQ(Text(d.lblIOFitWithNode->text()), c.label);
        EXPECT_EQ(Items(d.cboIOFitWithNode), c.nodes);
        EXPECT_EQ(d.cboIOFitWithNode->isEnabled(), !c.nodes.empty());
        EXPECT_EQ(d.cboIOFitWithNode->currentIndex(), -1);
    });
    EXPECT_EQ(NamesOf(factory.Inputs()), c.inputs);
    EXPECT_EQ(NamesOf(factory.Outputs()), c.outputs);
}

INSTANTIATE_TEST_SUITE_P(
    All, FactoryKinds,
    ::testing::Values(
        KindCase{"Free",
                 "Fit with User Node",
                 {"Other.UN"},
                 {"Select Begin", "Select End", "Replace Begin", "Replace End", "Mine"},
                 {"Result", "Position Begin", "Position End"}},
        KindCase{"Mix Loop", "Fit with Loop Node", {"Other.LN"}, {"Mine", "Wave", "Count"}, {}},
        KindCase{"Create Wave Window",
                 "Fit with Node",
                 {},
                 {"Mine"},
                 {"Result", "Position Begin", "Position End"}},
        // The same kind again makes its missing pins.
        KindCase{"Change Wave Window",
                 "Fit with Node",
                 {},
                 {"Select Begin", "Select End", "Replace Begin", "Replace End", "Mine", "Wave"},
                 {"Result", "Position Begin", "Position End"}}));

TEST_F(FactoryDialog, APickedNodeOfAnotherFactoryGivesItsPins)
{
    Edit([](TDlgSntSountoryProps& d) { Pick(d.cboIOFitWithNode, "Other.UN"); });
    EXPECT_EQ(NamesOf(factory.Inputs()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(NamesOf(factory.Outputs()), std::vector<std::string>{"r"});
    EXPECT_EQ(factory.FindInput("b")->GetValueDomain(), ValueDomain::Positive);
}

struct NameCase
{
    const char* name;
    std::vector<std::string> boxes;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << '"' << c.name << '"';
}

class FactoryNames : public FactoryDialog, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(FactoryNames, ANameIsRefusedWhereTypedOrWritten)
{
    const NameCase& c = GetParam();
    host.documents = {"Taken"};
    ExpectBoxes(int(c.boxes.size()));
    dialogs.When(
        "TDlgSntSountoryProps",
        [&](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntSountoryProps>(modal);
            d->editName->setText(QString::fromLatin1(c.name));
            d->chkShowTypeIO->setChecked(true);
        },
        DialogResult::Accepted);
    const bool written = EditFactoryProperties(nullptr, factory);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(written, c.boxes.empty());
    EXPECT_EQ(factory.GetName(), written ? c.name : "Fact");
    EXPECT_EQ(factory.ShowTypeIO, written);
    EXPECT_EQ(factory.IsModified(), written);
    EXPECT_EQ(host.editNames,
              written ? std::vector<std::string>{c.name} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    All, FactoryNames,
    ::testing::Values(
        NameCase{"Mixer", {}}, NameCase{"", {}},
        NameCase{"Taken", {"Error: A window with name \"Taken\" already exists."}},
        NameCase{"a>b", {"Input Error: In Name: A name may not contain \"<\" or \">\"."}},
        NameCase{"Mixer ", {"Input Error: In Name: A name may not begin or end with a blank."}}));

} // namespace
