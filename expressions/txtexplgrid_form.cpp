// The explorer form's grid handlers: the layout arithmetic (columns, row heights, the
// two-dimensional layout), painting and selecting cells, the in-place editing, keys and the
// mouse, the font list, the layout controls and the New and Duplicate buttons. The cell model
// they work on is TGridDrawCell (txtexplgrid.cpp).
#include "core/run_environment.h"
#include "expressions/txtexplgrid.h"

#include <algorithm>
#include <cctype>

#include "core/host/finxess.h"
#include "core/startup.h"
#include "expressions/txtexpleditor.h"
#include "expressions/txtexplorer.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/bytes.h"
#include "platform/vcl/forms.h"
#include "platform/win/keys.h"
#include "platform/win/system.h"
#include "platform/win/user32.h"

namespace orvex {
namespace {

constexpr int32_t kMaxColumnsWanted = 20;
constexpr int32_t kMaxSizeStep = 20;
/// The system's height of a horizontal scroll bar (SM_CYHSCROLL).
constexpr int32_t kSmCyHScroll = 3;
constexpr int32_t kMinRowPixels = 10;
constexpr int32_t kDefaultRowPoints = 10;
/// Points of a size column entry that is no number.
constexpr int32_t kSizeNotANumber = 11;
/// The canvas font the detail columns are measured in (its name as the designer wrote it; it
/// measures as the default font).
constexpr const char* kMeasureFontName = "MS Sans Sarif";
constexpr int32_t kMeasureFontSize = 10;

/// The time as the explorer compares it for "the key just pressed": the virtual clock as a date
/// (never 0, so that 0 can mean "no key").
double CurrentTime() {
    return 1.0 + static_cast<double>(win::GetTickCount()) / 86400000.0;
}

bool Readable(const TTxtExprRec* record) {
    return record != nullptr && record->NotRead == 0;
}

/// Holds a relayout's depth for its life, so that an error leaves no depth behind.
class DepthScope {
public:
    explicit DepthScope(int32_t& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int32_t& m_depth;
};

}  // namespace

// ---- The explorer's layout ----

void TTextExprForm::ClearRowHeights() {
    m_state.RowHeightKnown.assign(static_cast<size_t>(TextExpressionTable().ExpressionCount() + 1), false);
}

void TTextExprForm::Relayout(int32_t item) {
    if (m_state.LayoutDepth != 0) {
        return;
    }
    {
        DepthScope depth(m_state.LayoutDepth);
        m_drawCell->CachedIndex = -2;
        m_gridEditor->SetLines(false);
        m_state.ShrinkToFitOn = xShrinkToFit->Checked() ? 1 : 0;
        ApplyFilter();
        if (item > m_state.ShownCount) {
            item = m_state.ShownCount + 1;
        }
        m_state.ColumnsWanted = std::clamp(m_state.ColumnsWanted, 1, kMaxColumnsWanted);
        m_state.SizeStep = std::clamp(m_state.SizeStep, 1, kMaxSizeStep);
        const int32_t rowHeight = m_state.SizeStep * 36 / 10;
        if (m_state.TwoDimensional != 0) {
            const int32_t rows =
                (Grid->Height() - Grid->RowHeights(0) - win::GetSystemMetrics(kSmCyHScroll) * 12 / 10) /
                    (rowHeight + 1) +
                1;
            const int32_t rowCount = std::max(rows, 2);
            Grid->SetRowCount(rowCount);
            Grid->SetColCount(std::max((rowCount + m_state.ShownCount - 1) / (rowCount - 1) + 1, 2));
            for (int32_t row = 1; row < Grid->RowCount(); ++row) {
                Grid->SetRowHeights(row, rowHeight);
            }
            Grid->SetTopRow(1);
            const int32_t width = (Grid->Width() - Grid->ColWidths(0) - 4) / m_state.ColumnsWanted - 1;
            for (int32_t col = 1; col < Grid->ColCount(); ++col) {
                Grid->SetColWidths(col, width);
            }
            if (item > 0) {
                SelectItem(item);
            }
            ClearRowHeights();
        } else {
            Grid->SetColCount(static_cast<int32_t>(kMaxExplorerColumns));
            m_state.ColumnKinds.fill(kKindNumber);
            Grid->SetColWidths(1, Grid->Width() / 4);
            m_state.ColumnKinds[1] = kKindText;
            vcl::TFont& font = Grid->Canvas().Font();
            font.SetSize(kMeasureFontSize);
            font.SetName(kMeasureFontName);
            int32_t last = 1;
            auto append = [&](int32_t kind, const char* sample) {
                ++last;
                m_state.ColumnKinds[static_cast<size_t>(last)] = static_cast<uint8_t>(kind);
                Grid->SetColWidths(last, Grid->Canvas().TextWidth(sample) + 1);
            };
            if (dFonts->Checked()) {
                append(kKindFont, "Times New Roman Set");
                append(kKindSize, "8822");
                for (int32_t kind = kKindFirstStyle; kind <= kKindLastStyle; ++kind) {
                    if (kind <= kKindFirstStyle + 1 || dAllStyles->Checked()) {
                        append(kind, "aaa");
                    }
                }
            }
            if (dPlayback->Checked()) {
                append(kKindPlayback, "key velocityXX");
                for (int32_t kind = kKindFirstParam; kind <= kKindLastParam; ++kind) {
                    append(kind, "123345");
                }
            }
            if (dOthers->Checked()) {
                append(kKindUsage, "1sd23345");
                append(kKindMetatool, "**meta**");
            }
            Grid->SetColCount(last + 1);
            Grid->SetRowCount(std::max(m_state.ShownCount + 2, 2));
            if (item > 0 && item < Grid->RowCount()) {
                Grid->FocusCell(1, item);
            }
            UpdateRowHeights();
        }
    }
    m_gridEditor->SetLines(true);
    if (m_state.LayoutDepth == 0) {
        Grid->Repaint();
    }
}

void TTextExprForm::SelectItem(int32_t n) {
    if (m_state.TwoDimensional != 0) {
        const int32_t rowCount = Grid->RowCount();
        const int32_t col = rowCount < 2 ? 1 : (n - 1) / (rowCount - 1) + 1;
        const int32_t row = n - (col - 1) * (rowCount - 1);
        if (row >= 1 && row < rowCount && col >= 1 && col < Grid->ColCount()) {
            Grid->FocusCell(col, row);
        }
    } else if (n >= 1 && n < Grid->RowCount()) {
        Grid->FocusCell(Grid->Col(), n);
    }
}

void TTextExprForm::UpdateRowHeights() {
    if (m_state.TwoDimensional != 0) {
        return;
    }
    TTextExpressions& table = TextExpressionTable();
    const int32_t count = table.ExpressionCount();
    const int32_t visible = Grid->VisibleRowCount();
    const int32_t top = Grid->TopRow();
    std::vector<bool>& known = m_state.RowHeightKnown;
    for (int32_t r = std::max(top - visible, 1); r <= top + 2 * visible && r < Grid->RowCount(); ++r) {
        if (static_cast<size_t>(r) >= known.size()) {
            known.resize(static_cast<size_t>(r) + 1, false);
        }
        if (known[static_cast<size_t>(r)]) {
            continue;
        }
        int32_t index = r - 1;
        if (m_state.FilterActive != 0) {
            index = index < count ? table.Item(index).FilterListEntry - 1 : -1;
        }
        const int32_t points =
            index >= 0 && index < count ? table.Item(index).FontSize() * m_state.SizeStep / 10 : kDefaultRowPoints;
        const int32_t pixels =
            std::min(std::max(vcl::Screen->PixelsPerInch() * points / 72, kMinRowPixels), Height() / 2);
        Grid->SetRowHeights(r, pixels + 4);
        known[static_cast<size_t>(r)] = true;
    }
}

bool TTextExprForm::SingleCellSelected() const {
    return m_gridEditor->Selection().OneCell();
}

// ---- Painting and selecting ----

void TTextExprForm::GridDrawCell(vcl::TObject* /*Sender*/, int32_t ACol, int32_t ARow, vcl::TRect Rect,
                                 vcl::TGridDrawState State) {
    if (m_state.LayoutDepth == 0) {
        m_drawCell->Draw(ACol, ARow, Rect, State);
    }
}

void TTextExprForm::GridSelectCell(vcl::TObject* /*Sender*/, int32_t ACol, int32_t ARow, bool& CanSelect) {
    CanSelect = true;
    SelectCell(kSelectByGrid, ACol, ARow);
}

void TTextExprForm::NoteChange(int32_t index) {
    if (index != m_state.LastChangedIndex) {
        ++m_state.ChangedCount;
        m_state.LastChangedIndex = index;
    }
}

void TTextExprForm::RemoveNewExpression() {
    TTextExpressions& table = TextExpressionTable();
    const int32_t index = table.ExpressionCount() - 1;
    if (!table.RemoveNewRecord()) {
        return;
    }
    m_state.EditNewSlotCount = -1;
    m_state.ShownCount = std::max(m_state.ShownCount - 1, 0);
    m_state.AddedWhileFiltered = std::max(m_state.AddedWhileFiltered - 1, 0);
    if (m_state.FilterActive != 0 && m_state.ShownCount < table.Count()) {
        table.Item(m_state.ShownCount).FilterListEntry = 0;
    }
    if (m_state.LastChangedIndex == index) {
        m_state.ChangedCount = std::max(m_state.ChangedCount - 1, 0);
        m_state.LastChangedIndex = -1;
    }
    if (!m_state.RowHeightKnown.empty() && m_state.TwoDimensional == 0) {
        m_state.RowHeightKnown.pop_back();
    }
    Relayout(0);
}

void TTextExprForm::MarkChanged(TTxtExprRec& record, int32_t index, int32_t col, int32_t row) {
    record.Modified = 1;
    m_drawCell->CachedIndex = -2;
    NoteChange(index);
    Grid->InvalidateCell(col, row);
    if (m_state.TwoDimensional == 0 && col != 1) {
        Grid->InvalidateCell(1, row);
    }
}

void TTextExprForm::SelectCell(int32_t sender, int32_t col, int32_t row) {
    // The remembered current cell is no selection by the user: applying it toggles nothing.
    if (m_state.Loading != 0 || m_applyingState) {
        return;
    }
    TTextExpressions& table = TextExpressionTable();
    const int32_t count = table.ExpressionCount();
    const TGridRect selection = m_gridEditor->Selection();
    const bool resolved = m_drawCell->Setup(col, row, false, true);
    const int32_t kind = m_drawCell->Kind;
    const int32_t index = m_drawCell->Index;
    const bool existing = resolved && index >= 0 && index < count && m_drawCell->Record != nullptr;
    const bool readable = existing && Readable(m_drawCell->Record);
    m_state.SameCellAgain = col == m_state.LastCol && row == m_state.LastRow && (kind > 1 || selection.OneCell());
    m_state.LastCol = col;
    m_state.LastRow = row;
    m_state.CellEditable = 0;
    if (m_state.LayoutSwitching == 0) {
        bool editable = false;
        if (m_state.TwoDimensional == 0) {
            if (!resolved) {
                editable = kind == kKindText && index <= count;
            } else if (readable) {
                const bool fromKey = m_state.LastKeyTime != 0 && CurrentTime() == m_state.LastKeyTime;
                if (kind == kKindText) {
                    editable = index <= count && selection.OneCell();
                } else if (kind == kKindFont) {
                    if (m_state.SameCellAgain != 0) {
                        ShowFontList(col, row);
                    }
                } else if (kind == kKindSize || kind == kKindMetatool) {
                    editable = index <= count;
                } else if (kind >= kKindFirstStyle && kind <= kKindLastStyle) {
                    if (!fromKey) {
                        ApplyStyleBit(sender, StyleBitOfKind(kind));
                    }
                } else if (kind >= kKindFirstParam && kind <= kKindLastParam) {
                    editable = m_drawCell->ParamExists(kind - kKindFirstParam);
                }
            }
        } else {
            editable = kind == kKindText && index <= count && (!resolved || readable);
        }
        m_state.CellEditable = editable ? 1 : 0;
    }
    if (existing && !readable) {
        m_state.CellEditable = 0;
    }
    if (m_state.LayoutSwitching == 0 && m_state.CellEditable == 0) {
        m_gridEditor->HideEditor();
    }
}

void TTextExprForm::ApplyStyleBit(int32_t mode, uint16_t bit) {
    TTextExpressions& table = TextExpressionTable();
    const int32_t count = table.ExpressionCount();
    const TGridRect selection = m_gridEditor->Selection();
    const int32_t focusCol = m_state.LastCol;
    const int32_t focusRow = m_state.LastRow;
    if (!m_drawCell->Setup(focusCol, focusRow, false, true) || m_drawCell->Index < 0 || m_drawCell->Index >= count ||
        !Readable(m_drawCell->Record)) {
        return;
    }
    TTxtExprRec& focused = *m_drawCell->Record;
    const int32_t focusedIndex = m_drawCell->Index;
    auto setBit = [bit](TTxtExprRec& record, bool on) {
        record.SetStyle(static_cast<uint16_t>(on ? record.Style() | bit : record.Style() & ~bit));
    };
    if ((mode == kSelectByKey || mode == kSelectByRange) && selection.OneColumnRange()) {
        bool value = (focused.Style() & bit) != 0;
        if (mode == kSelectByKey) {
            value = !value;
        }
        for (int32_t row = selection.Top; row <= selection.Bottom; ++row) {
            if (!m_drawCell->Setup(selection.Left, row, false, true) || m_drawCell->Index < 0 ||
                m_drawCell->Index >= count || !Readable(m_drawCell->Record)) {
                continue;
            }
            TTxtExprRec& record = *m_drawCell->Record;
            const int32_t index = m_drawCell->Index;
            setBit(record, value);
            MarkChanged(record, index, selection.Left, row);
        }
    } else {
        setBit(focused, (focused.Style() & bit) == 0);
        MarkChanged(focused, focusedIndex, focusCol, focusRow);
    }
}

// ---- Editing ----

void TTextExprForm::GridGetEditText(vcl::TObject* /*Sender*/, int32_t ACol, int32_t ARow, std::string& Value) {
    m_state.EditNewSlotCount = -1;
    if (m_drawCell->Setup(ACol, ARow, false, false)) {
        Value = m_drawCell->CellText();
        m_state.EditStartText = Value;
    } else {
        // The empty slot: Escape brings back no text of another cell, and takes away the
        // expression that typing there made.
        m_state.EditStartText.clear();
        m_state.EditNewSlotCount = TextExpressionTable().ExpressionCount();
    }
    m_state.FontBoxEnter = 0;
    m_state.FontBoxClicked = 0;
}

void TTextExprForm::GridSetEditText(vcl::TObject* Sender, int32_t ACol, int32_t ARow, const std::string& Value) {
    const std::string value = m_state.Cancelled != 0 ? m_state.EditStartText : Value;
    const TGridRect selection = m_gridEditor->Selection();
    if (!m_massChange && m_state.ArrowKey == 0 && selection.OneColumnRange() && ACol == selection.Left) {
        m_massChange = true;
        const uint8_t enter = m_state.FontBoxEnter;
        const uint8_t clicked = m_state.FontBoxClicked;
        for (int32_t row = selection.Top; row <= selection.Bottom; ++row) {
            m_state.FontBoxEnter = enter;
            m_state.FontBoxClicked = clicked;
            GridSetEditText(Sender, ACol, row, value);
        }
        m_massChange = false;
        return;
    }
    TTextExpressions& table = TextExpressionTable();
    // Escape (the edit cancelled) makes no new expression in the empty slot.
    if (!m_drawCell->Setup(ACol, ARow, m_state.Cancelled == 0, true)) {
        return;
    }
    const int32_t index = m_drawCell->Index;
    const int32_t kind = m_drawCell->Kind;
    if (index < 0 || index >= table.ExpressionCount() || !Readable(m_drawCell->Record)) {
        return;
    }
    TTxtExprRec& record = *m_drawCell->Record;
    switch (kind) {
        case kKindText: {
            const std::string text = win::Utf8ToAnsi(value);
            if (record.Text != text) {
                record.Text = text;
            }
            break;
        }
        case kKindFont:
            if (value.size() > 1 && (m_state.FontBoxEnter != 0 || m_state.FontBoxClicked != 0)) {
                if (FontBox->Items().IndexOf(value) < 0) {
                    FontBox->Items().Add(value);
                }
                const int32_t font = HostFontNumber(win::Utf8ToAnsi(value).c_str());
                if (font >= 0 && font <= 255) {
                    record.SetFontWord(static_cast<uint16_t>((record.FontWord() & 0xFF00) | font));
                }
                m_drawCell->IsMusicFont = table.SortTables().Contains(HostFontName(record.FontNumber())) ? 1 : 0;
                if (m_drawCell->IsMusicFont == 0) {
                    m_state.NewFontName = value;
                }
            }
            break;
        case kKindSize: {
            const int32_t size = std::clamp(CellNumberOr(value, kSizeNotANumber), 0, 255);
            record.SetFontWord(static_cast<uint16_t>((record.FontWord() & 0x00FF) | (size << 8)));
            if (m_drawCell->IsMusicFont == 0) {
                m_state.NewFontSize = size;
            }
            break;
        }
        case kKindMetatool: {
            const char key =
                value.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(value[0]))) : 0;
            if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
                bool repaint = false;
                for (int32_t i = 0; i < table.ExpressionCount(); ++i) {
                    TTxtExprRec& other = table.Item(i);
                    if (&other != &record && other.MetatoolKey == static_cast<uint8_t>(key)) {
                        other.MetatoolKey = 0;
                        repaint = true;
                    }
                }
                if (record.MetatoolKey != 0 && record.MetatoolKey != static_cast<uint8_t>(key)) {
                    m_state.DroppedKeys.push_back(record.MetatoolKey);
                }
                record.MetatoolKey = static_cast<uint8_t>(key);
                record.ExtraFlags = 1;
                if (repaint) {
                    Grid->Repaint();
                }
            }
            break;
        }
        default:
            if (kind >= kKindFirstParam && kind <= kKindLastParam) {
                m_drawCell->SetPlaybackParam(kind - kKindFirstParam, value);
            }
            break;
    }
    NoteChange(index);
    record.Modified = 1;
    if (static_cast<size_t>(ARow) < m_state.RowHeightKnown.size()) {
        m_state.RowHeightKnown[static_cast<size_t>(ARow)] = false;
    }
    UpdateRowHeights();
    m_drawCell->CachedIndex = -2;
    Grid->InvalidateCell(ACol, ARow);
    if (m_massChange && m_state.TwoDimensional == 0 && ACol != 1) {
        Grid->InvalidateCell(1, ARow);
    }
    m_state.FontBoxEnter = 0;
    m_state.FontBoxClicked = 0;
    if (!m_gridEditor->EditorMode()) {
        m_gridEditor->SetEditing(false);
    }
}

