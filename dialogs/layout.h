// The layout of a settings dialog as plain data: window caption, client size,
// font and every control with its place, caption, range, initial state and
// tab order. One description per dialog is the single source that the
// Windows renderer, the tests and the screenshot tools all read.
//
// Every dialog has a fixed dialog frame with a close box and no minimise or
// maximise box, and is centred on the screen when shown. Positions and sizes
// are pixels at 96 pixels per inch, relative to the parent's client area.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace nimbrel {

// The three settings dialogs.
enum class DialogKind { MainDialog, SetDialog, OtherSetDlg };

// A control's identifier, unique within its dialog and stable across builds,
// so that the platform can map native controls to it and tests can find it.
// The effect selection dialog numbers its controls from 101, the detail
// dialog from 201 and the other settings dialog from 301, so an id seen in a
// trace tells its dialog; none is 1 or 2, the ids Windows sends for Enter and
// Escape, so those reach the platform's key handling and never a control.
using ControlId = std::uint16_t;

// The parent id of the controls that sit directly on the window.
inline constexpr ControlId kWindowId = 0;

// Tab order of controls that never take the focus (labels, pages).
inline constexpr int kNoTabOrder = -1;

enum class ControlKind {
    GroupBox,
    CheckBox,
    PushButton,
    RadioButton,  // radio buttons with the same parent form one group
    Label,
    EditBox,      // single line
    TrackBar,     // horizontal, a tick mark below the bar at every whole value
    PageControl,  // a tab control; its pages are its TabSheet children, in order
    TabSheet,     // fills its tab control's display area, which the platform computes
};

// What Enter and Escape do to a push button (see navigation.h).
enum class ButtonRole { Plain, Default, Cancel };

struct ControlBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The closed range of a track bar's positions.
struct TrackRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
};

struct ControlLayout {
    ControlId id = 0;
    std::string_view name{};
    ControlKind kind = ControlKind::Label;
    ControlId parent = kWindowId;
    ControlBounds bounds{};
    std::string_view caption{};
    // Order of focus among the controls of the same parent.
    int tabOrder = kNoTabOrder;
    ButtonRole role = ButtonRole::Plain;
    // Track bars: the range and the position at creation.
    TrackRange range{};
    std::int32_t position = 0;
    // Check boxes ticked and radio buttons selected at creation.
    bool checked = false;
    // Edit boxes: the text at creation, and how many characters the user may
    // type. The limit binds typing only; a longer text set by the program is
    // shown in full.
    std::string_view text{};
    int typingLimit = 0;
};

struct FontLayout {
    std::string_view face{};
    int height = 0;  // character height in pixels; drawn in the window-text colour
};

struct DialogLayout {
    DialogKind kind = DialogKind::MainDialog;
    std::string_view formName{};   // "MainDialog"
    std::string_view className{};  // "TMainDialog"
    std::string_view caption{};
    int clientWidth = 0;
    int clientHeight = 0;
    FontLayout font{};
    // Parents come before their children; pages of a tab control are listed
    // in the order of their tabs.
    std::span<const ControlLayout> controls{};
};

const DialogLayout& MainDialogLayout();
const DialogLayout& SetDialogLayout();
const DialogLayout& OtherSetDlgLayout();
const DialogLayout& LayoutOf(DialogKind kind);

// Lookups; nullptr when the dialog has no such control.
const ControlLayout* FindControl(const DialogLayout& layout, std::string_view name);
const ControlLayout* FindControl(const DialogLayout& layout, ControlId id);

// The controls whose parent is `parent`, in the order they are listed.
std::vector<const ControlLayout*> ChildrenOf(const DialogLayout& layout, ControlId parent);

// The default or the cancel push button, if the dialog has one.
std::optional<ControlId> ButtonWithRole(const DialogLayout& layout, ButtonRole role);

} // namespace nimbrel
