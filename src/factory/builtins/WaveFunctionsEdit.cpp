// The wave stages of the functions that make sound (silence, lines, blocks, triangles, sines,
// noise) and edit it (delete, trim, insert, mix), and the output stages of the splits and the
// extract, whose outputs are sounds other than "Result".

#include "factory/builtins/WaveFunctionsDetail.h"

#include "sound/SineTable.h"

#include <algorithm>
#include <cmath>

namespace kelvorn::wavefn {

namespace {

/// A generated part must hold a value: the generators cannot make less.
bool AtLeastOneValue(TWaveCall& c, const char* name, double values)
{
    if (!(values >= 1))
        return c.FailInput(name, "must give at least one value.");
    return true;
}

bool MakeBlockTriangle(TWaveCall& c, bool triangle)
{
    int16_t height1 = 0, height2 = 0;
    double period = 0, start = 0;
    if (!c.ReadInt16("Height 1", height1) || !c.ReadInt16("Height 2", height2) ||
        !c.ReadPeriod(period) || !c.ReadPlace("Start Position", start))
        return false;
    const bool byCount = !c.Has("Length");
    const char* lengthFrom = byCount ? "Count" : "Length";
    double length = 0;
    if (!c.Read(lengthFrom, length))
        return false;
    if (byCount)
        length *= period;
    if (!AtLeastOneValue(c, lengthFrom, std::trunc(c.Rate() * length)))
        return false;
    if (c.Has("Middle")) {
        double middle = 0;
        return c.ReadPlace("Middle", middle) &&
               c.Take(kelvorn::MakeBlockTriangle(*c.wave, c.stop, height1, height2, period, middle,
                                                 length, start, triangle, &c.begin, &c.end));
    }
    SoundPtr middle;
    return c.Envelope("Middle Envelope", middle) &&
           c.Take(MakeBlockTriangleEnvelope(*c.wave, c.stop, height1, height2, period, *middle,
                                            length, start, triangle, &c.begin, &c.end, &c.error));
}

/// Binds a sound the output stage made to its output.
void Bind(TWaveCall& c, const char* name, SoundPtr sound, bool madeHere)
{
    if (!sound)
        return;
    if (madeHere)
        sound->SetRunResult(true);
    c.node.FindOutputByName(name)->SetSound(std::move(sound));
}

} // namespace

// ---- range edits ----

bool Delete(TWaveCall& c)
{
    if (!c.Take(kelvorn::Delete(*c.wave, c.stop, c.begin, c.end)))
        return false;
    c.end = c.begin;
    return true;
}

bool Trim(TWaveCall& c)
{
    if (!c.Take(CopyPart(*c.wave, c.stop, c.begin, c.end)))
        return false;
    c.end -= c.begin;
    c.begin = 0;
    return true;
}

bool InsertReplace(TWaveCall& c)
{
    SoundPtr insert;
    if (!c.Envelope("Insert Wave", insert) ||
        !c.Take(Paste(*c.wave, c.stop, *insert, c.begin, c.end)))
        return false;
    // The insert's length in this wave's values, from begin; the resampled piece may be a value
    // shorter, and at the end of the wave no end passes the result.
    const double ratio =
        insert->GetSampleFreq() > 0 ? static_cast<double>(c.Rate()) / insert->GetSampleFreq() : 1.0;
    const double end = c.begin + std::trunc(insert->GetValues() * ratio);
    c.end = static_cast<int32_t>(
        std::clamp(end, static_cast<double>(c.begin), static_cast<double>(c.result->GetValues())));
    return true;
}

// ---- generators ----

bool MakeSilence(TWaveCall& c)
{
    double length = 0;
    return c.Read("Length", length) &&
           AtLeastOneValue(c, "Length", std::trunc(c.Rate() * length + 1)) &&
           c.Take(kelvorn::MakeSilence(*c.wave, c.stop, length, &c.begin, &c.end));
}

bool MakeLine(TWaveCall& c)
{
    double length = 0;
    int16_t from = 0, to = 0;
    bool linear = false, exponential = false;
    if (!c.Read("Length", length) || !c.ReadInt16("Height Begin", from) ||
        !c.ReadInt16("Height End", to) || !c.ReadFlag("Linear", linear) ||
        !c.ReadFlag("Exponential", exponential))
        return false;
    if (linear && exponential)
        return c.Fail("You cannot set both flags \"Linear\" and \"Exponential\".");
    if (!linear && !exponential)
        return c.Fail("You must set one of the flags \"Linear\" or \"Exponential\".");
    if (exponential && !(static_cast<double>(from) * to > 0))
        return c.Fail("A exponential line cannot cross the x-axis.");
    return AtLeastOneValue(c, "Length", std::trunc(c.Rate() * length + 1)) &&
           c.Take(
               kelvorn::MakeLine(*c.wave, c.stop, from, to, length, exponential, &c.begin, &c.end));
}

bool MakeBlock(TWaveCall& c)
{
    return MakeBlockTriangle(c, false);
}

bool MakeTriangle(TWaveCall& c)
{
    return MakeBlockTriangle(c, true);
}

bool MakeSinus(TWaveCall& c)
{
    int16_t height1 = 0, height2 = 0;
    double period = 0, start = 0;
    if (!c.ReadInt16("Height 1", height1) || !c.ReadInt16("Height 2", height2) ||
        !c.ReadPeriod(period) || !c.ReadPlace("Start Position", start))
        return false;
    const bool byCount = c.Has("Count");
    const char* lengthFrom = byCount ? "Count" : "Length";
    double periods = 0;
    if (!c.Read(lengthFrom, periods))
        return false;
    if (!byCount)
        periods /= period;
    // The sine is read from the program's table, made at start; made here should that have
    // failed.
    if (!Sinus() && !CreateSinus(c.stop))
        return c.Stopped();
    return AtLeastOneValue(c, lengthFrom, periods * (c.Rate() * period)) &&
           c.Take(kelvorn::MakeSinus(*c.wave, c.stop, height1, height2, period, periods, start,
                                     &c.begin, &c.end));
}

bool MakeNoise(TWaveCall& c)
{
    int16_t volume = 0;
    double length = 0;
    return c.ReadInt16("Volume", volume) && c.Read("Length", length) &&
           AtLeastOneValue(c, "Length", std::trunc(c.Rate() * length)) &&
           c.Take(kelvorn::MakeNoise(*c.wave, c.stop, volume, length, &c.begin, &c.end));
}

// ---- mixing ----

bool Mix(TWaveCall& c)
{
    bool alignBegin = false, alignEnd = false, stretch = false;
    if (!c.ReadFlag("Align Begin", alignBegin) || !c.ReadFlag("Align End", alignEnd) ||
        !c.ReadFlag("Stretch", stretch))
        return false;
    if (alignBegin + alignEnd + stretch != 1)
        return c.Fail("You must set exactly one of the flags \"Align Begin\", \"Align End\" or "
                      "\"Stretch\".");
    SoundPtr mix;
    if (!c.Envelope("Mix Wave", mix))
        return false;
    const int32_t span = c.begin == c.end || c.length == 0 ? -1 : c.end - c.begin;
    if (alignEnd)
        return c.Take(EditMixBefore(*c.wave, c.stop, *mix, c.end, span, true));
    if (alignBegin)
        return c.Take(EditMixAfter(*c.wave, c.stop, *mix, c.begin, span, false));
    if (c.begin == c.end) {
        c.begin = 0;
        c.end = c.length;
    }
    if (c.end == 0)
        return c.Fail("Cannot Stretch into an empty Wave.");
    return c.Take(MixStretched(*c.wave, c.stop, *mix, c.begin, c.end, &c.error));
}

// ---- output stages ----

bool SplitHorizontallyOutputs(TWaveCall& c)
{
    double position = 0;
    if (!c.Read("Position", position))
        return false;
    if (position < 0)
        return c.Fail("Position must be at least 0.");
    if (position > c.length)
        return c.Fail("Position must be before the end of the wave.");
    const auto at = static_cast<int32_t>(position);
    SoundUPtr before, after;
    if (c.Needed("Result Before") && !c.Step(CopyPart(*c.wave, c.stop, 0, at), before))
        return false;
    if (c.Needed("Result After") && !c.Step(CopyPart(*c.wave, c.stop, at, c.length), after))
        return false;
    Bind(c, "Result Before", std::move(before), true);
    Bind(c, "Result After", std::move(after), true);
    return true;
}

bool SplitVerticallyOutputs(TWaveCall& c)
{
    const auto* stereo = dynamic_cast<const StereoSound*>(c.wave.get());
    if (!stereo)
        return c.Fail("Node Input \"Wave\" must be Stereo, but is Mono.");
    // Each side shares its channel with the input and keeps the input alive: nothing is copied.
    if (c.Needed("Result Left"))
        Bind(c, "Result Left", std::make_shared<MonoSound>(c.wave, *stereo->GetWaveLeft()), false);
    if (c.Needed("Result Right"))
        Bind(c, "Result Right", std::make_shared<MonoSound>(c.wave, *stereo->GetWaveRight()),
             false);
    return true;
}

bool ExtractOutputs(TWaveCall& c)
{
    SoundUPtr rest, extract;
    if (c.Needed("Result Rest")) {
        if (c.wave->GetMonoStereo() == 2)
            rest = std::make_unique<StereoSound>(*c.wave, c.stop);
        else
            rest = std::make_unique<MonoSound>(*c.wave, c.stop);
        // The range becomes silence; the length stays.
        if (!c.NotStopped() || !DrawLine(*rest, c.stop, c.begin, 0, c.end, 0))
            return c.Stopped();
    }
    if (c.Needed("Result Extract") && !c.Step(CopyPart(*c.wave, c.stop, c.begin, c.end), extract))
        return false;
    Bind(c, "Result Rest", std::move(rest), true);
    Bind(c, "Result Extract", std::move(extract), true);
    return true;
}

} // namespace kelvorn::wavefn
