// The dialogs' shared base and the choice of dialog by kind.
#include "dialogs/dialog.h"

#include "dialogs/main_dialog.h"
#include "dialogs/other_set_dlg.h"
#include "dialogs/set_dialog.h"

namespace nimbrel {

Dialog::Dialog(const DialogLayout& layout, DialogHost& host) : controls_(layout), host_(&host) {}

std::unique_ptr<Dialog> MakeDialog(DialogKind kind, DialogHost& host)
{
    switch (kind) {
    case DialogKind::MainDialog: return std::make_unique<TMainDialog>(host);
    case DialogKind::SetDialog: return std::make_unique<TSetDialog>(host);
    case DialogKind::OtherSetDlg: return std::make_unique<TOtherSetDlg>(host);
    }
    return nullptr;
}

} // namespace nimbrel
