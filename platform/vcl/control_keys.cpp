// What the standard controls do with the keys that reach them after their key events: edits and
// the text of a drop-down combo box are edited, lists, combo boxes, radio groups and grids choose
// by the arrows.
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/grids.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/keys.h"

namespace vcl {
namespace {

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t NextCharacter(const std::string& text, size_t at) {
    if (at >= text.size()) {
        return text.size();
    }
    ++at;
    while (at < text.size() && IsContinuation(text[at])) {
        ++at;
    }
    return at;
}

size_t PreviousCharacter(const std::string& text, size_t at) {
    if (at == 0) {
        return 0;
    }
    --at;
    while (at > 0 && IsContinuation(text[at])) {
        --at;
    }
    return at;
}

size_t CharacterCount(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuation(c); }));
}

/// The control's text becomes the edited one (OnChange runs); the caret stays where the edit
/// left it, within the text the control then holds.
void TakeEditedText(TWinControl& control, TEditCaret& caret, const std::string& text) {
    const TEditCaret edited = caret;
    if (text != control.Text()) {
        control.SetText(text);
    }
    const size_t size = control.Text().size();
    caret.anchor = std::min(edited.anchor, size);
    caret.caret = std::min(edited.caret, size);
}

/// The caret keys and Delete; answers whether the key was one of them.
bool EditKeyDown(TWinControl& control, TEditCaret& caret, uint16_t key, TShiftState shift, bool readOnly) {
    const std::string text = control.Text();
    if (caret.Move(text, key, (shift & ssShift) != 0)) {
        return true;
    }
    if (key != win::VK_DELETE) {
        return false;
    }
    if (!readOnly) {
        TakeEditedText(control, caret, caret.Erase(text, true));
    }
    return true;
}

/// A typed character: Backspace erases, a printable character replaces the selection (unless
/// the text holds maxLength characters without it).
void EditKeyPress(TWinControl& control, TEditCaret& caret, char key, bool readOnly, int32_t maxLength) {
    if (readOnly) {
        return;
    }
    const std::string text = control.Text();
    if (key == '\b') {
        TakeEditedText(control, caret, caret.Erase(text, false));
        return;
    }
    if (static_cast<unsigned char>(key) < 0x20 || key == 0x7F) {
        return;
    }
    const size_t selected =
        CharacterCount(text.substr(std::min(caret.anchor, caret.caret),
                                   std::max(caret.anchor, caret.caret) - std::min(caret.anchor, caret.caret)));
    if (maxLength > 0 && CharacterCount(text) - selected >= static_cast<size_t>(maxLength)) {
        return;
    }
    TakeEditedText(control, caret, caret.Replace(text, std::string(1, key)));
}

/// The item that Up, Down, Home, End, Page Up or Page Down chooses in a list of `count` items
/// (`page` of them in sight); -1 for another key or an empty list.
int32_t ItemByKey(uint16_t key, int32_t current, int32_t count, int32_t page) {
    if (count == 0) {
        return -1;
    }
    switch (key) {
        case win::VK_UP:
            return std::max(current - 1, 0);
        case win::VK_DOWN:
            return std::min(current + 1, count - 1);
        case win::VK_HOME:
            return 0;
        case win::VK_END:
            return count - 1;
        case win::VK_PRIOR:
            return std::max(current - page, 0);
        case win::VK_NEXT:
            return std::min(std::max(current, 0) + page, count - 1);
        default:
            return -1;
    }
}

bool IsArrow(uint16_t key) {
    return key >= win::VK_LEFT && key <= win::VK_DOWN;
}

}  // namespace

// ---- TEditCaret ----

