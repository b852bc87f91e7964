// Control states: the track bars' clamping and the radio groups' exclusion.
#include "dialogs/control_model.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace nimbrel {
namespace {

[[noreturn]] void ThrowNoSuchControl(const DialogLayout& layout, std::string_view control)
{
    throw std::invalid_argument(std::string(layout.formName) + " has no control " +
                                std::string(control) + " of that kind");
}

} // namespace

ControlModel::ControlModel(const DialogLayout& layout) : layout_(&layout)
{
    states_.reserve(layout.controls.size());
    for (const ControlLayout& control : layout.controls) {
        State state;
        state.checked = control.checked;
        state.position = control.position;
        state.text = std::string(control.text);
        states_.push_back(std::move(state));
    }
}

std::size_t ControlModel::IndexOf(ControlId id, ControlKind kind, ControlKind otherKind) const
{
    auto controls = layout_->controls;
    auto found = std::ranges::find(controls, id, &ControlLayout::id);
    if (found == controls.end() || (found->kind != kind && found->kind != otherKind)) {
        ThrowNoSuchControl(*layout_, std::to_string(id));
    }
    return static_cast<std::size_t>(found - controls.begin());
}

bool ControlModel::Checked(ControlId id) const
{
    return states_[IndexOf(id, ControlKind::CheckBox, ControlKind::RadioButton)].checked;
}

void ControlModel::SetChecked(ControlId id, bool checked)
{
    std::size_t index = IndexOf(id, ControlKind::CheckBox, ControlKind::RadioButton);
    const ControlLayout& control = layout_->controls[index];
    if (control.kind == ControlKind::CheckBox) {
        states_[index].checked = checked;
        return;
    }
    if (!checked) return;
    for (std::size_t i = 0; i < states_.size(); ++i) {
        const ControlLayout& other = layout_->controls[i];
        if (other.kind == ControlKind::RadioButton && other.parent == control.parent) {
            states_[i].checked = i == index;
        }
    }
}

std::int32_t ControlModel::Position(ControlId id) const
{
    return states_[IndexOf(id, ControlKind::TrackBar)].position;
}

void ControlModel::SetPosition(ControlId id, std::int32_t position)
{
    std::size_t index = IndexOf(id, ControlKind::TrackBar);
    const TrackRange& range = layout_->controls[index].range;
    states_[index].position = std::clamp(position, range.min, range.max);
}

const std::string& ControlModel::Text(ControlId id) const
{
    return states_[IndexOf(id, ControlKind::EditBox)].text;
}

void ControlModel::SetText(ControlId id, std::string_view text)
{
    states_[IndexOf(id, ControlKind::EditBox)].text = std::string(text);
}

ControlRef::ControlRef(ControlModel& model, std::string_view name, ControlKind kind)
    : model_(&model)
{
    const ControlLayout* control = FindControl(model.Layout(), name);
    if (!control || control->kind != kind) ThrowNoSuchControl(model.Layout(), name);
    id_ = control->id;
}

} // namespace nimbrel
