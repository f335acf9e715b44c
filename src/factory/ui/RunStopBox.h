#pragma once
// A factory run works on the GUI thread and returns to the event loop only when it ends. This
// watch gives the user a way out of a long one: once the run has lasted the delay (half a second)
// it shows a small modal box with a Stop button (Esc works too), and from then on lets the event
// loop run at each progress call of the run, so the box and the nodes redrawn during the run
// show. Only the box takes input meanwhile; Stop sets the run's stop flag at the next progress
// call, which ends the run as stopped.

#include "sound/Wave.h"

#include <QDialog>

#include <chrono>
#include <memory>
#include <string>

class QPushButton;

namespace kelvorn {

class TDlgSntRunStop final : public QDialog
{
    Q_OBJECT

public:
    TDlgSntRunStop(QWidget* owner, const std::string& factoryName);
    QPushButton* btnStop = nullptr;
};

class TFactoryRunWatch
{
public:
    static constexpr std::chrono::milliseconds DefaultDelay{500};

    /// owner: the window the box belongs to; name: the factory run.
    TFactoryRunWatch(QWidget* owner, std::string name,
                     std::chrono::milliseconds delay = DefaultDelay);
    /// Closes the box.
    ~TFactoryRunWatch();
    TFactoryRunWatch(const TFactoryRunWatch&) = delete;
    TFactoryRunWatch& operator=(const TFactoryRunWatch&) = delete;

    /// A progress call of the run: shows the box once the delay has passed, lets the events
    /// that came meanwhile work, and marks *stop as the user's stop once Stop was pressed.
    void Progress(AbortFlag* stop);

    /// The box, once shown; null before.
    TDlgSntRunStop* Box() const { return box.get(); }
    bool StopPressed() const { return stopPressed; }

private:
    QWidget* owner;
    std::string name;
    std::chrono::steady_clock::time_point start;
    std::chrono::milliseconds delay;
    std::unique_ptr<TDlgSntRunStop> box;
    bool stopPressed = false;
};

} // namespace kelvorn
