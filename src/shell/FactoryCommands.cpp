#include "shell/FactoryCommands.h"

#include "document/wave/UnitWave.h"
#include "factory/core/WaveWindowRun.h"
#include "factory/ui/FactoryWindow.h"
#include "factory/ui/dialogs/FactoryDialog.h"
#include "factory/ui/dialogs/RunCreateDialogs.h"
#include "factory/ui/dialogs/ValuesDialog.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "platform/FileDialogs.h"
#include "shell/DocumentServices.h"
#include "shell/FactoryHostImpl.h"
#include "shell/FactoryKind.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "waveui/WaveWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace kelvorn {

namespace {

FileDialogRequest FactoryRequest(const char* title)
{
    return {title, TFactoryCommands::FactoryFilter, TFactoryCommands::FactoryExtension, {}};
}

void ShowCannotRun(const TUnitSountory& factory, const std::string& message)
{
    Messages().Show("Cannot run Soundfactor " + Quoted(factory.GetName()) +
                        " : Validation failed: " + message,
                    "Unable to run Soundfactory", MsgIcon::Error, MsgButtons::Ok);
}

void ShowRunFailed(const TUnitSountory& factory, const std::string& message)
{
    Messages().Show("Running of Soundfactor " + Quoted(factory.GetName()) + " failed: " + message,
                    "Runtime error", MsgIcon::Error, MsgButtons::Ok);
}

} // namespace

TFactoryCommands::TFactoryCommands(TMainForm& form, TFileCommands& files)
    : form(form), files(files),
      host(std::make_unique<TMainFactoryHost>(
          form, [this](const TSountoryNode& node) { NewFactory(3, &node); }))
{
}

TFactoryCommands::~TFactoryCommands()
{
    for (QMdiSubWindow* window : form.Frame()->subWindowList())
        if (dynamic_cast<TMDIChildFact*>(window))
            delete window;
    for (const char* name :
         {"FileNewFactory", "FileOpenFactory", "DuplicateFact", "SntValidate", "SntRunAtWnd",
          "SntRunCrWnd", "SntModeDrag", "SntModeConn", "SntShowHints"})
        form.SetCommand(name, {});
    // The factory rule stays; only the commands go with these.
    form.Kinds().Register(std::make_unique<TFactoryKind>(form, nullptr));
}

void TFactoryCommands::Install()
{
    form.Kinds().Register(std::make_unique<TFactoryKind>(form, this));
    form.Kinds().Find(DocumentKind::Factory)->InstallCommands();
}

TMDIChildFact* TFactoryCommands::ActiveWindow() const
{
    return dynamic_cast<TMDIChildFact*>(form.Documents().GetActiveChildFact());
}

TMDIChildFact* TFactoryCommands::NewChildFact(std::unique_ptr<TUnitSountory> unit)
{
    auto* window = new TMDIChildFact(form.Frame(), std::move(unit));
    form.Documents().AddDocumentWindow(window);
    return window;
}

// ---- New, Open, Duplicate ---------------------------------------------------------------------

void TFactoryCommands::FileNewFactoryExecute()
{
    int32_t templateNumber = 0;
    TSountoryNode* node = nullptr;
    if (ChooseFactoryTemplate(&form, *host, templateNumber, node))
        NewFactory(templateNumber, node);
}

TUnitSountory* TFactoryCommands::NewFactory(int32_t templateNumber, const TSountoryNode* node)
{
    TDocumentServices& documents = form.Documents();
    std::string name;
    if (templateNumber == 3 && node) {
        name = node->Name;
        for (int n = 2; documents.FindUnitByName(name); ++n)
            name = node->Name + " " + std::to_string(n);
    } else {
        name = documents.MakeUniqueName("Factory");
    }
    auto unit = std::make_unique<TUnitSountory>(name, std::string(), *host);
    unit->InitFromTemplate(templateNumber, node);
    TUnitSountory* made = unit.get();
    NewChildFact(std::move(unit));
    return made;
}

void TFactoryCommands::FileOpenFactoryExecute()
{
    files.OpenChosenFiles(FactoryRequest(OpenFactoryTitle),
                          [this](const std::string& file) { OpenFactoryFile(file); });
}

TUnitSountory* TFactoryCommands::OpenFactoryFile(const std::string& path, const std::string& copy)
{
    return files.OpenDocumentFile<TUnitSountory>(
        path, copy,
        [this](const std::string& source, std::string& message) {
            auto unit = std::make_unique<TUnitSountory>(form.Documents().MakeUniqueName("Factory"),
                                                        source, *host);
            if (!unit->LoadFromFile(source, message))
                unit.reset();
            return unit;
        },
        [this](std::unique_ptr<TUnitSountory> unit) { return NewChildFact(std::move(unit)); });
}

void TFactoryCommands::DuplicateFactExecute()
{
    TUnitSountory* source = UnitSountoryOf(ActiveWindow());
    if (!source)
        return;
    files.DuplicateDocument<TUnitSountory>(
        *source,
        [this, source](const std::string& name, std::string& message) {
            auto copy = std::make_unique<TUnitSountory>(name, std::string(), *host);
            if (!copy->DuplicateFrom(*source, message))
                copy.reset();
            return copy;
        },
        [this](std::unique_ptr<TUnitSountory> copy) { NewChildFact(std::move(copy)); });
}

