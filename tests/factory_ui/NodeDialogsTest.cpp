// The node dialogs: default names, the rectangle rules on leaving an edit and at OK, what OK
// writes into a user, mix loop or builtin node, and what it refuses.
#include "factory/ui/dialogs/NodeDialogs.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/UserNodes.h"
#include "factory_ui/FactoryDialogKit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct NodeDialog : DialogTest
{
    NodeDialog() { factory.ClearModified(); }

    TSountoryNodeBuiltin* Builtin(const std::string& name, uint8_t kind,
                                  TSountoryRectangle rect = {100, 50, 200, 150})
    {
        return factory.CreateNode<TSountoryNodeBuiltin>(name, kind, rect, true);
    }
    TSountoryNodeUser* User(const std::string& name, const std::string& runs,
                            TSountoryRectangle rect = {100, 50, 200, 150})
    {
        return factory.CreateNode<TSountoryNodeUser>(name, runs, rect);
    }
    /// Another open factory of that name.
    TUnitSountory& Open(const std::string& name)
    {
        others.push_back(std::make_unique<TUnitSountory>(name, "", host));
        host.open.push_back(others.back().get());
        return *others.back();
    }
    static std::vector<int> RectOf(const TSountoryNode& node)
    {
        const TSountoryRectangle& r = node.GetRect();
        return {r.left, r.top, r.right, r.bottom};
    }

    std::vector<std::unique_ptr<TUnitSountory>> others;
};

TEST_F(NodeDialog, EachDialogHasItsCaptionAndHelp)
{
    TSountoryNodeUser* user = User("U", "Echo");
    auto* loop = factory.CreateNode<TSountoryNodeLoop>("L", "Echo",
                                                       TSountoryRectangle{10, 200, 50, 230}, false);
    TSountoryNodeBuiltin* builtin = Builtin("B", BuiltinPlus, {300, 50, 400, 150});
    TDlgSntUserNodeProps userDialog(nullptr, false, *user);
    TDlgSntUserNodeProps loopDialog(nullptr, false, *loop);
    TDlgSntBuiltinNodeProps builtinDialog(nullptr, *builtin);
    struct Case
    {
        TSntDialog* dialog;
        const char* caption;
        int help;
    };
    for (const Case& c : {Case{&userDialog, "Properties User Node", 60},
                          Case{&loopDialog, "Properties Mix Loop Node", 61},
                          Case{&builtinDialog, "Properties Builtin Node", 59}}) {
        EXPECT_EQ(Text(c.dialog->windowTitle()), c.caption);
        c.dialog->HelpBtnClick();
        EXPECT_EQ(help.Contexts().back(), c.help) << c.caption;
    }
    EXPECT_EQ(Text(userDialog.chkIOFit->text()), "Use Inputs and Output from Factory");
}

TEST_F(NodeDialog, ADefaultBuiltinNameFollowsTheFunctionUntilTheUserTypesOne)
{
    Builtin("Plus", BuiltinPlus)->DefaultName = false;
    Builtin("Plus 2", BuiltinPlus, {100, 200, 200, 230});
    TSountoryNodeBuiltin* node = Builtin("Builtin", BuiltinVolume, {300, 50, 400, 150});
    TDlgSntBuiltinNodeProps dialog(nullptr, *node);
    Run<TDlgSntBuiltinNodeProps>(dialog, [&](TDlgSntBuiltinNodeProps& d) {
        EXPECT_EQ(Text(d.editName->text()), "Volume");
        EXPECT_EQ(Items(d.cboCat), (std::vector<std::string>{
                                       "Make Sound", "Edit Sound", "Manipulate Sound",
                                       "Filter Sound", "Mathematics", "Boolean", "Miscellaneous"}));
        EXPECT_EQ(d.SelectedKind(), BuiltinVolume);
        Pick(d.cboCat, "Mathematics");
        EXPECT_EQ(d.cboFunction->currentIndex(), -1);
        EXPECT_FALSE(d.btnFunctionHelp->isEnabled());
        EXPECT_EQ(Items(d.cboFunction)[2], "Minus");
        EXPECT_FALSE(d.cboFunction->itemIcon(0).isNull());
        Pick(d.cboFunction, "Plus");
        EXPECT_EQ(Text(d.editName->text()), "Plus 3");
        d.btnFunctionHelp->click();
        d.editName->setText(QStringLiteral("Sum"));
        Pick(d.cboFunction, "Multiply");
        EXPECT_EQ(Text(d.editName->text()), "Sum");
    });
    EXPECT_EQ(help.Contexts(), std::vector<int>{1024 + BuiltinPlus});
    EXPECT_EQ(node->Name, "Sum");
    EXPECT_FALSE(node->DefaultName);
    EXPECT_EQ(node->GetBuiltinAction(), BuiltinMultiply);
    EXPECT_EQ(NamesOf(node->Inputs()), (std::vector<std::string>{"Operand 1", "Operand 2"}));
    EXPECT_FALSE(factory.IsModified()); // the entry point marks it, not the dialog
}

