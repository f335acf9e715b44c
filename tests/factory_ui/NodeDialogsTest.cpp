// The node dialogs: default names, the rectangle rules on leaving an edit and at OK, what OK
// writes into a user, mix loop or builtin node, and what it refuses.
#include "factory/ui/dialogs/NodeDialogs.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/UserNodes.h"
#include "factory/ui/NodePictures.h"
#include "factory_ui/FactoryDialogKit.h"

#include <QCheckBox>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Builtin = TDlgSntBuiltinNodeProps;
using User = TDlgSntUserNodeProps;

struct NodeDialog : DialogTest
{
    TSountoryNodeBuiltin* MakeBuiltin(const std::string& name, uint8_t kind,
                                      TSountoryRectangle rect = {100, 50, 200, 150})
    {
        return factory.CreateNode<TSountoryNodeBuiltin>(name, kind, rect, true);
    }
    TSountoryNodeUser* MakeUser(const std::string& name,
                                TSountoryRectangle rect = {100, 170, 200, 230})
    {
        return factory.CreateNode<TSountoryNodeUser>(name, "Echo", rect);
    }
    void Open(const std::string& name)
    {
        others.push_back(std::make_unique<TUnitSountory>(name, "", host));
        host.open.push_back(others.back().get());
    }
    static std::vector<int> RectOf(const TSountoryNode& node)
    {
        const TSountoryRectangle& r = node.GetRect();
        return {r.left, r.top, r.right, r.bottom};
    }

    std::vector<std::unique_ptr<TUnitSountory>> others;
};