// ---- Keys and the mouse ----

void TTextExprForm::GridKeyDown(vcl::TObject* /*Sender*/, uint16_t& Key, vcl::TShiftState /*Shift*/) {
    m_state.LastKeyTime = CurrentTime();
    m_state.ArrowKey = Key == win::VK_UP || Key == win::VK_DOWN ? 1 : 0;
    const bool editorOpen = m_gridEditor->EditorMode();
    if (Key == win::VK_RETURN && !editorOpen) {
        OkBtnClick(this);
    } else if (Key == win::VK_ESCAPE && editorOpen) {
        // The cell gets back the text it had when editing began; the explorer stays open.
        m_state.Cancelled = 1;
        m_gridEditor->SetEditing(false);
        m_gridEditor->HideEditor();
        m_state.Cancelled = 0;
        if (m_state.EditNewSlotCount >= 0 && TextExpressionTable().ExpressionCount() > m_state.EditNewSlotCount) {
            RemoveNewExpression();
        }
        Key = 0;
    } else if (Key == win::VK_F2) {
        m_state.LastKeyTime = 0;
        SelectCell(kSelectByKey, Grid->Col(), Grid->Row());
        if (m_state.CellEditable != 0) {
            Key = 0;
            m_gridEditor->SetEditing(true);
            m_gridEditor->ShowEditor();
        }
    } else if ((Key >= 48 && Key <= 90) || (Key >= 96 && Key <= 111)) {
        const int32_t count = TextExpressionTable().ExpressionCount();
        if (m_drawCell->Setup(Grid->Col(), Grid->Row(), false, true) && m_drawCell->Index >= 0 &&
            m_drawCell->Index < count && Readable(m_drawCell->Record)) {
            const int32_t kind = m_drawCell->Kind;
            if ((kind == kKindText && SingleCellSelected()) || kind == kKindSize || kind == kKindMetatool ||
                (kind >= kKindFirstParam && kind <= kKindLastParam)) {
                m_gridEditor->SetEditing(true);
            }
        }
    }
}