TEST_F(NodeDialog, ADefaultUserNameFollowsTheFactoryUntilTheUserTypesOne)
{
    Open("Echo");
    Open("Verb");
    Open(""); // cannot be found by name, so not offered
    host.open.push_back(&factory);
    Builtin("Echo", BuiltinPlus, {300, 50, 400, 150});
    TSountoryNodeUser* node = User("User Node ", "Factory");
    TDlgSntUserNodeProps dialog(nullptr, true, *node);
    Run<TDlgSntUserNodeProps>(dialog, [&](TDlgSntUserNodeProps& d) {
        EXPECT_EQ(Items(d.cboSountory), (std::vector<std::string>{"Echo", "Verb"}));
        EXPECT_EQ(Text(d.cboSountory->currentText()), "Factory");
        EXPECT_EQ(Text(d.editName->text()), "Factory");
        EXPECT_TRUE(d.chkIOFit->isChecked());
        Pick(d.cboSountory, "Echo");
        EXPECT_EQ(Text(d.editName->text()), "Echo 2");
        Pick(d.cboSountory, "Verb");
        EXPECT_EQ(Text(d.editName->text()), "Verb");
        d.editName->setText(QStringLiteral("Reverb"));
        Pick(d.cboSountory, "Echo");
        d.chkIOFit->setChecked(false);
    });
    EXPECT_EQ(node->Name, "Reverb");
    EXPECT_EQ(node->NameFactory, "Echo");
    EXPECT_FALSE(dialog.GetFit());
}

TEST_F(NodeDialog, TheFitFlagGoesInAndComesBackOnlyWithOk)
{
    TSountoryNodeUser* node = User("U", "Echo");
    bool fit = true;
    dialogs.When(
        "TDlgSntUserNodeProps",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntUserNodeProps>(modal);
            EXPECT_TRUE(d->chkIOFit->isChecked());
            d->chkIOFit->setChecked(false);
        },
        DialogResult::Rejected);
    EXPECT_FALSE(EditReferenceNode(nullptr, *node, fit));
    EXPECT_TRUE(fit);
    EXPECT_FALSE(factory.IsModified());
    dialogs.When(
        "TDlgSntUserNodeProps",
        [](ModalDialog& modal) {
            DialogAs<TDlgSntUserNodeProps>(modal)->chkIOFit->setChecked(false);
        },
        DialogResult::Accepted);
    EXPECT_TRUE(EditReferenceNode(nullptr, *node, fit));
    EXPECT_FALSE(fit);
    EXPECT_TRUE(factory.IsModified());
}

