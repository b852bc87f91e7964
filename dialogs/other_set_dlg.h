// TOtherSetDlg: the other settings dialog. It edits how much mouse movement
// ends the running saver, key CloseMouseMove of section Main.
#pragma once

#include "dialogs/control_model.h"
#include "dialogs/dialog.h"
#include "dialogs/dialog_host.h"

namespace nimbrel {

class TOtherSetDlg final : public Dialog {
public:
    explicit TOtherSetDlg(DialogHost& host);

    Label Label1;
    Label Label2;
    Label Label3;
    TrackBar MouseMoveBar;  // 0 ends the saver on the 2nd mouse move, 8 on the 10th
    PushButton OKBtn;
    PushButton CanselBtn;

    // Loads the bar, pulled into 0 to 8.
    void FormCreate() override;
    void ButtonClick(ControlId id) override;

    // Stores the bar's position and closes; a failed store throws and the
    // dialog stays open.
    void OKBtnClick();
    void CanselBtnClick();
};

} // namespace nimbrel
