#pragma once
// The action-update rules of the music and factory windows: which of their actions, menus and
// toolbars show and may run, read from the window's answers (MainFormKinds.h). Their kinds
// apply them once registered; until then those actions stay disabled.

namespace kelvorn {

class TMainForm;
class TMDIChildKelvorn;

class TMusicActionRule
{
public:
    explicit TMusicActionRule(TMainForm& form) : form(form) {}
    void Arrange();
    void Update(TMDIChildKelvorn& child);

private:
    TMainForm& form;
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
