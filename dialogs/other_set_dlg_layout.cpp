// The other settings dialog: the mouse movement that ends the saver.
#include "dialogs/layout.h"

namespace nimbrel {
namespace {

constexpr ControlLayout kControls[] = {
    {.id = 301, .name = "Label1", .kind = ControlKind::Label, .bounds = {16, 12, 257, 14}, .caption = "スクリーンセーバー終了時のマウス移動検出量"},
    {.id = 302, .name = "Label2", .kind = ControlKind::Label, .bounds = {16, 40, 18, 14}, .caption = "小"},
    {.id = 303, .name = "MouseMoveBar", .kind = ControlKind::TrackBar, .bounds = {32, 32, 208, 35}, .tabOrder = 0, .range = {0, 8}, .position = 4},
    {.id = 304, .name = "Label3", .kind = ControlKind::Label, .bounds = {244, 40, 18, 14}, .caption = "大"},
    {.id = 305, .name = "OKBtn", .kind = ControlKind::PushButton, .bounds = {24, 72, 105, 25}, .caption = "Ｏ   Ｋ", .tabOrder = 1, .role = ButtonRole::Default},
    {.id = 306, .name = "CanselBtn", .kind = ControlKind::PushButton, .bounds = {144, 72, 105, 25}, .caption = "キャンセル", .tabOrder = 2, .role = ButtonRole::Cancel},
};

constexpr DialogLayout kLayout{
    .kind = DialogKind::OtherSetDlg,
    .formName = "OtherSetDlg",
    .className = "TOtherSetDlg",
    .caption = "Nimbrel：その他の設定",
    .clientWidth = 273,
    .clientHeight = 105,
    .font = {.face = "ＭＳ Ｐゴシック", .height = 12},
    .controls = kControls,
};

} // namespace

const DialogLayout& OtherSetDlgLayout()
{
    return kLayout;
}

} // namespace nimbrel
