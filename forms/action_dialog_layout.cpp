// The layout of the action options dialog: two passes over a tool item's rows. The first pass
// makes the header lines, caption labels and frames and measures the label column; the second
// makes each row's control beside its label, the radio groups, lists and the inline table.
// Then the form takes its width, the panel its size and the buttons their places.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/general_options.h"
#include "core/host/finxess.h"
#include "core/host/staff_lists.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "forms/dactopt.h"
#include "forms/dxfcheckbox.h"
#include "forms/file_controls.h"
#include "forms/myedit.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/menus.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

/// The host's program preferences: 61 bytes, the measurement unit as i16 at byte 30.
using hostapi::kTagProgramPreferences;
constexpr int32_t kProgramPreferencesSize = 61;
constexpr size_t kMeasurementUnitOffset = 30;

/// Width of a text edit: a font name fits; of a number edit: six digits.
constexpr const char* kTextEditSample = " 5 Times New Roman ";
constexpr const char* kNumberEditSample = "123456";
constexpr int32_t kButtonGap = 8;

int16_t HostMeasurementUnit() {
    std::array<uint8_t, kProgramPreferencesSize> record{};
    if (!LoadWholeGlobalRecord(kTagProgramPreferences, 0, record.data(), kProgramPreferencesSize)) {
        return 1;
    }
    const int16_t unit = hostapi::ReadI16(record.data(), kMeasurementUnitOffset);
    return unit >= 1 && unit <= 6 ? unit : 1;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 1;
    }
}

/// A radio group's caption "Title[one,two]": the title and the items.
std::pair<std::string, std::vector<std::string>> RadioCaption(const std::string& caption) {
    const size_t open = caption.find('[');
    if (open == std::string::npos) {
        return {caption, {}};
    }
    std::vector<std::string> items;
    const size_t close = caption.find(']', open);
    const std::string list =
        caption.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        items.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return {caption.substr(0, open), items};
}

/// A caption in Lumvar2000's translation into the user's preferred language (code 10000) while
/// it is bound; the caption as it is otherwise. The word services take and answer UTF-8, as the
/// captions are.
std::string TranslateOptionText(const std::string& caption) {
    if (!TheModule.process.ServicePluginBound || caption.empty()) {
        return caption;
    }
    int16_t error = 0;
    const char* translated = CallTranslateString(caption.c_str(), 10000, 0, false, &error);
    return error == 0 && translated != nullptr ? std::string(translated) : caption;
}

bool IsNumberEditRow(const ActionControlRow& row) {
    return !row.IsCheckBox() && row.hasText == 0 && !IsRadioMarker(row.minimum) && !IsListMarker(row.minimum);
}

/// The kind of a text that is no whole number Go can read: digits past its reach, a decimal, or
/// no number at all.
enum class NotANumber { TooLarge, Decimal, Other };

NotANumber KindOfText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    return digits ? NotANumber::TooLarge : IsDecimalText(text) ? NotANumber::Decimal : NotANumber::Other;
}

/// What the user may set a number row to, read as Go reads it: a number within the row's range
/// (a length in the unit the row shows). A number outside the range (one past every whole number
/// Go reads too) is refused with the range, a decimal where the row takes whole numbers as not a
/// whole number, any other text as not a number: Go would run on a clamped or the stored value.
std::string CheckNumberText(const TMyEdit& edit, const ActionControlRow& row) {
    const bool ranged = !IsMinimumMarker(row.minimum);
    const int32_t minimum = ranged ? row.minimum : INT32_MIN;
    const int32_t maximum = ranged ? std::max(row.minimum, row.maximum) : INT32_MAX;
    const bool length = edit.Unit() > kUnitEvpu;
    const std::string unit = length ? " " + std::string(TMyEdit::UnitName(kUnitEvpu)) : std::string();
    const std::string takes = ": the row takes " + std::to_string(minimum) + " to " + std::to_string(maximum) + unit;
    const std::optional<int32_t> number = EditNumber(edit);
    const std::string typed = vcl::QuoteForTranscript(edit.Text());
    if (!number) {
        switch (length ? NotANumber::Other : KindOfText(edit.Text())) {
            case NotANumber::TooLarge:
                return edit.Text() + " is out of range" + takes;
            case NotANumber::Decimal:
                return edit.Text() + " is not a whole number" + takes;
            default:
                return typed + " is not a number" +
                       (length ? " of " + std::string(TMyEdit::UnitName(edit.Unit())) : std::string()) + takes;
        }
    }
    if (*number < minimum || *number > maximum) {
        const std::string value = length ? edit.Text() + " " + std::string(TMyEdit::UnitName(edit.Unit())) + " (" +
                                               std::to_string(*number) + unit + ")"
                                         : std::to_string(*number);
        return value + " is out of range" + takes;
    }
    return {};
}

}  // namespace

