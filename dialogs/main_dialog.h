// TMainDialog: the effect selection dialog, the window of configuration
// mode. It chooses which effects the saver may pick (keys Wave, Melt and
// Noise of section Main), opens the two further settings dialogs and starts
// a test run of the saver.
#pragma once

#include "dialogs/control_model.h"
#include "dialogs/dialog.h"
#include "dialogs/dialog_host.h"

namespace nimbrel {

class TMainDialog final : public Dialog {
public:
    explicit TMainDialog(DialogHost& host);

    // SetDlgBtn has no member: only its click reaches the class.
    PushButton OKBtn;
    GroupBox ThemeGroupBox;
    PushButton OtherSetBtn;
    PushButton TestRunBtn;
    CheckBox EffectBtn0;  // Wave
    CheckBox EffectBtn1;  // Melt
    CheckBox EffectBtn2;  // Noise

    // Ticks the boxes as the settings file says; never corrects the choice,
    // so a file that enables no effect shows three empty boxes.
    void FormCreate() override;
    void ButtonClick(ControlId id) override;

    void OKBtnClick();
    void SetDlgBtnClick();
    void OtherSetBtnClick();
    void TestRunBtnClick();

    // Ticks Wave when no box is ticked, then stores the three boxes in the
    // order Wave, Melt, Noise. A failed store throws and leaves the later
    // keys as they were.
    void SaveEffects();

private:
    ControlId setDlgBtn_;
};

} // namespace nimbrel
