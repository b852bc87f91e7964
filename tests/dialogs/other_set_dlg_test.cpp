// The other settings dialog: the mouse-movement bar, its range pull, OK,
// Cancel and a failed store.
#include "dialogs/other_set_dlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class OtherSetDlgTest : public dialog_test::DialogTest {
protected:
    std::int32_t ShownFor(std::string valueText)
    {
        GivenFile("[Main]\nCloseMouseMove=" + valueText + "\n");
        dialog.FormCreate();
        return dialog.MouseMoveBar.Position();
    }

    TOtherSetDlg dialog{host};
};

TEST_F(OtherSetDlgTest, WithoutAFileTheBarShowsFourAndOkStoresIt)
{
    dialog.FormCreate();
    EXPECT_EQ(dialog.MouseMoveBar.Position(), 4);
    dialog.ButtonClick(dialog.OKBtn.Id());
    EXPECT_EQ(Stored("Main", "CloseMouseMove"), "4");
    EXPECT_THAT(host.calls, ElementsAre("Close OK"));
}

TEST_F(OtherSetDlgTest, TheBarShowsTheKeyPulledIntoZeroToEight)
{
    EXPECT_EQ(ShownFor("6"), 6);
    EXPECT_EQ(ShownFor("0x7"), 7);
    EXPECT_EQ(ShownFor("-1"), 0);
    EXPECT_EQ(ShownFor("abc"), 4);
    EXPECT_EQ(ShownFor("20"), 8);
    dialog.OKBtnClick();
    EXPECT_EQ(Stored("Main", "CloseMouseMove"), "8");
}

TEST_F(OtherSetDlgTest, CancelClosesWithoutStoring)
{
    ShownFor("2");
    dialog.MouseMoveBar.SetPosition(7);
    dialog.ButtonClick(dialog.CanselBtn.Id());
    EXPECT_EQ(store.WriteCount(), 0);
    EXPECT_THAT(host.calls, ElementsAre("Close Cancel"));
}

TEST_F(OtherSetDlgTest, AFailedStoreKeepsTheDialogOpen)
{
    ShownFor("2");
    dialog.MouseMoveBar.SetPosition(7);
    store.FailWritesAfter(0);
    EXPECT_THROW(dialog.OKBtnClick(), Error);
    EXPECT_EQ(Stored("Main", "CloseMouseMove"), "2");
    EXPECT_EQ(dialog.MouseMoveBar.Position(), 7);
    EXPECT_THAT(host.calls, IsEmpty());
}

} // namespace
} // namespace nimbrel
