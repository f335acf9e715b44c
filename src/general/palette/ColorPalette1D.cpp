#include "general/palette/ColorPalette1D.h"

#include "general/Assert.h"
#include "general/Messages.h"
#include "general/numeric/NumericHelpers.h"
#include "general/values/ValueFormat.h"
#include "general/xml/XMLWriter.h"

#include <limits>
#include <utility>

namespace kelvorn {

// ---- the chain --------------------------------------------------------------------------------

TColorPalette1DItem::TColorPalette1DItem(int32_t beginColor, int32_t endColor)
    : TColorPalette1DItem(beginColor, 0.0)
{
    next = std::make_unique<TColorPalette1DItem>(endColor, 1.0);
}

TColorPalette1DItem::TColorPalette1DItem(int32_t color, double position)
    : ColorBefore(color), UseColorAfter(0), ColorAfter(color), Position(position, EHPerc)
{
}

TColorPalette1DItem::TColorPalette1DItem(int32_t color, const unitFactorPosMoreLess1& position,
                                         bool useColorAfter, int32_t colorAfter)
    : ColorBefore(color), UseColorAfter(useColorAfter ? 1 : 0), ColorAfter(colorAfter),
      Position(position)
{
}

TColorPalette1DItem::TColorPalette1DItem(const TColorPalette1DItem& other)
    : ColorBefore(other.ColorBefore), UseColorAfter(other.UseColorAfter),
      ColorAfter(other.ColorAfter), Position(other.Position)
{
    TColorPalette1DItem* tail = this;
    for (const TColorPalette1DItem* s = other.next.get(); s; s = s->next.get()) {
        tail->next = std::make_unique<TColorPalette1DItem>(s->ColorBefore, s->Position,
                                                           s->UseColorAfter != 0, s->ColorAfter);
        tail = tail->next.get();
    }
}

TColorPalette1DItem& TColorPalette1DItem::operator=(const TColorPalette1DItem& other)
{
    if (this == &other)
        return *this;
    // other may lie in this very chain, so everything is taken from it before the chain goes.
    std::unique_ptr<TColorPalette1DItem> copy;
    if (other.next)
        copy = std::make_unique<TColorPalette1DItem>(*other.next);
    ColorBefore = other.ColorBefore;
    ColorAfter = other.ColorAfter;
    UseColorAfter = other.UseColorAfter;
    next = std::move(copy);
    return *this;
}

TColorPalette1DItem::~TColorPalette1DItem()
{
    // Each stop is freed with an empty tail, so no destructor recurses.
    std::unique_ptr<TColorPalette1DItem> rest = std::move(next);
    while (rest)
        rest = std::move(rest->next);
}

void TColorPalette1DItem::DeleteChain(std::unique_ptr<TColorPalette1DItem> item)
{
    item.reset();
}

bool TColorPalette1DItem::operator==(const TColorPalette1DItem& other) const
{
    const TColorPalette1DItem* a = this;
    const TColorPalette1DItem* b = &other;
    for (; a && b; a = a->next.get(), b = b->next.get()) {
        if (a == b)
            return true;
        if (a->ColorBefore != b->ColorBefore || a->ColorAfter != b->ColorAfter ||
            a->UseColorAfter != b->UseColorAfter || !(a->GetDPosition() == b->GetDPosition()))
            return false;
    }
    return a == b;
}

void TColorPalette1DItem::SetColorAfter(int32_t color)
{
    KV_SOFT_ASSERT(UseColorAfter);
    ColorAfter = color;
}

TColorPalette1DItem* TColorPalette1DItem::GetLast()
{
    TColorPalette1DItem* s = this;
    while (s->next)
        s = s->next.get();
    return s;
}

const TColorPalette1DItem* TColorPalette1DItem::GetLast() const
{
    return const_cast<TColorPalette1DItem*>(this)->GetLast();
}

TColorPalette1DItem* TColorPalette1DItem::GetPrevious(const TColorPalette1DItem* item)
{
    for (TColorPalette1DItem* s = this; s->next; s = s->next.get())
        if (s->next.get() == item)
            return s;
    return nullptr;
}

bool TColorPalette1DItem::FindPosition(double position, const TColorPalette1DItem* excluded) const
{
    for (const TColorPalette1DItem* s = this; s; s = s->next.get())
        if (s != excluded && s->GetDPosition() == position)
            return true;
    return false;
}

int32_t TColorPalette1DItem::GetColor(double position) const
{
    const TColorPalette1DItem* s = this;
    for (;;) {
        const TColorPalette1DItem* NextColorPalette1DItem = s->next.get();
        if (!KV_SOFT_ASSERT(NextColorPalette1DItem != NULL))
            return s->GetLeavingColor();
        double from = s->GetDPosition();
        if (!(position >= from))
            position = from;
        double to = NextColorPalette1DItem->GetDPosition();
        if (position <= to) {
            // A segment of no width would blend by 0 / 0: its right end's colour holds there.
            double t = to > from ? LinearMap(position, from, to, 0.0, 1.0) : 1.0;
            return BlendColor(s->GetLeavingColor(), NextColorPalette1DItem->ColorBefore, t);
        }
        s = NextColorPalette1DItem;
    }
}

TColorPalette1DItem* TColorPalette1DItem::Insert(double position, int32_t color)
{
    if (!KV_SOFT_ASSERT(position > Position.GetValue()) || !KV_SOFT_ASSERT(position < 1))
        return nullptr;
    TColorPalette1DItem* s = this;
    while (s->next && s->next->GetDPosition() <= position)
        s = s->next.get();
    auto item = std::make_unique<TColorPalette1DItem>(color, position);
    item->next = std::move(s->next);
    s->next = std::move(item);
    return s->next.get();
}

void TColorPalette1DItem::MoveToPlace(TColorPalette1DItem* item, TColorPalette1DItem* previous)
{
    if (!KV_SOFT_ASSERT(item != NULL && item != this && item->GetNext() != NULL))
        return;
    if (!KV_SOFT_ASSERT(item->GetDPosition() > 0 && item->GetDPosition() < 1))
        return;
    if (!KV_SOFT_ASSERT(previous != NULL && previous->next.get() == item)) {
        previous = GetPrevious(item);
        if (!previous)
            return;
    }
    std::unique_ptr<TColorPalette1DItem> moved = std::move(previous->next);
    previous->next = std::move(moved->next);
    // Walked after the unlinking, so a stop moved beyond its following stop finds its place too.
    double position = moved->GetDPosition();
    TColorPalette1DItem* walker = this;
    while (walker->next && walker->next->GetDPosition() <= position)
        walker = walker->next.get();
    moved->next = std::move(walker->next);
    walker->next = std::move(moved);
}

TColorPalette1DItem* TColorPalette1DItem::DeleteInner(TColorPalette1DItem* current)
{
    if (!KV_SOFT_ASSERT(current != NULL))
        return current;
    if (!KV_SOFT_ASSERT(current->GetDPosition() > 0 && current->GetDPosition() < 1))
        return current;
    TColorPalette1DItem* prevItem = GetPrevious(current);
    if (!KV_SOFT_ASSERT(prevItem))
        return current;
    TColorPalette1DItem* nextItem = current->GetNext();
    if (!KV_SOFT_ASSERT(nextItem))
        return current;
    std::unique_ptr<TColorPalette1DItem> gone = std::move(prevItem->next);
    prevItem->next = std::move(gone->next);
    return prevItem;
}

void TColorPalette1DItem::BlendColors(int32_t color, double t)
{
    for (TColorPalette1DItem* s = this; s; s = s->next.get()) {
        s->ColorBefore = BlendColor(color, s->ColorBefore, t);
        s->ColorAfter = BlendColor(color, s->ColorAfter, t);
    }
}

bool TColorPalette1DItem::IsConsistent() const
{
    if (GetDPosition() != 0.0 || !next)
        return false;
    const TColorPalette1DItem* s = this;
    for (; s->next; s = s->next.get())
        if (!(s->next->GetDPosition() > s->GetDPosition()))
            return false;
    return s->GetDPosition() == 1.0;
}

// ---- the element ------------------------------------------------------------------------------

namespace {

void AddColor(TXMLComplexElement& parent, const std::string& name, int32_t color)
{
    unitColor(color, EHNone).AddToXML(parent, name);
}

// The text an inner stop's position is written as. Its display text is kept unless reading it
// back would not lie strictly between what was written for the stop before and the next stop's
// position (digits cut from two close positions would read back equal, and the reader refuses
// that); then the shortest exact text is written. So what is written always reads back in order.
std::string PositionText(const unitFactorPosMoreLess1& position, double nextPosition,
                         double& written)
{
    std::string text = position.StoredText();
    unitFactorPosMoreLess1 check;
    std::string ignored;
    if (check.FromText(text, "Position", ignored) && check.GetValue() > written &&
        check.GetValue() < nextPosition) {
        written = check.GetValue();
        return text;
    }
    written = position.GetValue();
    return FormatExact(written);
}

} // namespace

void TColorPalette1DItem::AddToXML(TXMLComplexElement& parent) const
{
    double written = 0.0;
    for (const TColorPalette1DItem* s = this; s; s = s->next.get()) {
        double position = s->GetDPosition();
        if (position == 0.0) {
            AddColor(parent, "BeginColor", s->ColorBefore);
        } else if (position == 1.0) {
            AddColor(parent, "EndColor", s->ColorBefore);
        } else {
            TXMLComplexElement* item = parent.AddComplex("ColorPalette1DItem");
            double nextPosition = s->next ? s->next->GetDPosition() : 1.0;
            item->AddText("Position", PositionText(s->Position, nextPosition, written));
            AddColor(*item, "ColorBefore", s->ColorBefore);
            if (s->UseColorAfter)
                item->AddComplex("UseColorAfter");
            AddColor(*item, "ColorAfter", s->ColorAfter);
        }
    }
}

namespace {

// Reached only by a tree that no palette grammar checked.
bool MissingElement(const TXMLItem* at, const std::string& name, std::string& message,
                    int32_t& line, int32_t& column)
{
    message = "In ColorPalette1D: element \"" + name + "\" expected.";
    if (at) {
        line = at->GetLine();
        column = at->GetColumn();
    }
    return false;
}

bool IsElement(const TXMLItem* xml, const char* name)
{
    return xml != NULL && xml->GetElement() == name;
}

} // namespace

bool ReadColorPalette1D(TColorPalette1DItem& head, const TXMLItem* xmlPalette, std::string& message,
                        int32_t& line, int32_t& column)
{
    if (!KV_SOFT_ASSERT(xmlPalette != NULL))
        return MissingElement(nullptr, "ColorPalette1D", message, line, column);
    line = xmlPalette->GetLine();
    column = xmlPalette->GetColumn();
    const TXMLItem* xmlBeginColor = xmlPalette->IsText() ? nullptr : xmlPalette->GetFirstChild();
    if (!KV_SOFT_ASSERT(xmlBeginColor != NULL) ||
        !KV_SOFT_ASSERT(xmlBeginColor->GetElement() == "BeginColor"))
        return MissingElement(xmlBeginColor, "BeginColor", message, line, column);
    unitColor beginColor(0, EHNone);
    if (!beginColor.ReadXML(xmlBeginColor, message, line, column))
        return false;

    // The new stops are read into a chain of their own, so a failure leaves head as it was.
    std::unique_ptr<TColorPalette1DItem> first;
    TColorPalette1DItem* last = nullptr;
    auto append = [&first, &last](std::unique_ptr<TColorPalette1DItem> item) {
        TColorPalette1DItem* raw = item.get();
        if (last)
            last->next = std::move(item);
        else
            first = std::move(item);
        last = raw;
    };
    double lastPosition = 0.0;
    bool ended = false;
    for (const TXMLItem* xml = xmlBeginColor->GetNext(); xml && !ended; xml = xml->GetNext()) {
        if (xml->GetElement() == "EndColor") {
            unitColor endColor(0, EHNone);
            if (!endColor.ReadXML(xml, message, line, column))
                return false;
            append(std::make_unique<TColorPalette1DItem>(
                endColor.color, unitFactorPosMoreLess1(1.0, EHNone), false, endColor.color));
            ended = true;
            continue;
        }
        if (!KV_SOFT_ASSERT(xml->GetElement() == "ColorPalette1DItem") || xml->IsText())
            return MissingElement(xml, "EndColor", message, line, column);

        const TXMLItem* child = xml->GetFirstChild();
        if (!KV_SOFT_ASSERT(IsElement(child, "Position")))
            return MissingElement(child ? child : xml, "Position", message, line, column);
        unitFactorPosMoreLess1 position;
        if (!position.ReadXML(child, message, line, column))
            return false;
        if (position.GetValue() == lastPosition) {
            message = "In Position: This Position already exists in the pallette.";
            return false;
        }
        if (!(position.GetValue() > lastPosition)) {
            message = "In Position: Positions should increase from stop to stop.";
            return false;
        }
        lastPosition = position.GetValue();

        child = child->GetNext();
        if (!KV_SOFT_ASSERT(IsElement(child, "ColorBefore")))
            return MissingElement(child ? child : xml, "ColorBefore", message, line, column);
        unitColor colorBefore(0, EHNone);
        if (!colorBefore.ReadXML(child, message, line, column))
            return false;

        child = child->GetNext();
        bool useColorAfter = IsElement(child, "UseColorAfter");
        if (useColorAfter)
            child = child->GetNext();
        if (!KV_SOFT_ASSERT(IsElement(child, "ColorAfter")))
            return MissingElement(child ? child : xml, "ColorAfter", message, line, column);
        unitColor colorAfter(0, EHNone);
        if (!colorAfter.ReadXML(child, message, line, column))
            return false;

        append(std::make_unique<TColorPalette1DItem>(colorBefore.color, position, useColorAfter,
                                                     colorAfter.color));
    }
    if (!ended)
        return MissingElement(xmlPalette, "EndColor", message, line, column);

    // A file holds no colour-after for the head: it becomes the head the file describes.
    head.ColorBefore = beginColor.color;
    head.UseColorAfter = 0;
    head.ColorAfter = beginColor.color;
    head.next = std::move(first);
    return true;
}

// ---- grammars ---------------------------------------------------------------------------------

const TDTDCompound* CreateColorPalette1DGrammar(TDTDGrammar& grammar)
{
    auto* empty = grammar.Make<TDTDEmpty>();
    auto* item = grammar.Make<TDTDCompound>(
        "ColorPalette1DItem",
        grammar.Make<TDTDConcat>(
            grammar.Make<TDTDContentText>("Position"),
            grammar.Make<TDTDConcat>(
                grammar.Make<TDTDContentText>("ColorBefore"),
                grammar.Make<TDTDConcat>(
                    grammar.Make<TDTDOptional>(grammar.Make<TDTDCompound>("UseColorAfter", empty)),
                    grammar.Make<TDTDContentText>("ColorAfter")))));
    return grammar.Make<TDTDCompound>(
        "ColorPalette1D", grammar.Make<TDTDConcat>(
                              grammar.Make<TDTDContentText>("BeginColor"),
                              grammar.Make<TDTDConcat>(grammar.Make<TDTDRepeatMin0>(item),
                                                       grammar.Make<TDTDContentText>("EndColor"))));
}

const TDTDCompound* CreatePaletteFileGrammar(TDTDGrammar& grammar, const TDTDItem* colorPalette1D)
{
    return grammar.Make<TDTDCompound>(
        paletteFileRoot,
        grammar.Make<TDTDConcat>(grammar.Make<TDTDContentText>("Version"), colorPalette1D));
}

namespace {

struct PaletteGrammars
{
    PaletteGrammars()
        : element(CreateColorPalette1DGrammar(grammar)),
          file(CreatePaletteFileGrammar(grammar, element))
    {
    }

