// The other settings dialog's handlers.
#include "dialogs/other_set_dlg.h"

#include "settings/settings_file.h"

namespace nimbrel {

TOtherSetDlg::TOtherSetDlg(DialogHost& host)
    : Dialog(OtherSetDlgLayout(), host),
      Label1(Controls(), "Label1"),
      Label2(Controls(), "Label2"),
      Label3(Controls(), "Label3"),
      MouseMoveBar(Controls(), "MouseMoveBar"),
      OKBtn(Controls(), "OKBtn"),
      CanselBtn(Controls(), "CanselBtn")
{
}

void TOtherSetDlg::FormCreate()
{
    SettingsFile file(kSettingsFileName);
    MouseMoveBar.SetPosition(file.LoadInt("Main", "CloseMouseMove", 4));
}

void TOtherSetDlg::ButtonClick(ControlId id)
{
    if (id == OKBtn.Id()) {
        OKBtnClick();
    } else if (id == CanselBtn.Id()) {
        CanselBtnClick();
    }
}

void TOtherSetDlg::OKBtnClick()
{
    SettingsFile file(kSettingsFileName);
    file.StoreInt("Main", "CloseMouseMove", MouseMoveBar.Position());
    Host().Close(ModalResult::OK);
}

void TOtherSetDlg::CanselBtnClick()
{
    Host().Close(ModalResult::Cancel);
}

} // namespace nimbrel
