#include "platform/test/ScriptedDialogs.h"

#include <utility>

namespace kelvorn {

void ScriptedDialogs::When(std::string dialogClass, Action action, DialogResult answer)
{
    script.push_back({std::move(dialogClass), std::move(action), answer});
}

DialogResult ScriptedDialogs::Run(ModalDialog& dialog)
{
    const std::string name = dialog.ClassName();
    opened.push_back(name);
    if (script.empty() || script.front().dialogClass != name) {
        unexpected.push_back(script.empty() ? name
                                            : name + " instead of " + script.front().dialogClass);
        results.push_back(DialogResult::Rejected);
        return DialogResult::Rejected;
    }
    Step step = std::move(script.front());
    script.pop_front();

    dialog.Open();
    if (step.action)
        step.action(dialog);
    if (dialog.IsOpen()) {
        if (step.answer == DialogResult::Accepted)
            dialog.Accept();
        else
            dialog.Reject();
    }
    if (dialog.IsOpen()) {
        refused.push_back(name);
        dialog.Finish(DialogResult::Rejected);
    }
    DialogResult result = dialog.Result();
    results.push_back(result);
    return result;
}

} // namespace kelvorn