void TTextExprForm::GridKeyPress(vcl::TObject* /*Sender*/, char& Key) {
    if (Key == ' ') {
        m_state.LastKeyTime = 0;
        SelectCell(kSelectByKey, Grid->Col(), Grid->Row());
    }
}

void TTextExprForm::GridClick(vcl::TObject* /*Sender*/) {
    m_state.FontBoxClicked = 1;
}

void TTextExprForm::GridMouseDown(vcl::TObject* /*Sender*/) {
    m_state.MouseIsDown = 1;
    // A press of the mouse is no key: the virtual clock may not have moved since the last key.
    m_state.LastKeyTime = 0;
}

void TTextExprForm::GridMouseUp(vcl::TObject* /*Sender*/) {
    m_state.MouseIsDown = 0;
    m_state.ArrowKey = 0;
    if (m_state.SameCellAgain != 0 && m_state.CellEditable != 0) {
        m_gridEditor->SetEditing(true);
        m_gridEditor->ShowEditor();
    } else if (m_gridEditor->Selection().OneColumnRange()) {
        SelectCell(kSelectByRange, Grid->Col(), Grid->Row());
    }
}

void TTextExprForm::GridTopLeftChanged(vcl::TObject* /*Sender*/) {
    UpdateRowHeights();
}

// ---- The font list ----

