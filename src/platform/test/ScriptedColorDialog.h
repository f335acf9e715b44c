#pragma once
// The colour dialog for tests: each dialog must have been announced with WhenPick, in order.
// One that comes unannounced is not shown: it is listed in Unexpected() and answers Cancel.
// Installs itself for its lifetime and puts the previous service back afterwards.

#include "general/Services.h"
#include "platform/ColorDialog.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvorn {

class ScriptedColorDialog final : public ColorDialog
{
public:
    ScriptedColorDialog() : install(this) {}
    ScriptedColorDialog(const ScriptedColorDialog&) = delete;
    ScriptedColorDialog& operator=(const ScriptedColorDialog&) = delete;

    /// The next dialog answers color; std::nullopt stands for Cancel.
    void WhenPick(std::optional<int32_t> color) { script.push_back(color); }

    bool PickColor(const std::string& title, int32_t& color) override
    {
        shown.push_back({title, color});
        if (script.empty()) {
            unexpected.push_back(title);
            return false;
        }
        const std::optional<int32_t> answer = script.front();
        script.pop_front();
        if (!answer)
            return false;
        color = *answer;
        return true;
    }

    struct Shown
    {
        std::string title;
        int32_t initial;
    };
    const std::vector<Shown>& ShownDialogs() const { return shown; }
    const std::vector<std::string>& Unexpected() const { return unexpected; }
    size_t Pending() const { return script.size(); }

private:
    std::deque<std::optional<int32_t>> script;
    std::vector<Shown> shown;
    std::vector<std::string> unexpected;
    ScopedService<ColorDialog> install;
};

} // namespace kelvorn
