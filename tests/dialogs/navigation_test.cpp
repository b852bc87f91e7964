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

std::string_view Pressed(const DialogLayout& layout, DialogKey key, std::string_view focused,
                         KeyModifiers modifiers = {})
{
    std::optional<ControlId> button = ButtonForKey(layout, key, modifiers, IdOf(layout, focused));
    return button ? FindControl(layout, *button)->name : "nothing";
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
    EXPECT_EQ(InitialFocus(MainDialogLayout()), IdOf(MainDialogLayout(), "EffectBtn0"));
    EXPECT_EQ(InitialFocus(SetDialogLayout()), IdOf(SetDialogLayout(), "OKBtn"));
    EXPECT_EQ(InitialFocus(OtherSetDlgLayout()), IdOf(OtherSetDlgLayout(), "MouseMoveBar"));
}

TEST(NavigationTest, EnterPressesTheFocusedPushButtonOrElseTheDefault)
{
    const DialogLayout& main = MainDialogLayout();
    EXPECT_EQ(Pressed(main, DialogKey::Enter, "EffectBtn1"), "OKBtn");
    EXPECT_EQ(Pressed(main, DialogKey::Enter, "TestRunBtn"), "TestRunBtn");
    const DialogLayout& detail = SetDialogLayout();
    EXPECT_EQ(Pressed(detail, DialogKey::Enter, "MeltReEdit"), "OKBtn");
    EXPECT_EQ(Pressed(detail, DialogKey::Enter, "CanncelBtn"), "CanncelBtn");
    const DialogLayout& other = OtherSetDlgLayout();
    EXPECT_EQ(Pressed(other, DialogKey::Enter, "MouseMoveBar"), "OKBtn");
    EXPECT_EQ(Pressed(other, DialogKey::Enter, "CanselBtn"), "CanselBtn");
}

TEST(NavigationTest, EscapePressesTheCancelButtonWhereThereIsOne)
{
    EXPECT_EQ(Pressed(MainDialogLayout(), DialogKey::Escape, "EffectBtn0"), "nothing");
    EXPECT_EQ(Pressed(SetDialogLayout(), DialogKey::Escape, "OKBtn"), "CanncelBtn");
    EXPECT_EQ(Pressed(OtherSetDlgLayout(), DialogKey::Escape, "MouseMoveBar"), "CanselBtn");
}

TEST(NavigationTest, KeysWithShiftCtrlOrAltPressNothing)
{
    const DialogLayout& detail = SetDialogLayout();
    EXPECT_EQ(Pressed(detail, DialogKey::Enter, "OKBtn", {.shift = true}), "nothing");
    EXPECT_EQ(Pressed(detail, DialogKey::Enter, "OKBtn", {.ctrl = true}), "nothing");
    EXPECT_EQ(Pressed(detail, DialogKey::Escape, "OKBtn", {.alt = true}), "nothing");
}

} // namespace
} // namespace nimbrel
