// The wave document's panels of the main window's status bar.

#include "document/wave/UnitWave.h"
#include "general/Services.h"
#include "general/values/ValueUnits.h"

namespace kelvorn {

std::string SizeText(int64_t bytes)
{
    auto digits = [](double x, int minBefore, int minAfter, int maxAfter) {
        return unitFactor(x, EHNone).ToTextDigits(minBefore, minAfter, maxAfter);
    };
    if (bytes < 1024)
        return digits(static_cast<double>(bytes), 1, 0, 0) + " b";
    double k = bytes / 1024.0;
    if (k < 10)
        return digits(k, 1, 2, 2) + " kb";
    if (k < 100)
        return digits(k, 1, 1, 1) + " kb";
    if (k < 1024)
        return digits(k, 1, 0, 0) + " kb";
    double m = k / 1024.0;
    if (m < 10)
        return digits(m, 1, 2, 2) + " Mb";
    if (m < 100)
        return digits(m, 1, 1, 1) + " Mb";
    if (m < 1024)
        return digits(m, 1, 0, 0) + " Mb";
    return digits(bytes / (1024.0 * 1024.0 * 1024.0), 1, 2, 2) + " Gb";
}

std::string TUnitWave::StatusText(int panel) const
{
    switch (panel) {
    case 2: {
        int32_t freq = GetSampleFreq();
        double seconds =
            UserDrawing ? DrawLength : (freq > 0 ? static_cast<double>(GetValues()) / freq : 0.0);
        return unitTime(seconds, EHTime).ToText();
    }
    case 3:
        return unitFreq(GetSampleFreq(), EHHZ).ToText();
    case 4:
        return GetBytesPSample() == 2 ? "16" : "8";
    case 5:
        return GetMonoStereo() == 2 ? "ST" : "MO";
    case 6:
        return SizeText(int64_t{GetValues()} * GetMonoStereo() * GetBytesPSample());
    case 7:
        if (IsUntitled())
            return "New";
        return NeedsWaveSave() || NeedsShadowSave() ? "Changed" : "";
    default:
        return "";
    }
}

void TUnitWave::UpdateActions() const
{
    MainFormLink* link = FindService<MainFormLink>();
    if (!link)
        return;
    for (int panel = 2; panel <= 7; ++panel)
        link->SetStatusText(panel, StatusText(panel));
}

} // namespace kelvorn
