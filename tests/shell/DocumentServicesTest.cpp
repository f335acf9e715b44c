// The document services of the main window, the document window base they manage (caption,
// close question, project element) and the links the waves reach the main window through.
#include "ShellSupport.h"

#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWaveRecords.h"
#include "general/Services.h"
#include "general/xml/XMLElement.h"
#include "shell/MainFormLink.h"
#include "shell/MainWaveWindowHost.h"
#include "shell/base/CursorTable.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class DocumentServicesTest : public ShellTest
{
protected:
    DocumentServicesTest() : services((Start(), form->Documents())) {}

    TDocumentServices& services;
};

// ---- Names ---------------------------------------------------------------------------------

TEST_F(DocumentServicesTest, UniqueNamesTakeTheSmallestFreeNumberOfTheWholeName)
{
    struct Row
    {
        std::vector<std::string> open;
        const char* base;
        const char* suffix;
        const char* expected;
    };
    const Row rows[] = {
        {{}, "Wave", "", "Wave 1"},
        {{"Wave 1", "Wave 3"}, "Wave", "", "Wave 2"},
        {{"Wave 1", "Copy 1 of Wave 1"}, "Copy", "of Wave 1", "Copy 2 of Wave 1"},
        {{"Copy 1"}, "Copy", "of Wave 1", "Copy 1 of Wave 1"},
        {{"Wave 1 of Music 1"}, "Wave", "of Music 1", "Wave 2 of Music 1"},
        {{"wave 1"}, "Wave", "", "Wave 1"},
        {{"Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8", "Wave 9"},
         "Wave",
         "",
         "Wave 1"},
        {{"Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5", "Wave 6", "Wave 7", "Wave 8", "Wave 9"},
         "Wave",
         "",
         "Wave 10"},
        // Names of every kind count as taken.
        {{"Music 1", "Music 2", "Music 3"}, "Music", "", "Music 4"},
    };
    for (const Row& row : rows) {
        for (size_t i = 0; i < row.open.size(); ++i) {
            if (i == 0)
                OpenMusic(row.open[i]);
            else if (i == 1)
                OpenFactory(row.open[i], 0);
            else
                OpenWave(row.open[i]);
        }
        EXPECT_EQ(services.MakeUniqueName(row.base, row.suffix), row.expected);
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
    }
}

