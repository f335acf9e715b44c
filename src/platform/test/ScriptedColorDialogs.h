#pragma once
// Colour dialogs for tests: nothing blocks. Each dialog must have been announced, in order,
// with WhenChoose (the colour picked) or WhenCancel. One that comes unannounced is listed in
// Unexpected() and answers Cancel, so a fixture that checks it fails instead of hanging.
//
// Installs itself for its lifetime and puts the previous service back afterwards.

#include "platform/ColorDialogs.h"
#include "platform/Services.h"

#include <deque>
#include <optional>
#include <vector>

namespace kelvorn {

class ScriptedColorDialogs final : public ColorDialogs
{
public:
    ScriptedColorDialogs() : install(this) {}
    ScriptedColorDialogs(const ScriptedColorDialogs&) = delete;
    ScriptedColorDialogs& operator=(const ScriptedColorDialogs&) = delete;

    /// The next dialog picks color.
    void WhenChoose(int32_t color) { script.emplace_back(color); }
    /// The next dialog is cancelled.
    void WhenCancel() { script.emplace_back(std::nullopt); }

    bool ChooseColor(int32_t& color) override;

    /// The colour each dialog started from, in order (the unexpected ones included).
    const std::vector<int32_t>& Started() const { return started; }
    /// How many dialogs came without an announcement.
    int Unexpected() const { return unexpected; }
    /// Announced dialogs not asked for yet.
    size_t Pending() const { return script.size(); }

private:
    std::deque<std::optional<int32_t>> script;
    std::vector<int32_t> started;
    int unexpected = 0;
    ScopedService<ColorDialogs> install;
};

} // namespace kelvorn