/// One layout of a dialog: the running values of both passes.
class ActionDialogLayout {
public:
    ActionDialogLayout(TDActOpt& dialog, int32_t item) : d(dialog), m_item(item), m_rows(ActionRows(item)) {}

    void Run(const OptionArray* suppliedValues);

private:
    struct RowGeometry {
        vcl::TLabel* label = nullptr;
        int32_t left = 0;
        int32_t top = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t listWidth = 0;
    };

    int32_t TextWidth(std::string_view text) {
        vcl::TCanvas& canvas = d.DummyLabel->Canvas();
        canvas.Font().Assign(d.DummyLabel->Font());
        return canvas.TextWidth(text);
    }
    int32_t LineHeight() {
        vcl::TCanvas& canvas = d.DummyLabel->Canvas();
        canvas.Font().Assign(d.DummyLabel->Font());
        return canvas.TextHeight("Wg");
    }
    bool IsInlineRow(int32_t row) const {
        return row >= 0 && row < static_cast<int32_t>(m_rows.size()) &&
               IsInlineKind(m_rows[static_cast<size_t>(row)].kind);
    }
    std::string Caption(int32_t row) const {
        const char* caption = ActionRowCaption(m_item, row);
        return TranslateOptionText(caption != nullptr ? caption : "");
    }
    int32_t StaffCount() const;

    void FirstPass();
    void FirstPassRow(int32_t row);
    void SecondPass();
    vcl::TControl* MakeControl(int32_t row, bool firstLine);
    void MakeRadioGroup(int32_t row);
    void MakeList(int32_t row);
    void FitWidth();
    void PlaceButtons();
    void LoadValues(const OptionArray* suppliedValues);
    void Finish();

    TDActOpt& d;
    int32_t m_item;
    std::span<ActionControlRow> m_rows;
    std::array<RowGeometry, kOptionRows> m_geometry{};
    std::vector<TMyEdit*> m_unitEdits;

    int32_t y = 0;
    int32_t x0 = 0;
    int32_t R = 0;
    int32_t B = 0;
    int32_t h = kDialogControlHeight;
    int32_t s = 100;
    int32_t m_frameCountdown = -1;
    int32_t m_inlineX = 0;
    int32_t m_maxRight = 0;
    vcl::TLabel* m_previousInlineLabel = nullptr;
    int32_t m_previousInlineRow = -1;
};

int32_t ActionDialogLayout::StaffCount() const {
    const TFMisc* context = d.m_context;
    return context != nullptr && context->Instruments != nullptr ? context->Instruments->Count() : 0;
}

void ActionDialogLayout::Run(const OptionArray* suppliedValues) {
    y = kDialogFirstRowTop - d.RowPanel->Top();
    x0 = kDialogLabelLeft - d.RowPanel->Left();
    FirstPass();
    SecondPass();
    FitWidth();
    PlaceButtons();
    // The defaults are the layout as built with the table's values.
    if (d.m_listMarker == MIN_FILE_LIST) {
        // The user may size the dialog, never below its laid-out size; the panel and the file
        // list follow its width.
        d.SetBorderStyle(vcl::bsSizeable);
        d.m_minWidth = d.Width();
        d.m_minHeight = d.Height();
        d.m_panelWidth = d.RowPanel->Width();
        d.m_listWidth = d.m_listControl != nullptr ? d.m_listControl->Width() : 0;
        d.Constraints().MinWidth = d.m_minWidth;
        d.Constraints().MinHeight = d.m_minHeight;
        d.OnResize = [dialog = &d](vcl::TObject* sender) { dialog->FormResize(sender); };
    }
    CaptureDefaultState(d);
    VxForm_KeepOnScreen(d, d.Width(), d.Height());
    LoadValues(suppliedValues);
    Finish();
}

// ---- First pass: header lines, caption labels, frames, the label column ----

void ActionDialogLayout::FirstPass() {
    for (int32_t row = 0; row < kActionRowsPerItem; ++row) {
        if (ActionRowCaption(m_item, row) != nullptr) {
            FirstPassRow(row);
        }
    }
}

