// The effect detail dialog: loading six keys with their range pulls, the
// radio pair, the seconds box, and the write order of OK with the places
// where a failure stops it.
#include "dialogs/set_dialog.h"

#include <algorithm>
#include <array>
#include <string>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using Keys = std::array<std::string, 6>;

// Six keys that differ from every default and from what EditAll sets.
constexpr const char* kOldFile =
    "[Wave]\nPitch=2\nSpeed=5\n[Melt]\nSpeed=1\nRecover=0\nRecoverTime=60\n[Noise]\nDeal=6\n";

class SetDialogTest : public dialog_test::DialogTest {
protected:
    void EditAll(std::string_view seconds)
    {
        GivenFile(kOldFile);
        dialog.FormCreate();
        dialog.WavePitchBar.SetPosition(7);
        dialog.WaveSpeedBar.SetPosition(0);
        dialog.MeltSpeedBar.SetPosition(4);
        dialog.MeltReRBtn0.Select();
        dialog.MeltReEdit.SetText(seconds);
        dialog.NoiseDealBar.SetPosition(2);
    }
    // The controls in the order OK stores them.
    static Keys Shown(const TSetDialog& d)
    {
        return {std::to_string(d.WavePitchBar.Position()), std::to_string(d.WaveSpeedBar.Position()),
                std::to_string(d.MeltSpeedBar.Position()), d.MeltReRBtn0.Checked() ? "1" : "0",
                d.MeltReEdit.Text(), std::to_string(d.NoiseDealBar.Position())};
    }
    Keys Shown() { return Shown(dialog); }
    Keys StoredKeys()
    {
        return {Stored("Wave", "Pitch"), Stored("Wave", "Speed"), Stored("Melt", "Speed"),
                Stored("Melt", "Recover"), Stored("Melt", "RecoverTime"), Stored("Noise", "Deal")};
    }

    TSetDialog dialog{host};
};

TEST_F(SetDialogTest, EachControlShowsItsKeyPulledIntoRangeAndOkStoresWhatItShows)
{
    const std::pair<const char*, Keys> cases[] = {
        {"", {"4", "3", "3", "1", "180", "3"}},
        {kOldFile, {"2", "5", "1", "0", "60", "6"}},
        {"[Wave]\nPitch=abc\n[Melt]\nRecover=yes\nRecoverTime=soon\n", {"4", "3", "3", "1", "180", "3"}},
        {"[Wave]\nPitch=0\nSpeed=7\n[Melt]\nSpeed=-2147483647\n[Noise]\nDeal=2147483647\n",
         {"1", "6", "0", "1", "180", "6"}},
        {"[Wave]\nPitch=12\n[Melt]\nRecover=0\nRecoverTime=1000\n", {"7", "3", "3", "0", "1000", "3"}},
    };
    for (const auto& [file, shown] : cases) {
        GivenFile(file);
        int writes = store.WriteCount();
        TSetDialog loaded(host);  // a dialog loads once, when it is created
        loaded.FormCreate();
        EXPECT_EQ(Shown(loaded), shown) << file;
        EXPECT_EQ(loaded.MeltReRBtn1.Checked(), shown[3] == "0") << file;
        EXPECT_EQ(store.WriteCount(), writes) << "loading wrote: " << file;
        loaded.OKBtnClick();
        EXPECT_EQ(StoredKeys(), shown) << file;
    }
}

TEST_F(SetDialogTest, SecondsTextIsReadByTheStrictIntegerRuleAndBadTextStopsOkAfterFourKeys)
{
    // Typed text, whether the restore is selected, and the seconds stored
    // (nullptr: the text is refused).
    const std::tuple<std::string, bool, const char*> cases[] = {
        {" 12", true, "12"}, {"$FF", false, "255"}, {"-5", true, "-5"},
        {"12 ", true, nullptr}, {"", true, nullptr}, {"abc", false, nullptr},
    };
    for (const auto& [typed, restore, seconds] : cases) {
        EditAll(typed);
        if (!restore) dialog.MeltReRBtn1.Select();
        EXPECT_EQ(dialog_test::ErrorOf([&] { dialog.OKBtnClick(); }),
                  seconds ? "nothing" : "EConvertError: '" + typed + "' は整数ではありません");
        const char* recover = restore ? "1" : "0";
        EXPECT_THAT(StoredKeys(), ElementsAre("7", "0", "4", recover, seconds ? seconds : "60", seconds ? "2" : "6"))
            << "typed '" << typed << "'";
        // A refused OK leaves every control as it was.
        EXPECT_THAT(Shown(), ElementsAre("7", "0", "4", recover, typed, "2")) << "typed '" << typed << "'";
    }
    EXPECT_THAT(host.calls, ElementsAre("Close OK", "Close OK", "Close OK"));
}

TEST_F(SetDialogTest, OkStoresTheSixKeysInOrderAndAFailedStoreStopsAtThatKey)
{
    // With n writes allowed, exactly the first n keys change and the dialog
    // stays open; with all six it closes.
    const Keys before{"2", "5", "1", "0", "60", "6"};
    const Keys after{"7", "0", "4", "1", "90", "2"};
    for (int allowed = 0; allowed <= 6; ++allowed) {
        EditAll("90");
        store.FailWritesAfter(allowed);
        EXPECT_EQ(dialog_test::ErrorOf([&] { dialog.OKBtnClick(); }),
                  allowed < 6 ? "Exception: Rendaxo.ini に書き込めません" : "nothing")
            << allowed << " writes allowed";
        Keys expected = before;
        std::copy_n(after.begin(), allowed, expected.begin());
        EXPECT_EQ(StoredKeys(), expected) << allowed << " writes allowed";
        store.AllowAllWrites();
    }
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));
}

} // namespace
} // namespace nimbrel