TEST_F(DocumentServicesTest, CheckUniqueNameAcceptsOrShowsOneBox)
{
    const char* const rows[][2] = {
        {"Wave 1", ""}, // its own name
        {"", ""},
        {"Wave 3", ""},
        {"wave 2", ""},
        {"Wave 2", "Error: A window with name \"Wave 2\" already exists."},
        {"Music 1", "Error: A window with name \"Music 1\" already exists."},
        {"a<b", "Input Error: A name may not contain \"<\" or \">\"."},
        {"Wave 1>", "Input Error: A name may not contain \"<\" or \">\"."},
    };
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    OpenWave("Wave 2");
    OpenMusic("Music 1");
    for (const auto& row : rows) {
        messages.Clear();
        const bool accepted = !*row[1];
        if (!accepted)
            messages.Expect();
        EXPECT_EQ(services.CheckUniqueName(row[0], first->GetUnit()), accepted) << row[0];
        EXPECT_EQ(messages.Shown().size(), accepted ? 0u : 1u) << row[0];
        if (!accepted) {
            EXPECT_EQ(LastBox(), row[1]);
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST_F(DocumentServicesTest, FindsDocumentsByExactNameKindAndRecentActivation)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    FactoryWindow* factory = OpenFactory("Factory 1", 0);
    OpenWave("");
    EXPECT_EQ(services.FindUnitByName("Wave 1"), wave->GetUnit());
    EXPECT_EQ(services.FindUnitByName("Music 1"), music->GetUnit());
    for (const char* missing : {"wave 1", "Wave 1 ", ""})
        EXPECT_EQ(services.FindUnitByName(missing), nullptr) << missing;
    EXPECT_EQ(services.FindUnitWave("Wave 1"), UnitWaveOf(wave));
    EXPECT_EQ(services.FindUnitWave("Music 1"), nullptr);
    EXPECT_EQ(services.FindUnitSountory("Factory 1"), factory->GetUnit());
    EXPECT_EQ(services.FindUnitSountory("Wave 1"), nullptr);
    EXPECT_EQ(services.FindChildOf(music->GetUnit()), music);
    EXPECT_EQ(services.FindChildOf(nullptr), nullptr);
    // The services are the references' finder.
    std::string message;
    EXPECT_EQ(unitUnitWave("Wave 1").FindUnitWave(services, message), UnitWaveOf(wave));
    EXPECT_EQ(unitUnitWave("Wave 9").FindUnitWave(services, message), nullptr);
    EXPECT_EQ(message, "Cannot find window \"Wave 9\".");

    // Most recently activated first; of two equally named the least recent is found.
    EXPECT_EQ(Names(), (std::vector<std::string>{"", "Factory 1", "Music 1", "Wave 1"}));
    form->Frame()->setActiveSubWindow(wave);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Wave 1", "", "Factory 1", "Music 1"}));
    TMDIChildKelvorn* twin = OpenWave("Wave 1");
    EXPECT_EQ(services.FindUnitByName("Wave 1"), wave->GetUnit());
    form->Frame()->setActiveSubWindow(wave);
    EXPECT_EQ(services.FindUnitByName("Wave 1"), twin->GetUnit());

    // Each lookup of the active window answers for its own kind only.
    for (TMDIChildKelvorn* active : {wave, music, static_cast<TMDIChildKelvorn*>(factory)}) {
        form->Frame()->setActiveSubWindow(active);
        EXPECT_EQ(services.GetActiveChild(), active);
        EXPECT_EQ(services.GetActiveUnit(), active->GetUnit());
        EXPECT_EQ(services.GetActiveUnitWave() != nullptr, active == wave);
        EXPECT_EQ(services.GetActiveChildWave() != nullptr, active == wave);
        EXPECT_EQ(services.GetActiveChildMuz() != nullptr, active == music);
        EXPECT_EQ(services.GetActiveUnitMuz() != nullptr, active == music);
        EXPECT_EQ(services.GetActiveChildFact() != nullptr, active == factory);
        EXPECT_EQ(services.GetActiveUnitSountory() != nullptr, active == factory);
    }
}

TEST_F(DocumentServicesTest, WaveListsOfferTheNamedWavesByModeFromTheLeastRecentOn)
{
    OpenWave("Stereo 0", 2);
    TMDIChildKelvorn* monoActive = OpenWave("Mono A", 1);
    std::vector<WaveChoice> list;
    // Without another wave of its channels the list stays empty.
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 0);
    OpenWave("Stereo B", 2);
    OpenWave("Mono C", 1);
    OpenWave("", 1);
    OpenMusic("Music 1");
    OpenWave("Stereo D", 2);
    form->Frame()->setActiveSubWindow(monoActive);
    const std::vector<std::string> expected[] = {
        {"Stereo 0", "Stereo B", "Mono C", "Stereo D", "Mono A"},
        {"Stereo 0", "Stereo B", "Mono C", "Stereo D"},
        {"Mono C"},
        {"Stereo 0", "Stereo B", "Stereo D"}};
    for (int mode = 0; mode < 4; ++mode) {
        list = {{"kept", nullptr}};
        EXPECT_EQ(services.FillWaveList(list, mode), int(expected[mode].size()));
        std::vector<std::string> captions;
        for (const WaveChoice& choice : list) {
            captions.push_back(choice.caption);
            if (choice.caption != "kept") {
                EXPECT_EQ(choice.unitWave, services.FindUnitWave(choice.caption));
            }
        }
        captions.erase(captions.begin());
        EXPECT_EQ(captions, expected[mode]) << mode;
    }
    // Without an active wave none is left out.
    OpenMusic("Music 2");
    list.clear();
    EXPECT_EQ(services.FillWaveList(list, TDocumentServices::OtherMono), 2);
    messages.Expect();
    EXPECT_EQ(services.FillWaveList(list, 4), 0);
    EXPECT_EQ(messages.Shown().at(0).caption, "Assertion failed");
}

TEST_F(DocumentServicesTest, FactoryListsByKindAndNode)
{
    FactoryWindow* free = OpenFactory("Free", 0, {{"In", 14}, {"Out", 15}});
    FactoryWindow* change = OpenFactory("Change", 1, {{"Wave", 14}});
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
    EXPECT_EQ(others.at(0).caption, "Free");
    EXPECT_EQ(others.at(1).caption, "Create");
    std::vector<SountoryNodeChoice> nodes;
    EXPECT_EQ(services.FillSountoryNodeList(nodes, 14), 3);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].caption, "Free.In");
    EXPECT_EQ(nodes[0].node, &free->nodes[0]);
    EXPECT_EQ(nodes[1].caption, "Change.Wave");
    EXPECT_EQ(nodes[2].caption, "Create.Wave");
    EXPECT_EQ(services.NamedSountoryCount(), 3);
    EXPECT_EQ(services.NextFactoryRunNumber(), 1);
    EXPECT_EQ(services.NextFactoryRunNumber(), 2);
}

