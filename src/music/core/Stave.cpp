#include "music/core/Stave.h"

#include "general/Assert.h"
#include "music/core/NotePlayer.h"
#include "music/core/UnitMuz.h"

namespace kelvorn {

TNoteGroup::TNoteGroup(TNoteStave* stave, std::unique_ptr<TCompoundPlayer> player,
                       uint32_t noteColor, uint8_t noteShape, uint8_t defaultStem)
    : NoteColor(noteColor), NoteShape(noteShape), player(std::move(player)),
      defaultStem(defaultStem), stave(stave)
{
}

TNoteGroup::~TNoteGroup() = default;

TStave::~TStave()
{
    while (TNoteGroup* group = firstNoteGroup) {
        firstNoteGroup = group->GetNext();
        delete group;
    }
}

void TStave::InsertNoteGroup(TNoteGroup* afterGroup, TNoteGroup* group)
{
    if (!firstNoteGroup || !afterGroup) {
        group->SetNext(firstNoteGroup);
        firstNoteGroup = group;
        return;
    }
    TNoteGroup* g = firstNoteGroup;
    while (g->GetNext() && g != afterGroup)
        g = g->GetNext();
    if (!KV_SOFT_ASSERT(g == afterGroup)) {
        delete group;
        return;
    }
    group->SetNext(afterGroup->GetNext());
    afterGroup->SetNext(group);
}

TNoteGroup* TStave::GetPrevNoteGroup(const TNoteGroup* group) const
{
    KV_SOFT_ASSERT(firstNoteGroup != nullptr);
    TNoteGroup* prev = nullptr;
    for (TNoteGroup* g = firstNoteGroup; g && g != group; g = g->GetNext())
        prev = g;
    return prev;
}

bool TStave::DeleteNoteGroup(TNoteGroup* group)
{
    if (!KV_SOFT_ASSERT(group != nullptr))
        return false;
    if (group == firstNoteGroup) {
        if (!KV_SOFT_ASSERT(group->GetNext() != nullptr))
            return false;
        firstNoteGroup = group->GetNext();
        group->SetNext(nullptr);
        return true;
    }
    for (TNoteGroup* g = firstNoteGroup; g; g = g->GetNext()) {
        if (g->GetNext() == group) {
            g->SetNext(group->GetNext());
            group->SetNext(nullptr);
            return true;
        }
    }
    KV_SOFT_ASSERT(false);
    return false;
}

int32_t TStave::CountNoteGroups() const
{
    int32_t n = 0;
    for (TNoteGroup* g = firstNoteGroup; g; g = g->GetNext())
        ++n;
    return n;
}

TNoteStave::TNoteStave(TUnitMuz* owner, uint32_t foregroundColor, uint32_t backgroundColor,
                       int32_t roomUp, int32_t roomDown, uint8_t drawFlagKind, uint8_t mute,
                       uint8_t extraLines)
    : ForegroundColor(foregroundColor), BackgroundColor(backgroundColor), RoomUp(roomUp, EHNone),
      RoomDown(roomDown, EHNone), drawFlagKind(drawFlagKind), Mute(mute), ExtraLines(extraLines),
      owner(owner)
{
    RoomUp.SetBound(30);
    RoomDown.SetBound(30);
    KV_SOFT_ASSERT(drawFlagKind != drawFlagNone);
}

TNoteStave::~TNoteStave()
{
    if (owner)
        owner->ForgetStave(this);
}

TNoteGroup* TNoteStave::GetSelectedNoteGroup() const
{
    KV_SOFT_ASSERT(SelectedNoteGroup != nullptr);
    return SelectedNoteGroup;
}

void TNoteStave::SetSelectedNoteGroup(TNoteGroup* group)
{
    if (KV_SOFT_ASSERT(group != nullptr))
        SelectedNoteGroup = group;
}

void TNoteStave::GroupLeaving(const TNoteGroup* group)
{
    if (SelectedNoteGroup != group)
        return;
    SelectedNoteGroup =
        firstNoteGroup != group ? firstNoteGroup : (group ? group->GetNext() : nullptr);
}

void TNoteStave::StartLayout(int32_t newMiddleY, int32_t leftX)
{
    middleY = newMiddleY;
    layoutX = leftX;
    lastPosition = 0.0;
}

void TNoteStave::ExtendLayoutX(int32_t x)
{
    if (x > layoutX)
        layoutX = x;
}

} // namespace kelvorn
