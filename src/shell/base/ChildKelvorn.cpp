#include "shell/base/ChildKelvorn.h"

#include "general/Assert.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLElement.h"
#include "platform/Services.h"
#include "platform/qt/CursorTable.h"
#include "sound/document/UnitWave.h"

#include <QCloseEvent>

namespace kelvorn {

namespace {

// The toolkit reads "[*]" in a title as the place of the modified mark and "[*][*]" as a
// literal "[*]"; a document name may hold those characters.
QString TitleText(const std::string& caption)
{
    QString text = QString::fromLatin1(caption.c_str());
    text.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return text + QStringLiteral("[*]");
}

const char* KindWord(uint8_t kind)
{
    switch (kind) {
    case TFileUnit::KindWave:
        return "Wave";
    case TFileUnit::KindMusic:
        return "Music";
    case TFileUnit::KindFactory:
        return "Factory";
    default:
        return "Unknown Object";
    }
}

void AddInteger(TXMLComplexElement& window, const char* name, int value)
{
    unitInteger(value, EHNone).AddToXML(window, name);
}

// The element expected next; false (with the file position of where it should stand) when
// the tree lacks it, which the project grammar should have ruled out.
bool ExpectElement(const TXMLItem* item, const TXMLItem* previous, const char* name,
                   std::string& message, int32_t& line, int32_t& column)
{
    if (KV_SOFT_ASSERT(item != NULL && item->GetElement() == name))
        return true;
    const TXMLItem* at = item ? item : previous;
    line = at ? at->GetLine() : 0;
    column = at ? at->GetColumn() : 0;
    message = std::string("Element \"") + name + "\" expected.";
    return false;
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

TUnitWave* TMDIChildKelvorn::GetUnitWave() const
{
    // The kind byte alone would trust any document that calls itself a wave.
    return dynamic_cast<TUnitWave*>(fileUnit.get());
}

uint8_t TMDIChildKelvorn::GetKind() const
{
    return fileUnit ? fileUnit->GetKind() : 0;
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
    TUnitWave* wave = GetUnitWave();
    return wave && wave->IsModified();
}

void TMDIChildKelvorn::SetMouseCursor(int index)
{
    if (CursorTable* table = FindService<CursorTable>())
        setCursor(table->At(index));
    else
        setCursor(Qt::ArrowCursor);
}

std::string TMDIChildKelvorn::GetSaveQuestion() const
{
    std::string question = "Do you want to save the ";
    question += KindWord(GetKind());
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

bool TMDIChildKelvorn::DrawsEnvelopeOf(const std::string& /*waveName*/) const
{
    return false;
}

void TMDIChildKelvorn::RepaintEnvelopeViews() {}

void TMDIChildKelvorn::EnvelopeColumnsDrawn(int32_t /*first*/, int32_t /*last*/) {}

const SountoryListing* TMDIChildKelvorn::GetSountoryListing() const
{
    return nullptr;
}

void TMDIChildKelvorn::WriteWindowXML(TXMLComplexElement& window) const
{
    if (fileUnit && !fileUnit->GetName().empty())
        window.AddText("Name", fileUnit->GetName());
    const QRect bounds = geometry();
    AddInteger(window, "Left", bounds.left());
    AddInteger(window, "Top", bounds.top());
    AddInteger(window, "Width", bounds.width());
    AddInteger(window, "Height", bounds.height());
    if (isMinimized())
        window.AddComplex("Minimized");
    else if (isMaximized())
        window.AddComplex("Maximized");
    else
        window.AddComplex("Normal");
}

bool TMDIChildKelvorn::ReadWindowXML(const TXMLItem* left, const std::string& name,
                                     std::string& message, int32_t& line, int32_t& column)
{
    if (fileUnit)
        fileUnit->SetName(name);
    static const char* const boundNames[4] = {"Left", "Top", "Width", "Height"};
    const TXMLItem* item = left;
    const TXMLItem* previous = nullptr;
    QRect bounds = geometry();
    for (int i = 0; i < 4; ++i) {
        if (!ExpectElement(item, previous, boundNames[i], message, line, column))
            return false;
        unitInteger value;
        if (!value.ReadXML(item, message, line, column))
            return false;
        switch (i) {
        case 0:
            bounds.moveLeft(value.GetValue());
            break;
        case 1:
            bounds.moveTop(value.GetValue());
            break;
        case 2:
            bounds.setWidth(value.GetValue());
            break;
        default:
            bounds.setHeight(value.GetValue());
            break;
        }
        setGeometry(bounds);
        previous = item;
        item = item->GetNext();
    }
    const std::string state = item ? item->GetElement() : std::string();
    if (state == "Normal") {
        showNormal();
        setGeometry(bounds);
    } else if (state == "Minimized") {
        showMinimized();
    } else if (state == "Maximized") {
        showMaximized();
    } else {
        ExpectElement(nullptr, item ? item : previous, "Normal", message, line, column);
        return false;
    }
    return true;
}

} // namespace kelvorn
