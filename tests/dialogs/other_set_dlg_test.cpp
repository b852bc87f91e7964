// The other settings dialog: the mouse-movement bar, its range pull, OK,
// Cancel and a failed store.
#include "dialogs/other_set_dlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class OtherSetDlgTest : public dialog_test::DialogTest {
protected:
    TOtherSetDlg dialog{host};
};

TEST_F(OtherSetDlgTest, TheBarShowsTheKeyPulledIntoZeroToEightAndOkStoresIt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "4"}, {"CloseMouseMove=6", "6"}, {"CloseMouseMove=0x7", "7"}, {"CloseMouseMove=-1", "0"},
        {"CloseMouseMove=abc", "4"}, {"CloseMouseMove=20", "8"}};
    for (const auto& [key, shown] : cases) {
        GivenFile(std::string("[Main]\n") + key + "\n");
        dialog.FormCreate();
        EXPECT_EQ(std::to_string(dialog.MouseMoveBar.Position()), shown) << key;
        dialog.ButtonClick(dialog.OKBtn.Id());
        EXPECT_EQ(Stored("Main", "CloseMouseMove"), shown) << key;
    }
    EXPECT_EQ(host.calls.size(), 6u);
    EXPECT_EQ(host.calls.back(), "Close OK");
}

TEST_F(OtherSetDlgTest, CancelAndAFailedStoreLeaveTheFileAsItWasAndOnlyCancelCloses)
{
    GivenFile("[Main]\nCloseMouseMove=2\n");
    dialog.FormCreate();
    dialog.MouseMoveBar.SetPosition(7);
    store.FailWritesAfter(0);
    EXPECT_THROW(dialog.OKBtnClick(), Error);
    EXPECT_EQ(dialog.MouseMoveBar.Position(), 7);
    EXPECT_THAT(host.calls, IsEmpty());
    store.AllowAllWrites();
    dialog.ButtonClick(dialog.CanselBtn.Id());
    EXPECT_EQ(Stored("Main", "CloseMouseMove"), "2");
    EXPECT_THAT(host.calls, ElementsAre("Close Cancel"));
}

} // namespace
} // namespace nimbrel
