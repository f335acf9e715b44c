#include "window_base/ChildKelvorn.h"

#include "document/ProjectFile.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "general/xml/XMLElement.h"
#include "window_base/CursorTable.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace kelvorn {

void SetScrollBar(QScrollBar& bar, int increment, int32_t position, int32_t range, int page)
{
    bar.setSingleStep(std::max(1, increment));
    bar.setPageStep(std::max(1, page));
    bar.setRange(0, std::max(0, range - page));
    bar.setValue(position);
}

namespace {

// The toolkit reads "[*]" in a title as the place of the modified mark and "[*][*]" as a
// literal "[*]"; a document name may hold those characters.
QString TitleText(const std::string& caption)
{
    QString text = QString::fromLatin1(caption.c_str());
    text.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return text + QStringLiteral("[*]");
}

} // namespace

TMDIChildKelvorn::TMDIChildKelvorn(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(QStringLiteral("MDI Child"));
}

TMDIChildKelvorn::~TMDIChildKelvorn()
{
    if (fileUnit) {
        fileUnit->SetWindow(nullptr);
        fileUnit.reset();
    }
}

TMDIChildKelvorn* TMDIChildKelvorn::SetUnit(std::unique_ptr<TFileUnit> unit)
{
    if (!KV_SOFT_ASSERT(fileUnit == nullptr) || !unit)
        return this;
    fileUnit = std::move(unit);
    fileUnit->SetWindow(this);
    return this;
}

std::unique_ptr<TFileUnit> TMDIChildKelvorn::ExchangeUnit(std::unique_ptr<TFileUnit> unit)
{
    if (!KV_SOFT_ASSERT(unit != NULL))
        return nullptr;
    std::unique_ptr<TFileUnit> old = std::move(fileUnit);
    if (old)
        old->SetWindow(nullptr);
    fileUnit = std::move(unit);
    fileUnit->SetWindow(this);
    UpdateCaption();
    return old;
}

DocumentKind TMDIChildKelvorn::GetKind() const
{
    return fileUnit ? fileUnit->GetKind() : DocumentKind::None;
}

std::string TMDIChildKelvorn::CaptionText() const
{
    if (!fileUnit)
        return {};
    const std::string& name = fileUnit->GetName();
    const std::string& file = fileUnit->GetFileName();
    if (!name.empty() && !file.empty())
        return name + " - " + file;
    return name.empty() ? file : name;
}

void TMDIChildKelvorn::UpdateCaption()
{
    setWindowTitle(TitleText(CaptionText()));
    UpdateModifiedMark();
}

void TMDIChildKelvorn::RefreshCaption(const std::string& /*oldName*/)
{
    UpdateCaption();
}

void TMDIChildKelvorn::UpdateModifiedMark()
{
    setWindowModified(IsDocumentModified());
}

bool TMDIChildKelvorn::IsDocumentModified() const
{
    return fileUnit && fileUnit->IsModified();
}

void TMDIChildKelvorn::SetMouseCursor(int index)
{
    setCursor(ProgramCursor(index));
}

std::string TMDIChildKelvorn::GetSaveQuestion() const
{
    std::string question = "Do you want to save the ";
    question += fileUnit ? fileUnit->GetKindWord() : std::string("Unknown Object");
    const std::string name = fileUnit ? fileUnit->GetName() : std::string();
    const std::string file = fileUnit ? fileUnit->GetFileName() : std::string();
    if (!name.empty())
        question += " with name \"" + name + "\"";
    else
        question += " without name";
    if (file.empty())
        question += " to a new file";
    else
        question += " to current file \"" + file + "\"";
    return question + "?";
}

bool TMDIChildKelvorn::QueryClose()
{
    if (!IsDocumentModified())
        return true;
    // The question has no icon of its own; the sink's question icon is the nearest.
    switch (Messages().Show(GetSaveQuestion(), SaveQuestionCaption, MsgIcon::Question,
                            MsgButtons::YesNoCancel)) {
    case MsgAnswer::No:
        return true;
    case MsgAnswer::Yes:
        return saveHandler && saveHandler(*this);
    default:
        return false;
    }
}

void TMDIChildKelvorn::Release()
{
    releasing = true;
    close();
}

void TMDIChildKelvorn::closeEvent(QCloseEvent* event)
{
    if (closing) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    if (!releasing && !QueryClose()) {
        event->ignore();
        return;
    }
    releasing = false;
    // Set before the toolkit activates the next window, so that whatever the activation runs
    // already counts this one as gone.
    closing = true;
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) {
        closing = false;
        return;
    }
    emit Closing(this);
}

void TMDIChildKelvorn::enterEvent(QEnterEvent* event)
{
    QMdiSubWindow::enterEvent(event);
    // A press in the title bar works the button the pointer last moved over, and the toolkit
    // forgets that button when the pointer leaves, as it does when a box opens over the
    // window. The pointer comes back without moving once a key or the window manager closed
    // the box: told nothing, the next click on the close box would hit no button.
    if (parentWidget() && QGuiApplication::mouseButtons() == Qt::NoButton) {
        QMouseEvent pointer(QEvent::MouseMove, event->position(), event->globalPosition(),
                            Qt::NoButton, Qt::NoButton, QGuiApplication::keyboardModifiers());
        mouseMoveEvent(&pointer);
    }
}

void TMDIChildKelvorn::changeEvent(QEvent* event)
{
    // Told before the toolkit moves the window: it still stands where it comes back to. The
    // toolkit's own echoes of a change (overrides) come after the move.
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (!change->isOverride() &&
            !(change->oldState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
            restorePlace = geometry();
    }
    QMdiSubWindow::changeEvent(event);
}

QRect TMDIChildKelvorn::PlaceToKeep() const
{
    return isMinimized() && !restorePlace.isNull() ? restorePlace : geometry();
}

bool TMDIChildKelvorn::DrawsEnvelopeOf(const std::string& /*waveName*/) const
{
    return false;
}

void TMDIChildKelvorn::RepaintEnvelopeViews() {}

void TMDIChildKelvorn::EnvelopeColumnsDrawn(int32_t /*first*/, int32_t /*last*/) {}

void TMDIChildKelvorn::WriteWindowXML(TXMLComplexElement& window) const
{
    if (fileUnit && !fileUnit->GetName().empty())
        window.AddText("Name", fileUnit->GetName());
    const QRect bounds = PlaceToKeep();
    const ProjectWindowState state = isMinimized()   ? ProjectWindowState::Minimized
                                     : isMaximized() ? ProjectWindowState::Maximized
                                                     : ProjectWindowState::Normal;
    AddProjectBounds(window, {bounds.left(), bounds.top(), bounds.width(), bounds.height(), state});
}

bool TMDIChildKelvorn::ReadWindowXML(const TXMLItem* left, const std::string& name,
                                     std::string& message, int32_t& line, int32_t& column)
{
    if (fileUnit)
        fileUnit->SetName(name);
    const QRect current = geometry();
    ProjectBounds bounds{current.left(), current.top(), current.width(), current.height()};
    // The project grammar rules a missing element out, so one here is a fault of ours.
    const bool read = ReadProjectBounds(left, bounds, message, line, column, true);
    // What was read before a failure is kept.
    setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
    if (!read)
        return false;
    switch (bounds.state) {
    case ProjectWindowState::Minimized:
        showMinimized();
        break;
    case ProjectWindowState::Maximized:
        showMaximized();
        break;
    default:
        showNormal();
        setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
        break;
    }
    return true;
}

} // namespace kelvorn
