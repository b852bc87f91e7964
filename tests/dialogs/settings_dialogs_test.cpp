// The three settings dialogs over a settings file in memory: what each shows
// after loading, what OK stores and in which order, where a failed write or a
// bad restore period stops it, and when the dialog closes.
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/main_dialog.h"
#include "dialogs/other_set_dlg.h"
#include "dialogs/set_dialog.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

using Calls = std::vector<std::string>;
using Keys = std::vector<std::pair<std::string_view, std::string_view>>;

// Records what the handlers ask of the platform, e.g. "Close OK".
class RecordingHost final : public DialogHost {
public:
    void ShowModal(DialogKind kind) override { calls.push_back("ShowModal " + std::string(LayoutOf(kind).formName)); }
    void Close(ModalResult result) override { calls.push_back(result == ModalResult::OK ? "Close OK" : "Close Cancel"); }
    void RunTestSaver() override { calls.push_back("RunTestSaver"); }

    Calls calls;
};

class SettingsDialogsTest : public ::testing::Test {
protected:
    SettingsDialogsTest() { SetCurrentProfileStore(&store); }
    ~SettingsDialogsTest() override { SetCurrentProfileStore(nullptr); }

    void GivenFile(std::string text) { store.SetFileText(kSettingsFileName, std::move(text)); }

    // The keys' texts in the file, joined by blanks, "-" for a missing one.
    std::string Stored(const Keys& keys)
    {
        std::string texts;
        for (const auto& [section, key] : keys) texts += " " + store.ReadString(kSettingsFileName, section, key, "-");
        return texts.substr(1);
    }

    // What the action throws, as "<class name>: <message>", or "nothing".
    static std::string ErrorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const Error& error) {
            return std::string(error.ClassName()) + ": " + error.what();
        }
        return "nothing";
    }

    MemoryProfileStore store;
    RecordingHost host;
};

const Keys kEffectKeys{{"Main", "Wave"}, {"Main", "Melt"}, {"Main", "Noise"}};
// In the order OK stores them.
const Keys kDetailKeys{{"Wave", "Pitch"}, {"Wave", "Speed"}, {"Melt", "Speed"},
                       {"Melt", "Recover"}, {"Melt", "RecoverTime"}, {"Noise", "Deal"}};
const std::string kWriteError = "Exception: Rendaxo.ini に書き込めません";

std::string Shown(const TMainDialog& d)
{
    return std::string(d.EffectBtn0.Checked() ? "1" : "0") + (d.EffectBtn1.Checked() ? " 1" : " 0") +
           (d.EffectBtn2.Checked() ? " 1" : " 0");
}

std::string Shown(const TSetDialog& d)
{
    std::string shown;
    for (const TrackBar* bar : {&d.WavePitchBar, &d.WaveSpeedBar, &d.MeltSpeedBar}) {
        shown += std::to_string(bar->Position()) + " ";
    }
    EXPECT_NE(d.MeltReRBtn0.Checked(), d.MeltReRBtn1.Checked()) << "exactly one of the radio pair is selected";
    return shown + (d.MeltReRBtn0.Checked() ? "1 " : "0 ") + d.MeltReEdit.Text() + " " +
           std::to_string(d.NoiseDealBar.Position());
}

TEST_F(SettingsDialogsTest, MainDialogShowsTheEffectKeysAndOkTicksWaveWhenNoBoxIsTicked)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {  // file, shown, after OK
        {"", "1 0 0", "1 0 0"},
        {"[Main]\nWave=0\nMelt=1\nNoise=-1\n", "0 1 1", "0 1 1"},
        {"[Main]\nWave=abc\nMelt=abc\nNoise=\n", "1 0 0", "1 0 0"},
        {"[Main]\nWave=0\nMelt=0\nNoise=0\n", "0 0 0", "1 0 0"},
        {"[Main]\nWave=0\nMelt=0\nNoise=1\n", "0 0 1", "0 0 1"},
    };
    for (const auto& [file, shown, saved] : cases) {
        GivenFile(file);
        TMainDialog dialog(host);
        dialog.FormCreate();
        EXPECT_EQ(Shown(dialog), shown) << file;
        dialog.OKBtnClick();
        EXPECT_EQ(Shown(dialog), saved) << file;
        EXPECT_EQ(Stored(kEffectKeys), saved) << file;
    }
    EXPECT_EQ(host.calls, Calls(5, "Close OK"));
}

