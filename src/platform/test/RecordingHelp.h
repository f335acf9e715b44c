#pragma once
// A help service for tests: records what was asked for and shows nothing. Installs itself for
// its lifetime and puts the previous one back afterwards.

#include "general/Services.h"
#include "platform/Help.h"

#include <string>
#include <vector>

namespace kelvorn {

class RecordingHelp final : public Help
{
public:
    RecordingHelp() : install(this) {}
    RecordingHelp(const RecordingHelp&) = delete;
    RecordingHelp& operator=(const RecordingHelp&) = delete;

    void ShowContext(int context) override
    {
        contexts.push_back(context);
        requests.push_back("context " + std::to_string(context));
    }
    void ShowContents() override { requests.push_back("contents"); }
    void ShowTopicSearch() override { requests.push_back("topic search"); }
    void ShowHelpOnHelp() override { requests.push_back("help on help"); }
    void CloseWindow() override { requests.push_back("close"); }

    /// The context numbers asked for, in order.
    const std::vector<int>& Contexts() const { return contexts; }
    /// Every request in order: "context <n>", "contents", "topic search", "help on help",
    /// "close".
    const std::vector<std::string>& Requests() const { return requests; }

private:
    std::vector<int> contexts;
    std::vector<std::string> requests;
    ScopedService<Help> install;
};

} // namespace kelvorn
