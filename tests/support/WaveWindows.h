#pragma once
// Wave windows offscreen for the pane, window, dialog and command tests: sounds of known values,
// a recording host for the main-window notices, panes of exact widths, mouse events with the
// buttons spelled out, the volume writer served through the event loop, and operation dialogs
// run through the scripted runner with their controls set by name.

#include "document/views/VolumeWriter.h"
#include "document/wave/UnitWave.h"
#include "general/Services.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "sound/Sound.h"
#include "sound/Wave.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"
#include "waveui/dialogs/OperationDialog.h"
#include "window_base/QtModalDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace kelvorn::test {

/// Names the cases of a parameterised test by their field name.
inline const auto CaseName = [](const auto& info) { return std::string(info.param.name); };

/// A control name and a value in the terms of Set and Shown.
struct Input
{
    std::string name;
    std::string value;
};

/// "name=value|name=value" as inputs.
inline std::vector<Input> In(const std::string& text)
{
    std::vector<Input> inputs;
    std::stringstream items(text);
    for (std::string item; std::getline(items, item, '|');)
        inputs.push_back({item.substr(0, item.find('=')), item.substr(item.find('=') + 1)});
    return inputs;
}

/// Types text into edit as a whole.
inline void Type(QLineEdit* edit, const std::string& text)
{
    edit->setText(QString::fromLatin1(text.c_str()));
}

/// count values of value(i).
template <class F> WavePtr WaveOf(int32_t count, F value)
{
    WavePtr wave = CreateWave(nullptr, count);
    for (int32_t i = 0; i < count; ++i)
        (*wave)[i] = static_cast<int16_t>(value(i));
    return wave;
}

/// count values of a fixed pseudo-random noise.
inline WavePtr NoiseWave(int32_t count, uint32_t seed)
{
    uint32_t x = seed;
    return WaveOf(count, [&x](int32_t) {
        x = x * 1103515245u + 12345u;
        return int16_t(x >> 16);
    });
}

inline SoundPtr Mono(WavePtr wave, int32_t freq = 44100)
{
    return std::make_shared<MonoSound>(std::move(wave), freq, int16_t{2});
}

inline SoundPtr Stereo(WavePtr left, WavePtr right, int32_t freq = 44100)
{
    return std::make_shared<StereoSound>(std::move(left), std::move(right), freq, int16_t{2});
}

/// A sound of `values` values per channel, each value v (the right channel -v).
inline SoundPtr Flat(int16_t channels, int32_t values, int16_t v = 0, int32_t freq = 44100)
{
    WavePtr left = WaveOf(values, [v](int32_t) { return v; });
    if (channels == 1)
        return Mono(std::move(left), freq);
    return Stereo(std::move(left), WaveOf(values, [v](int32_t) { return -v; }), freq);
}

class RecordingHost final : public WaveWindowHost
{
public:
    RecordingHost() : previous(InstallService<WaveWindowHost>(this)) {}
    ~RecordingHost() override { InstallService<WaveWindowHost>(previous); }

    void WaveChanged(TMDIChildWave& window) override { changed.push_back(&window); }
    void WaveNameChanged(const std::string& name) override { names.push_back(name); }
    void WaveZoomChanged(TMDIChildWave&, int pane) override { zooms.push_back(pane); }
    void SetMouseStatus(const std::string& text, int width) override
    {
        status.push_back(text);
        statusWidth = width;
    }
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        auto found = waves.find(name);
        return found == waves.end() ? nullptr : found->second;
    }
    /// Recorded, and passed on to the windows of envelopeUsers that draw window's wave, as the
    /// main window does.
    void VolumeColumnsDrawn(TMDIChildWave& window, int32_t first, int32_t end) override
    {
        columns.push_back({&window, first, end});
        columnsOnGuiThread = columnsOnGuiThread && QThread::currentThread() == qApp->thread();
        for (TMDIChildWave* user : envelopeUsers)
            if (user->DrawsEnvelopeOf(window.GetUnitWave().GetName()))
                user->EnvelopeColumnsDrawn(first, end);
    }

    struct Columns
    {
        TMDIChildWave* window;
        int32_t first, end;
    };

    std::vector<TMDIChildWave*> changed;
    std::vector<std::string> names;
    std::vector<int> zooms;
    std::vector<std::string> status;
    int statusWidth = 0;
    std::map<std::string, TUnitWave*> waves;
    std::vector<Columns> columns;
    bool columnsOnGuiThread = true;
    std::vector<TMDIChildWave*> envelopeUsers;

private:
    WaveWindowHost* previous;
};

/// Sends one mouse event with the buttons held after it spelled out.
inline void Mouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                  QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

