#include "waveui/WaveWindow.h"
#include "ShellTestSupport.h"

#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWaveRecords.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class DocumentServicesTest : public FrameTest
{
};

// ---- Unique names -----------------------------------------------------------------------------

struct UniqueNameCase
{
    std::vector<std::string> open;
    std::string base;
    std::string suffix;
    std::string expected;
};

class MakeUniqueNameTest : public FrameTest, public ::testing::WithParamInterface<UniqueNameCase>
{
};

TEST_P(MakeUniqueNameTest, TakesTheSmallestFreeNumber)
{
    for (const std::string& name : GetParam().open)
        OpenWave(name);
    EXPECT_EQ(services.MakeUniqueName(GetParam().base, GetParam().suffix), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MakeUniqueNameTest,
    ::testing::Values(
        UniqueNameCase{{}, "Wave", "", "Wave 1"},
        UniqueNameCase{{"Wave 1", "Wave 3"}, "Wave", "", "Wave 2"},
        UniqueNameCase{{"Wave 1", "Wave 2", "Wave 3"}, "Wave", "", "Wave 4"},
        UniqueNameCase{{"Wave 1"}, "Copy", "of Wave 1", "Copy 1 of Wave 1"},
        UniqueNameCase{{"Wave 1", "Copy 1 of Wave 1"}, "Copy", "of Wave 1", "Copy 2 of Wave 1"},
        // Only the whole name counts, not its base.
        UniqueNameCase{{"Copy 1"}, "Copy", "of Wave 1", "Copy 1 of Wave 1"},
        UniqueNameCase{{"Wave 1 of Music 1"}, "Wave", "of Music 1", "Wave 2 of Music 1"},
        UniqueNameCase{{"wave 1"}, "Wave", "", "Wave 1"},
        UniqueNameCase{{"Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8",
                        "Wave 9", "Wave 10"},
                       "Wave",
                       "",
                       "Wave 1"},
        UniqueNameCase{{"Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7",
                        "Wave 8", "Wave 9"},
                       "Wave",
                       "",
                       "Wave 10"}));

TEST_F(DocumentServicesTest, NamesOfEveryKindCountAsTaken)
{
    OpenMusic("Music 1");
    OpenFactory("Music 2", 0);
    OpenWave("Music 3");
    EXPECT_EQ(services.MakeUniqueName("Music"), "Music 4");
}

struct CheckNameCase
{
    const char* label;
    std::string name;
    bool accepted;
    std::string boxText;
    std::string boxCaption;
};

class CheckUniqueNameTest : public FrameTest, public ::testing::WithParamInterface<CheckNameCase>
{
};

TEST_P(CheckUniqueNameTest, AcceptsOrShowsOneBox)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    OpenWave("Wave 2");
    OpenMusic("Music 1");
    const CheckNameCase& c = GetParam();
    if (!c.accepted)
        messages.Expect();
    EXPECT_EQ(services.CheckUniqueName(c.name, first->GetUnit()), c.accepted);
    EXPECT_TRUE(messages.Unexpected().empty());
    if (c.accepted) {
        EXPECT_TRUE(messages.Shown().empty());
    } else {
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].text, c.boxText);
        EXPECT_EQ(messages.Shown()[0].caption, c.boxCaption);
        EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
        EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::Ok);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, CheckUniqueNameTest,
    ::testing::Values(CheckNameCase{"OwnName", "Wave 1", true, "", ""},
                      CheckNameCase{"Empty", "", true, "", ""},
                      CheckNameCase{"Free", "Wave 3", true, "", ""},
                      CheckNameCase{"OtherCase", "wave 2", true, "", ""},
                      CheckNameCase{"OtherWave", "Wave 2", false,
                                    "A window with name \"Wave 2\" already exists.", "Error"},
                      CheckNameCase{"OtherKind", "Music 1", false,
                                    "A window with name \"Music 1\" already exists.", "Error"},
                      CheckNameCase{"Less", "a<b", false, "A name may not contain \"<\" or \">\".",
                                    "Input Error"},
                      CheckNameCase{"Greater", "Wave 1>", false,
                                    "A name may not contain \"<\" or \">\".", "Input Error"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Finding documents -------------------------------------------------------------------------

TEST_F(DocumentServicesTest, FindsDocumentsByExactNameAndKind)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    FakeFactoryWindow* factory = OpenFactory("Factory 1", 0);
    OpenWave("");

    EXPECT_EQ(services.FindUnitByName("Wave 1"), wave->GetUnit());
    EXPECT_EQ(services.FindUnitByName("Music 1"), music->GetUnit());
    EXPECT_EQ(services.FindUnitByName("wave 1"), nullptr);
    EXPECT_EQ(services.FindUnitByName("Wave 1 "), nullptr);
    EXPECT_EQ(services.FindUnitByName(""), nullptr);

    EXPECT_EQ(services.FindUnitWave("Wave 1"), UnitWaveOf(wave));
    EXPECT_EQ(services.FindUnitWave("Music 1"), nullptr);
    EXPECT_EQ(services.FindUnitSountory("Factory 1"), factory->GetUnit());
    EXPECT_EQ(services.FindUnitSountory("Wave 1"), nullptr);

    EXPECT_EQ(services.FindChildOf(music->GetUnit()), music);
    EXPECT_EQ(services.FindChildOf(nullptr), nullptr);

    // The services are the references' finder.
    unitUnitWave reference("Wave 1");
    std::string message;
    EXPECT_EQ(reference.FindUnitWave(services, message), UnitWaveOf(wave));
    unitUnitWave missing("Wave 9");
    EXPECT_EQ(missing.FindUnitWave(services, message), nullptr);
    EXPECT_EQ(message, "Cannot find window \"Wave 9\".");
}

TEST_F(DocumentServicesTest, ListsWindowsMostRecentlyActivatedFirst)
{
    TMDIChildKelvorn* a = OpenWave("A");
    TMDIChildKelvorn* b = OpenWave("B");
    TMDIChildKelvorn* c = OpenWave("C");
    EXPECT_EQ(Names(), (std::vector<std::string>{"C", "B", "A"}));
    Activate(a);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "C", "B"}));
    Activate(b);
    EXPECT_EQ(services.GetActiveChild(), b);
    EXPECT_EQ(Names(), (std::vector<std::string>{"B", "A", "C"}));
    (void)c;
}

