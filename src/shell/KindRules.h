#pragma once
// The action-update rules of the music and factory windows: which of their actions, menus and
// toolbars show and may run, read from the window's answers (MainFormKinds.h). Their kinds
// apply them once registered; until then those actions stay disabled.

#include "shell/MusicEditCommands.h"

#include <string>
#include <utility>
#include <vector>

class QAction;

namespace kelvorn {

class TMainForm;
class TMDIChildKelvorn;

class TMusicActionRule
{
public:
    explicit TMusicActionRule(TMainForm& form) : form(form) {}
    void Arrange();
    void Update(TMDIChildKelvorn& child);
    /// The window's answers to the music actions: its own when it gives them, else its
    /// piece's; null for neither.
    MusicWindowState* StateOf(TMDIChildKelvorn& child);

private:
    TMainForm& form;
    TMusicDocumentState pieceState;
    /// The actions the window answers for, found once.
    std::vector<std::pair<QAction*, std::string>> queried;
};

class TFactoryActionRule
{
public:
    explicit TFactoryActionRule(TMainForm& form) : form(form) {}
    void Arrange();
    void Update(TMDIChildKelvorn& child);

private:
    TMainForm& form;
};

} // namespace kelvorn
