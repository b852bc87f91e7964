// Lookups over a dialog's layout, and the choice of description by kind.
#include "dialogs/layout.h"

#include <algorithm>

namespace nimbrel {

const DialogLayout& LayoutOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::MainDialog: return MainDialogLayout();
    case DialogKind::SetDialog: return SetDialogLayout();
    case DialogKind::OtherSetDlg: return OtherSetDlgLayout();
    }
    return MainDialogLayout();
}

const ControlLayout* FindControl(const DialogLayout& layout, std::string_view name)
{
    auto found = std::ranges::find(layout.controls, name, &ControlLayout::name);
    return found == layout.controls.end() ? nullptr : &*found;
}

const ControlLayout* FindControl(const DialogLayout& layout, ControlId id)
{
    auto found = std::ranges::find(layout.controls, id, &ControlLayout::id);
    return found == layout.controls.end() ? nullptr : &*found;
}

std::vector<const ControlLayout*> ChildrenOf(const DialogLayout& layout, ControlId parent)
{
    std::vector<const ControlLayout*> children;
    for (const ControlLayout& control : layout.controls) {
        if (control.parent == parent) children.push_back(&control);
    }
    return children;
}

std::optional<ControlId> ButtonWithRole(const DialogLayout& layout, ButtonRole role)
{
    for (const ControlLayout& control : layout.controls) {
        if (control.kind == ControlKind::PushButton && control.role == role) return control.id;
    }
    return std::nullopt;
}

} // namespace nimbrel
