// The effect selection dialog: loading the three boxes, the save that OK and
// the test run share, the child dialogs and the store failures.
#include "dialogs/main_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "dialogs/set_dialog.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MainDialogTest : public dialog_test::DialogTest {
protected:
    void Tick(bool wave, bool melt, bool noise)
    {
        dialog.EffectBtn0.SetChecked(wave);
        dialog.EffectBtn1.SetChecked(melt);
        dialog.EffectBtn2.SetChecked(noise);
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

TEST_F(MainDialogTest, LoadingShowsTheKeysOrTheirDefaultsWithoutCorrecting)
{
    dialog.FormCreate();
    EXPECT_EQ(Shown(), "100");
    GivenFile("[Main]\nWave=0\nMelt=1\nNoise=-1\n");
    dialog.FormCreate();
    EXPECT_EQ(Shown(), "011");
    GivenFile("[Main]\nWave=abc\nMelt=abc\nNoise=\n");
    dialog.FormCreate();
    EXPECT_EQ(Shown(), "100");
    GivenFile("[Main]\nWave=0\nMelt=0\nNoise=0\n");
    dialog.FormCreate();
    EXPECT_EQ(Shown(), "000");
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(MainDialogTest, OkWithNoBoxTickedTicksWaveStoresAndCloses)
{
    GivenFile("[Main]\nWave=0\nMelt=0\nNoise=0\n");
    dialog.FormCreate();
    dialog.OKBtnClick();
    EXPECT_EQ(Shown(), "100");
    EXPECT_EQ(StoredEffects(), "100");
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));

    // With one box ticked nothing is forced.
    Tick(false, true, true);
    dialog.OKBtnClick();
    EXPECT_EQ(Shown(), "011");
    EXPECT_EQ(StoredEffects(), "011");
}

TEST_F(MainDialogTest, AFailedStoreStopsTheSaveAndKeepsTheWindowOpen)
{
    GivenFile("[Main]\nWave=0\nMelt=1\nNoise=0\n");
    dialog.FormCreate();
    Tick(true, false, true);
    store.FailWritesAfter(1);
    try {
        dialog.OKBtnClick();
        FAIL() << "the failed store must reach the message loop";
    } catch (const EConvertError&) {
        FAIL() << "a write failure is not a conversion error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Rendaxo.ini に書き込めません");
    }
    EXPECT_EQ(StoredEffects(), "110");  // Wave got through, Melt and Noise did not
    store.FailWritesAfter(2);
    EXPECT_THROW(dialog.OKBtnClick(), Error);
    EXPECT_EQ(StoredEffects(), "100");  // Melt follows Wave; Noise comes last
    EXPECT_THAT(host.calls, IsEmpty());

    store.AllowAllWrites();
    dialog.OKBtnClick();
    EXPECT_EQ(StoredEffects(), "101");
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));
}

TEST_F(MainDialogTest, EveryTestRunFirstSavesTheBoxes)
{
    dialog.FormCreate();
    std::vector<std::string> seenBySaver;
    host.onRunTestSaver = [&] { seenBySaver.push_back(StoredEffects()); };
    Tick(false, false, false);
    dialog.TestRunBtnClick();
    EXPECT_EQ(Shown(), "100");
    Tick(false, false, true);
    dialog.TestRunBtnClick();
    EXPECT_THAT(seenBySaver, ElementsAre("100", "001"));
    EXPECT_THAT(host.calls, ElementsAre("RunTestSaver", "RunTestSaver"));
}

TEST_F(MainDialogTest, AFailedStoreStartsNoTestRun)
{
    dialog.FormCreate();
    store.FailWritesAfter(2);
    EXPECT_THROW(dialog.TestRunBtnClick(), Error);
    EXPECT_THAT(host.calls, IsEmpty());
}

TEST_F(MainDialogTest, AChildsOkStaysStoredWhenTheMainWindowClosesWithoutOk)
{
    dialog.FormCreate();
    Tick(false, false, true);
    dialog_test::ScriptedHost childHost;
    host.onShowModal = [&](DialogKind kind) {
        ASSERT_EQ(kind, DialogKind::SetDialog);
        TSetDialog child(childHost);
        child.FormCreate();
        child.WavePitchBar.SetPosition(7);
        child.OKBtnClick();
    };
    dialog.SetDlgBtnClick();
    // The main window now closes by its close box, which runs no handler.
    EXPECT_THAT(childHost.calls, ElementsAre("Close OK"));
    EXPECT_EQ(Stored("Wave", "Pitch"), "7");
    EXPECT_EQ(StoredEffects(), "---");
}

TEST_F(MainDialogTest, ButtonClickRunsTheHandlerOfThatButton)
{
    dialog.FormCreate();
    dialog.ButtonClick(dialog_test::IdOf(dialog.Layout(), "SetDlgBtn"));
    dialog.ButtonClick(dialog.OtherSetBtn.Id());
    dialog.ButtonClick(dialog.EffectBtn1.Id());  // no click handler
    dialog.ButtonClick(dialog.TestRunBtn.Id());
    dialog.ButtonClick(dialog.OKBtn.Id());
    EXPECT_THAT(host.calls, ElementsAre("ShowModal SetDialog", "ShowModal OtherSetDlg",
                                        "RunTestSaver", "Close OK"));
}

} // namespace
} // namespace nimbrel