void ActionDialogLayout::FirstPassRow(int32_t row) {
    const ActionControlRow& def = m_rows[static_cast<size_t>(row)];
    RowGeometry& g = m_geometry[static_cast<size_t>(row)];
    if (m_frameCountdown == 0) {
        y += 5;  // below the frame that ended with the row before
    }
    if (m_frameCountdown >= 0) {
        --m_frameCountdown;
    }
    if (def.minimum == MIN_COLUMN_RADIO) {
        const RadioPlacement& p = RadioPlacementTable[static_cast<size_t>(std::clamp(def.kind, 0, 1))];
        y += (def.maximum * p.heightFactorPercent * 20) / 100 + 10;
        B = std::max(B, y - 5);
        s = p.columnStretchPercent;
        R = (R - x0) * s / 100 + x0;
        return;
    }
    const std::vector<std::string> lines = SplitLines(Caption(row));
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        auto* header = new vcl::TLabel(&d);
        header->SetParent(d.RowPanel);
        header->SetAlignment(vcl::taCenter);
        header->SetLayout(vcl::tlCenter);
        header->SetTransparent(false);
        header->SetColor(vcl::clWhite);
        header->SetCaption(lines[i]);
        header->SetLeft(x0);
        header->SetTop(y);
        y += header->Height();
        d.m_rowHeaders[static_cast<size_t>(row)].push_back(header);
    }
    if (lines.size() > 1) {
        y += 7;
    }
    const std::string text = RowLabelText(lines.back());
    const bool isInline = IsInlineKind(def.kind);
    auto* label = new vcl::TLabel(&d);
    label->SetParent(d.RowPanel);
    label->SetAlignment(isInline ? vcl::taLeftJustify : vcl::taRightJustify);
    label->SetCaption(text);
    if (text.empty()) {
        label->SetHeight(LineHeight());  // as high as a line of text, like every caption
    }
    label->OnClick = [dialog = &d](vcl::TObject* sender) { dialog->DummyLabelClick(sender); };
    g.label = label;
    d.m_rowLabels[static_cast<size_t>(row)] = label;

    if (IsFrameKind(def.kind)) {
        auto* frame = new vcl::TBevel(&d);
        frame->SetParent(d.RowPanel);
        frame->SetShape(vcl::bsFrame);
        frame->SetBounds(0, y - 2, d.RowPanel->Width(), FrameRowCount(def.kind) * kDialogRowPitch + 8);
        d.m_rowFrames[static_cast<size_t>(row)] = frame;
        y += 5;
        m_frameCountdown = FrameRowCount(def.kind) - 1;
    }

    const int32_t textWidth = TextWidth(text);
    g.width = textWidth + 5;
    g.height = label->Height();
    h = std::max(h, g.height * 19 / 13);
    if (def.minimum == MIN_INLINE_RADIO) {
        label->SetVisible(false);
        g.height += 20;
    }
    g.left = isInline && m_inlineX >= x0 ? m_inlineX : x0;
    g.top = y + 2;

    if (IsListMarker(def.minimum)) {
        d.m_listMarker = def.minimum;
        d.m_listRow = row;
        B = y + ListControlHeight(TheModule.process.GeneralOptions[GO_SELECTION_LIST_HEIGHT].value);
        g.listWidth = textWidth * 8 / 7;
        if (row == 0) {
            x0 += g.listWidth + 10;  // the list takes the left column
        }
        y += g.height;
        label->SetAlignment(vcl::taLeftJustify);
    }
    if (def.minimum == MIN_STAFF_COLUMN) {
        d.m_listMarker = def.minimum;
        d.m_listRow = row;
        ActionDialog_FillLists(d);
        d.m_tableLines = StaffCount();
    }

    if (isInline) {
        if (d.m_tableFirstRow < 0) {
            d.m_tableFirstRow = row;
        }
        g.width = TextWidth("o") * InlineHeaderLetters(def.kind);
        m_inlineX = g.left + g.width + 5;
        if (text.empty() && m_previousInlineLabel != nullptr) {
            // An empty header merges with the header to its left.
            label->SetVisible(false);
            m_geometry[static_cast<size_t>(m_previousInlineRow)].width += g.width + 5;
        } else {
            m_previousInlineLabel = label;
            m_previousInlineRow = row;
        }
        if (!IsInlineRow(row + 1)) {
            y += kDialogRowPitch;
            B = std::max(B, g.top + g.height);
        }
    } else {
        y += kDialogRowPitch + (def.minimum == MIN_INLINE_RADIO ? 8 : 0);
        B = std::max(B, g.top + g.height);
    }
    if (def.minimum != MIN_FILE_LIST) {
        R = std::max(R, g.left + g.width * s / 100);
    }
}

// ---- Second pass: the rows' controls ----