// ---- Closing windows -----------------------------------------------------------------------

TEST_F(DocumentServicesTest, AClosingWindowLeavesTheListAtOnce)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* closing = OpenWave("Wave 2");
    QPointer<TMDIChildKelvorn> alive(closing);
    QSignalSpy closingSpy(&services, &TDocumentServices::DocumentWindowClosing);
    // The frame activates the next window while the closing one is still its child: whatever
    // runs on that activation (the action update, the name window) must not see it either.
    std::vector<std::vector<std::string>> seen;
    const QMetaObject::Connection watch =
        QObject::connect(form->Frame(), &QMdiArea::subWindowActivated, form->Frame(),
                         [&](QMdiSubWindow*) { seen.push_back(Names()); });
    ASSERT_TRUE(closing->close());
    QObject::disconnect(watch);
    ASSERT_FALSE(seen.empty());
    for (const auto& names : seen)
        EXPECT_EQ(names, std::vector<std::string>{"Wave 1"});
    // Deleted only when the event loop gets round to it, but no longer a document window.
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(closing->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 2"), nullptr);
    EXPECT_EQ(services.MakeUniqueName("Wave"), "Wave 2");
    EXPECT_TRUE(services.CheckUniqueName("Wave 2", first->GetUnit()));
    EXPECT_NE(services.GetActiveChild(), closing);
    Flush();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});

    // A refused close keeps the window listed.
    TMDIChildKelvorn* changed = OpenWave("Wave 3", 1, 10);
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(changed->close());
    EXPECT_FALSE(changed->IsClosing());
    EXPECT_EQ(closingSpy.count(), 1);
    EXPECT_EQ(services.FindUnitByName("Wave 3"), changed->GetUnit());
}

TEST_F(DocumentServicesTest, ClosingTakesTheUndoRecordAndRepaintsEnvelopeUsers)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    TMDIChildKelvorn* envelope = OpenWave("Env");
    EnvelopeWindow* user = OpenEnvelopeUser("User", "Env");
    EnvelopeWindow* stranger = OpenEnvelopeUser("Stranger", "Other");
    MusicWindow* music = OpenMusic("Music 1");
    QSignalSpy lastSpy(&services, &TDocumentServices::LastDocumentWindowClosing);
    services.MakeUndo(*UnitWaveOf(wave));
    envelope->close();
    EXPECT_EQ(user->repaints, 1);
    EXPECT_EQ(stranger->repaints, 0);
    EXPECT_TRUE(services.CanUndo());
    wave->close();
    EXPECT_FALSE(services.CanUndo());
    EXPECT_EQ(services.GetUndo(), nullptr);
    user->close();
    stranger->close();
    EXPECT_EQ(lastSpy.count(), 0);
    // The window left is a music window: the last of any kind counts.
    music->close();
    EXPECT_EQ(lastSpy.count(), 1);
    EXPECT_EQ(services.GetActiveChild(), nullptr);
    Flush();
    EXPECT_EQ(lastSpy.count(), 1);
}