TEST_F(DocumentServicesTest, OfTwoEquallyNamedTheLeastRecentlyActivatedIsFound)
{
    TMDIChildKelvorn* first = OpenWave("Twin");
    TMDIChildKelvorn* second = OpenWave("Twin");
    EXPECT_EQ(services.FindUnitByName("Twin"), first->GetUnit());
    Activate(first);
    EXPECT_EQ(services.FindUnitByName("Twin"), second->GetUnit());
}

struct ActiveCase
{
    const char* label;
    int open; // 0 none, else the kind of the active window
    bool wave, music, factory;
};

class ActiveLookupTest : public FrameTest, public ::testing::WithParamInterface<ActiveCase>
{
};

TEST_P(ActiveLookupTest, AnswersOnlyForItsKind)
{
    const ActiveCase& c = GetParam();
    TMDIChildKelvorn* active = nullptr;
    if (c.open == 1)
        active = OpenWave("Wave 1");
    else if (c.open == 2)
        active = OpenMusic("Music 1");
    else if (c.open == 3)
        active = OpenFactory("Factory 1", 0);

    EXPECT_EQ(services.GetActiveChild(), active);
    EXPECT_EQ(services.GetActiveUnit(), active ? active->GetUnit() : nullptr);
    EXPECT_EQ(services.GetActiveChildWave() != nullptr, c.wave);
    EXPECT_EQ(services.GetActiveUnitWave() != nullptr, c.wave);
    EXPECT_EQ(services.GetActiveChildMuz() != nullptr, c.music);
    EXPECT_EQ(services.GetActiveUnitMuz() != nullptr, c.music);
    EXPECT_EQ(services.GetActiveChildFact() != nullptr, c.factory);
    EXPECT_EQ(services.GetActiveUnitSountory() != nullptr, c.factory);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ActiveLookupTest,
                         ::testing::Values(ActiveCase{"None", 0, false, false, false},
                                           ActiveCase{"Wave", 1, true, false, false},
                                           ActiveCase{"Music", 2, false, true, false},
                                           ActiveCase{"Factory", 3, false, false, true}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Wave lists
// -----------------------------------------------------------------------------------

struct WaveListCase
{
    int mode;
    std::vector<std::string> expected;
};

class FillWaveListTest : public FrameTest, public ::testing::WithParamInterface<WaveListCase>
{
};

TEST_P(FillWaveListTest, ListsNamedWavesByMode)
{
    TMDIChildKelvorn* monoActive = OpenWave("Mono A", 1);
    OpenWave("Stereo B", 2);
    OpenWave("Mono C", 1);
    OpenWave("", 1);
    OpenMusic("Music 1");
    OpenWave("Stereo D", 2);
    Activate(monoActive);

    std::vector<WaveChoice> list{{"kept", nullptr}};
    const int added = services.FillWaveList(list, GetParam().mode);
    ASSERT_EQ(added, int(GetParam().expected.size()));
    ASSERT_EQ(list.size(), GetParam().expected.size() + 1);
    EXPECT_EQ(list[0].caption, "kept");
    for (size_t i = 0; i < GetParam().expected.size(); ++i) {
        EXPECT_EQ(list[i + 1].caption, GetParam().expected[i]);
        EXPECT_EQ(list[i + 1].unitWave, services.FindUnitWave(GetParam().expected[i]));
    }
}

// Scanned from the least recently activated window on; "Mono A" is the active one.
INSTANTIATE_TEST_SUITE_P(
    Modes, FillWaveListTest,
    ::testing::Values(WaveListCase{0, {"Stereo B", "Mono C", "Stereo D", "Mono A"}},
                      WaveListCase{1, {"Stereo B", "Mono C", "Stereo D"}},
                      WaveListCase{2, {"Mono C"}}, WaveListCase{3, {"Stereo B", "Stereo D"}}));

TEST_F(DocumentServicesTest, MonoListWithOnlyStereoWavesIsEmpty)
{
    OpenWave("Wave 1", 2);
    OpenWave("Wave 2", 2);
    std::vector<WaveChoice> list;
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherStereo), 1);
}

