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

/// "on" or "off", then "ticked" or "clear".
std::string State(const QCheckBox* box)
{
    return std::string(box->isEnabled() ? "on " : "off ") + (box->isChecked() ? "ticked" : "clear");
}

struct ModeCase
{
    uint8_t mode;
    bool overlapping;
    const char* shown; // "Allow Overlapping Nodes | Cascade Movable"
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << int(c.mode) << (c.overlapping ? " overlapping" : "");
}

class FactoryModes : public FactoryDialog, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(FactoryModes, ThePlacementModesOnOfferAndTheLabelBoxes)
{
    const ModeCase& c = GetParam();
    NodeAt("A", {20, 20, 100, 100});
    NodeAt("B", c.overlapping ? TSountoryRectangle{50, 50, 150, 150}
                              : TSountoryRectangle{200, 20, 300, 100});
    factory.SetNodesCombination(c.mode);
    factory.ShowNameIO = factory.ShowNameNIO = c.overlapping;
    factory.ShowTypeIO = factory.ShowTypeNIO = !c.overlapping;
    Edit([&](TDlgSntSountoryProps& d) {
        EXPECT_EQ(State(d.chkAllowOverlappingNodes) + " | " + State(d.chkCasMovNodes), c.shown);
        std::string labels;
        for (QCheckBox* box :
             {d.chkShowNameIO, d.chkShowTypeIO, d.chkNodesShowNameIO, d.chkNodesShowTypeIO})
            labels += box->isChecked() ? '1' : '0';
        EXPECT_EQ(labels, c.overlapping ? "1010" : "0101");
    });
    EXPECT_EQ(factory.GetNodesCombination(), c.mode);
}

INSTANTIATE_TEST_SUITE_P(All, FactoryModes,
                         ::testing::Values(ModeCase{NodesOverlap, true, "off ticked | off clear"},
                                           ModeCase{NodesOverlap, false, "on ticked | off clear"},
                                           ModeCase{NodesShift, false, "on clear | on ticked"},
                                           ModeCase{NodesFixed, false, "on clear | on clear"}));

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
    const std::string width = "Input Error: Field Rectangle Width is corrected.";
    EXPECT_EQ(Boxes(),
              (Strings{width, width, "Input Error: Field Rectangle Height is corrected.", width}));
    EXPECT_EQ(factory.GetWidth(), 315);
    EXPECT_EQ(factory.GetHeight(), 155);
    EXPECT_EQ(factory.FactoryRect.left, 25);
}

/// The names of the factory's inputs, " / " and its outputs' names, each joined by ", ".
std::string PinNames(const TUnitSountory& factory)
{
    auto join = [](const Strings& names) {
        std::string text;
        for (const std::string& name : names)
            text += (text.empty() ? "" : ", ") + name;
        return text;
    };
    return join(NamesOf(factory.Inputs())) + " / " + join(NamesOf(factory.Outputs()));
}

struct KindCase
{
    const char* type;
    const char* fit; // the label, then the nodes on offer
    const char* pins;
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
        std::string fit = Text(d.lblIOFitWithNode->text()) + ":";
        for (const std::string& node : Items(d.cboIOFitWithNode))
            fit += " " + node;
        EXPECT_EQ(fit, c.fit);
        EXPECT_EQ(d.cboIOFitWithNode->isEnabled(), d.cboIOFitWithNode->count() > 0);
        EXPECT_EQ(d.cboIOFitWithNode->currentIndex(), -1);
    });
    EXPECT_EQ(PinNames(factory), c.pins);
}

INSTANTIATE_TEST_SUITE_P(
    All, FactoryKinds,
    ::testing::Values(
        KindCase{"Free", "Fit with User Node: Other.UN",
                 "Select Begin, Select End, Replace Begin, Replace End, Mine / Result, "
                 "Position Begin, Position End"},
        KindCase{"Mix Loop", "Fit with Loop Node: Other.LN", "Mine, Wave, Count / "},
        KindCase{"Create Wave Window",
                 "Fit with Node:", "Mine / Result, Position Begin, Position End"},
        // The same kind again leaves the pins as they are, the missing "Wave" too.
        KindCase{"Change Wave Window", "Fit with Node:",
                 "Select Begin, Select End, Replace Begin, Replace End, Mine / Result, "
                 "Position Begin, Position End"}));

// Pins of the user's own that bear names the kind excludes are his work: OK without a change of
// kind keeps them and their connections; only a real change of kind removes them.
TEST_F(FactoryDialog, OkWithTheKindUnchangedKeepsTheUsersPinsAndTheirConnections)
{
    factory.SetFactoryKind(FactoryCreateWW);
    In("Count", ValueDomType::Integer);
    TSountoryInput* wave = In("Wave", ValueDomType::Wave, ValueDomain::Mono);
    factory.FindOutput("Result")->SetSource(wave);
    const std::string pins = "Count, Wave / Result, Position Begin, Position End";
    ASSERT_EQ(PinNames(factory), pins);
    for (bool picked : {false, true}) {
        EXPECT_TRUE(Edit([&](TDlgSntSountoryProps& d) {
            if (picked)
                Pick(d.cboType, "Create Wave Window");
        }));
        EXPECT_EQ(PinNames(factory), pins) << picked;
        EXPECT_EQ(factory.FindOutput("Result")->GetSource(), wave) << picked;
    }
    Edit([](TDlgSntSountoryProps& d) { Pick(d.cboType, "Change Wave Window"); });
    EXPECT_EQ(int(factory.GetFactoryKind()), int(FactoryChangeWW));
    EXPECT_EQ(PinNames(factory), "Wave, Select Begin, Select End, Replace Begin, Replace End / "
                                 "Result, Position Begin, Position End");
}

TEST_F(FactoryDialog, APickedNodeOfAnotherFactoryGivesItsPins)
{
    Edit([](TDlgSntSountoryProps& d) { Pick(d.cboIOFitWithNode, "Other.UN"); });
    EXPECT_EQ(PinNames(factory), "a, b / r");
    EXPECT_EQ(factory.FindInput("b")->GetValueDomain(), ValueDomain::Positive);
}

struct NameCase
{
    const char* name;
    const char* box; // "" when the name is taken
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
    const bool refused = *c.box != 0;
    host.documents = {"Taken"};
    ExpectBoxes(refused ? 1 : 0);
    dialogs.When(
        "TDlgSntSountoryProps",
        [&](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntSountoryProps>(modal);
            d->editName->setText(QString::fromLatin1(c.name));
            d->chkShowTypeIO->setChecked(true);
        },
        DialogResult::Accepted);
    EXPECT_EQ(EditFactoryProperties(nullptr, factory), !refused);
    EXPECT_EQ(Boxes(), refused ? Strings{c.box} : Strings{});
    EXPECT_EQ(factory.GetName(), refused ? "Fact" : c.name);
    EXPECT_EQ(factory.ShowTypeIO && factory.IsModified(), !refused);
    EXPECT_EQ(host.editNames, refused ? Strings{} : Strings{c.name});
}

INSTANTIATE_TEST_SUITE_P(
    All, FactoryNames,
    ::testing::Values(
        NameCase{"Mixer", ""}, NameCase{"", ""},
        NameCase{"Taken", "Error: A window with name \"Taken\" already exists."},
        NameCase{"a>b", "Input Error: In Name: A name may not contain \"<\" or \">\"."},
        NameCase{"Mixer ", "Input Error: In Name: A name may not begin or end with a blank."}));

} // namespace
