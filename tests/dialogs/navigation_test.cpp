// Focus order, the control focused on opening, and the buttons that Enter
// and Escape press in each dialog.
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

TEST(NavigationTest, TabOrderEntersContainersAndOpensOnItsFirstControl)
{
    EXPECT_THAT(TabNames(MainDialogLayout()),
                ElementsAre("EffectBtn0", "EffectBtn1", "EffectBtn2", "SetDlgBtn", "OtherSetBtn",
                            "TestRunBtn", "OKBtn"));
    EXPECT_THAT(TabNames(SetDialogLayout()),
                ElementsAre("OKBtn", "CanncelBtn", "PageControl1", "WavePitchBar", "WaveSpeedBar",
                            "MeltSpeedBar", "MeltReRBtn0", "MeltReRBtn1", "MeltReEdit",
                            "NoiseDealBar"));
    EXPECT_THAT(TabNames(OtherSetDlgLayout()), ElementsAre("MouseMoveBar", "OKBtn", "CanselBtn"));
    for (const DialogLayout* layout : {&MainDialogLayout(), &SetDialogLayout(), &OtherSetDlgLayout()}) {
        EXPECT_EQ(InitialFocus(*layout), TabSequence(*layout).front()) << layout->formName;
    }
}

TEST(NavigationTest, ARadioPairIsOneTabStopAtItsSelectedButton)
{
    ControlModel model(SetDialogLayout());
    const ControlId restore = IdOf(SetDialogLayout(), "MeltReRBtn0");
    const ControlId keep = IdOf(SetDialogLayout(), "MeltReRBtn1");
    for (ControlId selected : {restore, keep}) {
        model.SetChecked(selected, true);
        EXPECT_EQ(IsTabStop(model, restore), selected == restore);
        EXPECT_EQ(IsTabStop(model, keep), selected == keep);
        EXPECT_TRUE(IsTabStop(model, IdOf(SetDialogLayout(), "MeltReEdit")));
    }
}

TEST(NavigationTest, EnterPressesTheFocusedPushButtonOrTheDefaultAndEscapeTheCancelButton)
{
    struct Case { DialogKind dialog; DialogKey key; const char* focused; KeyModifiers modifiers; const char* pressed; };
    const Case cases[] = {
        {DialogKind::MainDialog, DialogKey::Enter, "TestRunBtn", {}, "TestRunBtn"},
        {DialogKind::MainDialog, DialogKey::Escape, "EffectBtn0", {}, "nothing"},
        {DialogKind::SetDialog, DialogKey::Enter, "MeltReEdit", {}, "OKBtn"},
        {DialogKind::SetDialog, DialogKey::Escape, "OKBtn", {}, "CanncelBtn"},
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
