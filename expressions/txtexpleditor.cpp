#include "expressions/txtexpleditor.h"

#include <algorithm>

#include "platform/win/keys.h"

namespace orvex {

TGridEditor::TGridEditor(MyDrawGrid& grid) : m_grid(grid), m_editor(new vcl::TEdit(&grid)) {
    m_editor->SetName("InplaceEdit");
    m_editor->SetVisible(false);
    m_editor->SetParent(&grid);
    m_editor->OnChange = [this](vcl::TObject* /*sender*/) {
        if (m_loadingEditor || !m_editorMode) {
            return;
        }
        m_editorChanged = true;
        if (OnSetEditText) {
            OnSetEditText(&m_grid, m_editCol, m_editRow, m_editor->Text());
        }
    };
    m_editor->OnKeyDown = [this](vcl::TObject* /*sender*/, uint16_t& key, vcl::TShiftState shift) {
        KeyDown(key, shift);
    };
    m_grid.OnSelectCell = [this](vcl::TObject* sender, int32_t col, int32_t row, bool& canSelect) {
        SelectCell(sender, col, row, canSelect);
    };
    m_grid.OnKeyDown = [this](vcl::TObject* /*sender*/, uint16_t& key, vcl::TShiftState shift) { KeyDown(key, shift); };
    m_grid.OnKeyPress = [this](vcl::TObject* /*sender*/, char& key) { KeyPress(key); };
    m_selection = TGridRect{m_grid.Col(), m_grid.Row(), m_grid.Col(), m_grid.Row()};
    m_anchorCol = m_grid.Col();
    m_anchorRow = m_grid.Row();
}

void TGridEditor::SetLines(bool on) {
    m_grid.SetGridLineWidth(on ? 1 : 0);
}

void TGridEditor::ShowEditor() {
    if (!m_editing || m_editorMode) {
        return;
    }
    m_editCol = m_grid.Col();
    m_editRow = m_grid.Row();
    std::string text;
    if (OnGetEditText) {
        OnGetEditText(&m_grid, m_editCol, m_editRow, text);
    }
    m_loadingEditor = true;
    m_editor->SetText(text);
    m_loadingEditor = false;
    const vcl::TRect cell = m_grid.CellRect(m_editCol, m_editRow);
    m_editor->SetBounds(cell.Left, cell.Top, cell.Width(), cell.Height());
    m_editorMode = true;
    m_editorChanged = false;
    m_editor->SetVisible(true);
    if (m_editor->CanFocus()) {
        m_editor->SetFocus();
    }
}

void TGridEditor::HideEditor() {
    if (!m_editorMode) {
        return;
    }
    m_editorMode = false;
    const bool focused = m_editor->Focused();
    m_editor->SetVisible(false);
    if (focused && m_grid.CanFocus()) {
        m_grid.SetFocus();
    }
    Commit();
}

void TGridEditor::Commit() {
    if (m_editorChanged && OnSetEditText) {
        m_editorChanged = false;
        OnSetEditText(&m_grid, m_editCol, m_editRow, m_editor->Text());
    }
    m_editorChanged = false;
}

void TGridEditor::SelectCell(vcl::TObject* sender, int32_t col, int32_t row, bool& canSelect) {
    if (OnSelectCell) {
        OnSelectCell(sender, col, row, canSelect);
    }
    if (!canSelect) {
        return;
    }
    // The editor belongs to the cell it was opened on: moving away closes it.
    HideEditor();
    if (!m_extending) {
        m_anchorCol = col;
        m_anchorRow = row;
    }
    m_selection = TGridRect{std::min(m_anchorCol, col), std::min(m_anchorRow, row), std::max(m_anchorCol, col),
                            std::max(m_anchorRow, row)};
}

void TGridEditor::MoveTo(int32_t col, int32_t row, bool extend) {
    col = std::clamp(col, m_grid.FixedCols(), m_grid.ColCount() - 1);
    row = std::clamp(row, m_grid.FixedRows(), m_grid.RowCount() - 1);
    m_extending = extend;
    if (col == m_grid.Col() && row == m_grid.Row()) {
        // The grid selects its current cell again when the user clicks it.
        bool canSelect = true;
        m_grid.OnSelectCell(&m_grid, col, row, canSelect);
    } else {
        m_grid.FocusCell(col, row);
    }
    m_extending = false;
}

void TGridEditor::ClickCell(int32_t col, int32_t row) {
    if (OnMouseDown) {
        OnMouseDown(&m_grid);
    }
    MoveTo(col, row, false);
    m_grid.Click();
    if (OnMouseUp) {
        OnMouseUp(&m_grid);
    }
}

void TGridEditor::DragCells(int32_t fromCol, int32_t fromRow, int32_t toCol, int32_t toRow) {
    if (OnMouseDown) {
        OnMouseDown(&m_grid);
    }
    MoveTo(fromCol, fromRow, false);
    MoveTo(toCol, toRow, true);
    m_grid.Click();
    if (OnMouseUp) {
        OnMouseUp(&m_grid);
    }
}

void TGridEditor::MoveByArrow(uint16_t key, bool extend) {
    int32_t col = 0;
    int32_t row = 0;
    if (m_grid.CellByKey(key, 0, col, row) && (col != m_grid.Col() || row != m_grid.Row())) {
        MoveTo(col, row, extend);
    }
}

void TGridEditor::KeyDown(uint16_t& key, vcl::TShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(&m_grid, key, shift);
    }
    switch (key) {
        case win::VK_RETURN:
        case win::VK_ESCAPE:
            if (m_editorMode) {
                HideEditor();
                key = 0;
            }
            break;
        case win::VK_F2:
            ShowEditor();
            break;
        case win::VK_LEFT:
        case win::VK_RIGHT:
            // In the open editor they move its caret.
            if (!m_editorMode) {
                MoveByArrow(key, (shift & vcl::ssShift) != 0);
                key = 0;
            }
            break;
        case win::VK_UP:
        case win::VK_DOWN:
            MoveByArrow(key, (shift & vcl::ssShift) != 0);
            key = 0;  // moved here: the grid does not move once more
            break;
        default:
            break;
    }
}

void TGridEditor::KeyPress(char& key) {
    if (OnKeyPress) {
        OnKeyPress(&m_grid, key);
    }
    if (key == 0 || static_cast<unsigned char>(key) < 0x20 || !m_editing || m_editorMode) {
        return;
    }
    // Typing opens the editor: the character replaces the cell's text.
    ShowEditor();
    if (m_editorMode) {
        m_editor->SetText(std::string(1, key));
        key = 0;
    }
}

}  // namespace orvex
