// The three settings dialogs over a settings file in memory: what each shows
// after loading, what OK stores and in which order, where a failed write or a
// restore period that is no strict integer stops it, and how each closes.
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/dialog.h"
#include "dialogs/set_dialog.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

using enum DialogKind;

// Six detail keys that differ from every default.
constexpr const char* kDetailFile =
    "[Wave]\nPitch=2\nSpeed=5\n[Melt]\nSpeed=1\nRecover=0\nRecoverTime=60\n[Noise]\nDeal=6\n";

// The state of every control that holds one, in the order of the layout.
std::string Shown(const Dialog& dialog)
{
    std::string shown;
    const ControlModel& model = dialog.Controls();
    for (const ControlLayout& control : dialog.Layout().controls) {
        using enum ControlKind;
        if (control.kind == CheckBox || control.kind == RadioButton) shown += model.Checked(control.id) ? " 1" : " 0";
        if (control.kind == TrackBar) shown.append(" ").append(std::to_string(model.Position(control.id)));
        if (control.kind == EditBox) shown.append(" ").append(model.Text(control.id));
    }
    return shown.substr(1);
}

// The fixture is the dialogs' host too, and records what they ask of it,
// e.g. "Close OK".
class SettingsDialogsTest : public ::testing::Test, public DialogHost {
protected:
    SettingsDialogsTest() { SetCurrentProfileStore(&store); }
    ~SettingsDialogsTest() override { SetCurrentProfileStore(nullptr); }

    // The texts of the keys the dialog stores, in the order OK stores them,
    // "-" for a missing one.
    std::string Stored(DialogKind kind)
    {
        static const std::map<DialogKind, std::vector<std::pair<const char*, const char*>>> keys = {
            {MainDialog, {{"Main", "Wave"}, {"Main", "Melt"}, {"Main", "Noise"}}},
            {SetDialog, {{"Wave", "Pitch"}, {"Wave", "Speed"}, {"Melt", "Speed"}, {"Melt", "Recover"},
                         {"Melt", "RecoverTime"}, {"Noise", "Deal"}}},
            {OtherSetDlg, {{"Main", "CloseMouseMove"}}},
        };
        std::string text;
        for (const auto& [section, key] : keys.at(kind)) {
            text.append(" ").append(store.ReadString(kSettingsFileName, section, key, "-"));
        }
        return text.substr(1);
    }

    void ShowModal(DialogKind kind) override { calls.push_back("ShowModal " + std::string(LayoutOf(kind).formName)); }
    void Close(ModalResult as) override { calls.push_back(as == ModalResult::OK ? "Close OK" : "Close Cancel"); }
    void RunTestSaver() override { calls.push_back("RunTestSaver"); }

    MemoryProfileStore store;
    std::vector<std::string> calls;
};

