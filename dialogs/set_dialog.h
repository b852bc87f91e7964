// TSetDialog: the effect detail dialog. It edits the band height and speed of
// Wave, the speed and periodic restore of Melt and the amount of Noise: six
// keys, read when the dialog is created and written together on OK.
#pragma once

#include "dialogs/control_model.h"
#include "dialogs/dialog.h"
#include "dialogs/dialog_host.h"

namespace nimbrel {

class TSetDialog final : public Dialog {
public:
    explicit TSetDialog(DialogHost& host);

    PushButton OKBtn;
    PushButton CanncelBtn;
    PageControl PageControl1;
    TabSheet TabSheet1;  // Wave
    TabSheet TabSheet2;  // Melt
    TabSheet TabSheet3;  // Noise
    TrackBar WavePitchBar;
    Label Label1;
    Label Label2;
    Label Label3;
    Label Label6;
    TrackBar WaveSpeedBar;
    Label Label5;
    Label Label4;
    Label Label7;
    Label Label8;
    TrackBar MeltSpeedBar;
    Label Label9;
    Label Label10;
    Label Label11;
    TrackBar NoiseDealBar;
    Label Label12;
    Label Label13;
    RadioButton MeltReRBtn0;  // restore; its state is the stored one
    RadioButton MeltReRBtn1;  // do not restore; always the complement
    EditBox MeltReEdit;       // restore period in seconds, kept as typed
    Label Label14;

    // Loads the six controls; values outside a bar's range are pulled to
    // its nearer end, and a later OK stores the pulled value.
    void FormCreate() override;
    void ButtonClick(ControlId id) override;

    // Stores Wave/Pitch, Wave/Speed, Melt/Speed, Melt/Recover, then the
    // seconds box converted by ParseInteger as Melt/RecoverTime, then
    // Noise/Deal, and closes. A seconds text that is not an integer throws
    // EConvertError after the first four keys are stored; a failed store
    // throws at that key. Either way the dialog stays open.
    void OKBtnClick();
    void CanncelBtnClick();
};

} // namespace nimbrel