/// A press at from, one move to to and the release there, with button; the first move a pane
/// sees only records where the mouse is, so one goes before.
inline void Drag(QWidget& widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = {})
{
    Mouse(widget, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
    Mouse(widget, QEvent::MouseButtonPress, button, button, from, modifiers);
    Mouse(widget, QEvent::MouseMove, Qt::NoButton, button, to, modifiers);
    Mouse(widget, QEvent::MouseButtonRelease, button, Qt::NoButton, to, modifiers);
}

inline void Click(QWidget& widget, QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    Mouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at, modifiers);
    Mouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at, modifiers);
}

/// How many threads of this process carry the volume writer's name, counted once.
inline int VolumeWriterThreadsNow()
{
    const std::string name = SystemThreadName(volumeWriterName);
    int found = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string text;
        std::getline(comm, text);
        found += text == name;
    }
    return found;
}

/// How many threads of this process carry the volume writer's name, once the count holds for
/// 10 ms (at most a second): the kernel wakes a thread's joiner before it takes the ended thread
/// off /proc/self/task, so a writer joined a moment ago can still be listed. A writer that never
/// ends stays counted.
inline int VolumeWriterThreads()
{
    int count = VolumeWriterThreadsNow();
    for (int round = 0; round < 100; ++round) {
        QThread::msleep(10);
        const int now = VolumeWriterThreadsNow();
        if (now == count)
            return count;
        count = now;
    }
    return count;
}

/// Serves the event loop until done() holds, in a bounded number of rounds; false when it
/// never did. A repeating timer wakes each round, so a round ends even when no notice comes.
inline bool ServeUntil(const std::function<bool()>& done)
{
    QTimer wake;
    wake.start(5);
    for (int round = 0; round < 6000; ++round) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

/// The writer of window has ended and every column it filled has been handed to the panes.
inline bool AllColumnsDrawn(TMDIChildWave& window)
{
    const TViewWaveGroup& group = window.GetViewWaveGroup();
    if (!group.HasVolumeWriter() || group.IsVolumeWriterRunning())
        return false;
    for (const TVolumeArray* grid :
         window.GetUnitWave().GetMonoStereo() == 1
             ? std::vector<const TVolumeArray*>{group.GetVolumeArraySingle()}
             : std::vector<const TVolumeArray*>{group.GetVolumeArrayLeft(),
                                                group.GetVolumeArrayRight()})
        if (!grid || grid->GetDrawn() != grid->GetFilled())
            return false;
    return true;
}

class WaveWindowTest : public ::testing::Test
{
protected:
    WaveWindowTest() { area.resize(1400, 800); }
    ~WaveWindowTest() override
    {
        for (QMdiSubWindow* window : area.subWindowList())
            delete window;
    }
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
    }

    /// A window on sound named name, shown, its panes first and second pixels wide and height
    /// pixels high.
    TMDIChildWave* Open(SoundPtr sound, int first = 1, int second = 1000, int height = 200,
                        const std::string& name = "Wave 1")
    {
        auto unit = std::make_unique<TUnitWave>(name, std::string(), std::move(sound));
        auto* window =
            new TMDIChildWave(nullptr, std::move(unit), TWaveViewProps(), TVoldViewProps());
        area.addSubWindow(window);
        area.show();
        window->show();
        QSplitter& splitter = window->Splitter();
        const int frameWidth = window->width() - splitter.width();
        const int frameHeight = window->height() - splitter.height();
        window->resize(first + splitter.handleWidth() + second + frameWidth, height + frameHeight);
        splitter.setSizes({first, second});
        QApplication::processEvents();
        window->GetUnitWave().ClearModified();
        return window;
    }

    /// A window on sound showing its volume diagram in a linear record of width × height
    /// cells, black to white; no writer started yet.
    TMDIChildWave* OpenDiagram(SoundPtr sound, int width = 100, int height = 10,
                               bool drawSingle = true, const std::string& name = "Wave 1")
    {
        TMDIChildWave* window = Open(std::move(sound), 1, 1000, 200, name);
        TVoldViewProps props;
        props.XResolution.SetValue(width);
        props.YResolution.SetValue(height);
        props.Strength.SetValue(1.0);
        props.SensKind = sensNormal;
        props.UseColorPalette1D = 0;
        props.BackgroundColor = 0x000000;
        props.SingleColor = 0xFFFFFF;
        props.LeftColor = 0x0000FF;
        props.RightColor = 0xFF0000;
        props.CursorColor = 0x00FF00;
        props.DrawSingle = drawSingle ? 1 : 0;
        window->SetVoldViewProps(props);
        return window;
    }

    /// Runs window's writer to its end with the event loop served.
    static bool Compute(TMDIChildWave& window)
    {
        window.RefreshWave();
        return ServeUntil([&window] { return AllColumnsDrawn(window); });
    }

    static TViewWave& Pane(TMDIChildWave& window, int n)
    {
        return *window.GetViewWaveGroup().GetView(n);
    }

    /// The colour at (x, y) of the pane's backing image as 0x00BBGGRR.
    static uint32_t PixelAt(TViewWave& pane, int x, int y)
    {
        const QRgb rgb = pane.BackingImage().pixel(x, y);
        return uint32_t(qRed(rgb)) | uint32_t(qGreen(rgb)) << 8 | uint32_t(qBlue(rgb)) << 16;
    }

    ScriptedMessages messages;
    RecordingHost host;
    QMdiArea area;
};

