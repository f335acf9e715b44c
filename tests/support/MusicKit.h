#pragma once
// What the music tests share: generated sample waves found by caption through a fake wave
// lookup, a document wired to it, and short ways to put notes on a chain.

#include "document/wave/UnitWave.h"
#include "general/Services.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"
#include "music/core/MuzFile.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kelvorn::test {

/// Open wave documents by caption, as the main window would find them.
class FakeWaves final : public WaveDocumentFinder
{
public:
    TUnitWave* Add(const std::string& caption, SoundPtr sound)
    {
        auto& slot = waves[caption];
        slot = std::make_unique<TUnitWave>(caption, "", std::move(sound));
        return slot.get();
    }
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        auto it = waves.find(name);
        return it == waves.end() ? nullptr : it->second.get();
    }

private:
    std::map<std::string, std::unique_ptr<TUnitWave>> waves;
};

/// count values of a sine of hz at rate, amplitude 10000.
inline SoundPtr SineSound(double hz, int32_t count, int32_t rate = 22050)
{
    AbortFlag flag = 0;
    WavePtr w = CreateWave(&flag, count);
    for (int32_t i = 0; i < count; ++i)
        (*w)[i] = static_cast<int16_t>(10000 * std::sin(2 * M_PI * hz * i / rate));
    return std::make_shared<MonoSound>(std::move(w), rate, 2);
}

/// count values that are all v (a click that tests find by its first non-zero value).
inline SoundPtr FlatSound(int16_t v, int32_t count, int32_t rate = 22050)
{
    AbortFlag flag = 0;
    WavePtr w = CreateWave(&flag, count);
    for (int32_t i = 0; i < count; ++i)
        (*w)[i] = v;
    return std::make_shared<MonoSound>(std::move(w), rate, 2);
}

/// A note of doc on stave's first group, put on part's chain.
inline TMuzNote* AddNote(TUnitMuz& doc, TSinglePartMuz* part, TNoteStave* stave, double position,
                         int32_t pitch, uint8_t length = 4, MultiOol ool = sool,
                         int32_t posInOol = 0)
{
    auto* note = new TMuzNote(&doc, stave->GetFirstNoteGroup(), length, 0, position, pitch, stave,
                              noteShiftNormal, ool, posInOol, noteArtNormal, part, drawStickAuto);
    part->InsertSymbol(note);
    return note;
}

/// A rest of doc's stave put on part's chain.
inline TSilence* AddRest(TSinglePartMuz* part, TNoteStave* stave, double position,
                         uint8_t length = 4, int32_t points = 0, MultiOol ool = sool,
                         int32_t posInOol = 0)
{
    auto* rest = new TSilence(length, points, position, stave, ool, posInOol, part);
    part->InsertSymbol(rest);
    return rest;
}

/// The symbols of stave in part as text, in chain order: a clef "G0" (its kind and time, "#2"
/// for the second at its time), a note "n<pitch>@<time>:<value>" and a rest "r@<time>:<value>",
/// each with "." per dot and "t<tuplet>.<member>" inside a tuplet.
inline std::string ChainText(TSinglePartMuz* part, const TNoteStave* stave)
{
    std::string text;
    auto number = [](double x) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", x);
        return std::string(buffer);
    };
    for (const TStaveSymbol* s = part->FirstSymbol(); s; s = s->GetNext()) {
        if (s->GetNoteStave() != stave)
            continue;
        if (!text.empty())
            text += ' ';
        if (const TKey* key =
                s->GetStaveSymbolKind() == staveSymbolKey ? static_cast<const TKey*>(s) : nullptr) {
            text += key->GetKeyKind() == keyKindG ? 'G' : key->GetKeyKind() == keyKindC ? 'C' : 'F';
            text += number(s->GetPosition());
            if (key->GetKeyNumber() != 1)
                text += "#" + std::to_string(key->GetKeyNumber());
            continue;
        }
        const auto* time = static_cast<const TStaveTimeSymbol*>(s);
        const TMuzNote* note = s->AsNote();
        text += note ? "n" + std::to_string(note->GetPitch()) : "r";
        text += "@" + number(s->GetPosition()) + ":" + std::to_string(time->GetNoteLengthKind());
        text += std::string(size_t(time->GetPoints()), '.');
        if (time->GetMultiOol() != sool)
            text += "t" + std::to_string(time->GetMultiOol()) + "." +
                    std::to_string(time->GetPosInOol());
    }
    return text;
}