TEST_F(SettingsDialogsTest, EachDialogShowsItsKeysPulledIntoRangeAndOkStoresWhatItShows)
{
    // Dialog, file, controls after loading (the detail dialog shows both
    // buttons of the radio pair around the seconds box), keys after OK.
    const std::tuple<DialogKind, const char*, const char*, const char*> cases[] = {
        {MainDialog, "", "1 0 0", "1 0 0"},
        {MainDialog, "[Main]\nWave=0\nMelt=1\nNoise=-1\n", "0 1 1", "0 1 1"},
        {MainDialog, "[Main]\nWave=abc\nMelt=abc\nNoise=\n", "1 0 0", "1 0 0"},
        // With no box ticked OK ticks Wave.
        {MainDialog, "[Main]\nWave=0\nMelt=0\nNoise=0\n", "0 0 0", "1 0 0"},
        {SetDialog, "", "4 3 3 1 180 0 3", "4 3 3 1 180 3"},
        {SetDialog, kDetailFile, "2 5 1 0 60 1 6", "2 5 1 0 60 6"},
        {SetDialog, "[Wave]\nPitch=abc\n[Melt]\nRecover=yes\nRecoverTime=soon\n", "4 3 3 1 180 0 3", "4 3 3 1 180 3"},
        {SetDialog, "[Wave]\nPitch=0\nSpeed=7\n[Melt]\nSpeed=-2147483647\n[Noise]\nDeal=2147483647\n",
         "1 6 0 1 180 0 6", "1 6 0 1 180 6"},
        {SetDialog, "[Wave]\nPitch=12\n[Melt]\nRecover=0\nRecoverTime=1000\n", "7 3 3 0 1000 1 3", "7 3 3 0 1000 3"},
        {OtherSetDlg, "", "4", "4"}, {OtherSetDlg, "[Main]\nCloseMouseMove=6\n", "6", "6"},
        {OtherSetDlg, "[Main]\nCloseMouseMove=0x7\n", "7", "7"}, {OtherSetDlg, "[Main]\nCloseMouseMove=-1\n", "0", "0"},
        {OtherSetDlg, "[Main]\nCloseMouseMove=abc\n", "4", "4"}, {OtherSetDlg, "[Main]\nCloseMouseMove=20\n", "8", "8"},
    };
    for (const auto& [kind, file, shown, stored] : cases) {
        calls.clear();
        store.SetFileText(kSettingsFileName, file);
        const int writes = store.WriteCount();
        const std::unique_ptr<Dialog> dialog = MakeDialog(kind, *this);
        dialog->FormCreate();
        EXPECT_EQ(Shown(*dialog), shown) << file;
        EXPECT_EQ(store.WriteCount(), writes) << "loading wrote: " << file;
        dialog->ButtonClick(*ButtonWithRole(dialog->Layout(), ButtonRole::Default));
        EXPECT_EQ(Stored(kind), stored) << file;
        EXPECT_EQ(calls, std::vector<std::string>{"Close OK"}) << file;
    }
    MakeDialog(OtherSetDlg, *this)->ButtonClick(*ButtonWithRole(OtherSetDlgLayout(), ButtonRole::Cancel));
    EXPECT_EQ(calls.back(), "Close Cancel");
}

TEST_F(SettingsDialogsTest, DetailOkStoresInOrderAndStopsAtAFailedWriteOrAPeriodThatIsNoStrictInteger)
{
    TSetDialog dialog(*this);
    const auto editAll = [&](std::string_view typed) {
        store.SetFileText(kSettingsFileName, kDetailFile);
        dialog.FormCreate();
        dialog.WavePitchBar.SetPosition(7);
        dialog.WaveSpeedBar.SetPosition(0);
        dialog.MeltSpeedBar.SetPosition(4);
        dialog.MeltReRBtn0.Select();
        dialog.MeltReEdit.SetText(typed);
        dialog.NoiseDealBar.SetPosition(2);
    };
    // With n writes allowed exactly the first n keys change.
    const char* stored[] = {"2 5 1 0 60 6", "7 5 1 0 60 6", "7 0 1 0 60 6",
                            "7 0 4 0 60 6", "7 0 4 1 60 6", "7 0 4 1 255 6"};
    for (int allowed = 0; allowed < 6; ++allowed) {
        editAll("$FF");
        store.FailWritesAfter(allowed);
        EXPECT_THROW(dialog.OKBtnClick(), Error);
        EXPECT_EQ(Stored(SetDialog), stored[allowed]) << allowed << " writes allowed";
        store.AllowAllWrites();
    }
    // A refused period stops OK after four keys and changes no control.
    for (std::string typed : {"12 ", "", "1.0"}) {
        editAll(typed);
        EXPECT_THROW(dialog.OKBtnClick(), EConvertError) << typed;
        EXPECT_EQ(Stored(SetDialog), "7 0 4 1 60 6");
        EXPECT_EQ(Shown(dialog), "7 0 4 1 " + typed + " 0 2");
    }
    editAll(" -5");
    dialog.OKBtnClick();
    EXPECT_EQ(Stored(SetDialog), "7 0 4 1 -5 2");
    EXPECT_EQ(calls, std::vector<std::string>{"Close OK"}) << "only the accepted OK closes";
}

} // namespace
} // namespace nimbrel
