// The control model on the detail dialog's layout, which has every kind of
// control with a state: clamped track bars, the radio pair, and the faults
// of asking a control for a state it does not have.
#include "dialogs/control_model.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

class ControlModelTest : public ::testing::Test {
protected:
    ControlId Id(std::string_view name) { return dialog_test::IdOf(SetDialogLayout(), name); }

    ControlModel model{SetDialogLayout()};
};

TEST_F(ControlModelTest, TrackBarPositionsArePulledIntoTheirRange)
{
    ControlId pitch = Id("WavePitchBar");  // 1 to 7
    model.SetPosition(pitch, 5);
    EXPECT_EQ(model.Position(pitch), 5);
    model.SetPosition(pitch, 0);
    EXPECT_EQ(model.Position(pitch), 1);
    model.SetPosition(pitch, 8);
    EXPECT_EQ(model.Position(pitch), 7);
    model.SetPosition(pitch, -2147483647 - 1);
    EXPECT_EQ(model.Position(pitch), 1);
    model.SetPosition(pitch, 2147483647);
    EXPECT_EQ(model.Position(pitch), 7);
    EXPECT_EQ(model.Position(Id("WaveSpeedBar")), 3);  // its neighbour untouched
}

TEST_F(ControlModelTest, ExactlyOneRadioButtonOfThePairStaysSelected)
{
    ControlId restore = Id("MeltReRBtn0");
    ControlId noRestore = Id("MeltReRBtn1");
    model.SetChecked(restore, true);
    EXPECT_FALSE(model.Checked(noRestore));
    // The platform copies native states in any order; clearing one is
    // ignored, so the pair comes out with the selected one either way.
    model.SetChecked(noRestore, false);
    EXPECT_TRUE(model.Checked(restore));
    model.SetChecked(noRestore, true);
    model.SetChecked(restore, false);
    EXPECT_TRUE(model.Checked(noRestore));
    EXPECT_FALSE(model.Checked(restore));
}

TEST_F(ControlModelTest, AskingForAStateAControlDoesNotHaveIsAFault)
{
    EXPECT_THROW(model.Position(Id("Label1")), std::invalid_argument);
    EXPECT_THROW(model.SetPosition(Id("MeltReEdit"), 1), std::invalid_argument);
    EXPECT_THROW(model.Text(Id("WavePitchBar")), std::invalid_argument);
    EXPECT_THROW(model.Checked(Id("OKBtn")), std::invalid_argument);
    EXPECT_THROW(model.SetChecked(Id("TabSheet2"), true), std::invalid_argument);
    EXPECT_THROW(model.Position(dialog_test::IdOf(OtherSetDlgLayout(), "MouseMoveBar")),
                 std::invalid_argument);
    EXPECT_THROW(TrackBar(model, "MouseMoveBar"), std::invalid_argument);
    EXPECT_THROW(CheckBox(model, "MeltReRBtn0"), std::invalid_argument);
}

} // namespace
} // namespace nimbrel
