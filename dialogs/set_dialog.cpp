// The effect detail dialog's handlers.
#include "dialogs/set_dialog.h"

#include <cstdint>
#include <string>

#include "settings/parse_integer.h"
#include "settings/settings_file.h"

namespace nimbrel {

TSetDialog::TSetDialog(DialogHost& host)
    : Dialog(SetDialogLayout(), host),
      OKBtn(Controls(), "OKBtn"),
      CanncelBtn(Controls(), "CanncelBtn"),
      PageControl1(Controls(), "PageControl1"),
      TabSheet1(Controls(), "TabSheet1"),
      TabSheet2(Controls(), "TabSheet2"),
      TabSheet3(Controls(), "TabSheet3"),
      WavePitchBar(Controls(), "WavePitchBar"),
      Label1(Controls(), "Label1"),
      Label2(Controls(), "Label2"),
      Label3(Controls(), "Label3"),
      Label6(Controls(), "Label6"),
      WaveSpeedBar(Controls(), "WaveSpeedBar"),
      Label5(Controls(), "Label5"),
      Label4(Controls(), "Label4"),
      Label7(Controls(), "Label7"),
      Label8(Controls(), "Label8"),
      MeltSpeedBar(Controls(), "MeltSpeedBar"),
      Label9(Controls(), "Label9"),
      Label10(Controls(), "Label10"),
      Label11(Controls(), "Label11"),
      NoiseDealBar(Controls(), "NoiseDealBar"),
      Label12(Controls(), "Label12"),
      Label13(Controls(), "Label13"),
      MeltReRBtn0(Controls(), "MeltReRBtn0"),
      MeltReRBtn1(Controls(), "MeltReRBtn1"),
      MeltReEdit(Controls(), "MeltReEdit"),
      Label14(Controls(), "Label14")
{
}

void TSetDialog::FormCreate()
{
    SettingsFile file(kSettingsFileName);
    WavePitchBar.SetPosition(file.LoadInt("Wave", "Pitch", 4));
    WaveSpeedBar.SetPosition(file.LoadInt("Wave", "Speed", 3));
    MeltSpeedBar.SetPosition(file.LoadInt("Melt", "Speed", 3));
    // Not restoring is the laid-out choice; only a restore needs a change.
    if (file.LoadFlag("Melt", "Recover", true)) MeltReRBtn0.Select();
    // The box shows the stored period whatever its length: the typing limit
    // of three characters binds only the user.
    MeltReEdit.SetText(std::to_string(file.LoadInt("Melt", "RecoverTime", 180)));
    NoiseDealBar.SetPosition(file.LoadInt("Noise", "Deal", 3));
}

void TSetDialog::ButtonClick(ControlId id)
{
    if (id == OKBtn.Id()) {
        OKBtnClick();
    } else if (id == CanncelBtn.Id()) {
        CanncelBtnClick();
    }
}

void TSetDialog::OKBtnClick()
{
    SettingsFile file(kSettingsFileName);
    file.StoreInt("Wave", "Pitch", WavePitchBar.Position());
    file.StoreInt("Wave", "Speed", WaveSpeedBar.Position());
    file.StoreInt("Melt", "Speed", MeltSpeedBar.Position());
    file.StoreFlag("Melt", "Recover", MeltReRBtn0.Checked());
    // Converted even when no restore is chosen, so a bad period is caught
    // now rather than when the user turns the restore back on.
    std::int32_t recoverTime = ParseInteger(MeltReEdit.Text());
    file.StoreInt("Melt", "RecoverTime", recoverTime);
    file.StoreInt("Noise", "Deal", NoiseDealBar.Position());
    Host().Close(ModalResult::OK);
}

void TSetDialog::CanncelBtnClick()
{
    Host().Close(ModalResult::Cancel);
}

} // namespace nimbrel