TEST_F(DocumentServicesTest, WithoutAnActiveWaveNoWaveIsLeftOut)
{
    OpenWave("Wave 1", 1);
    OpenMusic("Music 1");
    std::vector<WaveChoice> list;
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 1);
}

TEST_F(DocumentServicesTest, AnUnknownModeAddsNothing)
{
    OpenWave("Wave 1");
    messages.Expect();
    std::vector<WaveChoice> list;
    EXPECT_EQ(services.FillWaveList(list, 4), 0);
    EXPECT_TRUE(list.empty());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
}

// ---- Factory lists
// --------------------------------------------------------------------------------

TEST_F(DocumentServicesTest, FactoryListsByKindAndNode)
{
    FakeFactoryWindow* free = OpenFactory("Free", 0, {{"In", 14}, {"Out", 15}});
    FakeFactoryWindow* change = OpenFactory("Change", 1, {{"Wave", 14}});
    OpenFactory("Create", 2, {{"Wave", 14}, {"Pos", 9}});
    OpenFactory("", 1, {{"Hidden", 14}});
    OpenWave("Wave 1");

    std::vector<SountoryChoice> kinds;
    EXPECT_EQ(services.FillSountoryKindList(kinds, 1), 2);
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0].caption, "Free");
    EXPECT_EQ(kinds[0].sountory, free->GetUnit());
    EXPECT_EQ(kinds[1].caption, "Change");

    std::vector<SountoryChoice> others;
    EXPECT_EQ(services.FillSountoryList(others, change->GetUnit()), 2);
    ASSERT_EQ(others.size(), 2u);
    EXPECT_EQ(others[0].caption, "Free");
    EXPECT_EQ(others[1].caption, "Create");

    std::vector<SountoryNodeChoice> nodes;
    EXPECT_EQ(services.FillSountoryNodeList(nodes, 14), 3);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].caption, "Free.In");
    EXPECT_EQ(nodes[0].node, &free->nodes[0]);
    EXPECT_EQ(nodes[1].caption, "Change.Wave");
    EXPECT_EQ(nodes[2].caption, "Create.Wave");

    EXPECT_EQ(services.NamedSountoryCount(), 3);
}

// ---- Closing windows ---------------------------------------------------------------------------

