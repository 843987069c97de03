// The values of the action options dialog: between its controls and the option elements of a
// tool context (or another value list), the remembered state in the registry, the further
// options, the lists that show the document's data, Defaults, and the result list of the search
// tools.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/commands.h"
#include "core/free_texts.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "forms/dactopt.h"
#include "forms/dialog_sources.h"
#include "forms/dxfcheckbox.h"
#include "forms/file_controls.h"
#include "forms/myedit.h"
#include "platform/hostapi/types.h"
#include "platform/vcl/clipbrd.h"
#include "platform/vcl/sysutils.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

const ActionControlRow* RowDefinition(const TDActOpt& dialog, int32_t row) {
    const auto rows = ActionRows(dialog.Item());
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)] : nullptr;
}

/// The Defaults adjustment of the inline table's values from the selected region: only the
/// orchestration table (item 40) takes values from the document. Text cells take their new texts
/// at once; the numbers go into the table list that is applied next.
void AdjustDefaultsFromRegion(TDActOpt& dialog, TableList& table) {
    const int32_t columns = dialog.TableColumns();
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    if (!IsItem(dialog.Item(), ToolItem::Orchestration) || columns <= 0 || cells.empty()) {
        return;
    }
    std::vector<OptionElement> rows(cells.size());
    for (size_t index = 0; index < cells.size(); ++index) {
        ReadOptionControl(dialog, *cells[index], dialog.TableFirstRow() + static_cast<int32_t>(index) % columns,
                          rows[index]);
    }
    TheActionDialogSources().prefillTable(dialog.Context(), dialog.Item(), rows, columns,
                                          static_cast<int32_t>(cells.size()) / columns);
    for (size_t index = 0; index < cells.size() && index < table.size(); ++index) {
        const int32_t row = dialog.TableFirstRow() + static_cast<int32_t>(index) % columns;
        const ActionControlRow* def = RowDefinition(dialog, row);
        if (def != nullptr && def->hasText != 0) {
            WriteOptionControl(dialog, *cells[index], row, rows[index]);
        } else {
            table[index].first = rows[index].value;
        }
    }
}

bool IsNumberRow(const ActionControlRow& def) {
    return !IsMinimumMarker(def.minimum) && def.hasText == 0 && !def.IsCheckBox();
}

/// The rows whose control shows a value, in row order, with their definition.
template <class Visit>
void ForEachValueRow(TDActOpt& dialog, Visit&& visit) {
    const auto rows = ActionRows(dialog.Item());
    for (size_t row = 0; row < rows.size(); ++row) {
        if (vcl::TControl* control = dialog.RowControl(static_cast<int32_t>(row))) {
            visit(static_cast<int32_t>(row), rows[row], *control);
        }
    }
}

/// The controls' values into a value list and a table list, without storing anything.
void ReadDialogValues(TDActOpt& dialog, std::span<OptionElement> values, TableList* tableList) {
    ForEachValueRow(dialog, [&](int32_t row, const ActionControlRow& def, vcl::TControl& control) {
        if (IsListMarker(def.minimum)) {
            auto* list = dynamic_cast<vcl::TListBox*>(&control);
            if (list != nullptr && dialog.Context() != nullptr) {
                std::vector<int32_t>& chosen = dialog.Context()->ChosenItems;
                chosen.clear();
                for (int32_t i = 0; i < list->Items().Count(); ++i) {
                    chosen.push_back(list->Selected(i) ? 1 : 0);
                }
            }
            return;
        }
        if (static_cast<size_t>(row) >= values.size()) {
            return;
        }
        ReadOptionControl(dialog, control, row, values[static_cast<size_t>(row)]);
    });
    const int32_t columns = dialog.TableColumns();
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    if (tableList == nullptr || columns <= 0 || cells.empty()) {
        return;
    }
    tableList->clear();
    const int32_t lines = std::max(1, static_cast<int32_t>(cells.size()) / columns);
    for (int32_t line = 0; line < lines; ++line) {
        for (int32_t column = 0; column < columns; ++column) {
            const auto index = static_cast<size_t>(line * columns + column);
            if (index >= cells.size()) {
                return;
            }
            const int32_t row = dialog.TableFirstRow() + column;
            OptionElement element;
            ReadOptionControl(dialog, *cells[index], row, element);
            tableList->emplace_back(element.value, row);
        }
    }
}

}  // namespace