void ActionDialogLayout::SecondPass() {
    int32_t line = 0;
    for (int32_t row = 0; row < kActionRowsPerItem && ActionRowCaption(m_item, row) != nullptr; ++row) {
        const ActionControlRow& def = m_rows[static_cast<size_t>(row)];
        RowGeometry& g = m_geometry[static_cast<size_t>(row)];
        const bool isInline = IsInlineKind(def.kind);
        if (line == 0 && g.label != nullptr && !isInline && !IsListMarker(def.minimum)) {
            g.width = R - x0;
            g.label->SetAutoSize(false);
            g.label->SetBounds(g.left, g.top, g.width, g.label->Height());
        } else if (line == 0 && g.label != nullptr) {
            g.label->SetAutoSize(false);
            g.label->SetBounds(g.left, g.top, g.width, g.label->Height());
        }
        if (IsRadioMarker(def.minimum)) {
            MakeRadioGroup(row);
            continue;
        }
        if (IsListMarker(def.minimum)) {
            MakeList(row);
            continue;
        }
        vcl::TControl* control = MakeControl(row, line == 0);
        if (!isInline) {
            continue;
        }
        d.m_inlineControls.push_back(control);
        if (!IsInlineRow(row + 1)) {
            // The last column of a line.
            d.m_tableColumns = row - d.m_tableFirstRow + 1;
            y += h;
            B += h;
            if (d.m_tableLines > line + 1) {
                ++line;
                row = d.m_tableFirstRow - 1;
            }
        }
    }
}

vcl::TControl* ActionDialogLayout::MakeControl(int32_t row, bool firstLine) {
    ActionControlRow& def = m_rows[static_cast<size_t>(row)];
    const RowGeometry& g = m_geometry[static_cast<size_t>(row)];
    const bool isInline = IsInlineKind(def.kind);
    vcl::TControl* control = nullptr;
    TMyEdit* edit = nullptr;
    TdxfCheckBox* box = nullptr;
    if (def.IsCheckBox()) {
        def.checkBox = 1;
        box = new TdxfCheckBox(&d);
        control = box;
    } else if (def.minimum == MIN_FIXED_WIDTH_TEXT) {
        edit = new TCourierEdit(&d);
        control = edit;
    } else {
        edit = new TMyEdit(&d, def.kind == KIND_UNIT ? d.m_hostUnit : kUnitPlainText);
        control = edit;
    }
    control->SetParent(d.RowPanel);

    const bool wideText = def.hasText != 0 && def.kind != KIND_NORMAL_WIDTH_TEXT && def.minimum != MIN_PITCH;
    int32_t width = TextWidth(wideText ? kTextEditSample : kNumberEditSample);
    if (def.minimum == MIN_FIXED_WIDTH_TEXT || def.minimum == MIN_WIDE_TEXT) {
        width *= 3;
    }
    int32_t left = g.left + g.width + 5;
    int32_t top = g.top - (box != nullptr ? 5 : 3);
    if (isInline) {
        left = g.left + (box != nullptr ? (g.width - 10) / 2 : 0);
        top = y;
    }
    control->SetBounds(left, top, width, h);
    m_maxRight = std::max(m_maxRight, control->Left() + control->Width());

    const int32_t value = def.Value(d.m_optionSet);
    if (box != nullptr) {
        box->SetChecked(value != 0);
    } else if (def.hasText != 0) {
        edit->SetText(def.text);
    } else if (edit->Unit() > kUnitEvpu) {
        edit->SetMyText(std::to_string(value));
    } else {
        edit->SetText(std::to_string(value));
    }
    if (edit != nullptr) {
        edit->SetReadOnly(def.readOnly != 0);
        if (def.kind == KIND_UNIT) {
            edit->MakeUnitLabel(kDialogUnitLabelWidth);
            if (firstLine) {
                m_unitEdits.push_back(edit);
            }
        }
        if (def.kind == KIND_FILE_NAME) {
            edit->OnDblClick = [dialog = &d](vcl::TObject* sender) { dialog->FileNameDblClick(sender); };
        }
        if (IsNumberEditRow(def)) {
            edit->OnUserText = [def](TMyEdit& typed) { return CheckNumberText(typed, def); };
        }
    }
    if (firstLine) {
        d.m_rowControls[static_cast<size_t>(row)] = control;
        control->SetName("Row" + std::to_string(row));
        if (g.label != nullptr) {
            control->SetDriverName(g.label->Caption());
            // The caption's accelerator puts the focus into the row's control.
            g.label->SetFocusControl(dynamic_cast<vcl::TWinControl*>(control));
        }
    }
    return control;
}

