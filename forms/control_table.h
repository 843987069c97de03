// A form's controls as a table: one row a control, in the order the form makes them (their order
// numbers the form's components, which its remembered state goes by), fed to Designed.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>
#include <variant>

#include "forms/designed.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

/// One control of a form made in code: the form's field that holds it (its type is the class
/// made), the field of its parent (none: the form itself), its name, its caption (none: the class
/// leaves its own), its bounds and, for a check box, whether it starts checked.
template <class Form>
struct DesignedControl {
    using Field =
        std::variant<vcl::TGroupBox * Form::*, vcl::TPanel * Form::*, vcl::TCheckBox * Form::*, vcl::TButton * Form::*,
                     vcl::TBitBtn * Form::*, vcl::TComboBox * Form::*, vcl::TRadioGroup * Form::*, vcl::TEdit * Form::*,
                     vcl::TUpDown * Form::*, vcl::TLabel * Form::*, vcl::TStaticText * Form::*,
                     vcl::TCheckListBox * Form::*, vcl::TMemo * Form::*>;
    using Parent = std::variant<std::monostate, vcl::TGroupBox * Form::*, vcl::TPanel * Form::*>;

    Field field;
    Parent parent;
    const char* name = nullptr;
    const char* caption = nullptr;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool checked = false;
};

/// Makes the controls of the rows in their order, places each with Designed and stores it in its
/// field of the form.
template <class Form>
void PlaceControls(Form& form, std::span<const DesignedControl<Form>> rows) {
    for (const DesignedControl<Form>& row : rows) {
        vcl::TWinControl* parent = std::visit(
            [&form](auto member) -> vcl::TWinControl* {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return &form;
                } else {
                    return form.*member;
                }
            },
            row.parent);
        std::visit(
            [&](auto member) {
                using Control = std::remove_pointer_t<std::remove_reference_t<decltype(form.*member)>>;
                auto* control =
                    Designed(parent, new Control(&form), row.name, row.left, row.top, row.width, row.height);
                if (row.caption != nullptr) {
                    control->SetCaption(row.caption);
                }
                if constexpr (std::is_same_v<Control, vcl::TCheckBox>) {
                    control->SetChecked(row.checked);
                }
                form.*member = control;
            },
            row.field);
    }
}

}  // namespace orvex