TEST_F(SettingsDialogsTest, SetDialogShowsEachKeyPulledIntoRangeAndOkStoresWhatItShows)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "4 3 3 1 180 3"},
        {"[Wave]\nPitch=2\nSpeed=5\n[Melt]\nSpeed=1\nRecover=0\nRecoverTime=60\n[Noise]\nDeal=6\n", "2 5 1 0 60 6"},
        {"[Wave]\nPitch=abc\n[Melt]\nRecover=yes\nRecoverTime=soon\n", "4 3 3 1 180 3"},
        {"[Wave]\nPitch=0\nSpeed=7\n[Melt]\nSpeed=-2147483647\n[Noise]\nDeal=2147483647\n", "1 6 0 1 180 6"},
        {"[Wave]\nPitch=12\n[Melt]\nRecover=0\nRecoverTime=1000\n", "7 3 3 0 1000 3"},
    };
    for (const auto& [file, shown] : cases) {
        GivenFile(file);
        const int writes = store.WriteCount();
        TSetDialog dialog(host);  // a dialog loads once, when it is created
        dialog.FormCreate();
        EXPECT_EQ(Shown(dialog), shown) << file;
        EXPECT_EQ(store.WriteCount(), writes) << "loading wrote: " << file;
        dialog.OKBtnClick();
        EXPECT_EQ(Stored(kDetailKeys), shown) << file;
    }
}

TEST_F(SettingsDialogsTest, SetDialogOkStoresInOrderAndStopsAtAFailedWriteOrAPeriodThatIsNoStrictInteger)
{
    TSetDialog dialog(host);
    const auto editAll = [&](std::string_view typed) {
        GivenFile("[Wave]\nPitch=2\nSpeed=5\n[Melt]\nSpeed=1\nRecover=0\nRecoverTime=60\n[Noise]\nDeal=6\n");
        dialog.FormCreate();
        dialog.WavePitchBar.SetPosition(7);
        dialog.WaveSpeedBar.SetPosition(0);
        dialog.MeltSpeedBar.SetPosition(4);
        dialog.MeltReRBtn0.Select();
        dialog.MeltReEdit.SetText(typed);
        dialog.NoiseDealBar.SetPosition(2);
    };
    // With n writes allowed exactly the first n keys change.
    const char* stored[] = {"2 5 1 0 60 6",  "7 5 1 0 60 6",  "7 0 1 0 60 6",
                            "7 0 4 0 60 6",  "7 0 4 1 60 6",  "7 0 4 1 255 6"};
    for (int allowed = 0; allowed < 6; ++allowed) {
        editAll("$FF");
        store.FailWritesAfter(allowed);
        EXPECT_EQ(ErrorOf([&] { dialog.OKBtnClick(); }), kWriteError);
        EXPECT_EQ(Stored(kDetailKeys), stored[allowed]) << allowed << " writes allowed";
        store.AllowAllWrites();
    }
    // A refused period stops OK after four keys and changes no control.
    for (std::string typed : {"12 ", "", "1.0"}) {
        editAll(typed);
        EXPECT_EQ(ErrorOf([&] { dialog.OKBtnClick(); }), "EConvertError: '" + typed + "' は整数ではありません");
        EXPECT_EQ(Stored(kDetailKeys), "7 0 4 1 60 6");
        EXPECT_EQ(Shown(dialog), "7 0 4 1 " + typed + " 2");
    }
    EXPECT_TRUE(host.calls.empty()) << "a refused OK closes nothing";
    editAll(" -5");
    dialog.OKBtnClick();
    EXPECT_EQ(Stored(kDetailKeys), "7 0 4 1 -5 2");
    EXPECT_EQ(host.calls, Calls{"Close OK"});
}

TEST_F(SettingsDialogsTest, OtherDialogShowsTheKeyPulledIntoZeroToEightOkStoresItAndCancelStoresNothing)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "4"}, {"CloseMouseMove=6", "6"}, {"CloseMouseMove=0x7", "7"}, {"CloseMouseMove=-1", "0"},
        {"CloseMouseMove=abc", "4"}, {"CloseMouseMove=20", "8"},
    };
    TOtherSetDlg dialog(host);
    for (const auto& [key, shown] : cases) {
        GivenFile(std::string("[Main]\n") + key + "\n");
        dialog.FormCreate();
        EXPECT_EQ(std::to_string(dialog.MouseMoveBar.Position()), shown) << key;
        dialog.ButtonClick(dialog.OKBtn.Id());
        EXPECT_EQ(Stored({{"Main", "CloseMouseMove"}}), shown) << key;
    }
    dialog.MouseMoveBar.SetPosition(2);
    store.FailWritesAfter(0);
    EXPECT_EQ(ErrorOf([&] { dialog.OKBtnClick(); }), kWriteError);
    dialog.ButtonClick(dialog.CanselBtn.Id());
    EXPECT_EQ(Stored({{"Main", "CloseMouseMove"}}), "8");
    EXPECT_EQ(host.calls.size(), 7u) << "a failed store closes nothing";
    EXPECT_EQ(host.calls.back(), "Close Cancel");
}

} // namespace
} // namespace nimbrel