bool TEditCaret::Move(const std::string& text, uint16_t key, bool shift) {
    anchor = std::min(anchor, text.size());
    caret = std::min(caret, text.size());
    const size_t low = std::min(anchor, caret);
    const size_t high = std::max(anchor, caret);
    size_t to = 0;
    switch (key) {
        case win::VK_LEFT:
            to = !shift && low != high ? low : PreviousCharacter(text, caret);
            break;
        case win::VK_RIGHT:
            to = !shift && low != high ? high : NextCharacter(text, caret);
            break;
        case win::VK_HOME:
            to = 0;
            break;
        case win::VK_END:
            to = text.size();
            break;
        default:
            return false;
    }
    caret = to;
    if (!shift) {
        anchor = to;
    }
    return true;
}

std::string TEditCaret::Replace(const std::string& text, std::string_view insert) {
    const size_t low = std::min({anchor, caret, text.size()});
    const size_t high = std::min(std::max(anchor, caret), text.size());
    std::string result = text.substr(0, low);
    result += insert;
    result += text.substr(high);
    anchor = caret = low + insert.size();
    return result;
}

std::string TEditCaret::Erase(const std::string& text, bool forward) {
    anchor = std::min(anchor, text.size());
    caret = std::min(caret, text.size());
    if (anchor == caret) {
        anchor = forward ? NextCharacter(text, caret) : PreviousCharacter(text, caret);
    }
    return Replace(text, "");
}

void TEditCaret::SelectAll(const std::string& text) {
    anchor = 0;
    caret = text.size();
}

void TEditCaret::ToEnd(const std::string& text) {
    anchor = caret = text.size();
}

// ---- TEdit ----

std::string TEdit::SelText() const {
    const size_t low = std::min({m_caret.anchor, m_caret.caret, Text().size()});
    const size_t high = std::min(std::max(m_caret.anchor, m_caret.caret), Text().size());
    return Text().substr(low, high - low);
}

void TEdit::SelectAll() {
    m_caret.SelectAll(Text());
}

void TEdit::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == win::VK_UP || key == win::VK_DOWN) {
        // An edit with an up-down beside it (its associate): the arrows step the up-down.
        for (int32_t i = 0; Parent() != nullptr && i < Parent()->ControlCount(); ++i) {
            if (auto* upDown = dynamic_cast<TUpDown*>(Parent()->Controls(i));
                upDown != nullptr && upDown->Associate() == this && upDown->EnabledWithParents()) {
                upDown->StepFromAssociate(key == win::VK_UP ? btNext : btPrev);
                key = 0;
                return;
            }
        }
    }
    if (key != 0 && EditKeyDown(*this, m_caret, key, shift, m_readOnly)) {
        key = 0;
    }
}

void TEdit::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key != 0) {
        EditKeyPress(*this, m_caret, key, m_readOnly, m_maxLength);
    }
}

bool TEdit::WantsKey(uint16_t key) const {
    return IsArrow(key);
}

void TEdit::DoEnter() {
    if (m_autoSelect) {
        SelectAll();
    }
    TWinControl::DoEnter();
}

void TEdit::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    m_caret.ToEnd(Text());
    TWinControl::MouseDown(button, shift, x, y);
}

// ---- TComboBox ----

void TComboBox::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0) {
        return;
    }
    const bool list = m_style == csDropDownList;
    if (key == win::VK_UP || key == win::VK_DOWN || (list && (key == win::VK_HOME || key == win::VK_END))) {
        if (const int32_t index = ItemByKey(key, m_itemIndex, m_items.Count(), 1); index >= 0 && index != m_itemIndex) {
            ChooseItem(index);
        }
        key = 0;
    } else if (!list && EditKeyDown(*this, m_caret, key, shift, false)) {
        key = 0;
    }
}

void TComboBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0) {
        return;
    }
    if (m_style != csDropDownList) {
        EditKeyPress(*this, m_caret, key, false, 0);
        return;
    }
    // A drop-down list chooses the next item, round again, that begins with the character.
    const int32_t count = m_items.Count();
    const auto wanted = std::tolower(static_cast<unsigned char>(key));
    for (int32_t step = 1; step <= count; ++step) {
        const int32_t index = (std::max(m_itemIndex, -1) + step + count) % count;
        const std::string& item = m_items[index];
        if (!item.empty() && std::tolower(static_cast<unsigned char>(item[0])) == wanted) {
            if (index != m_itemIndex) {
                ChooseItem(index);
            }
            return;
        }
    }
}

