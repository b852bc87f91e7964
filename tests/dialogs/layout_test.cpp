// The dialog descriptions: the rules a renderer relies on to build one
// blindly, and the texts each dialog must show.
#include "dialogs/layout.h"

#include <set>

#include <gtest/gtest.h>

#include "dialog_texts.h"

namespace nimbrel {
namespace {

TEST(LayoutTest, IdsAreUniqueParentsComeFirstAndOneButtonIsTheDefault)
{
    for (const dialog_test::DialogTexts& texts : dialog_test::AllDialogTexts()) {
        const DialogLayout& layout = LayoutOf(texts.kind);
        std::set<ControlId> ids{kWindowId, 1, 2};  // 1 and 2 are Enter's and Escape's
        int defaultButtons = 0;
        for (const ControlLayout& control : layout.controls) {
            EXPECT_TRUE(ids.insert(control.id).second) << control.name;
            EXPECT_TRUE(ids.contains(control.parent)) << control.name << " is listed before its parent";
            defaultButtons += control.role == ButtonRole::Default ? 1 : 0;
        }
        EXPECT_EQ(defaultButtons, 1) << layout.formName;
    }
}

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

} // namespace
} // namespace nimbrel