// ---- Save, Revert, Properties -------------------------------------------------------------------

bool TFactoryCommands::SaveUnitSountory(TUnitSountory& unit)
{
    return files.SaveDocument(unit, FactoryRequest(SaveFactoryTitle));
}

bool TFactoryCommands::SaveAsUnitSountory(TUnitSountory& unit)
{
    return files.SaveDocumentAs(unit, FactoryRequest(SaveFactoryTitle));
}

void TFactoryCommands::RevertFact(TMDIChildFact& window)
{
    const TUnitSountory& old = window.GetUnitSountory();
    if (!KV_SOFT_ASSERT(!old.GetFileName().empty()))
        return;
    TDocumentServices& documents = form.Documents();
    documents.BeginWait();
    auto fresh = std::make_unique<TUnitSountory>(old.GetName(), old.GetFileName(), *host);
    std::string message;
    if (!fresh->LoadFromFile(old.GetFileName(), message)) {
        documents.EndWait();
        TFileCommands::ShowCannotRead(old.GetFileName(), message);
        return;
    }
    window.SetUnitSountory(std::move(fresh));
    window.UpdateModifiedMark();
    // The tool windows showed the factory that went.
    if (documents.GetActiveChild() == &window)
        form.ChildActivated(&window);
    documents.EndWait();
}

void TFactoryCommands::EditFactProperties(TMDIChildFact& window)
{
    if (EditFactoryProperties(&window, window.GetUnitSountory())) {
        window.GetUnitSountory().SetModified();
        window.Redraw();
    }
}

// ---- Validate and run ---------------------------------------------------------------------------

void TFactoryCommands::SntValidateExecute()
{
    TMDIChildFact* window = ActiveWindow();
    if (!window)
        return;
    TUnitSountory& factory = window->GetUnitSountory();
    std::string message;
    const bool valid =
        factory.ValidateFactory(uint32_t(form.Documents().NextFactoryRunNumber()), message);
    // A reference node may have taken the pins of its factory.
    window->Redraw();
    if (!valid)
        Messages().Show(message, "Validation failed", MsgIcon::Information, MsgButtons::Ok);
}

void TFactoryCommands::SntRunAtWndExecute()
{
    TDocumentServices& documents = form.Documents();
    TUnitWave* wave = documents.GetActiveUnitWave();
    if (!wave)
        return;
    TUnitSountory* factory = ChooseFactoryToRun(&form, *host, FactoryChangeWW);
    if (!factory)
        return;
    std::string message;
    if (!factory->ValidateFactory(uint32_t(documents.NextFactoryRunNumber()), message)) {
        ShowCannotRun(*factory, message);
        return;
    }
    documents.BeginWait();
    // The snapshot stays when the run fails: the wave is as it was before, and Undo says so.
    documents.MakeUndo(*wave);
    TSntValuesDialogAsker asker(&form);
    host->BeginRun(factory->GetName());
    const bool ran = RunFactoryAtWave(*factory, *wave, asker, message);
    host->EndRun();
    if (ran)
        wave->SetModified();
    documents.EndWait();
    if (!ran)
        ShowRunFailed(*factory, message);
}

void TFactoryCommands::SntRunCrWndExecute()
{
    TMDIChildFact* window = ActiveWindow();
    if (!window)
        return;
    TUnitSountory& factory = window->GetUnitSountory();
    TDocumentServices& documents = form.Documents();
    std::string message;
    if (!factory.ValidateFactory(uint32_t(documents.NextFactoryRunNumber()), message)) {
        window->Redraw();
        ShowCannotRun(factory, message);
        return;
    }
    documents.BeginWait();
    TSntValuesDialogAsker asker(&form);
    SoundPtr sound;
    int32_t begin = 0;
    int32_t end = 0;
    host->BeginRun(factory.GetName());
    const bool ran = factory.RunCreateWaveWindow(message, sound, begin, end, asker);
    host->EndRun();
    if (!ran) {
        documents.EndWait();
        ShowRunFailed(factory, message);
        return;
    }
    auto unit = std::make_unique<TUnitWave>(
        documents.MakeUniqueName("Wave", "of " + factory.GetName()), std::string(), sound);
    documents.SetLastUsedProps(*unit);
    // What the factory made is selected when its positions say so.
    unit->SetPart(begin, end);
    TUnitWave* made = unit.get();
    TMDIChildWave* waveWindow = files.NewChildWave(std::move(unit), form.DefaultWaveViewProps(),
                                                   form.DefaultVoldViewProps());
    made->SetModified();
    waveWindow->RefreshWave();
    documents.EndWait();
}

// ---- Modes ------------------------------------------------------------------------------------

void TFactoryCommands::SetEditMode(uint8_t mode)
{
    if (TMDIChildFact* window = ActiveWindow())
        window->SetEditMode(mode);
}

void TFactoryCommands::SntShowHintsExecute()
{
    if (TMDIChildFact* window = ActiveWindow())
        window->ToggleShowHints();
}

} // namespace kelvorn