TEST_F(DocumentServicesTest, AChangedWaveRepaintsTheWindowsThatDrawItAsEnvelope)
{
    TMDIChildKelvorn* envelope = OpenWave("Env");
    EnvelopeWindow* first = OpenEnvelopeUser("First", "Env");
    EnvelopeWindow* second = OpenEnvelopeUser("Second", "Env");
    EnvelopeWindow* stranger = OpenEnvelopeUser("Stranger", "Other");
    services.WaveChanged(envelope);
    EXPECT_EQ(first->repaints + second->repaints, 2);
    EXPECT_EQ(stranger->repaints, 0);
    services.VolumeColumnsDrawn(envelope, 10, 20);
    EXPECT_EQ(first->columns, (std::vector<std::pair<int32_t, int32_t>>{{10, 20}}));
    EXPECT_EQ(first->repaints, 1);
    EXPECT_TRUE(stranger->columns.empty());
    // An unnamed wave is nobody's envelope.
    EnvelopeWindow* unnamedUser = OpenEnvelopeUser("U", "");
    services.WaveChanged(OpenWave(""));
    EXPECT_EQ(unnamedUser->repaints, 0);
    messages.Expect();
    services.WaveChanged(OpenMusic("Music 1"));
    EXPECT_NE(LastBox().find("Assertion failed: "), std::string::npos);
    EXPECT_NE(LastBox().find("\"unitWave != NULL\""), std::string::npos);

    // Through the main window's link, a selection reaches them too.
    OpenWave("Env", 1, 100);
    UnitWaveOf(form->Documents().GetActiveChild())->ChangePart(10, 40);
    EXPECT_EQ(first->repaints, 2);
}

// ---- Hour-glass, clipboard, undo, records --------------------------------------------------

TEST_F(DocumentServicesTest, OneHourGlassWhateverTheNumberOfBeginsAndOthersCursorsStay)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    services.EndWait();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    services.BeginWait();
    services.BeginWait();
    EXPECT_TRUE(services.IsWaiting());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services.EndWait();
    EXPECT_FALSE(services.IsWaiting());
    services.EndWait();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    {
        TDocumentServices local(*form->Frame());
        local.BeginWait();
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DocumentServicesTest, ClipboardUndoAndLastUsedRecords)
{
    EXPECT_FALSE(services.HasClipBoardSound());
    messages.Expect();
    EXPECT_EQ(services.GetClipBoardSound(), nullptr);
    EXPECT_NE(LastBox().find("Condition \"ClipBoardSound != 0\"failed!"), std::string::npos);
    SoundPtr sound = Values({1, 2, 3, 4});
    services.SetClipBoardSound(sound);
    EXPECT_EQ(services.GetClipBoardSound(), sound);
    services.DeleteClipBoardSound();
    EXPECT_FALSE(services.HasClipBoardSound());
    EXPECT_EQ(sound->GetValues(), 4);

    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* second = OpenWave("Wave 2");
    EXPECT_FALSE(services.CanUndo());
    services.MakeUndo(*UnitWaveOf(first));
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

    services.LastUsedProps().volumeProps.kind = TVolumeProps::kindEnvelope;
    services.LastUsedProps().volumeProps.envelope.SetCaption("Wave 7");
    EXPECT_FALSE(UnitWaveOf(first)->Records().volumeProps == services.LastUsedProps().volumeProps);
    services.SetLastUsedProps(*UnitWaveOf(first));
    EXPECT_EQ(UnitWaveOf(first)->Records().volumeProps.envelope.GetCaption(), "Wave 7");
}

TEST_F(DocumentServicesTest, AWindowWithoutAPlaceGetsTwoThirdsOfTheFrameAndAPlacedOneKeepsIt)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    const QSize area = form->Frame()->viewport()->size();
    EXPECT_EQ(window->size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
    auto* placed = new TMDIChildKelvorn;
    placed->SetUnit(std::make_unique<TUnitWave>("Wave 2", "", Values({})));
    placed->resize(TDocumentServices::MinimumWindowWidth, TDocumentServices::MinimumWindowHeight);
    Add(placed);
    EXPECT_EQ(placed->size(),
              QSize(TDocumentServices::MinimumWindowWidth, TDocumentServices::MinimumWindowHeight));
}

// ---- The document window base --------------------------------------------------------------