/// Replaces every symbol of stave in part with those of text, written as ChainText writes them
/// (notes in stave's first group, natural, normal, stem automatic); answers them in text order.
inline std::vector<TStaveSymbol*> SetChain(TUnitMuz& doc, TSinglePartMuz* part, TNoteStave* stave,
                                           const std::string& text)
{
    for (TStaveSymbol* s = part->FirstSymbol(); s;) {
        TStaveSymbol* next = s->GetNext();
        if (s->GetNoteStave() == stave)
            part->DeleteSymbol(s);
        s = next;
    }
    std::vector<TStaveSymbol*> made;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        TStaveSymbol* symbol = nullptr;
        if (word[0] == 'G' || word[0] == 'C' || word[0] == 'F') {
            const KeyKind kind = word[0] == 'G' ? keyKindG : word[0] == 'C' ? keyKindC : keyKindF;
            const size_t hash = word.find('#');
            const int32_t number = hash == std::string::npos ? 1 : std::stoi(word.substr(hash + 1));
            symbol =
                new TKey(&doc, kind, 0, std::stod(word.substr(1, hash - 1)), stave, number, part);
        } else {
            const size_t at = word.find('@'), colon = word.find(':'), t = word.find('t');
            const double position = std::stod(word.substr(at + 1, colon - at - 1));
            const size_t lengthEnd = word.find_first_not_of("0123456789", colon + 1);
            const auto length = static_cast<uint8_t>(std::stoi(word.substr(colon + 1)));
            const std::string rest = word.substr(std::min(lengthEnd, word.size()));
            const auto points = static_cast<int32_t>(
                rest.find_first_not_of('.') == std::string::npos ? rest.size()
                                                                 : rest.find_first_not_of('.'));
            MultiOol ool = sool;
            int32_t posInOol = 0;
            if (t != std::string::npos) {
                ool = static_cast<MultiOol>(word[t + 1] - '0');
                posInOol = word[t + 3] - '0';
            }
            if (word[0] == 'n')
                symbol = new TMuzNote(&doc, stave->GetFirstNoteGroup(), length, points, position,
                                      std::stoi(word.substr(1, at - 1)), stave, noteShiftNormal,
                                      ool, posInOol, noteArtNormal, part, drawStickAuto);
            else
                symbol = new TSilence(length, points, position, stave, ool, posInOol, part);
        }
        part->InsertSymbol(symbol);
        made.push_back(symbol);
    }
    return made;
}

