// Focus order and the Enter and Escape keys over a dialog's layout.
#include "dialogs/navigation.h"

#include <algorithm>

namespace nimbrel {
namespace {

bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::EditBox:
    case ControlKind::TrackBar:
    case ControlKind::PageControl:
        return true;
    case ControlKind::GroupBox:
    case ControlKind::Label:
    case ControlKind::TabSheet:
        return false;
    }
    return false;
}

void AppendInTabOrder(const DialogLayout& layout, ControlId parent, std::vector<ControlId>& sequence)
{
    std::vector<const ControlLayout*> children = ChildrenOf(layout, parent);
    // Pages have no tab order of their own; they keep their listed order.
    std::ranges::stable_sort(children, {}, &ControlLayout::tabOrder);
    for (const ControlLayout* child : children) {
        if (TakesFocus(child->kind) && child->tabOrder != kNoTabOrder) sequence.push_back(child->id);
        AppendInTabOrder(layout, child->id, sequence);
    }
}

} // namespace

std::vector<ControlId> TabSequence(const DialogLayout& layout)
{
    std::vector<ControlId> sequence;
    AppendInTabOrder(layout, kWindowId, sequence);
    return sequence;
}

bool IsTabStop(const ControlModel& model, ControlId id)
{
    const DialogLayout& layout = model.Layout();
    const ControlLayout* control = FindControl(layout, id);
    if (!control || control->kind != ControlKind::RadioButton) return true;
    if (model.Checked(id)) return true;
    std::optional<ControlId> first;
    for (const ControlLayout* sibling : ChildrenOf(layout, control->parent)) {
        if (sibling->kind != ControlKind::RadioButton) continue;
        if (model.Checked(sibling->id)) return false;
        if (!first) first = sibling->id;
    }
    return first == id;
}

std::optional<ControlId> InitialFocus(const DialogLayout& layout)
{
    std::vector<ControlId> sequence = TabSequence(layout);
    if (sequence.empty()) return std::nullopt;
    return sequence.front();
}

std::optional<ControlId> ButtonForKey(const DialogLayout& layout, DialogKey key,
                                      KeyModifiers modifiers, std::optional<ControlId> focused)
{
    if (modifiers.shift || modifiers.ctrl || modifiers.alt) return std::nullopt;
    if (key == DialogKey::Escape) return ButtonWithRole(layout, ButtonRole::Cancel);
    if (focused) {
        const ControlLayout* control = FindControl(layout, *focused);
        if (control && control->kind == ControlKind::PushButton) return control->id;
    }
    return ButtonWithRole(layout, ButtonRole::Default);
}

} // namespace nimbrel