TEST_F(DocumentServicesTest, AClosingWindowLeavesTheListAtOnce)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* closing = OpenWave("Wave 2");
    QPointer<TMDIChildKelvorn> alive(closing);
    QSignalSpy closingSpy(&services, &TDocumentServices::DocumentWindowClosing);
    // The frame activates the next window while the closing one is still its child: whatever
    // runs on that activation (the action update, the name window) must not see it either.
    std::vector<std::vector<std::string>> seenOnActivation;
    const QMetaObject::Connection watch =
        QObject::connect(&area, &QMdiArea::subWindowActivated, &area,
                         [&](QMdiSubWindow*) { seenOnActivation.push_back(Names()); });

    const bool closed = closing->close();
    QObject::disconnect(watch);
    ASSERT_TRUE(closed);
    ASSERT_FALSE(seenOnActivation.empty());
    for (const auto& names : seenOnActivation)
        EXPECT_EQ(names, std::vector<std::string>{"Wave 1"});
    // Deleted only when the event loop gets round to it, but no longer a document window.
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(closing->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});
    EXPECT_EQ(services.FindUnitByName("Wave 2"), nullptr);
    EXPECT_EQ(services.MakeUniqueName("Wave"), "Wave 2");
    EXPECT_TRUE(services.CheckUniqueName("Wave 2", first->GetUnit()));
    EXPECT_NE(services.GetActiveChild(), closing);

    Flush();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DocumentServicesTest, ClosingTheLastWindowOfAnyKindIsAnnounced)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    QSignalSpy lastSpy(&services, &TDocumentServices::LastDocumentWindowClosing);

    wave->close();
    EXPECT_EQ(lastSpy.count(), 0);
    // The window left is a music window: the last of any kind counts.
    music->close();
    EXPECT_EQ(lastSpy.count(), 1);
    EXPECT_EQ(services.GetActiveChild(), nullptr);
    EXPECT_EQ(services.DocumentWindowCount(), 0);
    Flush();
    EXPECT_EQ(lastSpy.count(), 1);
}

TEST_F(DocumentServicesTest, ARefusedCloseKeepsTheWindowListed)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, "", 10);
    ASSERT_TRUE(window->IsDocumentModified());
    QSignalSpy closingSpy(&services, &TDocumentServices::DocumentWindowClosing);
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->IsClosing());
    EXPECT_EQ(closingSpy.count(), 0);
    EXPECT_EQ(services.FindUnitByName("Wave 1"), window->GetUnit());
}

TEST_F(DocumentServicesTest, ClosingTheUndoDocumentDisablesUndoAtOnce)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    TMDIChildKelvorn* other = OpenWave("Wave 2");
    services.MakeUndo(*UnitWaveOf(window));
    other->close();
    EXPECT_TRUE(services.CanUndo());
    window->close();
    EXPECT_FALSE(services.CanUndo());
    EXPECT_EQ(services.GetUndo(), nullptr);
}

TEST_F(DocumentServicesTest, ClosingAWaveRepaintsItsEnvelopeUsers)
{
    OpenWave("Wave 1");
    TMDIChildKelvorn* envelope = OpenWave("Env");
    EnvelopeWindow* user = OpenEnvelopeUser("User", "Env");
    EnvelopeWindow* stranger = OpenEnvelopeUser("Stranger", "Other");
    envelope->close();
    EXPECT_EQ(user->repaints, 1);
    EXPECT_EQ(stranger->repaints, 0);
}

// ---- Envelope repaints
// ----------------------------------------------------------------------------

TEST_F(DocumentServicesTest, WaveChangedRepaintsTheWindowsThatDrawItAsEnvelope)
{
    TMDIChildKelvorn* envelope = OpenWave("Env");
    EnvelopeWindow* first = OpenEnvelopeUser("First", "Env");
    EnvelopeWindow* second = OpenEnvelopeUser("Second", "Env");
    EnvelopeWindow* stranger = OpenEnvelopeUser("Stranger", "Other");

    services.WaveChanged(envelope);
    EXPECT_EQ(first->repaints, 1);
    EXPECT_EQ(second->repaints, 1);
    EXPECT_EQ(stranger->repaints, 0);

    services.VolumeColumnsDrawn(envelope, 10, 20);
    EXPECT_EQ(first->columns, (std::vector<std::pair<int32_t, int32_t>>{{10, 20}}));
    EXPECT_EQ(first->repaints, 1);
    EXPECT_TRUE(stranger->columns.empty());

    // An unnamed wave is nobody's envelope.
    EnvelopeWindow* unnamedUser = OpenEnvelopeUser("U", "");
    TMDIChildKelvorn* unnamed = OpenWave("");
    services.WaveChanged(unnamed);
    EXPECT_EQ(unnamedUser->repaints, 0);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DocumentServicesTest, WaveChangedAssertsAWaveWindow)
{
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    messages.Expect();
    services.WaveChanged(music);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
    EXPECT_NE(messages.Shown()[0].text.find("\"unitWave != NULL\""), std::string::npos);
}

// ---- Busy cursor
// ------------------------------------------------------------------------------------

