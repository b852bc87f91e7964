// The control model's radio pair on the detail dialog's layout. Track bars
// pull positions into their range; the detail dialog's tests show that.
#include "dialogs/control_model.h"

#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

using dialog_test::IdOf;

TEST(ControlModelTest, ExactlyOneRadioButtonOfThePairStaysSelected)
{
    ControlModel model{SetDialogLayout()};
    ControlId restore = IdOf(SetDialogLayout(), "MeltReRBtn0");
    ControlId noRestore = IdOf(SetDialogLayout(), "MeltReRBtn1");
    model.SetChecked(restore, true);
    EXPECT_FALSE(model.Checked(noRestore));
    // The platform copies native states in any order; clearing one is ignored.
    model.SetChecked(noRestore, false);
    EXPECT_TRUE(model.Checked(restore));
    model.SetChecked(noRestore, true);
    model.SetChecked(restore, false);
    EXPECT_TRUE(model.Checked(noRestore));
    EXPECT_FALSE(model.Checked(restore));
}

} // namespace
} // namespace nimbrel
