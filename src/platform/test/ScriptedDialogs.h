#pragma once
// A dialog runner for tests: nothing blocks. Each modal dialog must have been announced with
// When(): the runner opens the dialog without a modal loop, runs the step's action on it (set
// fields, press buttons), and when the dialog is still open afterwards presses the step's
// answer (OK for Accepted, Cancel for Rejected). A dialog that refuses that answer too is
// closed as Rejected and listed in Refused(), so a test never hangs on it. A dialog nobody
// announced is not shown at all: it is listed in Unexpected() and answers Rejected.
//
// Installs itself for its lifetime and puts the previous runner back afterwards.

#include "general/Services.h"
#include "platform/DialogRunner.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kelvorn {

class ScriptedDialogs final : public DialogRunner
{
public:
    using Action = std::function<void(ModalDialog&)>;

    ScriptedDialogs() : install(this) {}
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    /// Announces the next dialog: of class dialogClass, acted on by action (may be empty),
    /// then answered.
    void When(std::string dialogClass, Action action, DialogResult answer);
    /// Announces the next dialog, answered without any action.
    void When(std::string dialogClass, DialogResult answer) { When(dialogClass, {}, answer); }

    DialogResult Run(ModalDialog& dialog) override;

    /// Class names of every dialog run, in order.
    const std::vector<std::string>& Opened() const { return opened; }
    /// The result each of them closed with.
    const std::vector<DialogResult>& Results() const { return results; }
    /// Dialogs that came without a matching When(): "<class>" or "<class> instead of <class>".
    const std::vector<std::string>& Unexpected() const { return unexpected; }
    /// Dialogs that stayed open after their answer was pressed.
    const std::vector<std::string>& Refused() const { return refused; }
    /// Steps announced but not used yet.
    size_t Pending() const { return script.size(); }

private:
    struct Step
    {
        std::string dialogClass;
        Action action;
        DialogResult answer;
    };

    std::deque<Step> script;
    std::vector<std::string> opened;
    std::vector<DialogResult> results;
    std::vector<std::string> unexpected;
    std::vector<std::string> refused;
    ScopedService<DialogRunner> install;
};

} // namespace kelvorn
