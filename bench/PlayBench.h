#pragma once
// What the benchmarks of the main window's Play against the private PulseAudio server share:
// the main window with its audio device on the server's pipe sink, the reader of that sink, the
// Play of a window and the box that tells why a play failed.

#include "platform/qt/QtServices.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/MainForm.h"
#include "window_base/ChildKelvorn.h"

#include "PulseBench.h"

#include <QAction>
#include <QMdiArea>

#include <memory>
#include <string>

namespace kelvorn::bench {

/// The main window playing on the pipe sink: a benchmark's setup builds its windows on it.
struct PlayingForm
{
    QtServices services;
    ScriptedMessages messages; // a box would stop the run: it is recorded and answered
    std::unique_ptr<QtAudioDevice> audio =
        std::make_unique<QtAudioDevice>(QtAudioDevice::FindOutput(SinkName), QAudioDevice());
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>();
    /// Made by the benchmark once its windows are there.
    std::unique_ptr<FirstSound> sink;

    /// Activates window and answers its Play; null, with error set, when Play is disabled.
    QAction* PlayOf(TMDIChildKelvorn* window, std::string& error)
    {
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
        QAction* play = form->Action("FilePlay");
        if (play->isEnabled())
            return play;
        error = "Play is disabled";
        return nullptr;
    }

    /// Sets error to the text of the last box shown, if any.
    void TakeBoxText(std::string& error) const
    {
        if (!messages.Shown().empty())
            error = messages.Shown().back().text;
    }
};

} // namespace kelvorn::bench