void ActionDialogLayout::MakeRadioGroup(int32_t row) {
    const ActionControlRow& def = m_rows[static_cast<size_t>(row)];
    const RowGeometry& g = m_geometry[static_cast<size_t>(row)];
    auto [title, items] = RadioCaption(Caption(row));
    auto* group = new vcl::TRadioGroup(&d);
    group->SetParent(d.RowPanel);
    group->SetCaption(title);
    group->Items().Assign(items);
    const int32_t value = def.Value(d.m_optionSet);
    if (value >= 0 && value < group->Items().Count()) {
        group->SetItemIndex(value);
    }
    if (def.minimum == MIN_COLUMN_RADIO) {
        const RadioPlacement& p = RadioPlacementTable[static_cast<size_t>(std::clamp(def.kind, 0, 1))];
        const int32_t left = x0 + p.leftPercent * (R - x0) / 100;
        const int32_t width = (R - left) * p.widthPercent / 100;
        const RowGeometry& anchor = m_geometry[static_cast<size_t>(std::clamp(p.anchorRow, 0, kActionRowsPerItem - 1))];
        const int32_t top = anchor.label != nullptr ? anchor.top : kDialogFirstRowTop - d.RowPanel->Top();
        group->SetBounds(left, top, width, def.maximum * 20 + 10);
    } else {
        const int32_t left = g.left + 25;
        group->SetColumns(group->Items().Count());
        group->SetBounds(left, g.top - 5, std::max(m_maxRight, R) - left, g.height);
    }
    m_maxRight = std::max(m_maxRight, group->Left() + group->Width());
    group->SetName("Row" + std::to_string(row));
    group->SetDriverName(title);
    d.m_rowControls[static_cast<size_t>(row)] = group;
}

void ActionDialogLayout::MakeList(int32_t row) {
    const ActionControlRow& def = m_rows[static_cast<size_t>(row)];
    const RowGeometry& g = m_geometry[static_cast<size_t>(row)];
    const int32_t top = g.top + g.height + 2;
    const int32_t height = B + 5 - top;
    int32_t left = g.left;
    vcl::TListBox* list = nullptr;
    if (def.minimum == MIN_FILE_LIST) {
        auto* folders = new TDirectoryListBox(&d);
        folders->SetParent(d.RowPanel);
        folders->SetName("Row" + std::to_string(row) + "Folders");
        folders->SetBounds(left, top, g.listWidth, height);
        folders->OnChange = [dialog = &d](vcl::TObject* sender) { dialog->DirectoryChanged(sender); };
        d.m_directoryList = folders;
        left = folders->Left() + folders->Width() + 10;
        m_maxRight = std::max(m_maxRight, folders->Left() + folders->Width());
        auto* files = new TFileListBox(&d);
        folders->SetFileList(files);
        list = files;
    } else {
        list = new vcl::TListBox(&d);
    }
    list->SetParent(d.RowPanel);
    list->SetMultiSelect(true);
    list->SetBounds(left, top, g.listWidth, height);
    list->SetName("Row" + std::to_string(row));
    if (g.label != nullptr) {
        list->SetDriverName(g.label->Caption());
        g.label->SetFocusControl(list);
    }
    if (def.minimum != MIN_FILE_LIST && def.minimum != MIN_MEASURE_LIST) {
        // A press on the list, the panel or the form shows what the document holds now.
        const auto refill = [dialog = &d](vcl::TObject* sender, vcl::TMouseButton, vcl::TShiftState, int32_t, int32_t) {
            dialog->ListMouseDown(sender);
        };
        list->OnMouseDown = refill;
        d.RowPanel->OnMouseDown = refill;
        d.OnMouseDown = refill;
    }
    if (def.minimum == MIN_MEASURE_LIST) {
        list->OnDblClick = [dialog = &d](vcl::TObject* sender) { dialog->ResultListDblClick(sender); };
    }
    m_maxRight = std::max(m_maxRight, list->Left() + list->Width());
    d.m_listControl = list;
    d.m_listLeft = list->Left();
    d.m_listTop = list->Top();
    d.m_rowControls[static_cast<size_t>(row)] = list;
    if (def.minimum == MIN_GROUP_LIST || def.minimum == MIN_STAFF_LIST || def.minimum == MIN_FONT_LIST) {
        ActionDialog_FillLists(d);
    }
}

// ---- Width, panel and buttons ----

void ActionDialogLayout::FitWidth() {
    int32_t widest = m_maxRight;
    const int32_t frame = d.Width() - d.ClientWidth();
    const int32_t designedWidth = d.Width();
    const int32_t width = d.RowPanel->Left() + widest + frame + 10;
    if (width < designedWidth) {
        widest += designedWidth - width;
    }
    // A unit label that sticks out: its row's label gives up the room when it can, else the
    // layout widens.
    auto overflow = [&](const TMyEdit* edit) {
        const vcl::TStaticText* unitLabel = edit->UnitLabel();
        return unitLabel->Left() + unitLabel->Width() - widest;
    };
    auto labelOf = [&](const TMyEdit* edit) -> vcl::TLabel* {
        for (int32_t row = 0; row < kActionRowsPerItem; ++row) {
            if (d.m_rowControls[static_cast<size_t>(row)] == edit) {
                return d.m_rowLabels[static_cast<size_t>(row)];
            }
        }
        return nullptr;
    };
    for (const TMyEdit* edit : m_unitEdits) {
        const int32_t over = overflow(edit);
        const vcl::TLabel* label = labelOf(edit);
        const int32_t slack = label != nullptr ? label->Width() - TextWidth(label->Caption()) : 0;
        if (over > 0 && slack < over) {
            widest += over;
        }
    }
    for (TMyEdit* edit : m_unitEdits) {
        const int32_t over = overflow(edit);
        if (over <= 0) {
            continue;
        }
        if (vcl::TLabel* label = labelOf(edit)) {
            label->SetWidth(label->Width() - over);
        }
        edit->SetLeft(edit->Left() - over);
        edit->UnitLabel()->SetLeft(edit->UnitLabel()->Left() - over);
    }
    d.SetWidth(d.RowPanel->Left() + widest + frame + 10);
    const int32_t panelWidth = widest + 6;
    d.RowPanel->SetBounds(d.RowPanel->Left(), d.RowPanel->Top(), panelWidth, d.RowPanel->Top() + B);
    for (const auto& headers : d.m_rowHeaders) {
        for (vcl::TLabel* header : headers) {
            header->SetAutoSize(false);
            header->SetBounds(0, header->Top(), panelWidth, header->Height());
        }
    }
    for (vcl::TBevel* frameControl : d.m_rowFrames) {
        if (frameControl != nullptr) {
            frameControl->SetBounds(0, frameControl->Top(), panelWidth, frameControl->Height());
        }
    }
}

