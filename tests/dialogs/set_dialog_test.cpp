// The effect detail dialog: loading six keys with their range pulls, the
// radio pair, the seconds box, and the write order of OK with the places
// where a failure stops it.
#include "dialogs/set_dialog.h"

#include <array>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Six keys that differ from every default and from what EditAll sets.
constexpr const char* kOldFile =
    "[Wave]\nPitch=2\nSpeed=5\n[Melt]\nSpeed=1\nRecover=0\nRecoverTime=60\n[Noise]\nDeal=6\n";

class SetDialogTest : public dialog_test::DialogTest {
protected:
    void EditAll(std::string_view seconds)
    {
        dialog.WavePitchBar.SetPosition(7);
        dialog.WaveSpeedBar.SetPosition(0);
        dialog.MeltSpeedBar.SetPosition(4);
        dialog.MeltReRBtn0.Select();
        dialog.MeltReEdit.SetText(seconds);
        dialog.NoiseDealBar.SetPosition(2);
    }
    // The controls in the order OK stores them.
    std::array<std::string, 6> Shown()
    {
        return {std::to_string(dialog.WavePitchBar.Position()), std::to_string(dialog.WaveSpeedBar.Position()),
                std::to_string(dialog.MeltSpeedBar.Position()), dialog.MeltReRBtn0.Checked() ? "1" : "0",
                dialog.MeltReEdit.Text(), std::to_string(dialog.NoiseDealBar.Position())};
    }
    std::array<std::string, 6> StoredKeys()
    {
        return {Stored("Wave", "Pitch"), Stored("Wave", "Speed"), Stored("Melt", "Speed"),
                Stored("Melt", "Recover"), Stored("Melt", "RecoverTime"), Stored("Noise", "Deal")};
    }

    TSetDialog dialog{host};
};

TEST_F(SetDialogTest, ControlsStartAsLaidOutAndLoadTheDefaultsWithoutAFile)
{
    EXPECT_THAT(Shown(), ElementsAre("4", "3", "3", "0", "", "3"));
    EXPECT_TRUE(dialog.MeltReRBtn1.Checked());
    dialog.FormCreate();
    EXPECT_THAT(Shown(), ElementsAre("4", "3", "3", "1", "180", "3"));
    EXPECT_FALSE(dialog.MeltReRBtn1.Checked());
    EXPECT_EQ(store.WriteCount(), 0);
}

TEST_F(SetDialogTest, EachControlShowsItsKeyOrItsDefaultWhenUnreadable)
{
    GivenFile(kOldFile);
    dialog.FormCreate();
    EXPECT_THAT(Shown(), ElementsAre("2", "5", "1", "0", "60", "6"));
    EXPECT_TRUE(dialog.MeltReRBtn1.Checked());
    GivenFile("[Wave]\nPitch=abc\n[Melt]\nRecover=yes\nRecoverTime=soon\n");
    TSetDialog fresh(host);
    fresh.FormCreate();
    EXPECT_EQ(fresh.WavePitchBar.Position(), 4);
    EXPECT_TRUE(fresh.MeltReRBtn0.Checked());
    EXPECT_EQ(fresh.MeltReEdit.Text(), "180");
}

TEST_F(SetDialogTest, OutOfRangeValuesArePulledInAndOkStoresThePulledValues)
{
    GivenFile("[Wave]\nPitch=0\nSpeed=7\n[Melt]\nSpeed=-2147483647\n[Noise]\nDeal=-3\n");
    dialog.FormCreate();
    EXPECT_THAT(Shown(), ElementsAre("1", "6", "0", "1", "180", "0"));
    GivenFile("[Wave]\nPitch=12\n");
    dialog.FormCreate();
    EXPECT_EQ(dialog.WavePitchBar.Position(), 7);
    dialog.OKBtnClick();
    EXPECT_EQ(Stored("Wave", "Pitch"), "7");
}

TEST_F(SetDialogTest, APeriodLongerThanTheTypingLimitIsShownAndStoredWhole)
{
    GivenFile("[Melt]\nRecover=0\nRecoverTime=1000\n");
    dialog.FormCreate();
    EXPECT_EQ(dialog.MeltReEdit.Text(), "1000");
    dialog.OKBtnClick();
    EXPECT_EQ(Stored("Melt", "RecoverTime"), "1000");
    EXPECT_EQ(Stored("Melt", "Recover"), "0");
}