/// What an edit must never break, as a list of faults (empty when the piece is sound): every
/// chain in order, every tuplet whole with one value and dots the tuplet allows, every stave
/// opening with a clef at 0 in every part, bars with a pick-up shorter than a bar, and the
/// selection on a symbol of the piece.
inline std::vector<std::string> PieceFaults(const TUnitMuz& doc)
{
    std::vector<std::string> faults;
    std::set<const TXTouchMuzSymbol*> alive;
    for (TSinglePartMuz* part = doc.GetRootPart()->FirstSinglePart(); part;
         part = part->GetParent()->NextSinglePart(part)) {
        const TMuzBar* bar = part->GetMuzBar();
        alive.insert(bar);
        if (bar->GetCountFirstBar() < 0 || bar->GetCountFirstBar() >= bar->GetCount() ||
            bar->GetCount() < 1 || bar->GetCount() > 99)
            faults.push_back("bar " + std::to_string(bar->GetCount()) + "/" +
                             std::to_string(bar->GetCountFirstBar()));
        std::vector<const TStaveSymbol*> chain;
        for (const TStaveSymbol* s = part->FirstSymbol(); s; s = s->GetNext()) {
            chain.push_back(s);
            alive.insert(s);
            if (s->GetOwner() != part || (s->GetNext() && s->GetNext()->GetPrev() != s))
                faults.push_back("broken link");
            if (s->GetPosition() < 0)
                faults.push_back("negative time");
        }
        for (size_t i = 0; i < chain.size(); ++i)
            for (size_t j = i + 1; j < chain.size(); ++j)
                if (chain[j]->IsPrevOf(*chain[i]))
                    faults.push_back("unsorted at " + std::to_string(i));
        for (const TNoteStave* st = doc.GetFirstStave(); st; st = st->GetNext())
            if (!part->GetOpeningKey(st))
                faults.push_back("stave without its opening clef");
        // The clefs of a stave at one time count 1, 2, ... in chain order.
        std::map<std::pair<const TNoteStave*, double>, int32_t> clefs;
        for (const TStaveSymbol* s : chain)
            if (s->GetStaveSymbolKind() == staveSymbolKey) {
                int32_t& last = clefs[{s->GetNoteStave(), s->GetPosition()}];
                const int32_t number = static_cast<const TKey*>(s)->GetKeyNumber();
                if (number != last + 1)
                    faults.push_back("clefs numbered out of order");
                last = number;
            }
        for (const TStaveSymbol* s : chain) {
            if (!s->IsTimeSymbol())
                continue;
            const auto* t = static_cast<const TStaveTimeSymbol*>(s);
            const MultiOol ool = t->GetMultiOol();
            if (ool == sool)
                continue;
            std::set<int32_t> members;
            for (const TStaveSymbol* o : chain)
                if (o->GetNoteStave() == s->GetNoteStave() && o->IsTimeSymbol() &&
                    o->GetPosition() == s->GetPosition()) {
                    const auto* m = static_cast<const TStaveTimeSymbol*>(o);
                    if (m->GetMultiOol() != ool ||
                        m->GetNoteLengthKind() != t->GetNoteLengthKind() ||
                        m->GetPoints() != t->GetPoints())
                        faults.push_back("tuplet of mixed members");
                    members.insert(m->GetPosInOol());
                }
            if (int32_t(members.size()) != int32_t(ool) || *members.rbegin() != ool - 1)
                faults.push_back("tuplet not whole");
            if (!t->MayTotalPoints(t->GetPoints()) || t->GetFlagLength() > 64)
                faults.push_back("tuplet value");
        }
    }
    const TXTouchMuzSymbol* selected = doc.GetSelectedSymbol();
    if (selected && selected->GetMuzSymbolKind() != muzSymbolLoop && !alive.count(selected))
        faults.push_back("selection on a symbol that is gone");
    return faults;
}

/// The sounds played, counted, while it lives.
class CountingPlayer final : public SoundPlayer
{
public:
    CountingPlayer() : previous(InstallService<SoundPlayer>(this)) {}
    ~CountingPlayer() override { InstallService<SoundPlayer>(previous); }
    void PlaySound(const Sound&, bool) override { ++plays; }
    int plays = 0;

private:
    SoundPlayer* previous;
};

/// A new document ("sample" open as a sine) with its one single part and stave.
struct MusicDoc
{
    ScriptedMessages messages;
    FakeWaves waves;
    TUnitMuz doc{"music", ""};
    TSinglePartMuz* part = nullptr;
    TNoteStave* stave = nullptr;

    MusicDoc()
    {
        doc.SetWaveFinder(&waves);
        doc.NewMusic();
        part = doc.GetRootPart()->FirstSinglePart();
        stave = doc.GetFirstStave();
    }

    TNoteGroup* Group(TNoteStave* st = nullptr) const
    {
        return (st ? st : stave)->GetFirstNoteGroup();
    }