void TTextExprForm::ShowFontList(int32_t col, int32_t row) {
    const std::string current = m_drawCell->FontName;
    m_fillingFontBox = true;
    FontBox->Items().Clear();
    for (int32_t number = 0; number <= 255; ++number) {
        const std::string name = HostFontName(number);
        if (!name.empty()) {
            FontBox->Items().Add(win::AnsiToUtf8(name));
        }
    }
    FontBox->SetText(current);
    vcl::TRect cell = Grid->CellRect(col, row);
    if (cell.Width() <= 0 || cell.Height() <= 0) {
        cell = Grid->CellRect(col, Grid->TopRow());
    }
    FontBox->SetBounds(Grid->Left() + cell.Left, Grid->Top() + cell.Top, FontBox->Width(), FontBox->Height());
    FontBox->Show();
    if (FontBox->CanFocus()) {
        FontBox->SetFocus();
    }
    m_fillingFontBox = false;
    m_state.FontBoxClicked = 0;
    m_state.FontBoxEnter = 0;
}

void TTextExprForm::FontBoxChange(vcl::TObject* Sender) {
    // Only a font the user takes from the open list goes into the cell (the list's remembered
    // text is set by code while it is hidden).
    if (!m_fillingFontBox && !m_applyingState && FontBox->Visible()) {
        GridSetEditText(Sender, Grid->Col(), Grid->Row(), FontBox->Text());
    }
}

