// The four save decisions of a wave document, on real files: which of the .wav and the side
// file each one writes for each state of the change flags.

#include "support/Documents.h"

#include "platform/test/ScriptedMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace kelvorn::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;

enum class Method { SaveToFile, Save, SaveProjectCopy, SaveAs };
enum class State { Clean, ViewChanged, DataChanged };

struct SaveCase
{
    const char* name;
    Method method;
    bool titled;
    int32_t values;
    bool drawing;
    State state;
    bool wantWav, wantSide;
};

class SaveDecisions : public ::testing::TestWithParam<SaveCase>
{
};

TEST_P(SaveDecisions, WritesExactlyWhatIsNeeded)
{
    const SaveCase& c = GetParam();
    fs::path dir = fs::path(::testing::TempDir()) / (std::string("kv_save_") + c.name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string own = (dir / "own.wav").string();
    std::string target = c.method == Method::Save ? own : (dir / "target.wav").string();

    TUnitWave unit("W", c.titled ? own : "", RampMono(c.values, 8000));
    if (c.drawing) {
        unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
        unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
        unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{100}, 1.0));
    }
    if (c.state == State::ViewChanged)
        unit.SetViewModified();
    if (c.state == State::DataChanged)
        unit.SetModified();
    bool dataBefore = unit.IsDataModified(), stateBefore = unit.IsStateModified();

    bool ok = false;
    switch (c.method) {
    case Method::SaveToFile:
        ok = unit.SaveToFile(target);
        break;
    case Method::Save:
        ok = unit.Save();
        break;
    case Method::SaveProjectCopy:
        ok = unit.SaveProjectCopy(target);
        break;
    case Method::SaveAs:
        ok = unit.SaveAs(target);
        break;
    }
    EXPECT_TRUE(ok);
    fs::path wav = target;
    fs::path side = fs::path(target).replace_extension(".kvw");
    EXPECT_EQ(fs::exists(wav), c.wantWav);
    EXPECT_EQ(fs::exists(side), c.wantSide);
    if (c.wantWav) {
        EXPECT_EQ(fs::file_size(wav), 44u + 2u * static_cast<uint32_t>(c.values));
    }
    // Saving never clears the flags; the caller does.
    EXPECT_EQ(unit.IsDataModified(), dataBefore);
    EXPECT_EQ(unit.IsStateModified(), stateBefore);
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveDecisions,
    ::testing::Values(
        SaveCase{"ToFileClean", Method::SaveToFile, true, 100, false, State::Clean, false, false},
        SaveCase{"ToFileView", Method::SaveToFile, true, 100, false, State::ViewChanged, false,
                 true},
        SaveCase{"ToFileData", Method::SaveToFile, true, 100, false, State::DataChanged, true,
                 true},
        SaveCase{"ToFileUntitled", Method::SaveToFile, false, 100, false, State::Clean, true, true},
        SaveCase{"ToFileEmpty", Method::SaveToFile, false, 0, false, State::DataChanged, false,
                 false},
        SaveCase{"ToFileEmptyDrawing", Method::SaveToFile, false, 0, true, State::Clean, false,
                 true},
        SaveCase{"SaveOwnData", Method::Save, true, 50, false, State::DataChanged, true, true},
        SaveCase{"SaveOwnView", Method::Save, true, 50, false, State::ViewChanged, false, true},
        SaveCase{"ProjectClean", Method::SaveProjectCopy, true, 100, false, State::Clean, false,
                 true},
        SaveCase{"ProjectData", Method::SaveProjectCopy, true, 100, false, State::DataChanged, true,
                 true},
        SaveCase{"ProjectUntitled", Method::SaveProjectCopy, false, 100, false, State::Clean, true,
                 true},
        SaveCase{"ProjectEmpty", Method::SaveProjectCopy, false, 0, false, State::Clean, false,
                 true},
        SaveCase{"AsClean", Method::SaveAs, true, 100, false, State::Clean, true, true},
        SaveCase{"AsEmpty", Method::SaveAs, false, 0, false, State::Clean, false, true}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return info.param.name; });

TEST(SaveDecisions, AFailedWavStopsBeforeTheSideFile)
{
    ScriptedMessages messages;
    for (int i = 0; i < 3; ++i)
        messages.Expect();
    fs::path dir = fs::path(::testing::TempDir()) / "kv_save_missing_dir" / "not_there";
    fs::remove_all(dir.parent_path());
    std::string target = (dir / "a.wav").string();
    TUnitWave unit("W", "", RampMono(100));
    EXPECT_FALSE(unit.SaveToFile(target));
    EXPECT_FALSE(unit.SaveAs(target));
    EXPECT_FALSE(unit.SaveProjectCopy(target));
    EXPECT_FALSE(fs::exists(dir));
    EXPECT_THAT(messages.Unexpected(), IsEmpty());
    ASSERT_FALSE(messages.Shown().empty());
    EXPECT_EQ(messages.Shown()[0].caption, "FileError");
    for (const ShownMessage& m : messages.Shown())
        EXPECT_EQ(m.text.find("Shadow"), std::string::npos) << m.text;
}

} // namespace
} // namespace kelvorn::test