TEST_F(NodeDialog, ASideIsCorrectedWhenItsEditIsLeft)
{
    TSountoryNodeBuiltin* node = Builtin("N", BuiltinPlus);
    TDlgSntBuiltinNodeProps dialog(nullptr, *node);
    ExpectBoxes(2);
    Run<TDlgSntBuiltinNodeProps>(dialog, [](TDlgSntBuiltinNodeProps& d) {
        TypeAndLeave(d.editLeft, "3");
        EXPECT_EQ(Text(d.editLeft->text()), "15");
        TypeAndLeave(d.editTop, "abc"); // OK reports it
        TypeAndLeave(d.editBottom, "60");
        EXPECT_EQ(Text(d.editBottom->text()), "73");
        TypeAndLeave(d.editTop, "50");
        TypeAndLeave(d.editBottom, "150");
    });
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Input Error: Field Rectangle Left is corrected.",
                                        "Input Error: Field Rectangle Bottom is corrected."}));
    EXPECT_EQ(RectOf(*node), (std::vector<int>{15, 50, 200, 150}));
}

TEST_F(NodeDialog, SidesThatCrossAreCorrectedAtOk)
{
    TSountoryNodeBuiltin* node = Builtin("N", BuiltinPlus, {100, 50, 300, 150});
    TDlgSntBuiltinNodeProps dialog(nullptr, *node);
    ExpectBoxes(1);
    Run<TDlgSntBuiltinNodeProps>(dialog, [&](TDlgSntBuiltinNodeProps& d) {
        TypeAndLeave(d.editLeft, "250");
        TypeAndLeave(d.editRight, "150"); // each side alone fits the node as it is
        EXPECT_TRUE(Boxes().empty());
        EXPECT_TRUE(StaysOpen(d));
        EXPECT_EQ(Text(d.editRight->text()), "285");
        EXPECT_EQ(RectOf(*node), (std::vector<int>{100, 50, 300, 150}));
    });
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"Input Error: Field Rectangle Right is corrected."});
    EXPECT_EQ(RectOf(*node), (std::vector<int>{250, 50, 285, 150}));
}

TEST_F(NodeDialog, ASideThatPushesNodesAsideModifiesTheFactoryEvenOnCancel)
{
    TSountoryNodeBuiltin* right = Builtin("R", BuiltinPlus, {215, 50, 300, 150});
    TSountoryNodeBuiltin* node = Builtin("N", BuiltinPlus, {100, 50, 200, 150});
    for (uint8_t mode : {NodesFixed, NodesShift}) {
        factory.SetNodesCombination(mode);
        factory.ClearModified();
        TDlgSntBuiltinNodeProps dialog(nullptr, *node);
        ExpectBoxes(mode == NodesFixed ? 1 : 0);
        Run<TDlgSntBuiltinNodeProps>(
            dialog, [](TDlgSntBuiltinNodeProps& d) { TypeAndLeave(d.editRight, "260"); },
            DialogResult::Rejected);
        EXPECT_EQ(RectOf(*node), (std::vector<int>{100, 50, 200, 150}));
        EXPECT_EQ(factory.IsModified(), mode == NodesShift);
        EXPECT_EQ(Text(dialog.editRight->text()), mode == NodesFixed ? "205" : "260");
    }
    EXPECT_EQ(RectOf(*right), (std::vector<int>{270, 50, 355, 150}));
}

TEST_F(NodeDialog, OkRebuildsTheBuiltinPinsAndKeepsTheWiringThatMatches)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TSountoryNodeBuiltin* node = Builtin("N", BuiltinPlus);
    node->DefaultName = false;
    TSountoryNodeInput* first = node->Inputs()[0].get();
    first->SetSource(in);
    node->AddOperand(); // "Operand 3", which Plus does not make
    TDlgSntBuiltinNodeProps dialog(nullptr, *node);
    EXPECT_TRUE(Run<TDlgSntBuiltinNodeProps>(dialog, {}));
    EXPECT_EQ(NamesOf(node->Inputs()), (std::vector<std::string>{"Operand 1", "Operand 2"}));
    EXPECT_EQ(node->Inputs()[0].get(), first);
    EXPECT_EQ(first->GetSource(), in);
    EXPECT_EQ(node->Name, "N");
}

