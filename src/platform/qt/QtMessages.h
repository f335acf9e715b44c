#pragma once
// Message boxes on QMessageBox, shown on the GUI thread only. A box asked for on any other
// thread (a soft assertion in the volume writer's thread, say) is handed to the GUI thread as a
// queued call and the caller is answered at once with the box's first button: the worker never
// waits for the GUI thread, which may itself be waiting for the worker to stop.

#include "general/Messages.h"

#include <functional>
#include <memory>
#include <string>

class QObject;
class QThread;

namespace kelvorn {

class QtMessages final : public MessageSink
{
public:
    /// Shows one box on the GUI thread and answers the button chosen.
    using Presenter = std::function<MsgAnswer(const std::string& text, const std::string& caption,
                                              MsgIcon icon, MsgButtons buttons)>;

    /// Made on the GUI thread, after the QApplication.
    QtMessages();
    /// Boxes still queued for the GUI thread go with it unshown.
    ~QtMessages() override;
    QtMessages(const QtMessages&) = delete;
    QtMessages& operator=(const QtMessages&) = delete;

    /// On the GUI thread: shows the box and answers the user's button. On any other thread:
    /// queues the box for the GUI thread and answers FirstButtonAnswer(buttons) at once.
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;

    /// Replaces what shows the boxes (ShowMessageBox at first) and returns the previous one, so
    /// that a test can see the boxes, and the thread they are shown on, without a modal loop.
    /// Call on the GUI thread.
    Presenter SetPresenter(Presenter presenter);

    /// The modal QMessageBox over the active window.
    static MsgAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                                    MsgIcon icon, MsgButtons buttons);

private:
    QThread* guiThread;
    Presenter presenter = &ShowMessageBox;
    // Lives on the GUI thread; the queued boxes are posted to it, so they die with it (before
    // the presenter they would call).
    std::unique_ptr<QObject> receiver;
};

} // namespace kelvorn
