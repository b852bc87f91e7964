// What a dialog's handlers ask the platform to do. The handlers decide; the
// platform (the Windows renderer, or a script in the tests) carries it out.
// Each dialog window has its own host.
#pragma once

#include "dialogs/layout.h"

namespace nimbrel {

enum class ModalResult { OK, Cancel };

class DialogHost {
public:
    virtual ~DialogHost() = default;

    // Creates a fresh instance of the dialog, owned by the application
    // object and not its main window, runs its FormCreate, shows it modally
    // (this window takes no input meanwhile) and destroys it once it closed.
    // Returns when the modal showing ends.
    virtual void ShowModal(DialogKind kind) = 0;

    // The same for a saver window of a test run: created anew, shown
    // modally over this window, destroyed when whatever ends the saver has
    // closed it.
    virtual void RunTestSaver() = 0;

    // Closes this window once the running handler returns: a modal showing
    // ends with the result; closing the main window ends the program. The
    // close box, the system menu's close command and the close shortcut
    // close the window as Close(ModalResult::Cancel) does, running no
    // handler but FormClose.
    virtual void Close(ModalResult result) = 0;
};

} // namespace nimbrel
