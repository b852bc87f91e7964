// Keyboard rules shared by the three dialogs: where the focus goes and which
// push button Enter and Escape press. The platform asks these and carries
// out the answer, so that every renderer behaves alike.
#pragma once

#include <optional>
#include <vector>

#include "dialogs/control_model.h"
#include "dialogs/layout.h"

namespace nimbrel {

// The controls that can take the focus, in the order the Tab key visits
// them: each parent's children by tab order, a container's controls right
// after the container. Controls on a page that is not showing are in the
// list; the platform skips them while their page is hidden.
std::vector<ControlId> TabSequence(const DialogLayout& layout);

// Whether Tab stops at a control of the tab sequence as the model stands, as
// in any Windows dialog: the radio buttons of a group are one stop, at the
// selected one (the first while none is), and the arrow keys move within
// the group. Every other control of the sequence is a stop.
bool IsTabStop(const ControlModel& model, ControlId id);

// The control that has the focus when the dialog opens: the first of the
// tab sequence.
std::optional<ControlId> InitialFocus(const DialogLayout& layout);

enum class DialogKey { Enter, Escape };

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The push button that the key presses, or nothing. Keys act only with no
// Shift, Ctrl or Alt held. Enter presses the push button that has the focus,
// or else the default button; Escape presses the cancel button, and does
// nothing in a dialog without one.
std::optional<ControlId> ButtonForKey(const DialogLayout& layout, DialogKey key,
                                      KeyModifiers modifiers, std::optional<ControlId> focused);

} // namespace nimbrel
