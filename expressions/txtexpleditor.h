// TGridEditor: what the explorer's grid needs beyond the class library's draw grid, which has no
// in-place editor, no range of selected cells, no grid-line option and no mouse events. The
// grid stays a plain MyDrawGrid (so that its form remembers its state); this object takes over
// its cell-selection and key events and gives the form the routes of a grid with editing:
//
// - Editing (the grid's editing option): while it is on, F2 and typing open the editor.
// - The editor: an edit owned by the grid ("InplaceEdit"), shown over the current cell with the
//   text OnGetEditText gives. Every change of its text reaches OnSetEditText at once, as a grid
//   does while the user types; closing it (Enter, another cell, HideEditor) gives OnSetEditText
//   its text once more when the user changed it. Enter and Escape in the editor reach the grid's
//   key handlers first.
// - The selection: the rectangle from the anchor cell to the current cell. Moving to a cell
//   collapses it to that cell; extending (Shift with a click or an arrow, or a drag) keeps the
//   anchor. During the grid's cell-selection event the selection is still the one before the
//   move.
// - The mouse: ClickCell and DragCells press, select and release as the user's mouse does, with
//   the grid's click between selecting and releasing. A click on the current cell selects it
//   again (the grid's cell-selection event runs once more).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "forms/mydrawgrid.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

/// A rectangle of cells: columns Left..Right, rows Top..Bottom.
struct TGridRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    /// One column spanning several rows.
    bool OneColumnRange() const { return Left == Right && Top != Bottom; }
    bool OneCell() const { return Left == Right && Top == Bottom; }
};

class TGridEditor {
public:
    using TGetEditTextEvent = std::function<void(vcl::TObject* Sender, int32_t ACol, int32_t ARow, std::string& Value)>;
    using TSetEditTextEvent =
        std::function<void(vcl::TObject* Sender, int32_t ACol, int32_t ARow, const std::string& Value)>;

    /// Makes the hidden editor and takes over the grid's cell-selection and key events.
    explicit TGridEditor(MyDrawGrid& grid);
    TGridEditor(const TGridEditor&) = delete;
    TGridEditor& operator=(const TGridEditor&) = delete;

    MyDrawGrid& Grid() { return m_grid; }
    vcl::TEdit& Editor() { return *m_editor; }

    /// The grid's editing option.
    bool Editing() const { return m_editing; }
    void SetEditing(bool editing) { m_editing = editing; }
    /// The grid's vertical and horizontal lines (off: cells touch one another).
    void SetLines(bool on);

    /// The editor is open.
    bool EditorMode() const { return m_editorMode; }
    /// Opens the editor over the current cell when editing is on.
    void ShowEditor();
    /// Closes the editor; the cell gets its text when the user changed it.
    void HideEditor();

    const TGridRect& Selection() const { return m_selection; }

    // ---- The user's mouse ----
    /// Presses the mouse on a cell, selects it and releases the mouse there.
    void ClickCell(int32_t col, int32_t row);
    /// Presses the mouse on the first cell and releases it on the second: the cells between
    /// them are selected.
    void DragCells(int32_t fromCol, int32_t fromRow, int32_t toCol, int32_t toRow);

    // ---- The form's handlers ----
    vcl::TSelectCellEvent OnSelectCell;
    vcl::TKeyEvent OnKeyDown;
    vcl::TKeyPressEvent OnKeyPress;
    TGetEditTextEvent OnGetEditText;
    TSetEditTextEvent OnSetEditText;
    vcl::TNotifyEvent OnMouseDown;
    vcl::TNotifyEvent OnMouseUp;

private:
    /// The grid's cell-selection event: the form's handler, then the editor and the selection
    /// follow an allowed move.
    void SelectCell(vcl::TObject* sender, int32_t col, int32_t row, bool& canSelect);
    /// A key in the grid or the editor: the form's handler, then the grid's own keys.
    void KeyDown(uint16_t& key, vcl::TShiftState shift);
    void KeyPress(char& key);
    /// Moves the current cell by the arrow key (Shift extends the selection).
    void MoveByArrow(uint16_t key, bool extend);
    void MoveTo(int32_t col, int32_t row, bool extend);
    void Commit();

    MyDrawGrid& m_grid;
    vcl::TEdit* m_editor;
    bool m_editing = false;
    bool m_editorMode = false;
    bool m_loadingEditor = false;  ///< the editor gets its text from the form, not from the user
    bool m_editorChanged = false;  ///< the user changed the editor's text since it opened
    bool m_extending = false;      ///< the move keeps the anchor
    int32_t m_editCol = 0;
    int32_t m_editRow = 0;
    int32_t m_anchorCol = 1;
    int32_t m_anchorRow = 1;
    TGridRect m_selection{1, 1, 1, 1};
};

}  // namespace orvex