void TTextExprForm::FontBoxExit(vcl::TObject* /*Sender*/) {
    FontBox->Hide();
}

void TTextExprForm::FontBoxKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState /*Shift*/) {
    if (Key != win::VK_RETURN) {
        return;
    }
    m_state.FontBoxEnter = 1;
    GridSetEditText(Sender, Grid->Col(), Grid->Row(), FontBox->Text());
    FontBox->Hide();
    FocusGrid();
    Key = 0;
}

// ---- Layout controls ----

void TTextExprForm::xTwoDimClick(vcl::TObject* /*Sender*/) {
    const bool twoDimensional = xTwoDim->Checked();
    // The expression in focus stays in focus: its item number in the layout being left.
    const int32_t item = !twoDimensional ? (Grid->Col() - 1) * (Grid->RowCount() - 1) + Grid->Row() : Grid->Row();
    m_state.TwoDimensional = twoDimensional ? 1 : 0;
    xColCount->SetVisible(twoDimensional);
    DetailBox->SetVisible(!twoDimensional);
    if (m_state.Loading == 0) {
        m_state.LayoutSwitching = 1;
        Relayout(item);
        m_state.LayoutSwitching = 0;
    }
}

void TTextExprForm::xShrinkToFitClick(vcl::TObject* /*Sender*/) {
    if (xShrinkToFit->Checked()) {
        m_state.AdjustWidth = 0;
        xColCount->SetText(std::to_string(m_state.ColumnsWanted) +
                           (DispatcherEnvironment().Language() == 1 ? " Spalten" : " columns"));
    }
    Relayout(0);
}

