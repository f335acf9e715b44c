// The run and create dialogs: which factories and nodes they offer and what they hand back.
#include "factory/ui/dialogs/RunCreateDialogs.h"

#include "factory/core/UserNodes.h"
#include "factory_ui/FactoryDialogKit.h"

#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct RunCreate : DialogTest
{
    TUnitSountory& Open(const std::string& name, uint8_t kind)
    {
        others.push_back(std::make_unique<TUnitSountory>(name, "", host));
        others.back()->SetFactoryKind(kind);
        host.open.push_back(others.back().get());
        return *others.back();
    }

    std::vector<std::unique_ptr<TUnitSountory>> others;
};

TEST_F(RunCreate, TheRunListOffersTheKindAndFreeFactoriesAndWaitsForAChoice)
{
    Open("Free", FactoryFree);
    Open("Loop", FactoryLoopMix);
    Open("Create", FactoryCreateWW);
    TUnitSountory& change = Open("Change", FactoryChangeWW);
    Open("", FactoryChangeWW);
    dialogs.When(
        "TDlgSntRunAtWnd",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntRunAtWnd>(modal);
            EXPECT_EQ(Text(d->windowTitle()), "Run Factory");
            EXPECT_EQ(d->HelpContext(), 65);
            EXPECT_EQ(Items(d->lbSountories), (Strings{"Free", "Change"}));
            EXPECT_TRUE(StaysOpen(*d)); // no box either
            d->lbSountories->setCurrentRow(1);
        },
        DialogResult::Accepted);
    EXPECT_EQ(ChooseFactoryToRun(nullptr, host), &change);
    dialogs.When(
        "TDlgSntRunAtWnd",
        [](ModalDialog& modal) {
            DialogAs<TDlgSntRunAtWnd>(modal)->lbSountories->setCurrentRow(0);
        },
        DialogResult::Rejected);
    EXPECT_EQ(ChooseFactoryToRun(nullptr, host), nullptr);
    // Without a factory to offer, OK does nothing and only Cancel closes.
    host.open.clear();
    dialogs.When("TDlgSntRunAtWnd", DialogResult::Accepted);
    EXPECT_EQ(ChooseFactoryToRun(nullptr, host), nullptr);
    EXPECT_EQ(dialogs.Refused(), Strings{"TDlgSntRunAtWnd"});
}

TEST_F(RunCreate, OkUntouchedMakesAFactoryForChangingAWaveWindow)
{
    TUnitSountory& other = Open("Other", FactoryFree);
    other.CreateNode<TSountoryNodeUser>("U", "X", TSountoryRectangle{20, 20, 80, 60});
    int32_t chosen = -1;
    TSountoryNode* node = &*other.Nodes().front();
    dialogs.When(
        "TDlgSntCreate",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntCreate>(modal);
            EXPECT_EQ(Text(d->windowTitle()), "Create Factory");
            EXPECT_EQ(d->HelpContext(), 57);
            Strings captions;
            for (QRadioButton* choice : d->choices)
                captions.push_back(Text(choice->text()));
            EXPECT_EQ(captions,
                      (Strings{"None", "For Changing Wave Window", "For Creating Wave Window",
                               "Fit with User Node", "Fit with Empty Mix Loop Node",
                               "Fit with Mix Loop Node"}));
            EXPECT_TRUE(d->rbIOChangeWW->isChecked());
            EXPECT_EQ(Items(d->cboUserNode), Strings{"Other.U"});
            EXPECT_EQ(d->cboUserNode->currentIndex(), 0);
        },
        DialogResult::Accepted);
    ASSERT_TRUE(ChooseFactoryTemplate(nullptr, host, chosen, node));
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(node, nullptr);
    // Each choice gives its own template; Cancel gives none.
    for (int32_t want : {2, 0, -1}) {
        dialogs.When(
            "TDlgSntCreate",
            [want](ModalDialog& modal) {
                DialogAs<TDlgSntCreate>(modal)->choices[size_t(want < 0 ? 4 : want)]->setChecked(
                    true);
            },
            want < 0 ? DialogResult::Rejected : DialogResult::Accepted);
        EXPECT_EQ(ChooseFactoryTemplate(nullptr, host, chosen, node), want >= 0);
        EXPECT_EQ(chosen, want < 0 ? 0 : want);
    }
}

TEST_F(RunCreate, PickingANodeChoosesItsTemplateAndAMissingNodeIsRefused)
{
    TUnitSountory& other = Open("Other", FactoryFree);
    auto* loop =
        other.CreateNode<TSountoryNodeLoop>("L", "X", TSountoryRectangle{20, 20, 80, 60}, true);
    ExpectBoxes(2);
    int32_t chosen = -1;
    TSountoryNode* node = nullptr;
    dialogs.When(
        "TDlgSntCreate",
        [](ModalDialog& modal) {
            auto* d = DialogAs<TDlgSntCreate>(modal);
            EXPECT_EQ(d->cboUserNode->count(), 0);
            d->rbIOFitUS->setChecked(true);
            EXPECT_TRUE(StaysOpen(*d));
            d->cboLoopNode->setCurrentIndex(-1);
            d->rbIOFitLS->setChecked(true);
            EXPECT_TRUE(StaysOpen(*d));
            d->rbIONone->setChecked(true);
            Pick(d->cboLoopNode, "Other.L");
            EXPECT_TRUE(d->rbIOFitLS->isChecked());
        },
        DialogResult::Accepted);
    ASSERT_TRUE(ChooseFactoryTemplate(nullptr, host, chosen, node));
    EXPECT_EQ(Boxes(), (Strings{"Input Error: You must select a User Node.",
                                "Input Error: You must select a Loop Mix Node."}));
    EXPECT_EQ(chosen, 5);
    EXPECT_EQ(node, loop);
}

} // namespace