TEST_F(NodeDialog, ADefaultBuiltinNameFollowsTheFunctionUntilTheUserTypesOne)
{
    MakeBuiltin("Plus", BuiltinPlus)->DefaultName = false;
    MakeBuiltin("Plus 2", BuiltinPlus, {100, 200, 200, 230});
    TSountoryNodeBuiltin* node = MakeBuiltin("Builtin", BuiltinVolume, {300, 50, 400, 150});
    Builtin dialog(nullptr, *node);
    Run<Builtin>(dialog, [&](Builtin& d) {
        EXPECT_EQ(Text(d.windowTitle()), "Properties Builtin Node");
        EXPECT_EQ(Text(d.editName->text()), "Volume");
        EXPECT_EQ(Items(d.cboCat),
                  (Strings{"Make Sound", "Edit Sound", "Manipulate Sound", "Filter Sound",
                           "Mathematics", "Boolean", "Miscellaneous"}));
        EXPECT_EQ(d.SelectedKind(), BuiltinVolume);
        EXPECT_TRUE(d.btnFunctionHelp->isEnabled());
        Pick(d.cboCat, "Mathematics");
        EXPECT_EQ(d.cboFunction->currentIndex(), -1);
        EXPECT_FALSE(d.btnFunctionHelp->isEnabled());
        EXPECT_EQ(Items(d.cboFunction)[2], "Minus");
        // Each function shows its picture (0x00BBGGRR) in the list.
        const CanvasBitmap& plus = GetNodePicture(GetBuiltinKind(BuiltinPlus)->icon);
        const QImage icon = d.cboFunction->itemIcon(0).pixmap(NodePictureSize).toImage();
        for (int i = 0; i < 256; i += 7) {
            const uint32_t c = plus.pixels[size_t(i)];
            EXPECT_EQ(icon.pixel(i % 16, i / 16) & 0xFFFFFF,
                      ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
        }
        Pick(d.cboFunction, "Plus");
        EXPECT_EQ(Text(d.editName->text()), "Plus 3");
        d.btnFunctionHelp->click();
        d.HelpBtnClick();
        d.editName->setText(QStringLiteral("Sum"));
        Pick(d.cboFunction, "Multiply");
        EXPECT_EQ(Text(d.editName->text()), "Sum");
    });
    EXPECT_EQ(help.Contexts(), (std::vector<int>{1024 + BuiltinPlus, 59}));
    EXPECT_EQ(node->Name, "Sum");
    EXPECT_FALSE(node->DefaultName);
    EXPECT_EQ(node->GetBuiltinAction(), BuiltinMultiply);
}

TEST_F(NodeDialog, ADefaultUserNameFollowsTheFactoryUntilTheUserTypesOne)
{
    Open("Echo");
    Open("Verb");
    Open(""); // cannot be found by name, so not offered
    host.open.push_back(&factory);
    MakeBuiltin("Echo", BuiltinPlus);
    TSountoryNodeUser* node = MakeUser("User Node ");
    node->NameFactory = "Factory";
    User dialog(nullptr, true, *node);
    Run<User>(dialog, [&](User& d) {
        EXPECT_EQ(Text(d.windowTitle()), "Properties User Node");
        EXPECT_EQ(Items(d.cboSountory), (Strings{"Echo", "Verb"}));
        EXPECT_EQ(Text(d.cboSountory->currentText()) + "/" + Text(d.editName->text()),
                  "Factory/Factory");
        Pick(d.cboSountory, "Echo");
        EXPECT_EQ(Text(d.editName->text()), "Echo 2");
        Pick(d.cboSountory, "Verb");
        EXPECT_EQ(Text(d.editName->text()), "Verb");
        d.editName->setText(QStringLiteral("Reverb"));
        Pick(d.cboSountory, "Echo");
        d.HelpBtnClick();
    });
    EXPECT_EQ(node->Name + "/" + node->NameFactory, "Reverb/Echo");
    EXPECT_EQ(help.Contexts(), std::vector<int>{60});
}

TEST_F(NodeDialog, TheFitFlagOfAMixLoopNodeComesBackOnlyWithOk)
{
    auto* node = factory.CreateNode<TSountoryNodeLoop>("L", "Echo",
                                                       TSountoryRectangle{20, 20, 60, 50}, false);
    bool fit = true;
    for (DialogResult answer : {DialogResult::Rejected, DialogResult::Accepted}) {
        dialogs.When(
            "TDlgSntUserNodeProps",
            [](ModalDialog& modal) {
                User* d = DialogAs<User>(modal);
                EXPECT_EQ(Text(d->windowTitle()), "Properties Mix Loop Node");
                EXPECT_EQ(d->HelpContext(), 61);
                EXPECT_EQ(Text(d->chkIOFit->text()), "Use Inputs and Output from Factory");
                EXPECT_TRUE(d->chkIOFit->isChecked());
                d->chkIOFit->setChecked(false);
            },
            answer);
        EXPECT_EQ(EditReferenceNode(nullptr, *node, fit), answer == DialogResult::Accepted);
        EXPECT_EQ(fit, answer == DialogResult::Rejected);
        EXPECT_EQ(factory.IsModified(), !fit);
    }
}

TEST_F(NodeDialog, ASideIsCorrectedWhenItsEditIsLeft)
{
    TSountoryNodeBuiltin* node = MakeBuiltin("N", BuiltinPlus);
    Builtin dialog(nullptr, *node);
    ExpectBoxes(2);
    Run<Builtin>(dialog, [](Builtin& d) {
        TypeAndLeave(d.editLeft, "3");
        EXPECT_EQ(Text(d.editLeft->text()), "15");
        TypeAndLeave(d.editTop, "abc"); // OK reports it
        TypeAndLeave(d.editBottom, "60");
        EXPECT_EQ(Text(d.editBottom->text()), "73");
        TypeAndLeave(d.editTop, "50");
        TypeAndLeave(d.editBottom, "150");
    });
    EXPECT_EQ(Boxes(), (Strings{"Input Error: Field Rectangle Left is corrected.",
                                "Input Error: Field Rectangle Bottom is corrected."}));
    EXPECT_EQ(RectOf(*node), (std::vector<int>{15, 50, 200, 150}));
}

TEST_F(NodeDialog, SidesThatCrossAreCorrectedAtOk)
{
    TSountoryNodeBuiltin* node = MakeBuiltin("N", BuiltinPlus, {100, 50, 300, 150});
    Builtin dialog(nullptr, *node);
    ExpectBoxes(1);
    Run<Builtin>(dialog, [&](Builtin& d) {
        TypeAndLeave(d.editLeft, "250");
        TypeAndLeave(d.editRight, "150"); // each side alone fits the node as it is
        EXPECT_TRUE(Boxes().empty());
        EXPECT_TRUE(StaysOpen(d));
        EXPECT_EQ(Text(d.editRight->text()), "285");
        EXPECT_EQ(RectOf(*node), (std::vector<int>{100, 50, 300, 150}));
    });
    EXPECT_EQ(Boxes(), Strings{"Input Error: Field Rectangle Right is corrected."});
    EXPECT_EQ(RectOf(*node), (std::vector<int>{250, 50, 285, 150}));
}

TEST_F(NodeDialog, ASideThatPushesNodesAsideModifiesTheFactoryEvenOnCancel)
{
    TSountoryNodeBuiltin* right = MakeBuiltin("R", BuiltinPlus, {215, 50, 300, 150});
    TSountoryNodeBuiltin* node = MakeBuiltin("N", BuiltinPlus);
    for (uint8_t mode : {NodesFixed, NodesShift}) {
        factory.SetNodesCombination(mode);
        Builtin dialog(nullptr, *node);
        ExpectBoxes(mode == NodesFixed ? 1 : 0);
        Run<Builtin>(
            dialog, [](Builtin& d) { TypeAndLeave(d.editRight, "260"); }, DialogResult::Rejected);
        EXPECT_EQ(RectOf(*node), (std::vector<int>{100, 50, 200, 150}));
        EXPECT_EQ(factory.IsModified(), mode == NodesShift);
        EXPECT_EQ(Text(dialog.editRight->text()), mode == NodesFixed ? "205" : "260");
    }
    EXPECT_EQ(RectOf(*right), (std::vector<int>{270, 50, 355, 150}));
}

TEST_F(NodeDialog, OkRebuildsTheBuiltinPinsAndKeepsTheWiringThatMatches)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TSountoryNodeBuiltin* node = MakeBuiltin("N", BuiltinPlus);
    TSountoryNodeInput* first = node->Inputs()[0].get();
    first->SetSource(in);
    node->AddOperand(); // "Operand 3", which Plus does not make
    Builtin dialog(nullptr, *node);
    EXPECT_TRUE(Run<Builtin>(dialog, {}));
    EXPECT_EQ(NamesOf(node->Inputs()), (Strings{"Operand 1", "Operand 2"}));
    EXPECT_EQ(node->Inputs()[0].get(), first);
    EXPECT_EQ(first->GetSource(), in);
}