    TDTDGrammar grammar;
    const TDTDCompound* element;
    const TDTDCompound* file;
};

const PaletteGrammars& Grammars()
{
    static const PaletteGrammars grammars;
    return grammars;
}

} // namespace

const TDTDCompound& ColorPalette1DGrammar()
{
    return *Grammars().element;
}

const TDTDCompound& PaletteFileGrammar()
{
    return *Grammars().file;
}

// ---- the .cp1 file ----------------------------------------------------------------------------

std::unique_ptr<TXMLComplexElement> PaletteFileTree(const TColorPalette1DItem& head)
{
    auto root = std::make_unique<TXMLComplexElement>(paletteFileRoot);
    root->AddText("Version", paletteFileVersion);
    head.AddToXML(*root->AddComplex("ColorPalette1D"));
    return root;
}

bool WritePaletteFile(const TColorPalette1DItem& head, const std::string& fileName)
{
    std::string error;
    bool ok = false;
    // A chain out of order would be written as a file that cannot be read back.
    if (!head.IsConsistent())
        error = "the stops of the palette are not in order from 0 to 1";
    else
        ok = WriteXMLFile(*PaletteFileTree(head), fileName, error);
    if (!ok)
        Messages().Show("Cannot save Color Palette File: " + error + ".", "FileError",
                        MsgIcon::Information, MsgButtons::Ok);
    return ok;
}

bool ReadPaletteFile(TColorPalette1DItem& head, const std::string& fileName, std::string& message)
{
    std::string version;
    TXMLToken tokens(fileName, version);
    if (tokens.GetTokenKind() == xmlTokenError) {
        message = tokens.GetError();
        return false;
    }
    return ReadPaletteTokens(head, tokens, version, message);
}

bool ReadPaletteTokens(TColorPalette1DItem& head, const TXMLToken& tokens,
                       const std::string& version, std::string& message)
{
    KV_SOFT_ASSERT(version == "1.0");
    TXMLArenaScope arena;
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &tokens;
    bool fatal = false;
    if (!PaletteFileGrammar().Parse(root, cursor, message, fatal))
        return false;

    const TXMLItem* xmlFile = root.GetFirstChild();
    const TXMLItem* xmlVersion = xmlFile ? xmlFile->GetFirstChild() : nullptr;
    if (!KV_SOFT_ASSERT(xmlVersion != NULL)) {
        message = "In " + std::string(paletteFileRoot) + ": element \"Version\" expected.";
        return false;
    }
    KV_SOFT_ASSERT(xmlVersion->GetElement() == "Version");
    KV_SOFT_ASSERT(xmlVersion->IsText() && xmlVersion->GetText() == "1.0");

    int32_t line = 0;
    int32_t column = 0;
    if (!ReadColorPalette1D(head, xmlVersion->GetNext(), message, line, column)) {
        message += " At line " + std::to_string(line) + ", column " + std::to_string(column) + ".";
        return false;
    }
    return true;
}

} // namespace kelvorn