/// Whether a text is a decimal number as a unit edit reads it ("1.5", "-0,25", " 3 ").
bool IsDecimalText(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        text.remove_prefix(1);
    }
    bool digit = false;
    bool separator = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digit = true;
        } else if (!separator && (c == '.' || c == vcl::FormatSettings.DecimalSeparator)) {
            separator = true;
        } else {
            return false;
        }
    }
    return digit;
}

// ---- One control ----

std::optional<int32_t> EditNumber(const TMyEdit& edit) {
    int32_t value = 0;
    if (edit.Unit() > kUnitEvpu) {
        // A length in the edit's unit is read as EVPU.
        if (!IsDecimalText(edit.Text()) || !vcl::ParseWholeNumber(edit.GetMyText(), value)) {
            return std::nullopt;
        }
        return value;
    }
    std::string_view text = edit.Text();
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!vcl::ParseWholeNumber(text, value)) {
        return std::nullopt;
    }
    return value;
}

void ReadOptionControl(TDActOpt& dialog, vcl::TControl& control, int32_t row, OptionElement& element) {
    const ActionControlRow* def = RowDefinition(dialog, row);
    if (def == nullptr) {
        return;
    }
    if (auto* box = dynamic_cast<TdxfCheckBox*>(&control)) {
        element.value = box->Checked() ? 1 : 0;
        return;
    }
    if (auto* group = dynamic_cast<vcl::TRadioGroup*>(&control)) {
        element.value = group->ItemIndex();
        return;
    }
    auto* edit = dynamic_cast<TMyEdit*>(&control);
    if (edit == nullptr) {
        return;
    }
    if (def->hasText != 0) {
        element.text = edit->GetMyText();
        if (def->minimum == MIN_PITCH) {
            element.value = PitchNameToValue(element.text);
        }
        return;
    }
    element.value = EditNumber(*edit).value_or(def->Value(dialog.OptionSet()));
    if (IsNumberRow(*def)) {
        element.value = std::clamp(element.value, def->minimum, std::max(def->minimum, def->maximum));
    }
}

void WriteOptionControl(TDActOpt& dialog, vcl::TControl& control, int32_t row, OptionElement& element) {
    const ActionControlRow* def = RowDefinition(dialog, row);
    if (def == nullptr) {
        return;
    }
    if (auto* box = dynamic_cast<TdxfCheckBox*>(&control)) {
        box->SetChecked(element.value != 0);
        return;
    }
    if (auto* group = dynamic_cast<vcl::TRadioGroup*>(&control)) {
        if (element.value >= 0 && element.value < group->Items().Count()) {
            group->SetItemIndex(element.value);
        }
        return;
    }
    auto* edit = dynamic_cast<TMyEdit*>(&control);
    if (edit == nullptr) {
        return;
    }
    if (def->hasText != 0) {
        edit->SetText(element.text);
        return;
    }
    if (IsNumberRow(*def)) {
        element.value = std::clamp(element.value, def->minimum, std::max(def->minimum, def->maximum));
    }
    if (edit->Unit() > kUnitEvpu) {
        edit->SetMyText(std::to_string(element.value));
    } else {
        edit->SetText(std::to_string(element.value));
    }
}

int32_t PitchNameAdjustment(std::string_view text) {
    std::string rest(text);
    int32_t adjustment = 0;
    for (size_t at = rest.find("##", 1); at != std::string::npos; at = rest.find("##", 1)) {
        rest.erase(at, 1);
        ++adjustment;
    }
    for (size_t at = rest.find("bb", 1); at != std::string::npos; at = rest.find("bb", 1)) {
        rest.erase(at, 1);
        --adjustment;
    }
    return adjustment;
}

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

