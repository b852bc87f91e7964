// The dialog descriptions: the rules every description keeps, so that a
// renderer can build one blindly, and the texts whose characters are easy
// to get wrong (full-width letters and brackets, the ideographic space,
// runs of ordinary spaces).
#include "dialogs/layout.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "dialog_test_support.h"

namespace nimbrel {
namespace {

class EveryLayoutTest : public ::testing::TestWithParam<DialogKind> {};

TEST_P(EveryLayoutTest, IdsAreUniqueAndEveryControlLiesInsideItsParent)
{
    const DialogLayout& layout = LayoutOf(GetParam());
    std::set<ControlId> ids{kWindowId, 1, 2};  // 1 and 2 are Enter's and Escape's
    int defaultButtons = 0;
    for (const ControlLayout& control : layout.controls) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.name;
        defaultButtons += control.role == ButtonRole::Default ? 1 : 0;
        ASSERT_TRUE(ids.contains(control.parent)) << control.name << " is listed before its parent";
        if (control.kind == ControlKind::TabSheet) continue;  // sized by its tab control
        const ControlLayout* parent = FindControl(layout, control.parent);
        if (parent && parent->kind == ControlKind::TabSheet) parent = FindControl(layout, parent->parent);
        int width = parent ? parent->bounds.width : layout.clientWidth;
        int height = parent ? parent->bounds.height : layout.clientHeight;
        EXPECT_TRUE(control.bounds.left >= 0 && control.bounds.top >= 0 && control.bounds.width > 0 &&
                    control.bounds.height > 0 && control.bounds.left + control.bounds.width <= width &&
                    control.bounds.top + control.bounds.height <= height)
            << control.name;
    }
    EXPECT_EQ(defaultButtons, 1);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EveryLayoutTest,
                         ::testing::Values(DialogKind::MainDialog, DialogKind::SetDialog,
                                           DialogKind::OtherSetDlg),
                         [](const auto& info) { return std::string(LayoutOf(info.param).formName); });

TEST(LayoutTextTest, CaptionsKeepTheirFullWidthAndIdeographicCharacters)
{
    const DialogLayout& main = MainDialogLayout();
    const DialogLayout& detail = SetDialogLayout();
    const DialogLayout& other = OtherSetDlgLayout();
    EXPECT_EQ(main.caption, "Nimbrel ver1.00");
    EXPECT_EQ(detail.caption, "Nimbrel\uFF1A詳細設定");
    EXPECT_EQ(other.caption, "Nimbrel\uFF1Aその他の設定");
    // Full-width M, S and P, with an ordinary space after the S.
    EXPECT_EQ(main.font.face, "\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
    EXPECT_EQ(other.font.face, main.font.face);
    const std::tuple<const DialogLayout*, const char*, const char*> captions[] = {
        {&main, "EffectBtn0", "Wave\uFF08画面が揺らぐ\uFF09"},
        {&main, "EffectBtn1", "Melt\uFF08画面が融ける\uFF09"},
        {&main, "EffectBtn2", "Noise\uFF08画面にノイズが入る\uFF09"},
        {&main, "OKBtn", "\uFF2F   \uFF2B"},
        {&other, "OKBtn", "\uFF2F   \uFF2B"},
        {&detail, "OKBtn", "O    K"},
        {&detail, "TabSheet1", "Wave"},
        {&detail, "TabSheet2", "Melt"},
        {&detail, "TabSheet3", "Noise"},
        {&detail, "Label2", "狭\u3000い"},
        {&detail, "Label5", "遅\u3000い"},
        {&detail, "Label11", "少ない"},
        {&detail, "Label12", "多\u3000い"},
        {&detail, "MeltReRBtn0", "戻す"},
        {&detail, "MeltReRBtn1", "戻さない"},
    };
    for (const auto& [layout, name, caption] : captions) {
        const ControlLayout* control = FindControl(*layout, name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->caption, caption) << layout->formName << "." << name;
    }
}

} // namespace
} // namespace nimbrel
