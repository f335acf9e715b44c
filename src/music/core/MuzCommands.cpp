#include "music/core/MuzCommands.h"

#include "music/core/UnitMuz.h"

#include <string>
#include <unordered_map>

namespace kelvorn {

namespace {

using Run = void (TUnitMuz::*)();
using Can = bool (TUnitMuz::*)() const;

TMuzCommand Plain(const char* name, Run run, Can can, Can checked = nullptr)
{
    TMuzCommand command{name,
                        [run](TUnitMuz& u) { (u.*run)(); },
                        [can](const TUnitMuz& u) { return (u.*can)(); },
                        {}};
    if (checked)
        command.checked = [checked](const TUnitMuz& u) { return (u.*checked)(); };
    return command;
}

/// A command of a family that passes its value on: lengths, articulations, clefs, accidentals,
/// tuplets.
template <class Value>
TMuzCommand WithValue(const char* name, Value value, void (TUnitMuz::*run)(Value),
                      bool (TUnitMuz::*can)(Value) const,
                      bool (TUnitMuz::*checked)(Value) const = nullptr)
{
    TMuzCommand command{name,
                        [run, value](TUnitMuz& u) { (u.*run)(value); },
                        [can, value](const TUnitMuz& u) { return (u.*can)(value); },
                        {}};
    if (checked)
        command.checked = [checked, value](const TUnitMuz& u) { return (u.*checked)(value); };
    return command;
}

bool Always(const TUnitMuz&)
{
    return true;
}

std::vector<TMuzCommand> BuildCommands()
{
    using U = TUnitMuz;
    std::vector<TMuzCommand> rows;
    rows.push_back(Plain("MusicDelete", &U::DeleteExecute, &U::CanDeleteExecute));
    static const std::pair<const char*, int32_t> notes[] = {
        {"MusicNote1", 1},   {"MusicNote2", 2},   {"MusicNote4", 4},  {"MusicNote8", 8},
        {"MusicNote16", 16}, {"MusicNote32", 32}, {"MusicNote64", 64}};
    for (const auto& [name, length] : notes)
        rows.push_back(WithValue<int32_t>(name, length, &U::NoteExecute, &U::CanNoteExecute,
                                          &U::IsNoteChecked));
    rows.push_back(
        Plain("MusicNoteGroupPrev", &U::NoteGroupPrevExecute, &U::CanNoteGroupPrevExecute));
    rows.push_back(
        Plain("MusicNoteGroupNext", &U::NoteGroupNextExecute, &U::CanNoteGroupNextExecute));
    rows.push_back(Plain("NoteStickUp", &U::NoteStickUpExecute, &U::CanNoteStickUpExecute,
                         &U::IsNoteStickUpChecked));
    rows.push_back(Plain("NoteStickDown", &U::NoteStickDownExecute, &U::CanNoteStickDownExecute,
                         &U::IsNoteStickDownChecked));
    static const std::pair<const char*, int32_t> silences[] = {
        {"MusicSilence1", 1},   {"MusicSilence2", 2},   {"MusicSilence4", 4},  {"MusicSilence8", 8},
        {"MusicSilence16", 16}, {"MusicSilence32", 32}, {"MusicSilence64", 64}};
    for (const auto& [name, length] : silences)
        rows.push_back(WithValue<int32_t>(name, length, &U::SilenceExecute, &U::CanSilenceExecute,
                                          &U::IsSilenceChecked));
    static const std::pair<const char*, NoteArtKind> arts[] = {
        {"MusicStaccatissimo", noteArtStaccatissimo},
        {"MusicStaccato", noteArtStaccato},
        {"MusicArtNormal", noteArtNormal},
        {"MusicPortato", noteArtPortato},
        {"MusicLegato", noteArtLegato}};
    for (const auto& [name, art] : arts)
        rows.push_back(
            WithValue<NoteArtKind>(name, art, &U::ArtExecute, &U::CanArtExecute, &U::IsArtChecked));
    static const std::pair<const char*, KeyKind> keys[] = {
        {"MusicKeyG", keyKindG}, {"MusicKeyC", keyKindC}, {"MusicKeyF", keyKindF}};
    for (const auto& [name, kind] : keys)
        rows.push_back(
            WithValue<KeyKind>(name, kind, &U::KeyExecute, &U::CanKeyExecute, &U::IsKeyChecked));
    static const std::pair<const char*, NoteShiftKind> shifts[] = {
        {"MusicNSDCross", noteShiftDoubleKruis},
        {"MusicNSCross", noteShiftKruis},
        {"MusicNSNormal", noteShiftNormal},
        {"MusicNSMol", noteShiftMol},
        {"MusicNSDMol", noteShiftDoubleMol}};
    for (const auto& [name, shift] : shifts)
        rows.push_back(WithValue<NoteShiftKind>(name, shift, &U::NoteShiftExecute,
                                                &U::CanNoteShiftExecute, &U::IsNoteShiftChecked));
    rows.push_back({"MusicModeDelete", [](U& u) { u.ModeDeleteExecute(); }, Always,
                    [](const U& u) { return u.IsModeDeleteChecked(); }});
    rows.push_back({"MusicModeEdit", [](U& u) { u.ModeEditExecute(); }, Always,
                    [](const U& u) { return u.IsModeEditChecked(); }});
    rows.push_back({"MusicModeAdd", [](U& u) { u.ModeAddExecute(); }, Always,
                    [](const U& u) { return u.IsModeAddChecked(); }});
    rows.push_back(Plain("MusicMoveNext", &U::MoveNextExecute, &U::CanMoveNextExecute));
    rows.push_back(Plain("MusicMovePrev", &U::MovePrevExecute, &U::CanMovePrevExecute));
    rows.push_back(Plain("MusicMoveUp", &U::MoveUpExecute, &U::CanMoveUpExecute));
    rows.push_back(Plain("MusicMoveDown", &U::MoveDownExecute, &U::CanMoveDownExecute));
    rows.push_back(Plain("MusicMoveOctUp", &U::MoveOctUpExecute, &U::CanMoveOctUpExecute));
    rows.push_back(Plain("MusicMoveOctDown", &U::MoveOctDownExecute, &U::CanMoveOctDownExecute));
    rows.push_back(Plain("MusicPointAdd", &U::PointAddExecute, &U::CanPointAddExecute));
    rows.push_back(Plain("MusicPointDelete", &U::PointDeleteExecute, &U::CanPointDeleteExecute));
    rows.push_back(Plain("MusicSelectDown", &U::SelectDownExecute, &U::CanSelectDownExecute));
    rows.push_back(Plain("MusicSelectNext", &U::SelectNextExecute, &U::CanSelectNextExecute));
    rows.push_back(Plain("MusicSelectPrev", &U::SelectPrevExecute, &U::CanSelectPrevExecute));
    rows.push_back(Plain("MusicSelectUp", &U::SelectUpExecute, &U::CanSelectUpExecute));
    static const std::pair<const char*, int32_t> tuplets[] = {{"MusicTwin", duool},
                                                              {"MusicTriplet", triool},
                                                              {"MusicQuadruplet", kwartool},
                                                              {"MusicQuintuplet", kwintool}};
    for (const auto& [name, ool] : tuplets)
        rows.push_back(WithValue<int32_t>(name, ool, &U::TupletExecute, &U::CanTupletExecute));
    rows.push_back(Plain("MusicPlayNote", &U::PlayNoteExecute, &U::CanPlayNoteExecute));
    // kept: any value but 0 counts as on, and turns off.
    rows.push_back({"MusicAutoPlay", [](U& u) { u.autoPlay = u.autoPlay == 0 ? 1 : 0; }, Always,
                    [](const U& u) { return u.autoPlay != 0; }});
    return rows;
}

} // namespace

const std::vector<TMuzCommand>& MuzCommands()
{
    static const std::vector<TMuzCommand> rows = BuildCommands();
    return rows;
}

const TMuzCommand* FindMuzCommand(std::string_view name)
{
    static const std::unordered_map<std::string_view, const TMuzCommand*> byName = [] {
        std::unordered_map<std::string_view, const TMuzCommand*> map;
        for (const TMuzCommand& command : MuzCommands())
            map.emplace(command.name, &command);
        return map;
    }();
    const auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

} // namespace kelvorn
