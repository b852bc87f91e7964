// The state of a dialog's controls without a window system: which boxes are
// ticked, which radio button is selected, where each track bar stands and
// what each edit box holds. Handlers read and change this model; the
// platform copies it to the native controls and the user's changes back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/layout.h"

namespace nimbrel {

// Holds one state per control of a layout, starting from the layout's
// initial states. Asking a control for a state it does not have (the
// position of a label, a control of another dialog) throws
// std::invalid_argument: that is a fault of the caller, not of the user.
class ControlModel {
public:
    explicit ControlModel(const DialogLayout& layout);
    ControlModel(const ControlModel&) = delete;
    ControlModel& operator=(const ControlModel&) = delete;

    const DialogLayout& Layout() const { return *layout_; }

    // Check boxes: ticked. Radio buttons: selected. Selecting a radio button
    // clears the others of its group; clearing one is ignored, since a
    // radio button is cleared only by selecting another and exactly one of
    // a group stays selected.
    bool Checked(ControlId id) const;
    void SetChecked(ControlId id, bool checked);

    // Track bars. A position outside the range is put at the nearer end.
    std::int32_t Position(ControlId id) const;
    void SetPosition(ControlId id, std::int32_t position);

    // Edit boxes. Any text is kept whole; the typing limit is the platform's.
    const std::string& Text(ControlId id) const;
    void SetText(ControlId id, std::string_view text);

private:
    struct State {
        bool checked = false;
        std::int32_t position = 0;
        std::string text;
    };

    std::size_t IndexOf(ControlId id, ControlKind kind, ControlKind otherKind) const;
    std::size_t IndexOf(ControlId id, ControlKind kind) const { return IndexOf(id, kind, kind); }

    const DialogLayout* layout_;
    std::vector<State> states_;
};

// Named views of single controls, so that handlers read as the dialog's
// members do (`WavePitchBar.SetPosition(...)`). Each finds its control by
// name when the dialog is built and checks its kind, and throws
// std::invalid_argument when the layout lacks it.
class ControlRef {
public:
    ControlRef(ControlModel& model, std::string_view name, ControlKind kind);
    ControlId Id() const { return id_; }

protected:
    ControlModel& Model() const { return *model_; }

private:
    ControlModel* model_;
    ControlId id_;
};

class CheckBox : public ControlRef {
public:
    CheckBox(ControlModel& model, std::string_view name)
        : ControlRef(model, name, ControlKind::CheckBox) {}
    bool Checked() const { return Model().Checked(Id()); }
    void SetChecked(bool checked) { Model().SetChecked(Id(), checked); }
};

class RadioButton : public ControlRef {
public:
    RadioButton(ControlModel& model, std::string_view name)
        : ControlRef(model, name, ControlKind::RadioButton) {}
    bool Checked() const { return Model().Checked(Id()); }
    void Select() { Model().SetChecked(Id(), true); }
};

class TrackBar : public ControlRef {
public:
    TrackBar(ControlModel& model, std::string_view name)
        : ControlRef(model, name, ControlKind::TrackBar) {}
    std::int32_t Position() const { return Model().Position(Id()); }
    void SetPosition(std::int32_t position) { Model().SetPosition(Id(), position); }
};

class EditBox : public ControlRef {
public:
    EditBox(ControlModel& model, std::string_view name)
        : ControlRef(model, name, ControlKind::EditBox) {}
    const std::string& Text() const { return Model().Text(Id()); }
    void SetText(std::string_view text) { Model().SetText(Id(), text); }
};

// Controls without a state of their own in the model.
template <ControlKind Kind>
class PlainControl : public ControlRef {
public:
    PlainControl(ControlModel& model, std::string_view name) : ControlRef(model, name, Kind) {}
};

using PushButton = PlainControl<ControlKind::PushButton>;
using Label = PlainControl<ControlKind::Label>;
using GroupBox = PlainControl<ControlKind::GroupBox>;
using PageControl = PlainControl<ControlKind::PageControl>;
using TabSheet = PlainControl<ControlKind::TabSheet>;

} // namespace nimbrel