    TMuzNote* Note(double position, int32_t pitch, uint8_t length = 4, TSinglePartMuz* in = nullptr,
                   TNoteStave* st = nullptr, MultiOol ool = sool, int32_t posInOol = 0)
    {
        return AddNote(doc, in ? in : part, st ? st : stave, position, pitch, length, ool,
                       posInOol);
    }

    /// The first (only) simple sampler of the stave's group.
    TOnePlayer& Player(TNoteStave* st = nullptr) const
    {
        return *Group(st)->GetPlayer()->GetFirstOnePlayer();
    }
};

/// A simple sampler on caption that plays its sample unchanged at period basic.
inline TOnePlayerProps SimpleProps(const std::string& caption, double basic, double volume = 1.0)
{
    TOnePlayerProps props(unitFactor(volume, EHNone), unitFreq(0.0, EHHZ));
    TSimpleSamplerProps simple;
    simple.SampleWave = unitUnitWave(caption);
    simple.BasicFreq = unitTimePosMore(basic, EHHZ);
    props.SetSimpleSamplerProps(simple);
    return props;
}

/// notes quarter notes rising through an octave on doc's first stave, in its first single part;
/// with a caption, the stave's player samples the wave of that name as an A4.
inline void AddScale(TUnitMuz& doc, int notes, const std::string& caption = {})
{
    TSinglePartMuz* part = doc.GetRootPart()->FirstSinglePart();
    TNoteStave* stave = doc.GetFirstStave();
    for (int i = 0; i < notes; ++i)
        AddNote(doc, part, stave, i * 0.25, i % 8);
    if (!caption.empty())
        stave->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps =
            SimpleProps(caption, 1.0 / 440.0);
}

/// The music file text of doc, as a save would write it.
inline std::string MuzText(const TUnitMuz& doc)
{
    std::string out;
    std::string error;
    if (!FormatXMLFile(*doc.CreateXml(), "", out, error))
        ADD_FAILURE() << error;
    return out;
}

/// A document read from a music file text: ok, or the reader's message.
struct MuzLoad
{
    ScriptedMessages messages;
    std::unique_ptr<TUnitMuz> doc = std::make_unique<TUnitMuz>("music", "");
    std::string message;
    bool ok = false;

    explicit MuzLoad(std::string text)
    {
        std::string version;
        auto tokens = TXMLToken::FromMemory(std::move(text), version);
        if (tokens->GetTokenKind() == xmlTokenError)
            message = tokens->GetError();
        else
            ok = ReadMuzTokens(*doc, *tokens, version, message);
    }
};