void ActionDialogLayout::PlaceButtons() {
    vcl::TButton* ok = d.OKBtn;
    const int32_t buttonTop = d.RowPanel->Top() + d.RowPanel->Height() + ok->Height() / 2;
    const bool runButtons = d.m_runButtons;
    const int32_t furtherItem = FurtherOptionsItem[static_cast<size_t>(m_item)];
    if (d.m_context != nullptr) {
        ok->SetCaption(DispatcherEnvironment().Language() == 1 ? "&Start" : "&Go");
    }
    // The user names the button by what it says ("Go", "Start"), or by what it does in every
    // language: Go.
    ok->SetDriverName(win::StripAccelerators(ok->Caption()));
    ok->SetDriverRole("Go");
    d.FurtherBtn->SetVisible(furtherItem != 0);
    if (furtherItem != 0) {
        const int32_t group = std::max(1, TheModule.commands.FurtherOptionsGroup[static_cast<size_t>(m_item)]);
        std::string caption(ToolName(furtherItem, group));
        if (caption.starts_with("Vx ")) {
            caption.erase(0, 3);
        }
        d.FurtherBtn->SetCaption(caption);
        d.FurtherBtn->SetWidth(std::max(d.FurtherBtn->Width(), TextWidth(win::StripAccelerators(caption)) + 16));
    }
    const bool undoRedo = d.m_context != nullptr && runButtons;
    d.UndoBtn->SetVisible(undoRedo);
    d.RedoBtn->SetVisible(undoRedo);
    ok->SetVisible(runButtons);
    d.DefaultBtn->SetVisible(runButtons);
    if (!runButtons) {
        d.CancelBtn->SetCaption(DispatcherEnvironment().Language() == 1 ? "&Schließen" : "&Close");
    }

    // The button row, centred in the panel's width.
    std::vector<vcl::TControl*> row;
    for (vcl::TControl* button : {static_cast<vcl::TControl*>(ok), static_cast<vcl::TControl*>(d.CancelBtn),
                                  static_cast<vcl::TControl*>(d.DefaultBtn), static_cast<vcl::TControl*>(d.FurtherBtn),
                                  static_cast<vcl::TControl*>(d.UndoBtn)}) {
        if (button->Visible()) {
            row.push_back(button);
        }
    }
    int32_t total = -kButtonGap;
    for (vcl::TControl* button : row) {
        total += button->Width() + kButtonGap;
    }
    int32_t left = d.RowPanel->Left() + (d.RowPanel->Width() - total) / 2;
    for (vcl::TControl* button : row) {
        button->SetBounds(left, buttonTop, button->Width(), button->Height());
        left += button->Width() + kButtonGap;
    }
    d.RedoBtn->SetBounds(d.UndoBtn->Left(), buttonTop + ok->Height() / 2 + 2, d.RedoBtn->Width(), d.RedoBtn->Height());
    d.UndoBtn->SetTop(d.RedoBtn->Top() - d.UndoBtn->Height());

    int32_t bottom = buttonTop + ok->Height();
    int32_t lastHeight = ok->Height();
    const bool first = FirstExtraButtonText[static_cast<size_t>(m_item)] != nullptr;
    const bool second = SecondExtraButtonText[static_cast<size_t>(m_item)] != nullptr;
    d.btExtra1->SetVisible(first);
    d.btExtra2->SetVisible(second);
    if (first || second) {
        const int32_t extraTop = d.RedoBtn->Top() + d.RedoBtn->Height() + 5;
        const int32_t furtherRight = d.FurtherBtn->Left() + d.FurtherBtn->Width();
        d.btExtra1->SetTop(extraTop);
        d.btExtra1->SetLeft(second ? furtherRight - d.btExtra1->Width()
                                   : d.btExtra1->Left() + (furtherRight - d.btExtra1->Width()) / 2);
        d.btExtra2->SetBounds(ok->Left(), extraTop, d.btExtra2->Width(), d.btExtra2->Height());
        bottom = extraTop + d.btExtra1->Height();
        lastHeight = d.btExtra1->Height();
    }

    // The "After Go:" choices below the buttons, for a dialog that runs its tool.
    if (d.m_context != nullptr && !IsItem(m_item, ToolItem::PrintMultipleFiles)) {
        const int32_t choiceTop = bottom + 6;
        d.AfterGoLabel->SetBounds(d.RowPanel->Left(), choiceTop + 2, d.AfterGoLabel->Width(), d.AfterGoLabel->Height());
        int32_t choiceLeft = d.AfterGoLabel->Left() + d.AfterGoLabel->Width() + kButtonGap;
        for (vcl::TCheckBox* box : {d.cbCollapse, d.cbAutoClose, d.cbInactivate}) {
            box->SetBounds(choiceLeft, choiceTop, TextWidth(box->Caption()) + 20, box->Height());
            choiceLeft += box->Width() + kButtonGap;
        }
        bottom = choiceTop + d.cbCollapse->Height();
        lastHeight = d.cbCollapse->Height();
    } else {
        for (vcl::TControl* control :
             std::initializer_list<vcl::TControl*>{d.AfterGoLabel, d.cbCollapse, d.cbAutoClose, d.cbInactivate}) {
            control->SetVisible(false);
        }
    }
    d.SetClientHeight(bottom + lastHeight / 4);
}

