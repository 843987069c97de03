// TTextExprForm: the explorer for text expressions, a modal form that shows every text
// expression of the open document in a grid (txtexplgrid.h: one cell per expression, or one
// row per expression with detail columns), filters, sorts and counts them, lets the user edit
// text, font, size, style, playback values and metatool keys in place, add and duplicate
// expressions, and on OK writes every change back to the document and gives the selected
// expression the explorer's metatool key. Cancel discards every change made since it opened.
//
// It works on the shared text expression table (txtexpr.h) and on a sorter form in options
// mode (txtexprsorter.h) that its caller makes with it and frees after it. The form's methods
// for the grid, its layout and its editing are defined in txtexplgrid.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/mydrawgrid.h"
#include "forms/vxform.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

class TGridDrawCell;
class TGridEditor;
class TTextExprSorter;
class TTextExpressions;
struct TTxtExprRec;

/// How a cell selection came about: the explorer selects the focused cell again itself for F2
/// and Space (key) and after a mouse release over a range (range); the grid selects for the user.
inline constexpr int32_t kSelectByKey = 0;
inline constexpr int32_t kSelectByRange = 1;
inline constexpr int32_t kSelectByGrid = 2;

/// The most columns the one-dimensional layout can have.
inline constexpr size_t kMaxExplorerColumns = 50;

/// The explorer's private state (names as its designer gave them).
struct TExplorerState {
    uint8_t Loading = 0;               ///< the remembered state is being applied in the constructor
    uint8_t Drawn = 0;                 ///< a cell was painted: filter and usage controls act from now on
    uint8_t TwoDimensional = 1;        ///< mirrors xTwoDim
    uint8_t AdjustWidth = 0;           ///< "adjust width" is chosen in xColCount
    uint8_t ShrinkToFitOn = 0;         ///< mirrors xShrinkToFit, read by every relayout
    uint8_t FilterActive = 0;          ///< a filter other than the neutral one is in force
    uint8_t Cancelled = 0;             ///< close without writing back
    std::vector<uint8_t> DroppedKeys;  ///< metatool keys an expression gave up for another key
    int32_t EditNewSlotCount = -1;     ///< the expression count when an edit of the empty slot began
    int32_t LastFilterKey = 0;         ///< -2 and 0 force a new filtering run
    int32_t ColumnsWanted = 5;         ///< columns across the two-dimensional grid, 1-20
    int32_t SizeStep = 10;             ///< display size in tenths of the expressions' own size, 1-20
    int32_t ShownCount = 0;            ///< expressions shown (filtered or all, and those added while filtered)
    int32_t AddedWhileFiltered = 0;
    std::array<uint8_t, kMaxExplorerColumns> ColumnKinds{};  ///< per grid column, one-dimensional layout
    int32_t LayoutDepth = 0;                                 ///< relayout does nothing while it is not 0
    double LastKeyTime = 0;            ///< time of the last key in the grid; 0 after F2, Space or a mouse press
    std::vector<bool> RowHeightKnown;  ///< per row: its height was set (one-dimensional layout)
    uint8_t LayoutSwitching = 0;       ///< the layout switches between one and two dimensions
    int32_t ChangedCount = 0;          ///< expressions changed since the explorer opened
    int32_t LastChangedIndex = -1;     ///< the expression changed last
    uint8_t CellEditable = 0;
    uint8_t SameCellAgain = 0;
    int32_t LastCol = 0;
    int32_t LastRow = 0;
    std::string EditStartText;  ///< the cell's text when in-place editing began (UTF-8)
    std::string NewFontName;    ///< font of new expressions: the last text font chosen here (UTF-8)
    int32_t NewFontSize = 0;    ///< size of new expressions: the last size chosen for a text font
    uint8_t FontBoxEnter = 0;
    uint8_t FontBoxClicked = 0;
    uint8_t ArrowKey = 0;
    uint8_t MouseIsDown = 0;
};