/// What a piece holds beyond its file's bytes, one line per item: every single part's chain in
/// order (stave and group by index, times as exact hexadecimal doubles, clef numbers), the player
/// values with their units, the selected symbol, tree item, current stave and groups. Two pieces
/// with the same text and the same file bytes are the same piece.
inline std::string MuzModelText(const TUnitMuz& doc)
{
    std::vector<const TNoteStave*> staves;
    std::vector<const TNoteGroup*> groups;
    for (const TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext()) {
        staves.push_back(s);
        for (const TNoteGroup* g = s->GetFirstNoteGroup(); g; g = g->GetNext())
            groups.push_back(g);
    }
    auto index = [](const auto& list, const void* item) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == item)
                return static_cast<int>(i);
        return -1;
    };
    std::string out;
    auto line = [&out](const char* format, auto... args) {
        char text[256];
        std::snprintf(text, sizeof text, format, args...);
        out += text;
        out += '\n';
    };
    auto value = [](const unit& u) {
        return u.StoredText() + " [" + std::to_string(u.GetUnit()) + "]";
    };
    line("tempo %s", value(doc.tempo).c_str());
    for (const TNoteStave* s : staves) {
        line("stave %d room %d %d flags %d mute %d lines %d colours %06x %06x selected group %d",
             index(staves, s), s->RoomUp.GetValue(), s->RoomDown.GetValue(), s->drawFlagKind,
             s->Mute, s->ExtraLines, s->ForegroundColor, s->BackgroundColor,
             index(groups, s->GetSelectedNoteGroup()));
        for (const TNoteGroup* g = s->GetFirstNoteGroup(); g; g = g->GetNext()) {
            line(" group %d colour %06x shape %d stem %d", index(groups, g), g->NoteColor,
                 g->NoteShape, g->GetDefaultStem());
            for (const TOnePlayer* p = g->GetPlayer()->GetFirstOnePlayer(); p; p = p->GetNext()) {
                const TOnePlayerProps& props = p->OnePlayerProps;
                std::string own;
                switch (props.GetKind()) {
                case notePlayerSimpleSampler:
                    own = props.GetSimpleSamplerProps().SampleWave.GetCaption() + " " +
                          value(props.GetSimpleSamplerProps().BasicFreq);
                    break;
                case notePlayerRollOutSampler:
                    own = props.GetRollOutSamplerProps().SampleWave.GetCaption() + " " +
                          value(props.GetRollOutSamplerProps().BasicFreq);
                    break;
                case notePlayerResonantSampler:
                    own = props.GetResonantSamplerProps().SampleWave.GetCaption() + " " +
                          value(props.GetResonantSamplerProps().ResFactor);
                    break;
                case notePlayerRepeatWaveForm:
                    own = props.GetRepeatWaveFormProps().SampleWave.GetCaption();
                    break;
                default:
                    own = props.GetRollOutWaveFormProps().SampleWave.GetCaption();
                    break;
                }
                line("  player %d %s up %s volume %s", props.GetKind(), own.c_str(),
                     value(props.FreqUp).c_str(), value(props.VolumeFactor).c_str());
            }
        }
    }
    line("current stave %d selected kind %d", index(staves, doc.GetCurrentStave()),
         doc.GetSelMuzSymbolKind());
    line("selected item %s",
         doc.GetSelectedTreeItem() ? doc.GetSelectedTreeItem()->GetShowLabel().c_str() : "-");
    int part = 0;
    TStartPartMuz* root = doc.GetRootPart();
    for (TSinglePartMuz* single = root->FirstSinglePart(); single;
         single = single->GetParent()->NextSinglePart(single), ++part) {
        const TMuzBar* bar = single->GetMuzBar();
        line("part %d %s bar %d/%d first %d", part, single->GetShowLabel().c_str(), bar->GetCount(),
             bar->GetLength(), bar->GetCountFirstBar());
        for (TStaveSymbol* s = single->FirstSymbol(); s; s = s->GetNext()) {
            const char* selected = s == doc.GetSelectedSymbol() ? " selected" : "";
            const int stave = index(staves, s->GetNoteStave());
            if (TKey* key = s->AsKey()) {
                std::string shifts;
                for (int step = 0; step < 7; ++step)
                    shifts += static_cast<char>('0' + key->GetKeyNoteShift(step));
                line(" key %a stave %d kind %d up %d number %d shifts %s%s", s->GetPosition(),
                     stave, key->GetKeyKind(), key->GetOctavesUp(), key->GetKeyNumber(),
                     shifts.c_str(), selected);
                continue;
            }
            const auto* time = static_cast<const TStaveTimeSymbol*>(s);
            const std::string common = std::to_string(time->GetNoteLengthKind()) + "." +
                                       std::to_string(time->GetPoints()) + " ool " +
                                       std::to_string(time->GetMultiOol()) + "/" +
                                       std::to_string(time->GetPosInOol());
            if (const TMuzNote* note = s->AsNote())
                line(" note %a stave %d group %d %s pitch %d shift %d art %d stick %d%s",
                     s->GetPosition(), stave, index(groups, note->GetNoteGroup()), common.c_str(),
                     note->GetPitch(), note->GetNoteShiftKind(), note->GetNoteArtKind(),
                     note->GetDrawStickKind(), selected);
            else
                line(" rest %a stave %d %s%s", s->GetPosition(), stave, common.c_str(), selected);
        }
    }
    return out;
}