TEST_F(DocumentServicesTest, TheCaptionShowsNameAndFileAndTheModifiedMark)
{
    const char* const rows[][3] = {{"Wave 1", "/home/u/a.wav", "Wave 1 - /home/u/a.wav"},
                                   {"Wave 1", "", "Wave 1"},
                                   {"", "/home/u/a.wav", "/home/u/a.wav"},
                                   {"", "", ""}};
    for (const auto& row : rows) {
        TMDIChildKelvorn* window = OpenWave(row[0], 1, 0, row[1]);
        EXPECT_EQ(window->CaptionText(), row[2]);
        EXPECT_EQ(window->windowTitle().toStdString(), std::string(row[2]) + "[*]");
    }
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, 10, "/tmp/a.wav");
    UnitWaveOf(window)->SetName("Caf\xe9");
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Café - /tmp/a.wav[*]"));
    UnitWaveOf(window)->SetFileName("/tmp/x.wav");
    UnitWaveOf(window)->SetName("");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("/tmp/x.wav[*]"));
    // "[*][*]" is the toolkit's literal "[*]"; the last "[*]" is the mark's place.
    UnitWaveOf(window)->SetName("a[*]b");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("a[*][*]b - /tmp/x.wav[*]"));
    EXPECT_FALSE(window->isWindowModified());
    UnitWaveOf(window)->SetModified();
    window->UpdateModifiedMark();
    EXPECT_TRUE(window->isWindowModified());
    UnitWaveOf(window)->ClearModified();
    window->UpdateCaption();
    EXPECT_FALSE(window->isWindowModified());
    // Documents that are no waves have no change flags the base knows of.
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    music->UpdateModifiedMark();
    EXPECT_FALSE(music->isWindowModified());

    const CursorTable* table = ProgramCursors();
    ASSERT_NE(table, nullptr);
    using Setter = void (TMDIChildKelvorn::*)();
    const std::pair<Setter, int> cursors[] = {{&TMDIChildKelvorn::SetDrawCursor, 1},
                                              {&TMDIChildKelvorn::SetZoomCursor, 6},
                                              {&TMDIChildKelvorn::SetZoomOutCursor, 7}};
    for (auto [set, index] : cursors) {
        (window->*set)();
        EXPECT_EQ(window->cursor().pixmap().toImage(), table->At(index).pixmap().toImage());
        EXPECT_EQ(window->cursor().hotSpot(), table->At(index).hotSpot()) << index;
    }
    window->SetDefaultCursor();
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

class CountedUnit final : public PlainDocument
{
public:
    CountedUnit(DocumentKind kind, int& alive) : PlainDocument(kind), alive(alive) { ++alive; }
    ~CountedUnit() override { --alive; }

private:
    int& alive;
};

TEST_F(DocumentServicesTest, AWindowOwnsItsOneDocumentAndReleaseClosesWithoutAQuestion)
{
    int alive = 0;
    auto* window = new TMDIChildKelvorn;
    EXPECT_EQ(window->GetKind(), DocumentKind::None);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("MDI Child"));
    auto unit = std::make_unique<CountedUnit>(DocumentKind::Factory, alive);
    TFileUnit* raw = unit.get();
    EXPECT_EQ(window->SetUnit(std::move(unit)), window);
    EXPECT_EQ(raw->GetWindow(), window);
    EXPECT_EQ(window->GetKind(), DocumentKind::Factory);
    // A second document is refused; the first stays.
    messages.Expect();
    window->SetUnit(std::make_unique<CountedUnit>(DocumentKind::Wave, alive));
    EXPECT_EQ(window->GetUnit(), raw);
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(messages.Shown().at(0).caption, "Assertion failed");
    Add(window);
    window->close();
    EXPECT_EQ(alive, 1);
    Flush();
    EXPECT_EQ(alive, 0);

    TMDIChildKelvorn* changed = OpenWave("Wave 1", 1, 10);
    QPointer<TMDIChildKelvorn> pointer(changed);
    changed->Release();
    EXPECT_EQ(services.DocumentWindowCount(), 0);
    Flush();
    EXPECT_TRUE(pointer.isNull());
    EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST_F(DocumentServicesTest, TheSaveQuestionWordsKindNameAndFile)
{
    struct Row
    {
        uint8_t kind;
        const char* name;
        const char* file;
        const char* question;
    };
    const Row rows[] = {
        {1, "Wave 1", "", "Do you want to save the Wave with name \"Wave 1\" to a new file?"},
        {2, "Music 1", "/m/a.kvm",
         "Do you want to save the Music with name \"Music 1\" to current file \"/m/a.kvm\"?"},
        {3, "", "/f/b.kvf",
         "Do you want to save the Factory without name to current file \"/f/b.kvf\"?"},
        {3, "", "", "Do you want to save the Factory without name to a new file?"},
        {9, "X", "", "Do you want to save the Unknown Object with name \"X\" to a new file?"},
    };
    for (const Row& row : rows) {
        auto unit = std::make_unique<PlainDocument>(DocumentKind(row.kind));
        unit->SetFileName(row.file);
        EXPECT_EQ(Add(new TMDIChildKelvorn, std::move(unit), row.name)->GetSaveQuestion(),
                  row.question);
    }
}