class TTextExprForm : public VxForm {
public:
    /// The designed form; loads the sorter's options and its own remembered state, loads the
    /// table (or, with "load only once", checks that it still matches the document) and sorts it
    /// when "display sorted" is checked.
    TTextExprForm(vcl::TComponent* owner, TTextExprSorter& sorter);
    ~TTextExprForm() override;

    // ---- Designed controls ----
    MyDrawGrid* Grid;
    vcl::TGroupBox* ShowBox;
    vcl::TCheckBox* xTextual;
    vcl::TCheckBox* xMusical;
    vcl::TCheckBox* xPlayback;
    vcl::TCheckBox* xSearch;
    vcl::TButton* xCalcUsage;
    vcl::TBitBtn* xAll;
    vcl::TGroupBox* DetailBox;
    vcl::TCheckBox* dFonts;
    vcl::TCheckBox* dPlayback;
    vcl::TCheckBox* dOthers;
    vcl::TBitBtn* dAllBtn;
    vcl::TComboBox* xSearchText;
    vcl::TRadioGroup* xUsage;
    vcl::TEdit* xAtLeast;
    vcl::TUpDown* AtLeastUpDown;
    vcl::TEdit* xAtMost;
    vcl::TUpDown* AtMostUpDown;
    vcl::TCheckBox* dAllStyles;
    vcl::TPanel* ButtonPanel;
    vcl::TBitBtn* CancelBtn;
    vcl::TBitBtn* xLarger;
    vcl::TBitBtn* xSmaller;
    vcl::TBitBtn* OkBtn;
    vcl::TCheckBox* xTwoDim;
    vcl::TCheckBox* xShrinkToFit;
    vcl::TButton* UpdateBtn;
    vcl::TCheckBox* QuickMode;
    vcl::TGroupBox* SortBox;
    vcl::TCheckBox* xSorted;
    vcl::TButton* xOptions;
    vcl::TComboBox* FontBox;
    vcl::TComboBox* xColCount;
    vcl::TButton* DuplicateBtn;
    vcl::TButton* NewBtn;
    vcl::TBitBtn* HelpBtn;
    vcl::TCheckBox* xMeta;