/// The chain stands in IsPrevOf order (no symbol before one that must precede it), its links
/// agree both ways and it holds exactly `want`.
inline void ExpectChain(TSinglePartMuz& part, const std::set<TStaveSymbol*>& want)
{
    std::set<TStaveSymbol*> seen;
    TStaveSymbol* prev = nullptr;
    for (TStaveSymbol* s = part.FirstSymbol(); s; s = s->GetNext()) {
        ASSERT_EQ(s->GetPrev(), prev);
        for (TStaveSymbol* e = part.FirstSymbol(); e != s; e = e->GetNext())
            ASSERT_FALSE(s->IsPrevOf(*e)) << "out of order at " << s->GetPosition();
        seen.insert(s);
        prev = s;
    }
    EXPECT_EQ(part.LastSymbol(), prev);
    EXPECT_EQ(seen, want);
}

/// The part tree below the root as text: a single part by its label, the parts of a
/// concatenation side by side, "{...}n" a loop of n turns, "<...|c:p,...>" a select part with
/// its turn items (count, and ":pitch" when not 0) in list order; "!" before a part switched off.
inline std::string TreeShape(const TPartMuz* part)
{
    if (!part)
        return "-";
    std::string off = part->IsEnabled() ? "" : "!";
    switch (part->GetKind()) {
    case partSingle:
        return off + part->GetShowLabel();
    case partConcat:
        return off + TreeShape(part->Child(0)) + " " + TreeShape(part->Child(1));
    case partLoop:
        return off + "{" + TreeShape(part->Child(0)) + "}" +
               std::to_string(static_cast<const TLoopPartMuz*>(part)->Count.GetValue());
    case partSelect: {
        std::string items;
        for (TSelectPartItem* i =
                 static_cast<const TSelectPartMuz*>(part)->GetSelectPartItems()->GetNext();
             i; i = i->GetNext()) {
            auto* turn = static_cast<TCountSelectPartItem*>(i);
            items += (items.empty() ? "" : ",") + std::to_string(turn->Count.GetValue());
            if (turn->Pitch.GetValue() != 0)
                items += ":" + std::to_string(turn->Pitch.GetValue());
        }
        return off + "<" + TreeShape(part->Child(0)) + "|" + items + ">";
    }
    case partStart:
        return TreeShape(part->Child(0));
    }
    return "?";
}

inline std::string TreeShape(const TUnitMuz& doc)
{
    return TreeShape(doc.GetRootPart());
}

/// The part of doc's tree whose label shows as label (a loop "{", a select part "<" and the
/// label of its content), or null.
inline TPartMuz* PartLabelled(TPartMuz* part, const std::string& label)
{
    if (!part)
        return nullptr;
    if (part->GetKind() != partConcat && part->GetKind() != partStart &&
        part->GetShowLabel() == label)
        return part;
    for (int32_t i = 0; i < part->ChildCount(); ++i)
        if (TPartMuz* found = PartLabelled(part->Child(i), label))
            return found;
    return nullptr;
}

/// A new document whose tree is the single parts labels side by side (a concatenation
/// chain), every part with its bar and opening clefs.
inline void LabelParts(TUnitMuz& doc, const std::vector<std::string>& labels)
{
    TPartMuz* last = doc.GetRootPart()->FirstSinglePart();
    last->SetLabel(labels.front().c_str());
    for (size_t i = 1; i < labels.size(); ++i) {
        auto* single = new TSinglePartMuz(&doc);
        new TMuzBar(single, 4, 4, 0);
        const TPartMuz::TDetached place = last->Detach();
        auto* concat = new TConcatPartMuz(&doc, last, single);
        *place.link = concat;
        concat->SetParent(place.parent);
        single->CreateKeys();
        single->SetLabel(labels[i].c_str());
        last = single;
    }
}

} // namespace kelvorn::test
