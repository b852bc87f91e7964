// The dialog descriptions: the rules every description keeps, so that a
// renderer can build one blindly, and the texts whose characters are easy
// to get wrong (full-width letters and brackets, the ideographic space,
// runs of ordinary spaces).
#include "dialogs/layout.h"

#include <algorithm>
#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "dialogs/dialog.h"

namespace nimbrel {
namespace {

using ::testing::ElementsAre;
using dialog_test::IdOf;

std::string_view CaptionOf(const DialogLayout& layout, std::string_view name)
{
    const ControlLayout* control = FindControl(layout, name);
    return control ? control->caption : "<missing>";
}

class EveryLayoutTest : public ::testing::TestWithParam<DialogKind> {
protected:
    const DialogLayout& layout = LayoutOf(GetParam());
};

TEST_P(EveryLayoutTest, IdsAndNamesAreUniqueAndParentsHoldControls)
{
    std::set<ControlId> ids{kWindowId, 1, 2};  // 1 and 2 are Enter's and Escape's
    std::set<std::string_view> names;
    for (const ControlLayout& control : layout.controls) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.name;
        EXPECT_TRUE(names.insert(control.name).second) << control.name;
        if (control.parent == kWindowId) continue;
        // Listed after its parent, which must be a container of the right kind.
        ASSERT_TRUE(ids.contains(control.parent)) << control.name;
        ControlKind parent = FindControl(layout, control.parent)->kind;
        if (control.kind == ControlKind::TabSheet) {
            EXPECT_EQ(parent, ControlKind::PageControl) << control.name;
        } else {
            EXPECT_TRUE(parent == ControlKind::GroupBox || parent == ControlKind::TabSheet) << control.name;
        }
    }
}

TEST_P(EveryLayoutTest, ControlsLieInsideTheirParents)
{
    for (const ControlLayout& control : layout.controls) {
        if (control.kind == ControlKind::TabSheet) continue;  // sized by its tab control
        const ControlLayout* parent = FindControl(layout, control.parent);
        // A page's size is the platform's; its tab control bounds it.
        if (parent && parent->kind == ControlKind::TabSheet) parent = FindControl(layout, parent->parent);
        int width = parent ? parent->bounds.width : layout.clientWidth;
        int height = parent ? parent->bounds.height : layout.clientHeight;
        EXPECT_GE(control.bounds.left, 0) << control.name;
        EXPECT_GE(control.bounds.top, 0) << control.name;
        EXPECT_GT(control.bounds.width, 0) << control.name;
        EXPECT_GT(control.bounds.height, 0) << control.name;
        EXPECT_LE(control.bounds.left + control.bounds.width, width) << control.name;
        EXPECT_LE(control.bounds.top + control.bounds.height, height) << control.name;
    }
}

TEST_P(EveryLayoutTest, InitialStatesFitTheirControls)
{
    int defaultButtons = 0;
    for (const ControlLayout& control : layout.controls) {
        if (control.role != ButtonRole::Plain) {
            EXPECT_EQ(control.kind, ControlKind::PushButton) << control.name;
        }
        if (control.role == ButtonRole::Default) ++defaultButtons;
        if (control.kind == ControlKind::TrackBar) {
            EXPECT_LT(control.range.min, control.range.max) << control.name;
            EXPECT_GE(control.position, control.range.min) << control.name;
            EXPECT_LE(control.position, control.range.max) << control.name;
        }
        int radios = 0;
        int selected = 0;
        for (const ControlLayout* child : ChildrenOf(layout, control.id)) {
            if (child->kind != ControlKind::RadioButton) continue;
            ++radios;
            selected += child->checked ? 1 : 0;
        }
        if (radios > 0) {
            EXPECT_EQ(selected, 1) << "radio group on " << control.name;
        }
    }
    EXPECT_EQ(defaultButtons, 1);
}

TEST_P(EveryLayoutTest, MakeDialogBuildsItAndItIsFreedOnClosing)
{
    dialog_test::ScriptedHost host;
    std::unique_ptr<Dialog> dialog = MakeDialog(GetParam(), host);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(&dialog->Layout(), &layout);
    EXPECT_EQ(dialog->FormClose(), CloseAction::Free);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EveryLayoutTest,
                         ::testing::Values(DialogKind::MainDialog, DialogKind::SetDialog,
                                           DialogKind::OtherSetDlg),
                         [](const auto& info) { return std::string(dialog_test::KindName(info.param)); });

TEST(LayoutTextTest, FullWidthCharactersOfTheMainAndOtherDialogs)
{
    const DialogLayout& layout = MainDialogLayout();
    const DialogLayout& other = OtherSetDlgLayout();
    EXPECT_EQ(layout.caption, "Nimbrel ver1.00");
    EXPECT_EQ(other.caption, "Nimbrel\uFF1Aその他の設定");
    // Full-width M, S and P, with an ordinary space after the S.
    EXPECT_EQ(layout.font.face, "\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
    EXPECT_EQ(CaptionOf(layout, "EffectBtn0"), "Wave\uFF08画面が揺らぐ\uFF09");
    EXPECT_EQ(CaptionOf(layout, "EffectBtn1"), "Melt\uFF08画面が融ける\uFF09");
    EXPECT_EQ(CaptionOf(layout, "EffectBtn2"), "Noise\uFF08画面にノイズが入る\uFF09");
    EXPECT_EQ(CaptionOf(layout, "OKBtn"), "\uFF2F   \uFF2B");
    EXPECT_EQ(other.font.face, layout.font.face);
    EXPECT_EQ(CaptionOf(other, "OKBtn"), "\uFF2F   \uFF2B");
}

TEST(LayoutTextTest, SetDialog)
{
    const DialogLayout& layout = SetDialogLayout();
    EXPECT_EQ(layout.caption, "Nimbrel\uFF1A詳細設定");
    EXPECT_EQ(CaptionOf(layout, "OKBtn"), "O    K");
    for (const char* name : {"Label2", "Label3", "Label5", "Label6", "Label8", "Label9", "Label12"}) {
        std::string_view caption = CaptionOf(layout, name);
        EXPECT_EQ(caption.substr(3, 3), "\u3000") << name << " has no ideographic space";
    }
    EXPECT_EQ(CaptionOf(layout, "Label11"), "少ない");
}

TEST(SetDialogLayoutTest, ThreePagesInTabOrderEachHoldingItsEffect)
{
    const DialogLayout& layout = SetDialogLayout();
    std::vector<std::string_view> pages;
    for (const ControlLayout* page : ChildrenOf(layout, IdOf(layout, "PageControl1"))) {
        pages.push_back(page->caption);
    }
    EXPECT_THAT(pages, ElementsAre("Wave", "Melt", "Noise"));
    auto pageOf = [&](std::string_view name) { return FindControl(layout, name)->parent; };
    EXPECT_EQ(pageOf("WaveSpeedBar"), IdOf(layout, "TabSheet1"));
    EXPECT_EQ(pageOf("MeltReEdit"), IdOf(layout, "TabSheet2"));
    EXPECT_EQ(pageOf("NoiseDealBar"), IdOf(layout, "TabSheet3"));
}

TEST(SetDialogLayoutTest, MeltBottomRowReadsRestoreSecondsEveryNoRestore)
{
    const DialogLayout& layout = SetDialogLayout();
    std::vector<const ControlLayout*> row;
    for (const ControlLayout* child : ChildrenOf(layout, IdOf(layout, "TabSheet2"))) {
        if (child->bounds.top >= 110) row.push_back(child);
    }
    std::ranges::sort(row, {}, [](const ControlLayout* c) { return c->bounds.left; });
    std::vector<std::string_view> captions;
    for (const ControlLayout* control : row) captions.push_back(control->caption);
    EXPECT_THAT(captions, ElementsAre("戻す", "", "秒毎", "戻さない"));
    EXPECT_EQ(row[1]->kind, ControlKind::EditBox);
    EXPECT_EQ(row[1]->typingLimit, 3);
}

} // namespace
} // namespace nimbrel