/// The host's pitch of a name (service 40): -1 for a text it does not read as a pitch, and
/// when the host does not offer the service.
int32_t HostPitchOfName(std::string_view text) {
    if (!HostOffers(&HostImports::PitchFromName)) {
        return -1;
    }
    const std::string name(text);
    return PitchFromNameOf(name.c_str());
}

/// Tells the user that a row holds no name of the kind it takes and puts the focus into its edit.
void RefusePitchText(TDActOpt& dialog, vcl::TControl& control, std::string_view text, FreeText message) {
    ShowMessage(message, {std::string(text)});
    if (auto* edit = dynamic_cast<vcl::TWinControl*>(&control); edit != nullptr) {
        dialog.SetActiveControl(edit);
    }
}

/// Set while the file list of a dialog is filled anew: the refresh does not nest.
struct FileListRefresh {
    bool running = false;
};

}  // namespace

int32_t PitchNameToValue(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return 0;
    }
    const int32_t pitch = HostPitchOfName(text);
    if (pitch < 0) {
        return -1;
    }
    return pitch + PitchNameAdjustment(text);
}

bool IsPitchText(std::string_view text) {
    text = TrimBlanks(text);
    return text.empty() || HostPitchOfName(text) >= 0;
}

bool CheckPitchRows(TDActOpt& dialog) {
    bool valid = true;
    const auto check = [&](int32_t row, vcl::TControl& control) {
        const ActionControlRow* def = RowDefinition(dialog, row);
        auto* edit = dynamic_cast<TMyEdit*>(&control);
        if (!valid || def == nullptr || def->hasText == 0 || edit == nullptr) {
            return;
        }
        // A tool with a rule of its own for a row's text checks it by that rule.
        if (std::optional<FreeText> refusal; CheckRowText(dialog.Item(), row, edit->GetMyText(), refusal)) {
            if (refusal) {
                RefusePitchText(dialog, control, edit->GetMyText(), *refusal);
                valid = false;
            }
            return;
        }
        if (def->minimum != MIN_PITCH) {
            return;
        }
        const std::string text = edit->GetMyText();
        if (!IsPitchText(text)) {
            RefusePitchText(dialog, control, text, FreeText::NotPitchName);
            valid = false;
        }
    };
    ForEachValueRow(dialog, [&](int32_t row, const ActionControlRow&, vcl::TControl& control) { check(row, control); });
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    const int32_t columns = dialog.TableColumns();
    for (size_t index = 0; columns > 0 && index < cells.size(); ++index) {
        check(dialog.TableFirstRow() + static_cast<int32_t>(index) % columns, *cells[index]);
    }
    return valid;
}

// ---- The whole dialog ----

void ActionDialog_StoreValues(TDActOpt& dialog, int32_t /*item*/, std::span<OptionElement> values,
                              std::span<OptionElement> further, TableList* tableList, int32_t /*optionSet*/) {
    ReadDialogValues(dialog, values, tableList);
    if (!dialog.m_valuesSupplied && dialog.m_shown) {
        VxForm_SaveState(dialog, dialog.m_valueName);
    }
    if (!further.empty()) {
        dialog.m_furtherDestination = further;
    }
    OpenFurtherOptions(dialog, false);
}

void ActionDialog_ApplyValues(TDActOpt& dialog, int32_t /*item*/, std::span<OptionElement> values,
                              std::span<OptionElement> /*further*/, const TableList* tableList, int32_t /*optionSet*/) {
    ForEachValueRow(dialog, [&](int32_t row, const ActionControlRow& def, vcl::TControl& control) {
        if (IsListMarker(def.minimum) || static_cast<size_t>(row) >= values.size()) {
            return;
        }
        WriteOptionControl(dialog, control, row, values[static_cast<size_t>(row)]);
    });
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    const int32_t columns = dialog.TableColumns();
    if (tableList != nullptr && columns > 0) {
        for (size_t index = 0; index < cells.size() && index < tableList->size(); ++index) {
            const int32_t row = dialog.TableFirstRow() + static_cast<int32_t>(index) % columns;
            const ActionControlRow* def = RowDefinition(dialog, row);
            // The table list keeps numbers only: text cells keep their texts.
            if (def == nullptr || def->hasText != 0) {
                continue;
            }
            OptionElement element{"", (*tableList)[index].first};
            WriteOptionControl(dialog, *cells[index], row, element);
        }
    }
    FillInstrumentColumn(dialog);
    UpdateAllDependentOptions(dialog);
    // Values the caller supplied are not remembered.
    if (!dialog.m_valuesSupplied) {
        VxForm_SaveState(dialog, dialog.m_valueName);
    }
}

