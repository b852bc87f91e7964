// The effect selection dialog's handlers.
#include "dialogs/main_dialog.h"

#include "settings/settings_file.h"

namespace nimbrel {

TMainDialog::TMainDialog(DialogHost& host)
    : Dialog(MainDialogLayout(), host),
      OKBtn(Controls(), "OKBtn"),
      ThemeGroupBox(Controls(), "ThemeGroupBox"),
      OtherSetBtn(Controls(), "OtherSetBtn"),
      TestRunBtn(Controls(), "TestRunBtn"),
      EffectBtn0(Controls(), "EffectBtn0"),
      EffectBtn1(Controls(), "EffectBtn1"),
      EffectBtn2(Controls(), "EffectBtn2"),
      setDlgBtn_(PushButton(Controls(), "SetDlgBtn").Id())
{
}

void TMainDialog::FormCreate()
{
    SettingsFile file(kSettingsFileName);
    EffectBtn0.SetChecked(file.LoadFlag("Main", "Wave", true));
    EffectBtn1.SetChecked(file.LoadFlag("Main", "Melt", false));
    EffectBtn2.SetChecked(file.LoadFlag("Main", "Noise", false));
}

void TMainDialog::ButtonClick(ControlId id)
{
    if (id == OKBtn.Id()) {
        OKBtnClick();
    } else if (id == setDlgBtn_) {
        SetDlgBtnClick();
    } else if (id == OtherSetBtn.Id()) {
        OtherSetBtnClick();
    } else if (id == TestRunBtn.Id()) {
        TestRunBtnClick();
    }
}

void TMainDialog::SaveEffects()
{
    // The saver needs at least one effect to choose from; Wave is the one
    // it falls back on, and the user sees the tick that was made for them.
    if (!EffectBtn0.Checked() && !EffectBtn1.Checked() && !EffectBtn2.Checked()) {
        EffectBtn0.SetChecked(true);
    }
    SettingsFile file(kSettingsFileName);
    file.StoreFlag("Main", "Wave", EffectBtn0.Checked());
    file.StoreFlag("Main", "Melt", EffectBtn1.Checked());
    file.StoreFlag("Main", "Noise", EffectBtn2.Checked());
}

void TMainDialog::OKBtnClick()
{
    SaveEffects();
    Host().Close(ModalResult::OK);
}

void TMainDialog::SetDlgBtnClick()
{
    Host().ShowModal(DialogKind::SetDialog);
}

void TMainDialog::OtherSetBtnClick()
{
    Host().ShowModal(DialogKind::OtherSetDlg);
}

void TMainDialog::TestRunBtnClick()
{
    // The saver window reads the settings file, so the choice on screen
    // must be stored before it starts.
    SaveEffects();
    Host().RunTestSaver();
}

} // namespace nimbrel
