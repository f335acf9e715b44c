#pragma once
// The wave document's own copy of the parameter record of every wave operation (two each for
// block and triangle, high and low, resonant and notch). Each operation first takes the record
// it is given into its place here, so the next dialog of that command on this document starts
// from the last values used. The main window keeps one more set, the last used, and hands it to
// each new document.

#include "document/records/WaveRecords.h"

namespace kelvorn {

struct TUnitWaveRecords
{
    TLineProps lineProps;
    TSilenceProps silenceProps;
    TNoiseProps noiseProps;
    TBlockTriangleProps blockProps;
    TBlockTriangleProps triangleProps;
    TSinusProps sinusProps;
    TMFreqProps mFreqProps;
    TVolumeProps volumeProps;
    TBalanceProps balanceProps;
    TRotateProps rotateProps;
    TBlockProps blockOpProps;
    TRollInProps rollInProps;
    TRollOutProps rollOutProps;
    TLengthProps lengthProps;
    TTempoPitchProps tempoPitchProps;
    TUpProps upProps;
    TShiftProps shiftProps;
    TDistortProps distortProps;
    TLeftRightProps leftRightProps;
    TPerEchoProps perEchoProps;
    TRandomEchoProps randomEchoProps;
    TMixProps mixProps;
    THighLowProps highProps;
    THighLowProps lowProps;
    TResNotchProps resProps;
    TResNotchProps notchProps;
    TBlockFilterProps blockFilterProps;
};

} // namespace kelvorn
