// The effect selection dialog: the window of configuration mode.
#include "dialogs/layout.h"

namespace nimbrel {
namespace {

// Ids of the containers, which their children name as parent.
constexpr ControlId kThemeGroupBox = 101;

constexpr ControlLayout kControls[] = {
    {.id = kThemeGroupBox, .name = "ThemeGroupBox", .kind = ControlKind::GroupBox, .bounds = {8, 8, 249, 105}, .caption = "エフェクトの選択", .tabOrder = 0},
    {.id = 102, .name = "EffectBtn0", .kind = ControlKind::CheckBox, .parent = kThemeGroupBox, .bounds = {16, 24, 161, 17}, .caption = "Wave（画面が揺らぐ）", .tabOrder = 0},
    {.id = 103, .name = "EffectBtn1", .kind = ControlKind::CheckBox, .parent = kThemeGroupBox, .bounds = {16, 48, 161, 17}, .caption = "Melt（画面が融ける）", .tabOrder = 1},
    {.id = 104, .name = "EffectBtn2", .kind = ControlKind::CheckBox, .parent = kThemeGroupBox, .bounds = {16, 72, 169, 17}, .caption = "Noise（画面にノイズが入る）", .tabOrder = 2},
    {.id = 105, .name = "SetDlgBtn", .kind = ControlKind::PushButton, .bounds = {8, 120, 97, 25}, .caption = "詳細設定", .tabOrder = 1},
    {.id = 106, .name = "OtherSetBtn", .kind = ControlKind::PushButton, .bounds = {112, 120, 65, 25}, .caption = "その他", .tabOrder = 2},
    {.id = 107, .name = "TestRunBtn", .kind = ControlKind::PushButton, .bounds = {184, 120, 73, 25}, .caption = "テスト実行", .tabOrder = 3},
    {.id = 108, .name = "OKBtn", .kind = ControlKind::PushButton, .bounds = {8, 152, 249, 25}, .caption = "Ｏ   Ｋ", .tabOrder = 4, .role = ButtonRole::Default},
};

constexpr DialogLayout kLayout{
    .kind = DialogKind::MainDialog,
    .formName = "MainDialog",
    .className = "TMainDialog",
    .caption = "Nimbrel ver1.00",
    .clientWidth = 265,
    .clientHeight = 184,
    .font = {.face = "ＭＳ Ｐゴシック", .height = 12},
    .controls = kControls,
};

} // namespace

const DialogLayout& MainDialogLayout()
{
    return kLayout;
}

} // namespace nimbrel
