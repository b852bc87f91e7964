// What the three settings dialogs share: a layout, the model of its controls,
// the host that carries out their requests, and the routing of a button
// press to its handler.
//
// The platform's part, for every dialog: build the native controls from
// Layout() and copy the model's states into them; call FormCreate before
// showing, then copy the states again; copy every change the user makes into
// Controls(); route a press of a push button (by mouse, by Enter or Escape
// as ButtonForKey says) to ButtonClick; after a handler returns or throws,
// copy the model's states to the controls. An exception that escapes a
// handler goes to the message loop, which shows it; the dialog stays open
// with its controls as the handler left them, and what it stored before the
// error stays stored. When the window closes, by whatever means, call
// FormClose and do what it returns.
#pragma once

#include <memory>

#include "dialogs/control_model.h"
#include "dialogs/dialog_host.h"
#include "dialogs/layout.h"

namespace nimbrel {

// What happens to a closed window: hidden for a later showing, or destroyed.
enum class CloseAction { Hide, Free };

class Dialog {
public:
    Dialog(const DialogLayout& layout, DialogHost& host);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogLayout& Layout() const { return controls_.Layout(); }
    ControlModel& Controls() { return controls_; }
    const ControlModel& Controls() const { return controls_; }

    // Loads the controls from the settings file; runs once, before showing.
    virtual void FormCreate() = 0;

    // Runs the click handler of the push button with this id. Any other id
    // does nothing.
    virtual void ButtonClick(ControlId id) = 0;

    // Every dialog is made for one showing and destroyed after it closes.
    CloseAction FormClose() const { return CloseAction::Free; }

protected:
    DialogHost& Host() const { return *host_; }

private:
    ControlModel controls_;
    DialogHost* host_;
};

// A new dialog of the given kind, its controls in their laid-out states;
// FormCreate has not run yet.
std::unique_ptr<Dialog> MakeDialog(DialogKind kind, DialogHost& host);

} // namespace nimbrel