void FillInstrumentColumn(TDActOpt& dialog) {
    const ActionControlRow* first = RowDefinition(dialog, dialog.TableFirstRow());
    TFMisc* context = dialog.Context();
    if (first == nullptr || first->minimum != MIN_STAFF_COLUMN || context == nullptr ||
        context->Instruments == nullptr) {
        return;
    }
    const TInstruments& staves = *context->Instruments;
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    const int32_t columns = dialog.TableColumns();
    for (int32_t line = 0; line < dialog.TableLines() && line < staves.Count(); ++line) {
        const auto cell = static_cast<size_t>(line * columns);
        if (cell >= cells.size()) {
            return;
        }
        const TInstrRec& staff = staves.At(line);
        const std::string group = context->Groups != nullptr ? context->Groups->NameOfStaff(staff.staff(), staves) : "";
        cells[cell]->SetText(win::AnsiToUtf8(group + staff.name));
    }
}

bool OpenFurtherOptions(TDActOpt& dialog, bool show) {
    if (dialog.m_furtherDestination.empty()) {
        return false;
    }
    const int32_t furtherItem = FurtherOptionsItem[static_cast<size_t>(dialog.Item())];
    if (furtherItem == 0 || ActionRowCount(furtherItem) == 0) {
        return false;
    }
    int32_t optionSet = TheModule.commands.FurtherOptionsGroup[static_cast<size_t>(dialog.Item())];
    if (SeveralOptionSets[static_cast<size_t>(furtherItem)] == 0 || optionSet < 1) {
        optionSet = 1;
    }
    std::unique_ptr<TDActOpt> further(vcl::Create<TDActOpt>(nullptr));
    BuildActionDialog(*further, furtherItem, nullptr, optionSet, nullptr, {});
    bool cancelled = false;
    if (show) {
        const bool hideSelf = dialog.Visible() && !dialog.Modal();
        if (hideSelf) {
            dialog.Hide();
        }
        dialog.CollapseState().fill(0);
        cancelled = further->ShowModal() == vcl::mrCancel;
        const vcl::TCheckBoxState collapse = dialog.cbCollapse->State();
        dialog.SetCollapseMode(collapse == vcl::cbChecked ? 1 : collapse == vcl::cbGrayed ? -1 : 0);
        if (hideSelf) {
            dialog.Show();
        }
    }
    if (!cancelled) {
        ActionDialog_StoreValues(*further, furtherItem, dialog.m_furtherDestination, {}, nullptr, optionSet);
    }
    return !cancelled;
}

// ---- Lists of the document's data ----