TEST_F(DocumentServicesTest, TheCloseQuestionsAnswersDecide)
{
    struct Row
    {
        const char* label;
        bool modified;
        MsgAnswer answer;
        bool saveSucceeds;
        int saves;
        bool closes;
    };
    const Row rows[] = {{"Unchanged", false, MsgAnswer::Ok, true, 0, true},
                        {"YesSaved", true, MsgAnswer::Yes, true, 1, true},
                        {"YesSaveFailed", true, MsgAnswer::Yes, false, 1, false},
                        {"No", true, MsgAnswer::No, true, 0, true},
                        {"Cancel", true, MsgAnswer::Cancel, true, 0, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        messages.Clear();
        int saves = 0;
        services.SetSaveHandler([&](TMDIChildKelvorn& window) {
            ++saves;
            EXPECT_EQ(window.GetUnit()->GetName(), "Wave 1");
            EXPECT_FALSE(window.IsClosing());
            return row.saveSucceeds;
        });
        // An untitled wave with values has unsaved changes; one with a file has none yet.
        TMDIChildKelvorn* window = OpenWave("Wave 1", 1, 10, row.modified ? "" : "/tmp/a.wav");
        if (row.modified)
            messages.Expect(row.answer);
        EXPECT_EQ(window->close(), row.closes);
        EXPECT_EQ(window->IsClosing(), row.closes);
        EXPECT_EQ(services.DocumentWindowCount(), row.closes ? 0 : 1);
        EXPECT_EQ(saves, row.saves);
        ASSERT_EQ(messages.Shown().size(), row.modified ? 1u : 0u);
        if (row.modified) {
            EXPECT_EQ(LastBox(), "You have unsaved changes: Do you want to save the Wave with "
                                 "name \"Wave 1\" to a new file?");
            EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::YesNoCancel);
        }
        if (!row.closes)
            window->Release();
        Flush();
    }
    // Yes without a save handler keeps the window.
    services.SetSaveHandler({});
    TMDIChildKelvorn* window = OpenWave("Wave 1", 1, 10);
    messages.Expect(MsgAnswer::Yes);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(messages.Unexpected().empty());
}

// ---- The project element of a window -------------------------------------------------------

std::string Text(const TXMLItem* item)
{
    return item && item->IsText() ? item->GetText() : std::string("<none>");
}

TEST_F(DocumentServicesTest, TheWindowElementRoundTripsPlaceNameAndState)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1");
    window->setGeometry(12, 34, 320, 210);
    TXMLComplexElement element("Window");
    window->WriteWindowXML(element);
    std::vector<std::string> names;
    for (const TXMLItem* i = element.GetFirstChild(); i; i = i->GetNext())
        names.push_back(i->GetElement() + "=" + Text(i));
    EXPECT_EQ(names, (std::vector<std::string>{"Name=Wave 1", "Left=12", "Top=34", "Width=320",
                                               "Height=210", "Normal=<none>"}));
    TMDIChildKelvorn* copy = OpenWave("");
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(copy->ReadWindowXML(element.GetChild("Left"), "Read 1", message, line, column));
    EXPECT_EQ(copy->GetUnit()->GetName(), "Read 1");
    EXPECT_EQ(copy->geometry(), QRect(12, 34, 320, 210));
    EXPECT_FALSE(copy->isMinimized() || copy->isMaximized());
    // An unnamed window writes no name.
    TXMLComplexElement unnamed("Window");
    OpenWave("")->WriteWindowXML(unnamed);
    EXPECT_EQ(unnamed.GetFirstChild()->GetElement(), "Left");

    auto make = [](const char* width, const char* state) {
        auto element = std::make_unique<TXMLComplexElement>("Window");
        element->AddText("Left", "7");
        element->AddText("Top", "8");
        element->AddText("Width", width)->SetPosition(14, 9);
        element->AddText("Height", "150");
        element->AddComplex(state);
        return element;
    };
    for (const char* state : {"Minimized", "Maximized"}) {
        TMDIChildKelvorn* restored = OpenWave("");
        ASSERT_TRUE(restored->ReadWindowXML(make("200", state)->GetChild("Left"), state, message,
                                            line, column));
        EXPECT_EQ(restored->isMinimized(), std::string(state) == "Minimized") << state;
        EXPECT_EQ(restored->isMaximized(), std::string(state) == "Maximized") << state;
        TXMLComplexElement written("Window");
        restored->WriteWindowXML(written);
        EXPECT_NE(written.GetChild(state), nullptr) << state;
    }
    // A bad number stops with its position and keeps what was read.
    TMDIChildKelvorn* bad = OpenWave("");
    bad->setGeometry(1, 2, 300, 200);
    EXPECT_FALSE(
        bad->ReadWindowXML(make("wide", "Normal")->GetChild("Left"), "W", message, line, column));
    EXPECT_NE(message.find("Width"), std::string::npos) << message;
    EXPECT_EQ(line * 100 + column, 1409);
    EXPECT_EQ(bad->geometry(), QRect(7, 8, 300, 200));
    EXPECT_EQ(bad->GetUnit()->GetName(), "W");
    // A missing state element is an assertion.
    messages.Expect();
    message.clear();
    EXPECT_FALSE(OpenWave("")->ReadWindowXML(make("100", "Sideways")->GetChild("Left"), "", message,
                                             line, column));
    EXPECT_EQ(messages.Shown().at(0).caption, "Assertion failed");
    EXPECT_FALSE(message.empty());
}