struct RefusalCase
{
    std::function<void(TDlgSntNodeProps&)> act;
    Strings boxes;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.boxes.back();
}

class NodeRefusals : public NodeDialog, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(NodeRefusals, OkRefusesAndWritesNothing)
{
    const RefusalCase& c = GetParam();
    MakeBuiltin("Other", BuiltinPlus, {300, 50, 400, 150});
    TSountoryNodeBuiltin* builtin = MakeBuiltin("N", BuiltinPlus);
    TSountoryNodeUser* user = MakeUser("U");
    Builtin builtinDialog(nullptr, *builtin);
    User userDialog(nullptr, false, *user);
    for (TDlgSntNodeProps* dialog : {static_cast<TDlgSntNodeProps*>(&builtinDialog),
                                     static_cast<TDlgSntNodeProps*>(&userDialog)}) {
        messages.Clear();
        ExpectBoxes(c.boxes.size());
        EXPECT_FALSE(Run<TDlgSntNodeProps>(*dialog, c.act));
        EXPECT_EQ(Boxes(), c.boxes);
    }
    EXPECT_EQ(builtin->Name + "/" + user->Name + "/" + user->NameFactory, "N/U/Echo");
    EXPECT_EQ(RectOf(*builtin), (std::vector<int>{100, 50, 200, 150}));
}

INSTANTIATE_TEST_SUITE_P(
    All, NodeRefusals,
    ::testing::Values(
        RefusalCase{[](TDlgSntNodeProps& d) { d.editName->setText(QStringLiteral("Other")); },
                    {"Input Error: A Node with name \"Other\" already exists."}},
        RefusalCase{[](TDlgSntNodeProps& d) { d.editName->clear(); },
                    {"Input Error: In Name: Field should not be empty."}},
        RefusalCase{[](TDlgSntNodeProps& d) { d.editName->setText(QStringLiteral("N ")); },
                    {"Input Error: In Name: A name may not begin or end with a blank."}},
        RefusalCase{[](TDlgSntNodeProps& d) {
                        d.editLeft->setText(QStringLiteral("x"));
                        d.editTop->setText(QStringLiteral("-1")); // not read after a bad one
                        d.editName->setText(QStringLiteral("<N>"));
                    },
                    {"Input Error: In Rectangle Left: Invalid value: \"x\".",
                     "Input Error: In Name: A name may not contain \"<\" or \">\"."}}));

TEST_F(NodeDialog, TheFunctionAndTheFactoryNameMustBeGiven)
{
    TSountoryNodeBuiltin* builtin = MakeBuiltin("N", BuiltinPlus);
    TSountoryNodeUser* user = MakeUser("U");
    user->DefaultName = false;
    ExpectBoxes(3);
    Builtin builtinDialog(nullptr, *builtin);
    Run<Builtin>(builtinDialog, [](Builtin& d) {
        Pick(d.cboCat, "Boolean");
        EXPECT_TRUE(StaysOpen(d));
        Pick(d.cboFunction, "Not");
    });
    User userDialog(nullptr, false, *user);
    Run<User>(userDialog, [](User& d) {
        for (const char* refused : {"", " Echo"}) {
            d.cboSountory->setEditText(QString::fromLatin1(refused));
            EXPECT_TRUE(StaysOpen(d));
        }
        d.cboSountory->setEditText(QStringLiteral("Echo 2"));
    });
    EXPECT_EQ(Boxes(),
              (Strings{"Input Error: No function is selected in the Listbox \"Function\".",
                       "Input Error: In Factory: Field should not be empty.",
                       "Input Error: In Factory: A name may not begin or end with a blank."}));
    EXPECT_EQ(builtin->GetBuiltinAction(), BuiltinNot);
    EXPECT_EQ(user->NameFactory, "Echo 2");
}

} // namespace
