// The dialog descriptions and the rules drawn from them: the texts each
// dialog must show, the focus order and the buttons that Enter and Escape
// press.
#include "dialogs/layout.h"

#include <string_view>
#include <tuple>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_texts.h"
#include "dialogs/navigation.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;

TEST(LayoutTest, EveryDialogShowsItsTexts)
{
    for (const dialog_test::DialogTexts& texts : dialog_test::AllDialogTexts()) {
        const DialogLayout& layout = LayoutOf(texts.kind);
        EXPECT_EQ(layout.caption, texts.caption);
        EXPECT_EQ(layout.font.face, texts.font) << layout.formName;
        std::size_t captioned = 0;
        for (const ControlLayout& control : layout.controls) {
            EXPECT_EQ(control.caption, dialog_test::ExpectedCaption(texts, control.name))
                << layout.formName << "." << control.name;
            captioned += control.caption.empty() ? 0 : 1;
        }
        EXPECT_EQ(captioned, texts.captions.size()) << layout.formName << " lacks a captioned control";
    }
}

std::vector<std::string_view> TabNames(const DialogLayout& layout)
{
    std::vector<std::string_view> names;
    for (ControlId id : TabSequence(layout)) names.push_back(FindControl(layout, id)->name);
    return names;
}

TEST(NavigationTest, TabOrderFollowsTheTabNumbersAndEntersContainers)
{
    EXPECT_THAT(TabNames(MainDialogLayout()), ElementsAre("EffectBtn0", "EffectBtn1", "EffectBtn2", "SetDlgBtn",
                                                          "OtherSetBtn", "TestRunBtn", "OKBtn"));
    EXPECT_THAT(TabNames(SetDialogLayout()),
                ElementsAre("OKBtn", "CanncelBtn", "PageControl1", "WavePitchBar", "WaveSpeedBar", "MeltSpeedBar",
                            "MeltReRBtn0", "MeltReRBtn1", "MeltReEdit", "NoiseDealBar"));
    EXPECT_THAT(TabNames(OtherSetDlgLayout()), ElementsAre("MouseMoveBar", "OKBtn", "CanselBtn"));
}

TEST(NavigationTest, EnterPressesTheFocusedPushButtonOrTheDefaultAndEscapeTheCancelButton)
{
    using enum DialogKind;
    using enum DialogKey;
    // Dialog, key, focused control, modifiers held, button pressed.
    const std::tuple<DialogKind, DialogKey, const char*, KeyModifiers, const char*> cases[] = {
        {MainDialog, Enter, "TestRunBtn", {}, "TestRunBtn"}, {MainDialog, Enter, "EffectBtn1", {}, "OKBtn"},
        {MainDialog, Escape, "EffectBtn0", {}, "nothing"}, {SetDialog, Enter, "MeltReEdit", {}, "OKBtn"},
        {SetDialog, Escape, "OKBtn", {}, "CanncelBtn"}, {SetDialog, Enter, "MeltReEdit", {.shift = true}, "nothing"},
        {SetDialog, Enter, "OKBtn", {.ctrl = true}, "nothing"}, {SetDialog, Escape, "OKBtn", {.alt = true}, "nothing"},
        {OtherSetDlg, Enter, "CanselBtn", {}, "CanselBtn"}, {OtherSetDlg, Escape, "MouseMoveBar", {}, "CanselBtn"},
    };
    for (const auto& [dialog, key, focused, modifiers, pressed] : cases) {
        const DialogLayout& layout = LayoutOf(dialog);
        std::optional<ControlId> button = ButtonForKey(layout, key, modifiers, FindControl(layout, focused)->id);
        EXPECT_EQ(button ? FindControl(layout, *button)->name : "nothing", pressed)
            << layout.formName << " focused on " << focused;
    }
}

} // namespace
} // namespace nimbrel