// ---- The links to the main window ----------------------------------------------------------

TEST_F(DocumentServicesTest, TheLinksInstallThemselvesAndReachTheMainWindow)
{
    EXPECT_EQ(FindService<MainFormLink>(), &form->Link());
    EXPECT_EQ(FindService<SoundPlayer>(), &form->Link());
    EXPECT_EQ(TMainFormLink::Instance(), &form->Link());
    WaveWindowHost* before = FindService<WaveWindowHost>();
    {
        TMainWaveWindowHost host(*form);
        EXPECT_EQ(FindService<WaveWindowHost>(), &host);
        host.SetMouseStatus("1.25000 s", 140);
        QLabel* panel = form->GetStatusPanel(1);
        EXPECT_EQ(panel->text(), "1.25000 s");
        EXPECT_EQ(panel->width(), 140);
        // A width of 0 leaves the panel as wide as it was.
        host.SetMouseStatus("", 0);
        EXPECT_EQ(panel->text(), "");
        EXPECT_EQ(panel->width(), 140);
        TMDIChildKelvorn* wave = OpenWave("Envelope", 1, 10);
        OpenMusic("Envelope music");
        EXPECT_EQ(host.FindUnitWave("Envelope"), UnitWaveOf(wave));
        EXPECT_EQ(host.FindUnitWave("Envelope music"), nullptr);
        EXPECT_EQ(host.FindUnitWave(""), nullptr);
        EnvelopeWindow* user = OpenEnvelopeUser("User", "Envelope");
        auto* envelope =
            Add(new TMDIChildWave(nullptr, std::make_unique<TUnitWave>("Envelope", "", Values({})),
                                  TWaveViewProps(), TVoldViewProps()));
        user->envelope = "Envelope";
        host.VolumeColumnsDrawn(*envelope, 40, 60);
        EXPECT_EQ(user->columns, (std::vector<std::pair<int32_t, int32_t>>{{40, 60}}));
    }
    EXPECT_EQ(FindService<WaveWindowHost>(), before);

    // A copy fills the main window's clipboard, which outlives its source.
    TMDIChildKelvorn* window = OpenWave("Wave 1", 2, 20, "/tmp/w.wav");
    EXPECT_EQ(form->Link().GetClipBoardSound(), nullptr);
    ASSERT_TRUE(UnitWaveOf(window)->CopyPart(5, 9));
    SoundPtr copy = form->Documents().GetClipBoardSound();
    EXPECT_EQ(form->Link().GetClipBoardSound(), copy);
    EXPECT_EQ(LeftOf(*copy), (V{5, 6, 7, 8}));
    EXPECT_EQ(copy->GetMonoStereo(), 2);
    window->close();
    Flush();
    EXPECT_EQ(form->Documents().GetClipBoardSound(), copy);
    EXPECT_TRUE(messages.Shown().empty());
}

} // namespace