// ---- Values and the end of the build ----

void ActionDialogLayout::LoadValues(const OptionArray* suppliedValues) {
    if (suppliedValues != nullptr) {
        // The caller's values are shown for this run only; the table and the remembered state
        // keep theirs.
        for (size_t row = 0; row < m_rows.size(); ++row) {
            vcl::TControl* control = d.m_rowControls[row];
            const ActionControlRow& def = m_rows[row];
            if (control == nullptr || IsListMarker(def.minimum) || def.hasText != 0) {
                continue;
            }
            OptionElement element{"", (*suppliedValues)[row].value};
            if (auto* group = dynamic_cast<vcl::TRadioGroup*>(control)) {
                if (element.value >= 0 && element.value < group->Items().Count()) {
                    group->SetItemIndex(element.value);
                }
                continue;
            }
            WriteOptionControl(d, *control, static_cast<int32_t>(row), element);
        }
        return;
    }
    VxForm_LoadState(d, d.m_listMarker == MIN_FILE_LIST, d.m_valueName);
    for (size_t row = 0; row < m_rows.size(); ++row) {
        vcl::TControl* control = d.m_rowControls[row];
        const ActionControlRow& def = m_rows[row];
        if (control == nullptr || !IsNumberEditRow(def)) {
            continue;
        }
        // A number outside the row's limits brings back the defaults of the whole dialog; a
        // text that is no number reads as the row's value, which is within them.
        const auto* edit = dynamic_cast<const TMyEdit*>(control);
        const std::optional<int32_t> number = edit != nullptr ? EditNumber(*edit) : std::nullopt;
        if (number && (*number < def.minimum || *number > def.maximum)) {
            VxForm_RestoreDefaults(d);
            break;
        }
    }
}

void ActionDialogLayout::Finish() {
    d.m_building = false;
    UpdateAllDependentOptions(d);
    FillInstrumentColumn(d);
    for (size_t row = 0; row < kOptionRows; ++row) {
        vcl::TControl* control = d.m_rowControls[row];
        if (auto* box = dynamic_cast<TdxfCheckBox*>(control)) {
            box->OnClick = [dialog = &d](vcl::TObject* sender) { dialog->CheckBoxClick(sender); };
        } else if (auto* edit = dynamic_cast<TMyEdit*>(control);
                   edit != nullptr && row < m_rows.size() && m_rows[row].hasText != 0) {
            edit->OnChange = [dialog = &d](vcl::TObject* sender) { dialog->PathChange(sender); };
        }
    }
    for (vcl::TControl* control : d.m_inlineControls) {
        if (auto* box = dynamic_cast<TdxfCheckBox*>(control); box != nullptr && !box->OnClick) {
            box->OnClick = [dialog = &d](vcl::TObject* sender) { dialog->CheckBoxClick(sender); };
        }
    }
    RefreshFileList(d);
    if (d.m_listMarker == MIN_EXPRESSION_LIST) {
        ActionDialog_FillLists(d);
    }
}

// ---- BuildActionDialog ----