bool TComboBox::WantsKey(uint16_t key) const {
    return IsArrow(key);
}

void TComboBox::DoEnter() {
    m_caret.SelectAll(Text());
    TWinControl::DoEnter();
}

// ---- TListBox, TCheckListBox ----

void TListBox::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0 || key == win::VK_LEFT || key == win::VK_RIGHT) {
        return;
    }
    const int32_t page = std::max(1, Height() / 13 - 1);
    const int32_t index = ItemByKey(key, m_itemIndex, m_items.Count(), page);
    if (index < 0) {
        return;
    }
    key = 0;
    if (m_multiSelect) {
        // Moving by keys selects the item alone, as a click does.
        std::fill(m_selected.begin(), m_selected.end(), false);
        m_selected[static_cast<size_t>(index)] = true;
    }
    SetItemIndex(index);
}

void TListBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == ' ' && m_multiSelect && m_itemIndex >= 0) {
        m_selected[static_cast<size_t>(m_itemIndex)] = !m_selected[static_cast<size_t>(m_itemIndex)];
        Click();
    }
}

bool TListBox::WantsKey(uint16_t key) const {
    return IsArrow(key);
}

void TCheckListBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == ' ' && ItemIndex() >= 0) {
        CheckByUser(ItemIndex(), !Checked(ItemIndex()));
    }
}

// ---- TRadioGroup ----

void TRadioGroup::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (!IsArrow(key) || m_items.Count() == 0) {
        return;
    }
    const bool back = key == win::VK_LEFT || key == win::VK_UP;
    SetItemIndex(ItemByKey(back ? win::VK_UP : win::VK_DOWN, m_itemIndex, m_items.Count(), 1));
    key = 0;
}

bool TRadioGroup::DialogChar(char c) {
    for (int32_t i = 0; i < m_items.Count(); ++i) {
        if (IsAccel(c, m_items[i]) && CanFocus()) {
            SetFocus();
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

bool TRadioGroup::WantsKey(uint16_t key) const {
    return IsArrow(key);
}

// ---- TDrawGrid ----

bool TDrawGrid::CellByKey(uint16_t key, TShiftState shift, int32_t& col, int32_t& row) const {
    if (ColCount() <= m_fixedCols || RowCount() <= m_fixedRows) {
        return false;  // no cell to move to
    }
    col = m_col;
    row = m_row;
    const bool ctrl = (shift & ssCtrl) != 0;
    switch (key) {
        case win::VK_LEFT:
        case win::VK_RIGHT:
            col += key == win::VK_LEFT ? -1 : 1;
            break;
        case win::VK_UP:
        case win::VK_DOWN:
            row += key == win::VK_UP ? -1 : 1;
            break;
        case win::VK_PRIOR:
        case win::VK_NEXT:
            row += (key == win::VK_PRIOR ? -1 : 1) * std::max(1, VisibleRowCount());
            break;
        case win::VK_HOME:
        case win::VK_END: {
            const bool home = key == win::VK_HOME;
            if (ctrl) {
                row = home ? m_fixedRows : RowCount() - 1;
            } else {
                col = home ? m_fixedCols : ColCount() - 1;
            }
            break;
        }
        default:
            return false;
    }
    col = std::clamp(col, m_fixedCols, ColCount() - 1);
    row = std::clamp(row, m_fixedRows, RowCount() - 1);
    return true;
}

void TDrawGrid::KeyDown(uint16_t& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    int32_t col = 0;
    int32_t row = 0;
    if (CellByKey(key, shift, col, row)) {
        key = 0;
        FocusCell(col, row);
    }
}

bool TDrawGrid::WantsKey(uint16_t key) const {
    return IsArrow(key);
}

}  // namespace vcl