void TTextExprForm::xColCountChange(vcl::TObject* /*Sender*/) {
    if (m_applyingState) {
        return;  // the form reads the remembered column count itself
    }
    const std::string& text = xColCount->Text();
    if (text == "adjust width" || text == "anpassen") {
        m_state.AdjustWidth = 1;
        xShrinkToFit->SetChecked(false);
    } else {
        m_state.AdjustWidth = 0;
        m_state.ColumnsWanted = ColumnsFromList();
    }
    Relayout(0);
}

void TTextExprForm::xLargerClick(vcl::TObject* /*Sender*/) {
    m_state.SizeStep = std::min(m_state.SizeStep + 1, kMaxSizeStep);
    ClearRowHeights();
    Relayout(0);
}

void TTextExprForm::xSmallerClick(vcl::TObject* /*Sender*/) {
    m_state.SizeStep = std::max(m_state.SizeStep - 1, 1);
    ClearRowHeights();
    Relayout(0);
}

void TTextExprForm::DetailsClick(vcl::TObject* /*Sender*/) {
    Relayout(0);
}

void TTextExprForm::dAllBtnClick(vcl::TObject* /*Sender*/) {
    dFonts->SetChecked(true);
    dPlayback->SetChecked(true);
    dOthers->SetChecked(true);
}

