#pragma once
// A wave document wired to a recording window and main window, for the operation tests: a short
// known sound (mono or stereo), a second document to serve as envelope, and the clipboard.

#include "sound/SineTable.h"
#include "sound/SoundOpsTestSupport.h"
#include "sound/WaveTestSupport.h"
#include "document/wave/DocumentFakes.h"
#include "document/wave/UnitWave.h"
#include "document/wave/WaveDocumentLinks.h"
#include "document/wave/WaveDocumentOps.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

/// The known sound of the operation tests: ten values at OpsRate, with OpsBytes.
inline const std::vector<int>& KnownLeft()
{
    static const std::vector<int> v{100, -200, 300, -400, 500, -600, 700, -800, 900, -1000};
    return v;
}
inline const std::vector<int>& KnownRight()
{
    static const std::vector<int> v{-50, 60, -70, 80, -90, 100, -110, 120, -130, 140};
    return v;
}

inline SoundPtr KnownSound(bool stereo)
{
    if (stereo)
        return std::make_shared<StereoSound>(MakeWave(KnownLeft()), MakeWave(KnownRight()), OpsRate,
                                             OpsBytes);
    return std::make_shared<MonoSound>(MakeWave(KnownLeft()), OpsRate, OpsBytes);
}

inline SoundPtr MonoSoundOf(const std::vector<int>& values, int32_t rate = OpsRate)
{
    return std::make_shared<MonoSound>(MakeWave(values), rate, OpsBytes);
}

/// A document with its window, under a recording main window; the envelope document is "Env".
class DocOpsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
        env = std::make_unique<TUnitWave>("Env", "", MonoSoundOf({-20000, -10000, 0, 5000, 12000}));
        main.clipboard = MonoSoundOf({11, 22, 33});
    }
    void TearDown() override { FreeSinus(); }

    std::unique_ptr<TUnitWave> MakeDoc(SoundPtr sound, int32_t pos1, int32_t pos2)
    {
        auto doc = std::make_unique<TUnitWave>("Doc", "", std::move(sound));
        doc->SetChildWave(&window);
        doc->SetPos1(pos1);
        doc->SetPos2(pos2);
        return doc;
    }

    /// A reference to the envelope document, as a dialog leaves it.
    unitUnitWave EnvRef() const
    {
        unitUnitWave ref;
        ref.Set("Env", env.get());
        return ref;
    }

    HookReset hooks;
    RecordingMainForm main;
    RecordingWaveWindow window;
    std::unique_ptr<TUnitWave> env;
};

} // namespace kelvorn::test