    // ---- The form (txtexplorer.cpp) ----
    void FormShow(vcl::TObject* Sender);
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);
    /// Keeps the least size that shows every control and moves the controls with the size.
    void FormCanResize(vcl::TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize);
    void MoveControls(int32_t dx, int32_t dy);
    /// Agrees without asking below two changed expressions; else asks the user.
    bool ConfirmDiscard();
    void SetGermanCaptions();

    // ---- Filters ----
    void xTextualClick(vcl::TObject* Sender);
    void xMusicalClick(vcl::TObject* Sender);
    void DetailsClick(vcl::TObject* Sender);
    void xSearchTextChange(vcl::TObject* Sender);
    void xAllClick(vcl::TObject* Sender);
    void xUsageClick(vcl::TObject* Sender);
    void xAtLeastChange(vcl::TObject* Sender);
    void xAtMostChange(vcl::TObject* Sender);
    void xCalcUsageClick(vcl::TObject* Sender);

    // ---- Sorting and loading ----
    void xSortedClick(vcl::TObject* Sender);
    void xOptionsClick(vcl::TObject* Sender);
    void UpdateBtnClick(vcl::TObject* Sender);

    // ---- Buttons ----
    void OkBtnClick(vcl::TObject* Sender);
    void CancelBtnClick(vcl::TObject* Sender);
    void HelpBtnClick(vcl::TObject* Sender);

    // ---- The grid and its layout (txtexplgrid.cpp) ----
    /// Rebuilds filter state, columns, rows, heights and focus; `item` (1-based, 0 = none) is
    /// focused afterwards.
    void Relayout(int32_t item);
    /// Focuses the cell that shows item n (1-based).
    void SelectItem(int32_t n);
    /// One-dimensional layout: the heights of the rows around the visible ones.
    void UpdateRowHeights();
    /// Sets or toggles a style bit of the focused expression or of a selected column range.
    void ApplyStyleBit(int32_t mode, uint16_t bit);
    bool SingleCellSelected() const;

    void GridDrawCell(vcl::TObject* Sender, int32_t ACol, int32_t ARow, vcl::TRect Rect, vcl::TGridDrawState State);
    void GridSelectCell(vcl::TObject* Sender, int32_t ACol, int32_t ARow, bool& CanSelect);
    void GridGetEditText(vcl::TObject* Sender, int32_t ACol, int32_t ARow, std::string& Value);
    void GridSetEditText(vcl::TObject* Sender, int32_t ACol, int32_t ARow, const std::string& Value);
    void GridKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    void GridKeyPress(vcl::TObject* Sender, char& Key);
    void GridClick(vcl::TObject* Sender);
    void GridMouseDown(vcl::TObject* Sender);
    void GridMouseUp(vcl::TObject* Sender);
    void GridTopLeftChanged(vcl::TObject* Sender);
    void FontBoxChange(vcl::TObject* Sender);
    void FontBoxExit(vcl::TObject* Sender);
    void FontBoxKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    void xTwoDimClick(vcl::TObject* Sender);
    void xShrinkToFitClick(vcl::TObject* Sender);
    void xColCountChange(vcl::TObject* Sender);
    void xLargerClick(vcl::TObject* Sender);
    void xSmallerClick(vcl::TObject* Sender);
    void dAllBtnClick(vcl::TObject* Sender);
    void dAllStylesClick(vcl::TObject* Sender);
    void NewBtnClick(vcl::TObject* Sender);
    void DuplicateBtnClick(vcl::TObject* Sender);

    // ---- Remembered state: SizeStep, NewFontSize, NewFontName ----
    int32_t GetExtraInt(int32_t index) override;
    void SetExtraInt(int32_t index, int32_t value) override;
    std::string GetExtraString(int32_t index) override;
    void SetExtraString(int32_t index, const std::string& value) override;

    const TExplorerState& State() const { return m_state; }
    TGridDrawCell& DrawCell() { return *m_drawCell; }
    /// The grid's editing, selection and mouse routes.
    TGridEditor& GridEditor() { return *m_gridEditor; }

private:
    friend class TGridDrawCell;

    /// Gives the controls, the grid's editing routes and the form their handlers.
    void ConnectHandlers();
    /// The table filtered by the filter controls when their key changed; sets ShownCount.
    void ApplyFilter();
    /// Applies the remembered state (VxForm_LoadState) with m_applyingState set.
    void LoadRememberedState();
    /// GridSelectCell with the way the selection came about.
    void SelectCell(int32_t sender, int32_t col, int32_t row);
    /// Counts a change of the expression at `index`: a change to another expression than the
    /// last one changed adds one.
    void NoteChange(int32_t index);
    /// Takes away the expression that typing into the empty slot made, when its edit is cancelled.
    void RemoveNewExpression();
    /// Marks the expression changed and repaints its cell and the text cell of its row.
    void MarkChanged(TTxtExprRec& record, int32_t index, int32_t col, int32_t row);
    /// Shows the font list over a cell.
    void ShowFontList(int32_t col, int32_t row);
    /// The number in the first two characters of the column-count list's text (5 when none).
    int32_t ColumnsFromList() const;
    void ClearRowHeights();
    /// The grid gets the focus when it can take it.
    void FocusGrid();
    void CountUsageNow();

    TTextExprSorter& m_sorter;
    TExplorerState m_state;
    std::unique_ptr<TGridDrawCell> m_drawCell;
    std::unique_ptr<TGridEditor> m_gridEditor;
    /// The form applies its remembered state: the class library runs a combo box's OnChange and
    /// the grid's cell selection for values set by code, which the user did not choose.
    bool m_applyingState = false;
    bool m_massChange = false;      ///< a typed value goes into every row of a selected range
    bool m_fillingFontBox = false;  ///< the font list is being filled, not chosen from
};

}  // namespace orvex
