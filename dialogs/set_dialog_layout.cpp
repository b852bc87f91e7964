// The effect detail dialog: one page of parameters per effect.
#include "dialogs/layout.h"

namespace nimbrel {
namespace {

// Ids of the containers, which their children name as parent.
constexpr ControlId kPageControl1 = 203;
constexpr ControlId kTabSheet1 = 204;
constexpr ControlId kTabSheet2 = 213;
constexpr ControlId kTabSheet3 = 223;

constexpr ControlLayout kControls[] = {
    {.id = 201, .name = "OKBtn", .kind = ControlKind::PushButton, .bounds = {16, 198, 161, 29}, .caption = "O    K", .tabOrder = 0, .role = ButtonRole::Default},
    {.id = 202, .name = "CanncelBtn", .kind = ControlKind::PushButton, .bounds = {192, 198, 161, 29}, .caption = "キャンセル", .tabOrder = 1, .role = ButtonRole::Cancel},
    {.id = kPageControl1, .name = "PageControl1", .kind = ControlKind::PageControl, .bounds = {0, 0, 369, 193}, .tabOrder = 2},
    // Page "Wave".
    {.id = kTabSheet1, .name = "TabSheet1", .kind = ControlKind::TabSheet, .parent = kPageControl1, .caption = "Wave"},
    {.id = 205, .name = "Label1", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {16, 16, 129, 18}, .caption = "波の上下の幅"},
    {.id = 206, .name = "Label2", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {16, 48, 48, 18}, .caption = "狭　い"},
    {.id = 207, .name = "WavePitchBar", .kind = ControlKind::TrackBar, .parent = kTabSheet1, .bounds = {72, 40, 217, 33}, .tabOrder = 0, .range = {1, 7}, .position = 4},
    {.id = 208, .name = "Label3", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {296, 48, 48, 18}, .caption = "広　い"},
    {.id = 209, .name = "Label4", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {16, 88, 129, 18}, .caption = "波の動く速さ"},
    {.id = 210, .name = "Label5", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {16, 120, 48, 18}, .caption = "遅　い"},
    {.id = 211, .name = "WaveSpeedBar", .kind = ControlKind::TrackBar, .parent = kTabSheet1, .bounds = {72, 112, 217, 33}, .tabOrder = 1, .range = {0, 6}, .position = 3},
    {.id = 212, .name = "Label6", .kind = ControlKind::Label, .parent = kTabSheet1, .bounds = {296, 120, 48, 18}, .caption = "速　い"},
    // Page "Melt"; its bottom row reads 戻す, the seconds box, 秒毎, 戻さない.
    {.id = kTabSheet2, .name = "TabSheet2", .kind = ControlKind::TabSheet, .parent = kPageControl1, .caption = "Melt"},
    {.id = 214, .name = "Label7", .kind = ControlKind::Label, .parent = kTabSheet2, .bounds = {16, 16, 121, 18}, .caption = "融ける速さ"},
    {.id = 215, .name = "Label8", .kind = ControlKind::Label, .parent = kTabSheet2, .bounds = {16, 48, 48, 18}, .caption = "遅　い"},
    {.id = 216, .name = "MeltSpeedBar", .kind = ControlKind::TrackBar, .parent = kTabSheet2, .bounds = {72, 40, 217, 33}, .tabOrder = 0, .range = {0, 6}, .position = 3},
    {.id = 217, .name = "Label9", .kind = ControlKind::Label, .parent = kTabSheet2, .bounds = {296, 48, 48, 18}, .caption = "速　い"},
    {.id = 218, .name = "Label13", .kind = ControlKind::Label, .parent = kTabSheet2, .bounds = {16, 88, 225, 18}, .caption = "一定時間毎に元の画面に戻す"},
    {.id = 219, .name = "MeltReRBtn0", .kind = ControlKind::RadioButton, .parent = kTabSheet2, .bounds = {16, 120, 65, 17}, .caption = "戻す", .tabOrder = 1},
    {.id = 220, .name = "MeltReEdit", .kind = ControlKind::EditBox, .parent = kTabSheet2, .bounds = {96, 114, 41, 26}, .tabOrder = 3, .typingLimit = 3},
    {.id = 221, .name = "Label14", .kind = ControlKind::Label, .parent = kTabSheet2, .bounds = {144, 120, 32, 18}, .caption = "秒毎"},
    {.id = 222, .name = "MeltReRBtn1", .kind = ControlKind::RadioButton, .parent = kTabSheet2, .bounds = {232, 120, 97, 17}, .caption = "戻さない", .tabOrder = 2, .checked = true},
    // Page "Noise".
    {.id = kTabSheet3, .name = "TabSheet3", .kind = ControlKind::TabSheet, .parent = kPageControl1, .caption = "Noise"},
    {.id = 224, .name = "Label10", .kind = ControlKind::Label, .parent = kTabSheet3, .bounds = {16, 16, 105, 18}, .caption = "ノイズの量"},
    {.id = 225, .name = "Label11", .kind = ControlKind::Label, .parent = kTabSheet3, .bounds = {16, 48, 48, 18}, .caption = "少ない"},
    {.id = 226, .name = "NoiseDealBar", .kind = ControlKind::TrackBar, .parent = kTabSheet3, .bounds = {72, 40, 217, 33}, .tabOrder = 0, .range = {0, 6}, .position = 3},
    {.id = 227, .name = "Label12", .kind = ControlKind::Label, .parent = kTabSheet3, .bounds = {296, 48, 48, 18}, .caption = "多　い"},
};

constexpr DialogLayout kLayout{
    .kind = DialogKind::SetDialog,
    .formName = "SetDialog",
    .className = "TSetDialog",
    .caption = "Nimbrel：詳細設定",
    .clientWidth = 369,
    .clientHeight = 231,
    .font = {.face = "System", .height = 13},
    .controls = kControls,
};

} // namespace

const DialogLayout& SetDialogLayout()
{
    return kLayout;
}

} // namespace nimbrel