/// Every list offers "Wave 1" and "Wave 2"; the mono lists only "Wave 1". Extra entries can be
/// added to all lists, or be all they offer.
class FixedWaveList final : public WaveListSource
{
public:
    FixedWaveList() : install(this) {}
    void FillWaveList(std::vector<WaveChoice>& list, int mode) override
    {
        modes.push_back(mode);
        if (standard)
            list.push_back({"Wave 1", nullptr});
        if (standard && mode != waveListOtherMono)
            list.push_back({"Wave 2", nullptr});
        for (const WaveChoice& choice : extra)
            list.push_back(choice);
    }

    bool standard = true; // "Wave 1" and "Wave 2" come first
    std::vector<WaveChoice> extra;
    std::vector<int> modes;

private:
    ScopedService<WaveListSource> install;
};

/// Sets the control called name as the user would: a line edit takes text; a button is
/// switched "on" or "off"; a list selects the item whose text is value ("" selects nothing);
/// a radio group turns on its item value; a page control shows page number value.
inline void Set(QWidget& dialog, const std::string& name, const std::string& value)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromStdString(name));
    ASSERT_NE(control, nullptr) << name;
    const QString text = QString::fromLatin1(value.c_str());
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        ASSERT_TRUE(value == "on" || value == "off") << name;
        button->setChecked(value == "on");
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = value.empty() ? -1 : combo->findText(text);
        ASSERT_TRUE(value.empty() || index >= 0) << name << " has no " << value;
        combo->setCurrentIndex(index);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        bool found = false;
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            if (item->text() == text) {
                item->setChecked(true);
                found = true;
            }
        ASSERT_TRUE(found) << name << " has no " << value;
    } else if (auto* pages = qobject_cast<QTabWidget*>(control)) {
        pages->setCurrentIndex(std::stoi(value));
    } else {
        FAIL() << name << " cannot be set";
    }
}

/// What the control called name shows, in the terms Set takes.
inline std::string Shown(QWidget& dialog, const std::string& name)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromStdString(name));
    if (!control)
        return "<missing " + name + ">";
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toLatin1().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->isChecked() ? "on" : "off";
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText().toLatin1().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            if (item->isChecked())
                return item->text().toLatin1().toStdString();
        return "";
    }
    if (auto* pages = qobject_cast<QTabWidget*>(control))
        return std::to_string(pages->currentIndex());
    return "<unknown " + name + ">";
}

/// The class name the scripted runner knows a dialog by.
inline std::string ClassOf(const QObject& object)
{
    const std::string name = object.metaObject()->className();
    return name.substr(name.rfind(':') == std::string::npos ? 0 : name.rfind(':') + 1);
}

/// The boxes shown were texts, each under "Input Error" with the information icon; clears them.
inline void ExpectInputErrors(ScriptedMessages& messages, const std::vector<std::string>& texts)
{
    std::vector<std::string> shown;
    for (const ShownMessage& box : messages.Shown()) {
        shown.push_back(box.text);
        EXPECT_EQ(box.caption, "Input Error");
        EXPECT_EQ(box.icon, MsgIcon::Information);
    }
    EXPECT_EQ(shown, texts);
    messages.Clear();
}

/// A dialog run through the scripted runner with the wave lists served; no box or dialog may
/// come unasked.
class DialogTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
        EXPECT_EQ(messages.Pending(), 0u);
        EXPECT_TRUE(dialogs.Unexpected().empty());
        EXPECT_EQ(dialogs.Pending(), 0u);
    }
    /// Runs dialog, acts on it, then presses answer (when it is still open).
    DialogResult Run(QDialog& dialog, std::function<void()> act,
                     DialogResult answer = DialogResult::Rejected)
    {
        dialogs.When(
            ClassOf(dialog), [&](ModalDialog&) { act(); }, answer);
        return RunDialog(dialog);
    }
    /// Runs dialog, acts, presses OK; answers whether it closed. The boxes shown must be
    /// texts, each under "Input Error" with the information icon.
    bool Ok(QDialog& dialog, const std::function<void()>& act,
            const std::vector<std::string>& texts = {})
    {
        for (size_t i = 0; i < texts.size(); ++i)
            messages.Expect();
        const DialogResult result = Run(dialog, [&] {
            act();
            dialog.accept();
        });
        ExpectInputErrors(messages, texts);
        return result == DialogResult::Accepted;
    }

    FixedWaveList waves;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
};

} // namespace kelvorn::test
