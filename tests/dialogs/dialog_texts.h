// The texts each settings dialog must show, written out once: the layout
// tests hold the descriptions to them and the Windows tests the built
// windows. Look-alike characters are spelled as escapes: full-width letters,
// brackets and colons, and the ideographic space U+3000.
#pragma once

#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogs/layout.h"

namespace nimbrel::dialog_test {

struct DialogTexts {
    DialogKind kind;
    std::string_view caption;
    std::string_view font;
    // Every control that shows a caption; every other control shows none.
    std::vector<std::pair<std::string_view, std::string_view>> captions;
};

inline const std::vector<DialogTexts>& AllDialogTexts()
{
    static const std::vector<DialogTexts> texts = {
        {DialogKind::MainDialog, "Nimbrel ver1.00", "\uFF2D\uFF33 \uFF30ゴシック",
         {{"ThemeGroupBox", "エフェクトの選択"}, {"EffectBtn0", "Wave\uFF08画面が揺らぐ\uFF09"},
          {"EffectBtn1", "Melt\uFF08画面が融ける\uFF09"}, {"EffectBtn2", "Noise\uFF08画面にノイズが入る\uFF09"},
          {"SetDlgBtn", "詳細設定"}, {"OtherSetBtn", "その他"}, {"TestRunBtn", "テスト実行"},
          {"OKBtn", "\uFF2F   \uFF2B"}}},
        {DialogKind::SetDialog, "Nimbrel\uFF1A詳細設定", "System",
         {{"OKBtn", "O    K"}, {"CanncelBtn", "キャンセル"}, {"TabSheet1", "Wave"}, {"TabSheet2", "Melt"},
          {"TabSheet3", "Noise"}, {"Label1", "波の上下の幅"}, {"Label2", "狭\u3000い"}, {"Label3", "広\u3000い"},
          {"Label4", "波の動く速さ"}, {"Label5", "遅\u3000い"}, {"Label6", "速\u3000い"}, {"Label7", "融ける速さ"},
          {"Label8", "遅\u3000い"}, {"Label9", "速\u3000い"}, {"Label13", "一定時間毎に元の画面に戻す"},
          {"MeltReRBtn0", "戻す"}, {"Label14", "秒毎"}, {"MeltReRBtn1", "戻さない"}, {"Label10", "ノイズの量"},
          {"Label11", "少ない"}, {"Label12", "多\u3000い"}}},
        {DialogKind::OtherSetDlg, "Nimbrel\uFF1Aその他の設定", "\uFF2D\uFF33 \uFF30ゴシック",
         {{"Label1", "スクリーンセーバー終了時のマウス移動検出量"}, {"Label2", "小"}, {"Label3", "大"},
          {"OKBtn", "\uFF2F   \uFF2B"}, {"CanselBtn", "キャンセル"}}},
    };
    return texts;
}

inline void PrintTo(const DialogTexts& texts, std::ostream* out) { *out << LayoutOf(texts.kind).formName; }

// The caption the control must show: "" for a control that shows none.
inline std::string_view ExpectedCaption(const DialogTexts& texts, std::string_view name)
{
    for (const auto& [control, caption] : texts.captions) {
        if (control == name) return caption;
    }
    return {};
}

} // namespace nimbrel::dialog_test
