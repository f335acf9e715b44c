#include "shell/FactoryHostImpl.h"

#include "document/wave/UnitWave.h"
#include "factory/ui/FactoryWindow.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "shell/MainForm.h"

#include <QLabel>

namespace kelvorn {

TMainFactoryHost::TMainFactoryHost(TMainForm& form,
                                   std::function<void(const TSountoryNode&)> newFactoryForNode)
    : form(form), newFactoryForNode(std::move(newFactoryForNode)),
      previous(InstallService<FactoryWindowHost>(this))
{
}

TMainFactoryHost::~TMainFactoryHost()
{
    InstallService<FactoryWindowHost>(previous);
}

SoundPtr TMainFactoryHost::FindWaveSound(const std::string& name)
{
    TUnitWave* wave = form.Documents().FindUnitWave(name);
    return wave ? wave->GetSound() : nullptr;
}

TUnitSountory* TMainFactoryHost::FindFactory(const std::string& name)
{
    return dynamic_cast<TUnitSountory*>(form.Documents().FindUnitSountory(name));
}

std::vector<TUnitSountory*> TMainFactoryHost::ListFactories(const TUnitSountory* except)
{
    std::vector<SountoryChoice> choices;
    form.Documents().FillSountoryList(choices, except);
    std::vector<TUnitSountory*> factories;
    for (const SountoryChoice& choice : choices)
        if (auto* factory = dynamic_cast<TUnitSountory*>(choice.sountory))
            factories.push_back(factory);
    return factories;
}

bool TMainFactoryHost::CheckUniqueName(const std::string& name, const TUnitSountory* except)
{
    return form.Documents().CheckUniqueName(name, except);
}

void TMainFactoryHost::ShowStatusText(const std::string& text)
{
    if (QLabel* panel = form.GetStatusPanel(1))
        panel->setText(QString::fromLatin1(text));
}

bool TMainFactoryHost::ConfirmWarning(const std::string& text, const std::string& caption)
{
    return Messages().Show(text, caption, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok;
}

void TMainFactoryHost::ShowRunProgress(const TSountoryNode& node, int32_t /*turn*/, AbortFlag* stop)
{
    if (auto* window = dynamic_cast<TMDIChildFact*>(node.GetFactory()->GetWindow()))
        window->RedrawNode(node);
    if (watch)
        watch->Progress(stop);
}

std::vector<std::string> TMainFactoryHost::ListWaves(int32_t mode)
{
    std::vector<WaveChoice> choices;
    form.Documents().FillWaveList(choices, mode);
    std::vector<std::string> names;
    for (const WaveChoice& choice : choices)
        names.push_back(choice.caption);
    return names;
}

void TMainFactoryHost::SetEditName(const std::string& name)
{
    form.SetEditName(name);
}

void TMainFactoryHost::FactChildActivated(TMDIChildFact& window)
{
    form.ChildActivated(&window);
}

void TMainFactoryHost::NewFactoryForNode(const TSountoryNode& node)
{
    if (newFactoryForNode)
        newFactoryForNode(node);
}

void TMainFactoryHost::BeginRun(const std::string& name)
{
    watch = std::make_unique<TFactoryRunWatch>(&form, name, stopBoxDelay);
}

void TMainFactoryHost::EndRun()
{
    watch.reset();
    for (TMDIChildKelvorn* window : form.Documents().DocumentWindows())
        if (auto* factory = dynamic_cast<TMDIChildFact*>(window))
            factory->Redraw();
}

} // namespace kelvorn