void BuildActionDialog(TDActOpt& dialog, int32_t item, TFMisc* context, int32_t optionSet,
                       const OptionArray* suppliedValues, std::span<OptionElement> furtherDestination) {
    if (item < 0 || item >= kToolItemCount) {
        throw std::logic_error("BuildActionDialog: no tool item " + std::to_string(item));
    }
    dialog.m_hostUnit = HostMeasurementUnit();
    dialog.m_building = true;
    dialog.m_valuesSupplied = suppliedValues != nullptr;
    dialog.m_item = item;
    dialog.m_optionSet = optionSet;
    dialog.m_context = context;
    dialog.m_furtherDestination = furtherDestination;
    dialog.SetCaption(ToolTitle(item, optionSet) + TheModule.process.VersionText);
    dialog.m_valueName = std::string(ToolStorageName(item)) + (optionSet > 1 ? std::to_string(optionSet) : "");
    ActionDialogLayout layout(dialog, item);
    layout.Run(suppliedValues);
}

// ---- Visibility ----

bool IsOptionChecked(TDActOpt& dialog, int32_t row) {
    const auto* box = dynamic_cast<const TdxfCheckBox*>(dialog.RowControl(row));
    if (box == nullptr || !box->Checked()) {
        return false;
    }
    const auto item = static_cast<size_t>(dialog.Item());
    if (PairedCriteriaFlags[item] == 0) {
        return true;
    }
    int32_t checkedCriteria = 0;
    for (int16_t entry : OptionVisibilityTable[item]) {
        if (entry <= 0) {
            continue;
        }
        const int32_t criterion = DecodeVisibility(entry).first - 1;
        const auto* criterionBox = dynamic_cast<const TdxfCheckBox*>(dialog.RowControl(criterion));
        if (criterionBox != nullptr && criterionBox->Checked()) {
            ++checkedCriteria;
        }
    }
    return checkedCriteria >= 2;
}

bool VisibilityHolds(TDActOpt& dialog, int16_t entry) {
    const VisibilityConditions conditions = DecodeVisibility(entry);
    for (int32_t condition : {conditions.first, conditions.second}) {
        if (condition == 0) {
            continue;
        }
        const int32_t boxRow = std::abs(condition) - 1;
        if (dynamic_cast<const TdxfCheckBox*>(dialog.RowControl(boxRow)) == nullptr) {
            continue;  // names no check box of the item: it says nothing about the row
        }
        if (IsOptionChecked(dialog, boxRow) != (condition > 0)) {
            return false;
        }
    }
    return true;
}

namespace {

void ShowRow(TDActOpt& dialog, int32_t row, bool visible) {
    std::vector<vcl::TControl*> parts(dialog.RowHeaders(row).begin(), dialog.RowHeaders(row).end());
    if (vcl::TLabel* label = dialog.RowLabel(row)) {
        const ActionControlRow& def = ActionRows(dialog.Item())[static_cast<size_t>(row)];
        const bool emptyInline = IsInlineKind(def.kind) && label->Caption().empty();
        if (def.minimum != MIN_INLINE_RADIO && !emptyInline) {
            parts.push_back(label);
        }
    }
    if (vcl::TControl* control = dialog.RowControl(row)) {
        parts.push_back(control);
        if (auto* edit = dynamic_cast<TMyEdit*>(control); edit != nullptr && edit->UnitLabel() != nullptr) {
            parts.push_back(edit->UnitLabel());
        }
        if (row == dialog.ListRow() && dialog.DirectoryList() != nullptr) {
            parts.push_back(dialog.DirectoryList());
        }
    }
    for (vcl::TControl* part : parts) {
        part->SetVisible(visible);
    }
}

}  // namespace

void UpdateDependentOptions(TDActOpt& dialog, int32_t row) {
    const auto& entries = OptionVisibilityTable[static_cast<size_t>(dialog.Item())];
    const int32_t rowCount = ActionRowCount(dialog.Item());
    for (int32_t dependent = 0; dependent < rowCount; ++dependent) {
        const int16_t entry = entries[static_cast<size_t>(dependent)];
        if (entry == 0 || !VisibilityApplies(dialog.Item(), dependent)) {
            continue;
        }
        const VisibilityConditions conditions = DecodeVisibility(entry);
        if (std::abs(conditions.first) - 1 == row || std::abs(conditions.second) - 1 == row ||
            PairedCriteriaFlags[static_cast<size_t>(dialog.Item())] != 0) {
            ShowRow(dialog, dependent, VisibilityHolds(dialog, entry));
        }
    }
}

void UpdateAllDependentOptions(TDActOpt& dialog) {
    for (int32_t row = 0; row < kActionRowsPerItem; ++row) {
        UpdateDependentOptions(dialog, row);
    }
}

}  // namespace orvex