TEST_F(DocumentServicesTest, BeginAndEndWaitPutUpOneHourGlass)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    services.BeginWait();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // A second call stacks nothing: one EndWait takes the hour-glass down.
    services.BeginWait();
    EXPECT_TRUE(services.IsWaiting());
    services.EndWait();
    EXPECT_FALSE(services.IsWaiting());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DocumentServicesTest, EndWaitWithoutBeginLeavesOtherCursorsAlone)
{
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    services.EndWait();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    services.BeginWait();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services.EndWait();
    services.EndWait();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DocumentServicesTest, ServicesGoneWhileWaitingTakeTheHourGlassDown)
{
    {
        TDocumentServices local(area);
        local.BeginWait();
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// ---- Clipboard, undo, records, runs -------------------------------------------------------------

TEST_F(DocumentServicesTest, ReadingAnEmptyClipboardIsAnAssertion)
{
    EXPECT_FALSE(services.HasClipBoardSound());
    messages.Expect();
    EXPECT_EQ(services.GetClipBoardSound(), nullptr);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_NE(messages.Shown()[0].text.find("Condition \"ClipBoardSound != 0\"failed!"),
              std::string::npos);

    SoundPtr sound = Ramp(1, 4);
    services.SetClipBoardSound(sound);
    EXPECT_EQ(services.GetClipBoardSound(), sound);
    services.DeleteClipBoardSound();
    EXPECT_FALSE(services.HasClipBoardSound());
    // The clipboard let go of its share only.
    EXPECT_EQ(sound->GetValues(), 4);
}

TEST_F(DocumentServicesTest, UndoRecordBelongsToOneDocument)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* second = OpenWave("Wave 2");
    EXPECT_FALSE(services.CanUndo());
    services.MakeUndo(*UnitWaveOf(first));
    ASSERT_NE(services.GetUndo(), nullptr);
    EXPECT_EQ(services.GetUndo()->GetUnitWave(), UnitWaveOf(first));
    services.DeleteUndoOfUnit(*UnitWaveOf(second));
    EXPECT_TRUE(services.CanUndo());
    services.MakeUndo(*UnitWaveOf(second));
    EXPECT_EQ(services.GetUndo()->GetUnitWave(), UnitWaveOf(second));

    // While its document is drawn by hand, Undo is off.
    UnitWaveOf(second)->StartUserDrawing(TUnitWave::DrawLinear);
    EXPECT_FALSE(services.CanUndo());
    UnitWaveOf(second)->StopUserDrawing();
    EXPECT_TRUE(services.CanUndo());
    services.DeleteUndo();
    EXPECT_EQ(services.GetUndo(), nullptr);
}

TEST_F(DocumentServicesTest, NewDocumentsGetTheLastUsedRecords)
{
    services.LastUsedProps().volumeProps.kind = TVolumeProps::kindEnvelope;
    services.LastUsedProps().volumeProps.envelope.SetCaption("Wave 7");
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    EXPECT_FALSE(UnitWaveOf(window)->Records().volumeProps ==
                 services.LastUsedProps().volumeProps);
    services.SetLastUsedProps(*UnitWaveOf(window));
    EXPECT_TRUE(UnitWaveOf(window)->Records().volumeProps ==
                services.LastUsedProps().volumeProps);
    EXPECT_EQ(UnitWaveOf(window)->Records().volumeProps.envelope.GetCaption(), "Wave 7");
}

TEST_F(DocumentServicesTest, FactoryRunsAreNumberedFromOne)
{
    EXPECT_EQ(services.NextFactoryRunNumber(), 1);
    EXPECT_EQ(services.NextFactoryRunNumber(), 2);
    EXPECT_EQ(services.NextFactoryRunNumber(), 3);
}

} // namespace

namespace {

TEST_F(DocumentServicesTest, AWindowWithoutAPlaceGetsTwoThirdsOfTheFrame)
{
    auto* window = new TMDIChildKelvorn;
    window->SetUnit(std::make_unique<TUnitWave>("Wave 1", "", Ramp(1, 0)));
    services.AddDocumentWindow(window);
    const QSize area = services.Frame().viewport()->size();
    EXPECT_EQ(window->size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
}

TEST_F(DocumentServicesTest, AWindowPlacedByItsMakerKeepsItsSize)
{
    auto* window = new TMDIChildKelvorn;
    window->SetUnit(std::make_unique<TUnitWave>("Wave 1", "", Ramp(1, 0)));
    window->resize(TDocumentServices::MinimumWindowWidth, TDocumentServices::MinimumWindowHeight);
    services.AddDocumentWindow(window);
    EXPECT_EQ(window->size(),
              QSize(TDocumentServices::MinimumWindowWidth, TDocumentServices::MinimumWindowHeight));
}

} // namespace
