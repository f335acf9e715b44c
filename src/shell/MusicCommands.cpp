#include "shell/MusicCommands.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "music/core/MuzLists.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "music/ui/MusicWindowHost.h"
#include "platform/FileDialogs.h"
#include "shell/DocumentServices.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "shell/MusicEditCommands.h"
#include "shell/MusicKind.h"
#include "shell/MusicToolCommands.h"
#include "waveui/WaveWindow.h"
#include "window_base/ToolWindow.h"

#include <QMdiArea>

namespace kelvorn {

namespace {

FileDialogRequest MusicRequest(const char* title, const std::string& fileName)
{
    return {title, TMusicCommands::MusicFilter, TMusicCommands::MusicExtension, fileName};
}

} // namespace

/// The main window as the music windows see it, installed for its lifetime.
class TMainMusicWindowHost final : public MusicWindowHost
{
public:
    explicit TMainMusicWindowHost(TMainForm& form)
        : form(form), previous(InstallService<MusicWindowHost>(this))
    {
    }
    ~TMainMusicWindowHost() override { InstallService<MusicWindowHost>(previous); }
    TMainMusicWindowHost(const TMainMusicWindowHost&) = delete;
    TMainMusicWindowHost& operator=(const TMainMusicWindowHost&) = delete;

    void MuzChildActivated(TMDIChildMuz& window) override { form.ChildActivated(&window); }
    void NoteStaveChanged(TNoteStave& stave) override
    {
        if (auto* music =
                dynamic_cast<MusicToolFollower*>(form.ToolSlot(TMainForm::Tool::Music).Existing()))
            music->StaveChanged(stave);
    }

private:
    TMainForm& form;
    MusicWindowHost* previous;
};

SoundUPtr RenderPiece(TDocumentServices& documents, TUnitMuz& unit)
{
    documents.BeginWait();
    TMusicRender render = unit.CreateSound();
    documents.EndWait();
    return RenderedSound(std::move(render));
}

TMusicCommands::TMusicCommands(TMainForm& form, TFileCommands& files) : form(form), files(files) {}

TMusicCommands::~TMusicCommands()
{
    for (const char* name : {"FileNewMuz", "FileOpenMuz", "DuplicateMuz", "MusicGenerate"})
        form.SetCommand(name, {});
    // The music rule stays; only the file commands go with these.
    form.Kinds().Register(std::make_unique<TMusicKind>(form, nullptr));
}

void TMusicCommands::Install()
{
    form.Kinds().Register(std::make_unique<TMusicKind>(form, this));
    form.Kinds().Find(DocumentKind::Music)->InstallCommands();
    if (!host)
        host = std::make_unique<TMainMusicWindowHost>(form);
    if (!tools)
        tools = std::make_unique<TMusicToolCommands>(form);
    if (!edit) {
        edit = std::make_unique<TMusicEditCommands>(form);
        edit->Install();
    }
}

TMDIChildMuz* TMusicCommands::NewChildMuz(std::unique_ptr<TUnitMuz> unit)
{
    // The players sample the open waves, found by their names.
    unit->SetWaveFinder(&form.Documents());
    auto* window = new TMDIChildMuz(form.Frame(), std::move(unit));
    form.Documents().AddDocumentWindow(window);
    window->Redraw();
    return window;
}

// ---- New and Open ---------------------------------------------------------------------------

void TMusicCommands::FileNewMuzExecute()
{
    auto unit = std::make_unique<TUnitMuz>(form.Documents().MakeUniqueName("Music"), std::string());
    unit->NewMusic();
    NewChildMuz(std::move(unit));
}

void TMusicCommands::FileOpenMuzExecute()
{
    files.OpenChosenFiles(MusicRequest(OpenMusicTitle, {}),
                          [this](const std::string& file) { OpenMuzFile(file); });
}

TUnitMuz* TMusicCommands::OpenMuzFile(const std::string& path, const std::string& copy)
{
    return files.OpenDocumentFile<TUnitMuz>(
        path, copy,
        [this](const std::string& source, std::string& message) {
            auto unit =
                std::make_unique<TUnitMuz>(form.Documents().MakeUniqueName("Music"), source);
            if (!unit->OpenFile(message))
                unit.reset();
            return unit;
        },
        [this](std::unique_ptr<TUnitMuz> unit) { return NewChildMuz(std::move(unit)); });
}

// ---- Save -----------------------------------------------------------------------------------

bool TMusicCommands::SaveUnitMuz(TUnitMuz& unit)
{
    return files.SaveDocument(unit, MusicRequest(SaveMusicTitle, {}));
}

bool TMusicCommands::SaveAsUnitMuz(TUnitMuz& unit)
{
    return files.SaveDocumentAs(unit, MusicRequest(SaveMusicTitle, {}));
}

// ---- Revert ---------------------------------------------------------------------------------

void TMusicCommands::RevertMuz(TMDIChildMuz& window)
{
    const TUnitMuz& old = window.GetUnitMuz();
    if (!KV_SOFT_ASSERT(!old.GetFileName().empty()))
        return;
    TDocumentServices& documents = form.Documents();
    documents.BeginWait();
    // A fresh piece: what the file holds, in the format every piece opens with.
    auto fresh = std::make_unique<TUnitMuz>(old.GetName(), old.GetFileName());
    fresh->SetWaveFinder(&documents);
    std::string message;
    if (!fresh->OpenFile(message)) {
        documents.EndWait();
        TFileCommands::ShowCannotRead(old.GetFileName(), message);
        return;
    }
    // The tool windows let go of the piece that goes before it goes, and show the fresh one
    // once it is there.
    const bool active = documents.GetActiveChild() == &window;
    if (tools && active)
        tools->Retarget(nullptr);
    window.SetUnitMuz(std::move(fresh));
    window.UpdateModifiedMark();
    if (active)
        form.ChildActivated(&window);
    documents.EndWait();
}

// ---- Duplicate and Generate -----------------------------------------------------------------

void TMusicCommands::DuplicateMuzExecute()
{
    TUnitMuz* source = UnitMuzOf(form.Documents().GetActiveChildMuz());
    if (!source)
        return;
    files.DuplicateDocument<TUnitMuz>(
        *source,
        [source](const std::string& name, std::string& message) {
            auto copy = std::make_unique<TUnitMuz>(name, std::string());
            if (!copy->Duplicate(*source, message))
                copy.reset();
            return copy;
        },
        [this](std::unique_ptr<TUnitMuz> copy) { NewChildMuz(std::move(copy)); });
}

void TMusicCommands::MusicGenerateExecute()
{
    TDocumentServices& documents = form.Documents();
    TUnitMuz* piece = UnitMuzOf(documents.GetActiveChildMuz());
    if (!piece)
        return;
    SoundUPtr sound = RenderPiece(documents, *piece);
    if (!sound)
        return;
    WaitScope wait(documents);
    auto unit =
        std::make_unique<TUnitWave>(documents.MakeUniqueName("Wave", "of " + piece->GetName()),
                                    std::string(), SoundPtr(std::move(sound)));
    documents.SetLastUsedProps(*unit);
    TUnitWave* wave = unit.get();
    TMDIChildWave* window = files.NewChildWave(std::move(unit), form.DefaultWaveViewProps(),
                                               form.DefaultVoldViewProps());
    wave->SetModified();
    window->RefreshWave();
}

// ---- File properties ------------------------------------------------------------------------

void TMusicCommands::EditMuzProperties(TUnitMuz& unit)
{
    const TWaveFileProps old(unit.GetMonoStereo(), unit.GetSampleFreq(), unit.GetBytesPSample());
    const std::optional<TWaveFileProps> chosen = files.AskFileProperties(unit);
    if (!chosen)
        return;
    WaitScope wait(form.Documents());
    if (unit.SetWaveFileProps(old, *chosen))
        unit.SetModified();
}

} // namespace kelvorn
