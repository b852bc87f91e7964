// The effect selection dialog: loading the three boxes, the save that OK and
// the test run share, and the store failures. That a test run saves first is
// shown end to end.
#include "dialogs/main_dialog.h"

#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

using ::testing::IsEmpty;

class MainDialogTest : public dialog_test::DialogTest {
protected:
    void Tick(std::string_view bits)  // "1"/"0" each, Wave first
    {
        dialog.EffectBtn0.SetChecked(bits[0] == '1');
        dialog.EffectBtn1.SetChecked(bits[1] == '1');
        dialog.EffectBtn2.SetChecked(bits[2] == '1');
    }
    // The boxes as "1"/"0" each, Wave first.
    std::string Shown()
    {
        auto bit = [](const CheckBox& box) { return box.Checked() ? "1" : "0"; };
        return std::string(bit(dialog.EffectBtn0)) + bit(dialog.EffectBtn1) + bit(dialog.EffectBtn2);
    }
    std::string StoredEffects() { return Stored("Main", "Wave") + Stored("Main", "Melt") + Stored("Main", "Noise"); }

    TMainDialog dialog{host};
};

TEST_F(MainDialogTest, LoadingShowsTheKeysOrTheirDefaultsAndOkTicksWaveOnlyWhenNoBoxIsTicked)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {  // file, shown, after OK
        {"", "100", "100"},
        {"[Main]\nWave=0\nMelt=1\nNoise=-1\n", "011", "011"},
        {"[Main]\nWave=abc\nMelt=abc\nNoise=\n", "100", "100"},
        {"[Main]\nWave=0\nMelt=0\nNoise=0\n", "000", "100"},
        {"[Main]\nWave=0\nMelt=0\nNoise=1\n", "001", "001"},
    };
    for (const auto& [file, shown, saved] : cases) {
        GivenFile(file);
        const int writes = store.WriteCount();
        dialog.FormCreate();
        EXPECT_EQ(Shown(), shown) << file;
        EXPECT_EQ(store.WriteCount(), writes) << "loading wrote: " << file;
        dialog.OKBtnClick();
        EXPECT_EQ(Shown(), saved) << file;
        EXPECT_EQ(StoredEffects(), saved) << file;
    }
    EXPECT_EQ(host.calls, std::vector<std::string>(5, "Close OK"));
}

TEST_F(MainDialogTest, AFailedStoreStopsTheSaveAtThatKeyAndNeitherClosesNorRunsTheSaver)
{
    GivenFile("[Main]\nWave=0\nMelt=1\nNoise=0\n");
    dialog.FormCreate();
    Tick("101");
    store.FailWritesAfter(1);
    EXPECT_EQ(dialog_test::ErrorOf([&] { dialog.OKBtnClick(); }), "Exception: Rendaxo.ini に書き込めません");
    EXPECT_EQ(StoredEffects(), "110");  // Wave got through, Melt and Noise did not
    store.FailWritesAfter(2);
    EXPECT_EQ(dialog_test::ErrorOf([&] { dialog.TestRunBtnClick(); }), "Exception: Rendaxo.ini に書き込めません");
    EXPECT_EQ(StoredEffects(), "100");  // Melt follows Wave; Noise comes last
    EXPECT_THAT(host.calls, IsEmpty());
}

} // namespace
} // namespace nimbrel
