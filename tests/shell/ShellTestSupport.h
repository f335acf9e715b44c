#pragma once
// A main-window frame with its document services, and documents to open in it: real wave
// documents in plain document windows (without panes), bare music documents, and factory and
// envelope-drawing windows that answer what the services ask of them.

#include "support/PlainDocument.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/base/ChildKelvorn.h"
#include "shell/DocumentServices.h"
#include "sound/Sound.h"
#include "sound/Wave.h"
#include "document/wave/UnitWave.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelvorn::test {

/// A sound of the given channel count whose value i is i (the right channel -i).
inline SoundPtr Ramp(int16_t channels, int32_t values)
{
    WavePtr left = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*left)[i] = static_cast<int16_t>(i);
    if (channels == 1)
        return std::make_shared<MonoSound>(std::move(left), 44100, int16_t{2});
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*right)[i] = static_cast<int16_t>(-i);
    return std::make_shared<StereoSound>(std::move(left), std::move(right), 44100, int16_t{2});
}

/// A factory window: its kind and its nodes (name, kind) as the lists read them.
class FakeFactoryWindow final : public TMDIChildKelvorn, public SountoryListing
{
public:
    uint8_t sountoryKind = 0;
    std::vector<std::pair<std::string, uint8_t>> nodes;

    uint8_t GetSountoryKind() const override { return sountoryKind; }
    void ListNodes(uint8_t nodeKind,
                   std::vector<std::pair<std::string, const void*>>& out) const override
    {
        for (const auto& node : nodes)
            if (node.second == nodeKind)
                out.emplace_back(node.first, &node);
    }
};

/// A wave window whose panes draw the wave called envelope as their envelope.
class EnvelopeWindow final : public TMDIChildKelvorn
{
public:
    std::string envelope;
    int repaints = 0;
    std::vector<std::pair<int32_t, int32_t>> columns;

    bool DrawsEnvelopeOf(const std::string& name) const override { return name == envelope; }
    void RepaintEnvelopeViews() override { ++repaints; }
    void EnvelopeColumnsDrawn(int32_t first, int32_t last) override
    {
        columns.emplace_back(first, last);
    }
};

class FrameTest : public ::testing::Test
{
protected:
    FrameTest()
    {
        area.resize(800, 600);
        area.show();
    }

    ~FrameTest() override
    {
        // The windows go before the services and the message script they may still call;
        // deleted rather than closed, so that no close question is asked.
        for (QMdiSubWindow* window : area.subWindowList())
            delete window;
        Flush();
    }

    /// A wave document of channels in a new plain document window, made active. A wave with
    /// values counts as changed while it has no file; an empty one never does.
    TMDIChildKelvorn* OpenWave(const std::string& name, int16_t channels = 1,
                               const std::string& file = {}, int32_t values = 0)
    {
        return Open(new TMDIChildKelvorn,
                    std::make_unique<TUnitWave>(name, file, Ramp(channels, values)));
    }
    /// A music document (no music model needed: the services read only name and kind).
    TMDIChildKelvorn* OpenMusic(const std::string& name)
    {
        auto unit = std::make_unique<PlainDocument>(DocumentKind::Music);
        unit->SetName(name);
        return Open(new TMDIChildKelvorn, std::move(unit));
    }
    FakeFactoryWindow* OpenFactory(const std::string& name, uint8_t kind,
                                   std::vector<std::pair<std::string, uint8_t>> nodes = {})
    {
        auto* window = new FakeFactoryWindow;
        window->sountoryKind = kind;
        window->nodes = std::move(nodes);
        auto unit = std::make_unique<PlainDocument>(DocumentKind::Factory);
        unit->SetName(name);
        Open(window, std::move(unit));
        return window;
    }
    EnvelopeWindow* OpenEnvelopeUser(const std::string& name, const std::string& envelope)
    {
        auto* window = new EnvelopeWindow;
        window->envelope = envelope;
        Open(window, std::make_unique<TUnitWave>(name, std::string(), Ramp(1, 0)));
        return window;
    }

    template <class W> W* Open(W* window, std::unique_ptr<TFileUnit> unit)
    {
        window->SetUnit(std::move(unit));
        services.AddDocumentWindow(window);
        return window;
    }

    void Activate(TMDIChildKelvorn* window) { area.setActiveSubWindow(window); }

    /// Runs the deferred deletions the toolkit queued.
    static void Flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (TMDIChildKelvorn* window : services.DocumentWindows())
            names.push_back(window->GetUnit()->GetName());
        return names;
    }

    ScriptedMessages messages;
    QMdiArea area;
    TDocumentServices services{area};
};

} // namespace kelvorn::test
