#include "forms/vxform.h"

#include <algorithm>
#include <optional>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/general_options.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "forms/dxfcheckbox.h"
#include "forms/mydrawgrid.h"
#include "forms/myedit.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/registry.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

// Separators of the form-state string, and what stands for them inside items. A control value
// writes ":" as character 15; an extra string writes "." as character 14. Character 16 makes
// the character after it literal, so that a text holding 14, 15 or 16 reads back unchanged.
constexpr char kColonInValue = '\x0F';
constexpr char kDotInExtra = '\x0E';
constexpr char kLiteral = '\x10';

/// How much of the form stays visible when a remembered state is applied.
constexpr int32_t kKeepVisible = 60;

std::string EscapeItem(std::string_view text, char separator, char standIn) {
    std::string out;
    for (char c : text) {
        if (c == separator) {
            out += standIn;
        } else if (c == standIn || c == kLiteral) {
            out += kLiteral;
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeItem(std::string_view text, char separator, char standIn) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kLiteral && i + 1 < text.size()) {
            out += text[++i];
        } else if (text[i] == standIn) {
            out += separator;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<int32_t> ParseNumber(std::string_view text) {
    int32_t value = 0;
    if (!vcl::ParseWholeNumber(text, value)) {
        return std::nullopt;
    }
    return value;
}

// ---- Kinds of control ----

enum class Kind { None, CheckBox, DxfCheckBox, Edit, MyEdit, CourierEdit, ComboBox, Grid, RadioGroup };

/// The kind of a component: only its own class counts, never a base class.
Kind KindOf(const vcl::TComponent& component) {
    const std::type_info& type = typeid(component);
    if (type == typeid(vcl::TCheckBox)) {
        return Kind::CheckBox;
    }
    if (type == typeid(TdxfCheckBox)) {
        return Kind::DxfCheckBox;
    }
    if (type == typeid(vcl::TEdit)) {
        return Kind::Edit;
    }
    if (type == typeid(TMyEdit)) {
        return Kind::MyEdit;
    }
    if (type == typeid(TCourierEdit)) {
        return Kind::CourierEdit;
    }
    if (type == typeid(vcl::TComboBox)) {
        return Kind::ComboBox;
    }
    if (type == typeid(MyDrawGrid)) {
        return Kind::Grid;
    }
    if (type == typeid(vcl::TRadioGroup)) {
        return Kind::RadioGroup;
    }
    return Kind::None;
}

/// The largest row or column number a grid value can hold.
constexpr int32_t kGridPartLimit = 4095;

std::string GridValue(const MyDrawGrid& grid) {
    const int32_t parts[] = {grid.RowCount(), grid.ColCount(), grid.TopRow(), grid.LeftCol(), grid.Row(), grid.Col()};
    if (std::any_of(std::begin(parts), std::end(parts), [](int32_t p) { return p < 0 || p > kGridPartLimit; })) {
        // Not storable: an empty value restores nothing.
        return "";
    }
    return std::to_string(grid.RowCount() + grid.ColCount() * 4096) + "," +
           std::to_string(grid.TopRow() + grid.LeftCol() * 4096) + "," + std::to_string(grid.Row() + grid.Col() * 4096);
}

/// The value of a control of a known kind; nullopt for other components.
std::optional<std::string> ValueOf(vcl::TComponent& component) {
    switch (KindOf(component)) {
        case Kind::CheckBox:
            return std::to_string(static_cast<int32_t>(static_cast<vcl::TCheckBox&>(component).State()));
        case Kind::DxfCheckBox:
            return static_cast<TdxfCheckBox&>(component).Checked() ? "1" : "0";
        case Kind::Edit:
        case Kind::CourierEdit:
        case Kind::ComboBox:
            return static_cast<vcl::TControl&>(component).Text();
        case Kind::MyEdit:
            return static_cast<TMyEdit&>(component).GetMyText();
        case Kind::Grid:
            return GridValue(static_cast<MyDrawGrid&>(component));
        case Kind::RadioGroup: {
            // One character: "0" + ItemIndex ("/" for no item; indexes that would leave the
            // printable characters are written as no item).
            const int32_t index = static_cast<vcl::TRadioGroup&>(component).ItemIndex();
            return std::string(1, index >= -1 && index <= '~' - '0' ? static_cast<char>('0' + index) : '/');
        }
        case Kind::None:
            break;
    }
    return std::nullopt;
}

enum class ItemResult { Taken, Bad };

ItemResult ApplyGridValue(MyDrawGrid& grid, std::string_view value) {
    int32_t numbers[3] = {4097, 4097, 4097};
    size_t start = 0;
    for (int32_t& number : numbers) {
        if (start > value.size()) {
            break;
        }
        size_t end = value.find(',', start);
        if (end == std::string_view::npos) {
            end = value.size();
        }
        number = ParseNumber(value.substr(start, end - start)).value_or(4097);
        start = end + 1;
    }
    // Each number holds two parts of 12 bits; a number beyond them is damaged, and taking it
    // would leave the grid in a state no value can store.
    constexpr int32_t kLargestNumber = kGridPartLimit * 4096 + kGridPartLimit;
    if (std::any_of(std::begin(numbers), std::end(numbers), [](int32_t n) { return n < 0 || n > kLargestNumber; })) {
        return ItemResult::Taken;
    }
    const int32_t rowCount = numbers[0] & 4095;
    const int32_t colCount = numbers[0] >> 12;
    const int32_t topRow = numbers[1] & 4095;
    const int32_t leftCol = numbers[1] >> 12;
    const int32_t row = numbers[2] & 4095;
    const int32_t col = numbers[2] >> 12;
    // Values a grid cannot take are passed over, as is the empty value of a grid too large to store.
    if (rowCount <= 0 || colCount <= 0 || row <= 0 || col <= 0 || row >= rowCount || col >= colCount ||
        row < grid.FixedRows() || col < grid.FixedCols()) {
        return ItemResult::Taken;
    }
    grid.SetRowCount(rowCount);
    grid.SetColCount(colCount);
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetTopRow(topRow);
    grid.SetLeftCol(leftCol);
    return ItemResult::Taken;
}

/// Applies one control item. A value that the control's kind cannot take is Bad: the control
/// was written by another layout, or the value is damaged.
ItemResult ApplyControlValue(vcl::TComponent& component, const std::string& value, bool applyPosition) {
    switch (KindOf(component)) {
        case Kind::CheckBox: {
            if (value.size() != 1 || value[0] < '0' || value[0] > '2') {
                return ItemResult::Bad;
            }
            static_cast<vcl::TCheckBox&>(component).SetState(static_cast<vcl::TCheckBoxState>(value[0] - '0'));
            return ItemResult::Taken;
        }
        case Kind::DxfCheckBox:
            if (value != "0" && value != "1") {
                return ItemResult::Bad;
            }
            static_cast<TdxfCheckBox&>(component).SetChecked(value == "1");
            return ItemResult::Taken;
        case Kind::Edit:
        case Kind::CourierEdit:
        case Kind::ComboBox:
            static_cast<vcl::TControl&>(component).SetText(value);
            return ItemResult::Taken;
        case Kind::MyEdit: {
            auto& edit = static_cast<TMyEdit&>(component);
            if (edit.OnDblClick && !applyPosition) {
                return ItemResult::Taken;
            }
            edit.SetMyText(value);
            return ItemResult::Taken;
        }
        case Kind::Grid:
            return ApplyGridValue(static_cast<MyDrawGrid&>(component), value);
        case Kind::RadioGroup: {
            auto& group = static_cast<vcl::TRadioGroup&>(component);
            if (value.size() != 1 || value[0] < '0') {
                return ItemResult::Taken;  // no item was chosen ("/"): passed over
            }
            if (value[0] - '0' >= group.Items().Count()) {
                return ItemResult::Bad;
            }
            group.SetItemIndex(value[0] - '0');
            return ItemResult::Taken;
        }
        case Kind::None:
            break;
    }
    // A component that keeps no state: its item is passed over.
    return ItemResult::Taken;
}

// ---- Reading a form-state string ----

struct ParsedState {
    std::vector<std::optional<int32_t>> ints;
    std::vector<std::string> strings;
    bool extrasUnended = false;  ///< an extra item without its ".": the reading ends there
    bool hasPosition = false;
    int32_t left = -1;
    int32_t top = -1;
    int32_t width = -1;
    int32_t height = -1;
    std::vector<std::pair<int32_t, std::string>> controls;
    bool controlsBroken = false;  ///< the control items end in one that cannot be read
};

bool ParsePosition(std::string_view text, ParsedState& state) {
    const size_t comma = text.find(',');
    const size_t s = text.find('S', comma == std::string_view::npos ? 0 : comma);
    const size_t comma2 = text.find(',', s == std::string_view::npos ? 0 : s);
    if (comma == std::string_view::npos || s == std::string_view::npos || comma2 == std::string_view::npos) {
        return false;
    }
    // A number that does not read counts as -1: a bad size leaves the size alone, a bad Left or
    // Top the position too.
    state.left = ParseNumber(text.substr(0, comma)).value_or(-1);
    state.top = ParseNumber(text.substr(comma + 1, s - comma - 1)).value_or(-1);
    state.width = ParseNumber(text.substr(s + 1, comma2 - s - 1)).value_or(-1);
    state.height = ParseNumber(text.substr(comma2 + 1)).value_or(-1);
    return true;
}

ParsedState ParseState(std::string_view text) {
    ParsedState state;
    size_t pos = 0;
    // Extra items: "C" number "." and "T" text ".".
    for (const char tag : {'C', 'T'}) {
        while (pos < text.size() && text[pos] == tag) {
            const size_t dot = text.find('.', pos + 1);
            if (dot == std::string_view::npos) {
                state.extrasUnended = true;
                return state;
            }
            const std::string_view item = text.substr(pos + 1, dot - pos - 1);
            if (tag == 'C') {
                state.ints.push_back(ParseNumber(item));
            } else {
                state.strings.push_back(UnescapeItem(item, '.', kDotInExtra));
            }
            pos = dot + 1;
        }
    }
    if (pos < text.size() && text[pos] == 'P') {
        size_t end = text.find(':', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        state.hasPosition = ParsePosition(text.substr(pos + 1, end - pos - 1), state);
        pos = end;
    }
    if (pos < text.size() && text[pos] != ':') {
        // Text left over from an extra item that held a "." (states written before "." was
        // escaped): no control item can be read.
        state.controlsBroken = true;
        return state;
    }
    while (pos < text.size()) {
        const size_t second = text.find(':', pos + 1);
        if (second == std::string_view::npos) {
            state.controlsBroken = true;
            return state;
        }
        const auto index = ParseNumber(text.substr(pos + 1, second - pos - 1));
        if (!index) {
            state.controlsBroken = true;  // no component has such an index
            return state;
        }
        size_t end = text.find(':', second + 1);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        state.controls.emplace_back(*index,
                                    UnescapeItem(text.substr(second + 1, end - second - 1), ':', kColonInValue));
        pos = end;
    }
    return state;
}

/// What an applied state has given the form, so that the fallback leaves it alone.
struct Taken {
    std::vector<bool> ints;      ///< by extra integer number - 1
    std::vector<bool> strings;   ///< by extra string number - 1
    std::vector<bool> controls;  ///< by component index
};

/// Applies the control items in order and stops at the first that names no component of the
/// form or whose value its control cannot take; an item of a component that keeps no state is
/// passed over. Answers whether every item was taken.
bool ApplyControls(VxForm& form, const ParsedState& state, bool applyPosition) {
    const int32_t count = form.ComponentCount();
    for (const auto& [index, value] : state.controls) {
        if (index < 0 || index >= count) {
            return false;  // written by a layout with more components
        }
        if (ApplyControlValue(*form.Components(index), value, applyPosition) != ItemResult::Taken) {
            return false;
        }
    }
    return !state.controlsBroken;
}

/// Gives the default value to every extra and control that the applied text did not give one.
void ApplyDefaultsExcept(VxForm& form, const Taken& taken) {
    const ParsedState defaults = ParseState(form.DefaultState());
    for (size_t i = 0; i < defaults.ints.size() && i < taken.ints.size(); ++i) {
        if (!taken.ints[i] && defaults.ints[i]) {
            form.SetExtraInt(static_cast<int32_t>(i + 1), *defaults.ints[i]);
        }
    }
    for (size_t i = 0; i < defaults.strings.size() && i < taken.strings.size(); ++i) {
        if (!taken.strings[i]) {
            form.SetExtraString(static_cast<int32_t>(i + 1), defaults.strings[i]);
        }
    }
    for (const auto& [index, value] : defaults.controls) {
        if (index >= 0 && index < form.ComponentCount() && !taken.controls[static_cast<size_t>(index)]) {
            ApplyControlValue(*form.Components(index), value, false);
        }
    }
}

}  // namespace

// ---- VxForm ----

VxForm::VxForm(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetScaled(TheModule.process.GeneralOptions[GO_SCALE_DIALOGS].value != 0);
}

int32_t VxForm::GetExtraInt(int32_t /*index*/) {
    return 0;
}
void VxForm::SetExtraInt(int32_t /*index*/, int32_t /*value*/) {}
std::string VxForm::GetExtraString(int32_t /*index*/) {
    return "";
}
void VxForm::SetExtraString(int32_t /*index*/, const std::string& /*value*/) {}

void VxForm::Constructed() {
    CaptureDefaultState(*this);
    VxForm_KeepOnScreen(*this, Width(), Height());
}

char VxUpperCase(char c) {
    return static_cast<char>(win::CharUpper(static_cast<uint8_t>(c)));
}

char VxLowerCase(char c) {
    return static_cast<char>(win::CharLower(static_cast<uint8_t>(c)));
}

void VxForm::WndProc(vcl::TMessage& message) {
    if (!Modal() && message.Msg == win::WM_ACTIVATE && m_collapseMode != 0 &&
        win::IsWindow(DispatcherEnvironment().HostWindow()) &&
        win::IsWindowVisible(DispatcherEnvironment().HostWindow()) && LumvarBound()) {
        // Lumvar2000 collapses the form to its caption when it loses the activation and gives
        // it back its size when it is activated again. Before the first command has bound
        // Lumvar2000 there is nobody to ask (and its wrapper would only complain).
        CallToggleWindowSize(Handle(), (message.WParam & 0xFFFF) != win::WA_INACTIVE, m_collapseState.data(),
                             m_collapseMode == 1);
    }
    if (!Modal() && VxForm_ForwardMenuChar(*this, message)) {
        return;
    }
    vcl::TForm::WndProc(message);
}

bool VxForm_ForwardMenuChar(VxForm& form, vcl::TMessage& message) {
    if (message.Msg != win::WM_MENUCHAR || ((message.WParam >> 16) & win::MF_SYSMENU) == 0 ||
        (message.WParam & 0xFFFF) == 0) {
        return false;
    }
    // Alt+letter in a form that the host owns: the control whose caption has the letter as
    // accelerator takes it, and the system closes its menu without a beep.
    const auto character = static_cast<char>(message.WParam & 0xFF);
    constexpr intptr_t kAltDown = 0x20000000;
    const win::Hwnd window = form.Handle();
    if (win::SendMessage(window, vcl::CM_DIALOGCHAR, static_cast<uint8_t>(VxLowerCase(character)), kAltDown) != 0 ||
        (win::IsWindow(window) &&
         win::SendMessage(window, vcl::CM_DIALOGCHAR, static_cast<uint8_t>(VxUpperCase(character)), kAltDown) != 0)) {
        message.Result = win::MNC_CLOSE << 16;
        return true;
    }
    return false;
}

void CaptureDefaultState(VxForm& form) {
    if (!form.m_defaultCaptured) {
        form.m_defaultCaptured = true;
        form.m_defaultState = VxForm_WriteState(form);
    }
}

// ---- The form-state string ----

std::string VxForm_WriteState(VxForm& form) {
    std::string text;
    const int32_t ints = form.GetExtraInt(0);
    for (int32_t i = 1; i <= ints; ++i) {
        text += "C" + std::to_string(form.GetExtraInt(i)) + ".";
    }
    const int32_t strings = form.GetExtraInt(-1);
    for (int32_t i = 1; i <= strings; ++i) {
        text += "T" + EscapeItem(form.GetExtraString(i), '.', kDotInExtra) + ".";
    }
    text += "P" + std::to_string(form.Left()) + "," + std::to_string(form.Top()) + "S" + std::to_string(form.Width()) +
            "," + std::to_string(form.Height());
    for (int32_t i = 0; i < form.ComponentCount(); ++i) {
        if (const auto value = ValueOf(*form.Components(i))) {
            text += ":" + std::to_string(i) + ":" + EscapeItem(*value, ':', kColonInValue);
        }
    }
    return text;
}

bool VxForm_ApplyState(VxForm& form, std::string_view text, bool applyPosition, bool applySize, bool fallBack) {
    CaptureDefaultState(form);
    if (text.empty()) {
        return true;
    }
    const ParsedState state = ParseState(text);
    // The extras are given in the order they stand (those the form does not have are passed
    // over); an extra item without its "." ends the reading at once.
    const auto wantedInts = static_cast<size_t>(std::max(0, form.GetExtraInt(0)));
    const auto wantedStrings = static_cast<size_t>(std::max(0, form.GetExtraInt(-1)));
    for (size_t i = 0; i < state.ints.size() && i < wantedInts; ++i) {
        form.SetExtraInt(static_cast<int32_t>(i + 1), state.ints[i].value_or(0));
    }
    for (size_t i = 0; i < state.strings.size() && i < wantedStrings; ++i) {
        form.SetExtraString(static_cast<int32_t>(i + 1), state.strings[i]);
    }
    if (state.extrasUnended) {
        return false;
    }
    if (state.hasPosition && state.left > 0 && state.top > 0 && applyPosition) {
        const bool resize = applySize && state.width > 0 && state.height > 0;
        form.SetBounds(state.left, state.top, resize ? state.width : form.Width(),
                       resize ? state.height : form.Height());
    }
    // The control items in order, up to the first one that cannot be read or applied: the text
    // counts as applied when its last item was taken. Otherwise the defaults follow when the
    // caller asks for them (loading does, Defaults does not).
    const bool applied = ApplyControls(form, state, applyPosition);
    if (!applied && fallBack) {
        VxForm_RestoreDefaults(form);
    }
    VxForm_KeepOnScreen(form, kKeepVisible, kKeepVisible);
    return applied;
}

void VxForm_RestoreDefaults(VxForm& form) {
    CaptureDefaultState(form);
    VxForm_ApplyState(form, form.DefaultState(), false, false, false);
}

std::string VxForm_StateValueName(std::string_view formName, std::string_view suffix) {
    std::string name = std::string(formName) + std::string(suffix);
    const size_t underscore = name.find('_');
    if (underscore != std::string::npos) {
        size_t end = underscore + 1;
        while (end < name.size() && static_cast<unsigned char>(name[end]) <= '9') {
            ++end;
        }
        name.erase(underscore, end - underscore);
    }
    return name;
}

void VxForm_LoadState(VxForm& form, bool applySize, std::string_view suffix) {
    CaptureDefaultState(form);
    if (!TheModule.process.Registry) {
        return;
    }
    std::string text;
    bool unreadable = false;
    try {
        if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
            const std::string name = VxForm_StateValueName(form.Name(), suffix);
            if (TheModule.process.Registry->ValueExists(name)) {
                text = TheModule.process.Registry->ReadString(name);
            }
        }
    } catch (const vcl::ERegistryException&) {
        unreadable = true;  // a value of another type
    }
    TheModule.process.Registry->CloseKey();
    if (unreadable) {
        // Nothing of it can be read: every control keeps or gets its default.
        ApplyDefaultsExcept(form, Taken{std::vector<bool>(static_cast<size_t>(std::max(0, form.GetExtraInt(0)))),
                                        std::vector<bool>(static_cast<size_t>(std::max(0, form.GetExtraInt(-1)))),
                                        std::vector<bool>(static_cast<size_t>(form.ComponentCount()))});
        VxForm_KeepOnScreen(form, kKeepVisible, kKeepVisible);
        return;
    }
    VxForm_ApplyState(form, text, true, applySize, true);
}

void VxForm_SaveState(VxForm& form, std::string_view suffix) {
    if (!TheModule.process.Registry) {
        return;
    }
    try {
        if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
            TheModule.process.Registry->WriteString(VxForm_StateValueName(form.Name(), suffix),
                                                    VxForm_WriteState(form));
        }
    } catch (const vcl::ERegistryException&) {
        // Not saved: the form keeps its state for this session only.
    }
    TheModule.process.Registry->CloseKey();
}

void VxForm_KeepOnScreen(VxForm& form, int32_t marginX, int32_t marginY) {
    const vcl::TRect area = TheModule.process.GeneralOptions[GO_ALLOW_SECOND_MONITOR].value != 0
                                ? vcl::Screen->DesktopRect()
                                : vcl::Rect(0, 0, vcl::Screen->Width(), vcl::Screen->Height());
    int32_t left = form.Left();
    int32_t top = form.Top();
    if (left > area.Right - marginX) {
        left = area.Right - marginX;
    }
    if (top > area.Bottom - marginY) {
        top = area.Bottom - marginY;
    }
    if (left + form.Width() < area.Left + marginX) {
        left = area.Left + marginX - form.Width();
    }
    if (top + form.Height() < area.Top + marginY) {
        top = area.Top + marginY - form.Height();
    }
    form.SetBounds(left, top, form.Width(), form.Height());
}

}  // namespace orvex