TEST_F(SetDialogTest, OkStoresAllSixKeysAndCloses)
{
    GivenFile(kOldFile);
    dialog.FormCreate();
    EditAll("90");
    dialog.OKBtnClick();
    EXPECT_THAT(StoredKeys(), ElementsAre("7", "0", "4", "1", "90", "2"));
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));
}

TEST_F(SetDialogTest, SecondsTextIsReadByTheStrictIntegerRule)
{
    dialog.FormCreate();
    const std::pair<const char*, const char*> accepted[] = {
        {" 12", "12"}, {"-5", "-5"}, {"$FF", "255"}, {"0", "0"}, {"007", "7"},
    };
    for (const auto& [typed, stored] : accepted) {
        dialog.MeltReEdit.SetText(typed);
        dialog.OKBtnClick();
        EXPECT_EQ(Stored("Melt", "RecoverTime"), stored) << "typed '" << typed << "'";
    }
    host.calls.clear();
    for (const char* typed : {"12 ", "1.5", "$", "-"}) {
        dialog.MeltReEdit.SetText(typed);
        EXPECT_THROW(dialog.OKBtnClick(), EConvertError) << "typed '" << typed << "'";
    }
    EXPECT_THAT(host.calls, IsEmpty());
}

TEST_F(SetDialogTest, BadSecondsTextStopsOkAfterTheFirstFourKeys)
{
    GivenFile(kOldFile);
    dialog.FormCreate();
    EditAll("");
    try {
        dialog.OKBtnClick();
        FAIL() << "an empty seconds box must not convert";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'' は整数ではありません");
    }
    EXPECT_THAT(StoredKeys(), ElementsAre("7", "0", "4", "1", "60", "6"));
    EXPECT_THAT(Shown(), ElementsAre("7", "0", "4", "1", "", "2"));
    EXPECT_THAT(host.calls, IsEmpty());

    dialog.MeltReEdit.SetText("30");
    dialog.OKBtnClick();
    EXPECT_THAT(StoredKeys(), ElementsAre("7", "0", "4", "1", "30", "2"));
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));
}

TEST_F(SetDialogTest, SecondsTextIsConvertedEvenWithoutRestore)
{
    GivenFile(kOldFile);
    dialog.FormCreate();
    EditAll("abc");
    dialog.MeltReRBtn1.Select();
    try {
        dialog.OKBtnClick();
        FAIL() << "letters must not convert";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'abc' は整数ではありません");
    }
    EXPECT_THAT(StoredKeys(), ElementsAre("7", "0", "4", "0", "60", "6"));
    EXPECT_THAT(host.calls, IsEmpty());
}

TEST_F(SetDialogTest, AFailedStoreStopsOkAtThatKey)
{
    // With n writes allowed, exactly the first n keys in the order of OK
    // change, and the dialog stays open.
    const std::array<std::string, 6> before{"2", "5", "1", "0", "60", "6"};
    const std::array<std::string, 6> after{"7", "0", "4", "1", "90", "2"};
    for (int allowed = 0; allowed < 6; ++allowed) {
        GivenFile(kOldFile);
        dialog.FormCreate();
        EditAll("90");
        store.FailWritesAfter(allowed);
        try {
            dialog.OKBtnClick();
            ADD_FAILURE() << allowed << " writes allowed, yet OK went through";
        } catch (const EConvertError&) {
            ADD_FAILURE() << "a write failure is not a conversion error";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Rendaxo.ini に書き込めません");
        }
        std::array<std::string, 6> expected = before;
        std::copy_n(after.begin(), allowed, expected.begin());
        EXPECT_EQ(StoredKeys(), expected) << allowed << " writes allowed";
        store.AllowAllWrites();
    }
    EXPECT_THAT(host.calls, IsEmpty());
}

TEST_F(SetDialogTest, CancelClosesWithoutStoring)
{
    GivenFile(kOldFile);
    dialog.FormCreate();
    EditAll("90");
    dialog.ButtonClick(dialog.MeltReRBtn0.Id());  // no click handler
    dialog.ButtonClick(dialog.CanncelBtn.Id());
    EXPECT_EQ(store.WriteCount(), 0);
    EXPECT_THAT(host.calls, ElementsAre("Close Cancel"));
}

} // namespace
} // namespace nimbrel