void TTextExprForm::dAllStylesClick(vcl::TObject* /*Sender*/) {
    if (dAllStyles->Checked()) {
        dFonts->SetChecked(true);
    }
    Relayout(0);
}

// ---- New and Duplicate ----

void TTextExprForm::NewBtnClick(vcl::TObject* /*Sender*/) {
    FocusGrid();
    const int32_t col = Grid->Col();
    const int32_t row = Grid->Row();
    if (m_state.TwoDimensional == 0) {
        Grid->FocusCell(1, Grid->RowCount() - 1);
    } else {
        SelectItem(m_state.ShownCount + 1);
    }
    if (Grid->Col() == col && Grid->Row() == row) {
        // The cell was current already: it is selected again.
        SelectCell(kSelectByGrid, col, row);
    }
    FocusGrid();
}

void TTextExprForm::DuplicateBtnClick(vcl::TObject* /*Sender*/) {
    TTextExpressions& table = TextExpressionTable();
    if (!m_drawCell->Setup(Grid->Col(), Grid->Row(), false, true) || m_drawCell->Index < 0 ||
        m_drawCell->Index >= table.ExpressionCount() || m_drawCell->Record == nullptr) {
        return;
    }
    const TTxtExprRec source = *m_drawCell->Record;
    FocusGrid();
    SelectItem(m_state.ShownCount + 1);
    const int32_t col = Grid->Col();
    const int32_t row = Grid->Row();
    const int32_t countBefore = table.ExpressionCount();
    if (!m_drawCell->Setup(col, row, true, true) || m_drawCell->Index != countBefore ||
        table.ExpressionCount() != countBefore + 1) {
        return;
    }
    TTxtExprRec& copy = *m_drawCell->Record;
    // The filter list is positional: the new record keeps the place the filter gave it.
    const uint8_t shown = copy.Shown;
    const uint16_t filterEntry = copy.FilterListEntry;
    copy = source;
    copy.Shown = shown;
    copy.FilterListEntry = filterEntry;
    copy.Number = static_cast<int16_t>(table.ExpressionCount());
    copy.Modified = 1;
    copy.MetatoolKey = 0;
    copy.MovedTo = copy.Number;
    ++m_state.ChangedCount;
    m_drawCell->CachedIndex = -2;
    SelectCell(kSelectByGrid, col, row);
    if (static_cast<size_t>(row) < m_state.RowHeightKnown.size()) {
        m_state.RowHeightKnown[static_cast<size_t>(row)] = false;
    }
    UpdateRowHeights();
    Grid->InvalidateCell(col, row);
    FocusGrid();
}

}  // namespace orvex
