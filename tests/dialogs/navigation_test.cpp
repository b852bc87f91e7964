// Focus order, the radio pair, and the buttons that Enter and Escape press
// in each dialog.
#include "dialogs/navigation.h"

#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using dialog_test::IdOf;

std::vector<std::string_view> TabNames(const DialogLayout& layout)
{
    std::vector<std::string_view> names;
    for (ControlId id : TabSequence(layout)) names.push_back(FindControl(layout, id)->name);
    return names;
}

TEST(NavigationTest, TabOrderFollowsTheTabNumbersAndEntersContainers)
{
    EXPECT_THAT(TabNames(MainDialogLayout()),
                ElementsAre("EffectBtn0", "EffectBtn1", "EffectBtn2", "SetDlgBtn", "OtherSetBtn",
                            "TestRunBtn", "OKBtn"));
    EXPECT_THAT(TabNames(SetDialogLayout()),
                ElementsAre("OKBtn", "CanncelBtn", "PageControl1", "WavePitchBar", "WaveSpeedBar",
                            "MeltSpeedBar", "MeltReRBtn0", "MeltReRBtn1", "MeltReEdit",
                            "NoiseDealBar"));
    EXPECT_THAT(TabNames(OtherSetDlgLayout()), ElementsAre("MouseMoveBar", "OKBtn", "CanselBtn"));
}

TEST(NavigationTest, TheRadioPairKeepsExactlyOneSelectedAndThatOneIsItsTabStop)
{
    ControlModel model(SetDialogLayout());
    const ControlId restore = IdOf(SetDialogLayout(), "MeltReRBtn0");
    const ControlId keep = IdOf(SetDialogLayout(), "MeltReRBtn1");
    for (ControlId selected : {restore, keep, restore}) {
        const ControlId other = selected == restore ? keep : restore;
        model.SetChecked(selected, true);
        EXPECT_FALSE(model.Checked(other));
        // The platform copies native states in any order; clearing one is ignored.
        model.SetChecked(selected, false);
        EXPECT_TRUE(model.Checked(selected));
        EXPECT_TRUE(IsTabStop(model, selected));
        EXPECT_FALSE(IsTabStop(model, other));
        EXPECT_TRUE(IsTabStop(model, IdOf(SetDialogLayout(), "MeltReEdit")));
    }
}

TEST(NavigationTest, EnterPressesTheFocusedPushButtonOrTheDefaultAndEscapeTheCancelButton)
{
    struct Case { DialogKind dialog; DialogKey key; const char* focused; KeyModifiers modifiers; const char* pressed; };
    const Case cases[] = {
        {DialogKind::MainDialog, DialogKey::Enter, "TestRunBtn", {}, "TestRunBtn"},
        {DialogKind::MainDialog, DialogKey::Enter, "EffectBtn1", {}, "OKBtn"},
        {DialogKind::MainDialog, DialogKey::Escape, "EffectBtn0", {}, "nothing"},
        {DialogKind::SetDialog, DialogKey::Enter, "MeltReEdit", {}, "OKBtn"},
        {DialogKind::SetDialog, DialogKey::Escape, "OKBtn", {}, "CanncelBtn"},
        {DialogKind::SetDialog, DialogKey::Enter, "MeltReEdit", {.shift = true}, "nothing"},
        {DialogKind::SetDialog, DialogKey::Enter, "OKBtn", {.ctrl = true}, "nothing"},
        {DialogKind::SetDialog, DialogKey::Escape, "OKBtn", {.alt = true}, "nothing"},
        {DialogKind::OtherSetDlg, DialogKey::Enter, "MouseMoveBar", {}, "OKBtn"},
        {DialogKind::OtherSetDlg, DialogKey::Enter, "CanselBtn", {}, "CanselBtn"},
        {DialogKind::OtherSetDlg, DialogKey::Escape, "MouseMoveBar", {}, "CanselBtn"},
    };
    for (const Case& c : cases) {
        const DialogLayout& layout = LayoutOf(c.dialog);
        std::optional<ControlId> button = ButtonForKey(layout, c.key, c.modifiers, IdOf(layout, c.focused));
        EXPECT_EQ(button ? FindControl(layout, *button)->name : "nothing", c.pressed)
            << layout.formName << " focused on " << c.focused;
    }
}

} // namespace
} // namespace nimbrel