struct RefusalCase
{
    const char* name;
    std::function<void(TDlgSntNodeProps&)> act;
    std::vector<std::string> boxes;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class NodeRefusals : public NodeDialog, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(NodeRefusals, OkRefusesAndWritesNothing)
{
    const RefusalCase& c = GetParam();
    Builtin("Other", BuiltinPlus, {300, 50, 400, 150});
    TSountoryNodeBuiltin* builtin = Builtin("N", BuiltinPlus);
    TSountoryNodeUser* user = User("U", "Echo", {100, 170, 200, 230});
    for (bool isUser : {false, true}) {
        messages.Clear();
        ExpectBoxes(int(c.boxes.size()));
        std::unique_ptr<TDlgSntNodeProps> dialog;
        if (isUser)
            dialog = std::make_unique<TDlgSntUserNodeProps>(nullptr, false, *user);
        else
            dialog = std::make_unique<TDlgSntBuiltinNodeProps>(nullptr, *builtin);
        dialogs.When(
            isUser ? "TDlgSntUserNodeProps" : "TDlgSntBuiltinNodeProps",
            [&](ModalDialog&) { c.act(*dialog); }, DialogResult::Accepted);
        EXPECT_EQ(RunDialog(*dialog), DialogResult::Rejected);
        EXPECT_EQ(Boxes(), c.boxes) << (isUser ? "user" : "builtin");
    }
    EXPECT_EQ(builtin->Name, "N");
    EXPECT_EQ(RectOf(*builtin), (std::vector<int>{100, 50, 200, 150}));
    EXPECT_EQ(user->Name, "U");
    EXPECT_EQ(user->NameFactory, "Echo");
}

INSTANTIATE_TEST_SUITE_P(
    All, NodeRefusals,
    ::testing::Values(
        RefusalCase{"TakenName",
                    [](TDlgSntNodeProps& d) { d.editName->setText(QStringLiteral("Other")); },
                    {"Input Error: A Node with name \"Other\" already exists."}},
        RefusalCase{"EmptyName",
                    [](TDlgSntNodeProps& d) { d.editName->clear(); },
                    {"Input Error: In Name: Field should not be empty."}},
        RefusalCase{"BlankAtEnd",
                    [](TDlgSntNodeProps& d) { d.editName->setText(QStringLiteral("N ")); },
                    {"Input Error: In Name: A name may not begin or end with a blank."}},
        RefusalCase{"BadNumbersThenName",
                    [](TDlgSntNodeProps& d) {
                        d.editLeft->setText(QStringLiteral("x"));
                        d.editTop->setText(QStringLiteral("-1"));
                        d.editName->setText(QStringLiteral("<N>"));
                    },
                    {"Input Error: In Rectangle Left: Invalid value: \"x\".",
                     "Input Error: In Name: A name may not contain \"<\" or \">\"."}}));

TEST_F(NodeDialog, TheFunctionAndTheFactoryNameMustBeGiven)
{
    TSountoryNodeBuiltin* builtin = Builtin("N", BuiltinPlus);
    TSountoryNodeUser* user = User("U", "Echo", {100, 170, 200, 230});
    user->DefaultName = false;
    ExpectBoxes(2);
    TDlgSntBuiltinNodeProps builtinDialog(nullptr, *builtin);
    Run<TDlgSntBuiltinNodeProps>(builtinDialog, [](TDlgSntBuiltinNodeProps& d) {
        Pick(d.cboCat, "Boolean");
        EXPECT_TRUE(StaysOpen(d));
        Pick(d.cboFunction, "Not");
    });
    TDlgSntUserNodeProps userDialog(nullptr, false, *user);
    Run<TDlgSntUserNodeProps>(userDialog, [](TDlgSntUserNodeProps& d) {
        d.cboSountory->setEditText(QStringLiteral(" Echo"));
        EXPECT_TRUE(StaysOpen(d));
        d.cboSountory->setEditText(QStringLiteral("Echo 2"));
    });
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           "Input Error: No function is selected in the Listbox \"Function\".",
                           "Input Error: In Factory: A name may not begin or end with a blank."}));
    EXPECT_EQ(builtin->GetBuiltinAction(), BuiltinNot);
    EXPECT_EQ(user->NameFactory, "Echo 2");
}

} // namespace