void ActionDialog_FillLists(TDActOpt& dialog) {
    const int32_t marker = dialog.m_listMarker;
    if (marker == MIN_MEASURE_LIST) {
        return;
    }
    if (marker == MIN_FILE_LIST) {
        RefreshFileList(dialog);
        return;
    }
    vcl::TListBox* list = dialog.m_listControl;
    // The staves and groups come from the context's lists, made anew.
    TFMisc* context = dialog.Context();
    if (context != nullptr) {
        context->ListsChanged = 0;
    }
    const bool staffLists = marker == MIN_STAFF_LIST || marker == MIN_GROUP_LIST || marker == MIN_STAFF_COLUMN;
    if (staffLists && context != nullptr) {
        AllocToolLists(*context);
    }
    if (list != nullptr) {
        list->Items().Clear();
    }
    GetHostWindowTitle(dialog.m_listsTitle);
    if (list == nullptr) {
        return;
    }
    if (marker == MIN_EXPRESSION_LIST) {
        TheActionDialogSources().fillExpressionList(*list, dialog.m_item);
        return;
    }
    if (marker == MIN_FONT_LIST) {
        std::string copied;
        for (int16_t font = 0; HostOffers(&HostImports::FontName) && font <= 255; ++font) {
            std::array<char, 256> buffer{};
            if (FontNameOf(font, buffer.data()) == 0 || buffer[0] == '\0') {
                continue;
            }
            const std::string name = win::AnsiToUtf8(std::string(buffer.data(), strnlen(buffer.data(), buffer.size())));
            list->Items().Add(name);
            copied += name + "\n";
        }
        // The dialog's text says so: the list is on the clipboard too.
        vcl::Clipboard()->SetAsText(copied);
        return;
    }
    if (marker == MIN_STAFF_LIST && context != nullptr && context->Instruments != nullptr) {
        for (int32_t n = 0; n < context->Instruments->Count(); ++n) {
            list->Items().Add(win::AnsiToUtf8(context->Instruments->At(n).name));
        }
    }
    if (marker == MIN_GROUP_LIST && context != nullptr && context->Groups != nullptr) {
        for (int32_t n = 0; n < context->Groups->Count(); ++n) {
            list->Items().Add(win::AnsiToUtf8(context->Groups->At(n).name));
        }
    }
}

void RefreshFileList(TDActOpt& dialog) {
    auto* files = dynamic_cast<TFileListBox*>(dialog.m_listControl);
    TMyEdit* pathEdit = dialog.PathEdit();
    if (files == nullptr || dialog.m_building) {
        return;
    }
    bool& refreshing = UnitState<FileListRefresh>().running;
    if (refreshing) {
        return;
    }
    std::string text = pathEdit != nullptr ? pathEdit->Text() : "";
    if (files->Items().Count() > 0 && text == dialog.m_currentPath) {
        return;
    }
    refreshing = true;
    const std::filesystem::path path = FolderOfPathEdit(pathEdit, text);
    dialog.m_currentPath = path.string();
    files->SetMask("*.MUS");
    if (dialog.m_directoryList != nullptr) {
        dialog.m_directoryList->SetDirectory(path);
    }
    files->SetDirectory(path);
    refreshing = false;
}

// ---- Defaults ----

void TDActOpt::DefaultBtnClick(vcl::TObject* /*Sender*/) {
    const vcl::TCheckBoxState collapse = cbCollapse->State();
    const vcl::TCheckBoxState autoClose = cbAutoClose->State();
    const vcl::TCheckBoxState inactivate = cbInactivate->State();
    VxForm_RestoreDefaults(*this);
    cbCollapse->SetState(collapse);
    cbAutoClose->SetState(autoClose);
    cbInactivate->SetState(inactivate);
    OptionArray values{};
    TableList table;
    ReadDialogValues(*this, values, &table);
    AdjustDefaultsFromRegion(*this, table);
    ActionDialog_ApplyValues(*this, m_item, values, {}, &table, m_optionSet);
    UpdateAllDependentOptions(*this);
}

// ---- The result list of the search tools ----

void ClearResultList(TFMisc& context) {
    context.ResultLineCount = 0;
    auto* dialog = dynamic_cast<TDActOpt*>(context.OptionsForm);
    if (dialog != nullptr && dialog->m_listMarker == MIN_MEASURE_LIST && dialog->m_listControl != nullptr) {
        dialog->m_listControl->Items().Clear();
    }
}

void AddResultLine(TFMisc& context, std::string_view text) {
    ++context.ResultLineCount;
    auto* dialog = dynamic_cast<TDActOpt*>(context.OptionsForm);
    if (dialog != nullptr && dialog->m_listMarker == MIN_MEASURE_LIST && dialog->m_listControl != nullptr) {
        dialog->m_listControl->Items().Add(text);
    }
}

}  // namespace orvex
