// The four save decisions of a wave document, on real files: which of the .wav and the side
// file each one writes for each state of the change flags.

#include "support/Documents.h"

#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

namespace fs = std::filesystem;

TEST(SaveDecisions, WriteExactlyWhatIsNeededAndAFailedWavStopsBeforeTheSideFile)
{
    enum Method { ToFile, Save, ProjectCopy, As };
    enum State { Clean, View, Data };
    struct Case
    {
        Method method;
        bool titled;
        int32_t values;
        bool drawing;
        State state;
        bool wantWav, wantSide;
    };
    // clang-format off
    const Case cases[] = {
        {ToFile, true, 100, false, Clean, false, false}, {ToFile, true, 100, false, View, false,
             true},
        {ToFile, true, 100, false, Data, true, true}, {ToFile, false, 100, false, Clean, true,
             true},
        {ToFile, false, 0, false, Data, false, false}, {ToFile, false, 0, true, Clean, false, true},
        {Save, true, 50, false, Data, true, true}, {Save, true, 50, false, View, false, true},
        {ProjectCopy, true, 100, false, Clean, false, true}, {ProjectCopy, true, 100, false, Data,
             true, true},
        {ProjectCopy, false, 100, false, Clean, true, true}, {ProjectCopy, false, 0, false, Clean,
             false, true},
        {As, true, 100, false, Clean, true, true}, {As, false, 0, false, Clean, false, true}};
    // clang-format on
    for (const Case& c : cases) {
        const std::string at = std::to_string(c.method) + (c.titled ? " titled " : " ") +
                               std::to_string(c.values) + (c.drawing ? " drawn " : " ") +
                               std::to_string(c.state);
        TempDir dir("save");
        const std::string own = dir / "own.wav";
        const std::string target = c.method == Save ? own : dir / "target.wav";
        TUnitWave unit("W", c.titled ? own : "", RampMono(c.values, 8000));
        if (c.drawing) {
            unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
            unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
            unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{100}, 1.0));
        }
        if (c.state == View)
            unit.SetViewModified();
        if (c.state == Data)
            unit.SetModified();
        const bool dataBefore = unit.IsDataModified(), stateBefore = unit.IsStateModified();
        const bool ok = c.method == ToFile ? unit.SaveToFile(target)
                        : c.method == Save ? unit.Save()
                        : c.method == As   ? unit.SaveAs(target)
                                           : unit.SaveProjectCopy(target);
        EXPECT_TRUE(ok) << at;
        EXPECT_EQ(fs::exists(target), c.wantWav) << at;
        EXPECT_EQ(fs::exists(fs::path(target).replace_extension(".kvw")), c.wantSide) << at;
        if (c.wantWav) {
            EXPECT_EQ(fs::file_size(target), 44u + 2u * uint32_t(c.values)) << at;
        }
        // Saving never clears the flags; the caller does.
        EXPECT_EQ(unit.IsDataModified(), dataBefore) << at;
        EXPECT_EQ(unit.IsStateModified(), stateBefore) << at;
    }

    // A failed .wav stops before the side file.
    ScriptedMessages messages;
    for (int i = 0; i < 3; ++i)
        messages.Expect();
    TempDir dir("save-failed");
    const std::string target = dir / "not_there/a.wav";
    TUnitWave unit("W", "", RampMono(100));
    EXPECT_FALSE(unit.SaveToFile(target));
    EXPECT_FALSE(unit.SaveAs(target));
    EXPECT_FALSE(unit.SaveProjectCopy(target));
    EXPECT_EQ(dir.Count(), 0u);
    EXPECT_TRUE(messages.Unexpected().empty());
    ASSERT_FALSE(messages.Shown().empty());
    EXPECT_EQ(messages.Shown()[0].caption, "FileError");
    for (const ShownMessage& m : messages.Shown())
        EXPECT_EQ(m.text.find("Shadow"), std::string::npos) << m.text;
}

} // namespace
} // namespace kelvorn::test
