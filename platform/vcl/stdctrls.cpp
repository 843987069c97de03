#include "platform/vcl/stdctrls.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "platform/vcl/forms.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/screen.h"
#include "platform/win/transcript.h"

namespace vcl {
namespace {

int32_t Ppi() {
    return win::GetScreenPixelsPerInch();
}

/// Cuts UTF-8 text to at most `limit` characters.
std::string CutToCharacters(std::string_view text, int32_t limit) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == static_cast<size_t>(limit)) {
                return std::string(text.substr(0, i));
            }
            ++count;
        }
    }
    return std::string(text);
}

/// Breaks a caption into lines no wider than `width` at blanks (a word wider than the width
/// stays whole on its line).
std::vector<std::string> WrapLines(const TFont& font, const std::string& text, int32_t width) {
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && MeasureTextWidth(font, candidate, Ppi()) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        start = end + 1;
    }
    lines.push_back(line);
    return lines;
}

}  // namespace

std::string QuoteForTranscript(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

void WriteLayoutLines(const TWinControl& parent, const std::string& indent) {
    for (int32_t i = 0; i < parent.ControlCount(); ++i) {
        const TControl& control = *parent.Controls(i);
        const auto* windowed = dynamic_cast<const TWinControl*>(&control);
        std::string line = indent + control.ClassName() + " " + (control.Name().empty() ? "-" : control.Name()) +
                           " at " + std::to_string(control.Left()) + "," + std::to_string(control.Top()) + " size " +
                           std::to_string(control.Width()) + "x" + std::to_string(control.Height());
        if (windowed != nullptr) {
            line += " tab " + std::to_string(windowed->TabOrder()) + (windowed->TabStop() ? "" : " (no stop)");
        }
        if (!control.Caption().empty()) {
            // A folder or file shows as the transcript names files (the hidden label of a folder list).
            std::string caption = QuoteForTranscript(
                control.Caption().starts_with('/') ? win::TranscriptPath(control.Caption()) : control.Caption());
            for (size_t at = caption.find('\n'); at != std::string::npos; at = caption.find('\n', at + 2)) {
                caption.replace(at, 1, "\\n");
            }
            line += " " + caption;
        }
        if (const std::string more = control.LayoutText(); !more.empty()) {
            line += " " + more;
        }
        line += std::string(control.Visible() ? "" : " (hidden)") + (control.Enabled() ? "" : " (disabled)");
        win::TranscriptWrite(line);
        if (windowed != nullptr) {
            WriteLayoutLines(*windowed, indent + "  ");
        }
    }
}

bool ParseWholeNumber(std::string_view text, int32_t& value) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size()) {
        return false;
    }
    int64_t number = 0;
    for (; pos < text.size(); ++pos) {
        if (!std::isdigit(static_cast<unsigned char>(text[pos]))) {
            return false;
        }
        number = number * 10 + (text[pos] - '0');
        if (number > 2147483648LL) {
            return false;
        }
    }
    number = negative ? -number : number;
    if (number > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(number);
    return true;
}

int32_t ParseUserCheckState(std::string_view value) {
    static constexpr std::array<std::array<std::string_view, 5>, 3> kWords = {{
        {"0", "unchecked", "off", "false", "no"},
        {"1", "checked", "on", "true", "yes"},
        {"2", "grayed", "greyed", "", ""},
    }};
    for (size_t state = 0; state < kWords.size(); ++state) {
        for (std::string_view word : kWords[state]) {
            if (!word.empty() && SameText(word, value)) {
                return static_cast<int32_t>(state);
            }
        }
    }
    return -1;
}

std::string ModalResultName(int32_t result) {
    static constexpr std::array<std::string_view, 11> kNames = {"None", "OK", "Cancel", "Abort",   "Retry",   "Ignore",
                                                                "Yes",  "No", "All",    "NoToAll", "YesToAll"};
    return result >= 0 && result < static_cast<int32_t>(kNames.size())
               ? std::string(kNames[static_cast<size_t>(result)])
               : std::to_string(result);
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment alignment) {
    m_alignment = alignment;
    Repaint();
}

void TLabel::SetLayout(TTextLayout layout) {
    m_layout = layout;
    Repaint();
}

void TLabel::SetAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
    m_wordWrap = wordWrap;
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    m_transparent = transparent;
    Repaint();
}

void TLabel::TextChanged() {
    AdjustBounds();
    Repaint();
}

void TLabel::FontChanged() {
    AdjustBounds();
}

void TLabel::AdjustBounds() {
    if (!m_autoSize) {
        return;
    }
    std::string text = win::StripAccelerators(Caption());
    if (text.empty()) {
        text = " ";
    }
    const int32_t lineHeight = MeasureTextHeight(Font(), Ppi());
    int32_t width = MeasureTextWidth(Font(), text, Ppi());
    int32_t height = lineHeight;
    if (m_wordWrap) {
        width = Width();
        height = lineHeight * static_cast<int32_t>(WrapLines(Font(), text, Width()).size());
    }
    const int32_t left = m_alignment == taRightJustify ? Left() + Width() - width : Left();
    SetBounds(left, Top(), width, height);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    if (!m_transparent) {
        canvas.Brush().Color = Color();
        canvas.FillRect(ClientRect());
    }
    const std::string text = win::StripAccelerators(Caption());
    const std::vector<std::string> lines = m_wordWrap ? WrapLines(Font(), text, Width()) : std::vector{text};
    const int32_t lineHeight = canvas.TextHeight(text);
    const int32_t textHeight = lineHeight * static_cast<int32_t>(lines.size());
    int32_t y = m_layout == tlTop ? 0 : m_layout == tlCenter ? (Height() - textHeight) / 2 : Height() - textHeight;
    for (const std::string& line : lines) {
        const int32_t w = canvas.TextWidth(line);
        const int32_t x = m_alignment == taLeftJustify    ? 0
                          : m_alignment == taRightJustify ? Width() - w
                                                          : (Width() - w) / 2;
        if (EnabledWithParents()) {
            canvas.TextOut(x, y, line);
        } else {
            const TColor color = canvas.Font().Color();
            canvas.Font().SetColor(clWhite);
            canvas.TextOut(x + 1, y + 1, line);
            canvas.Font().SetColor(clGray);
            canvas.TextOut(x, y, line);
            canvas.Font().SetColor(color);
        }
        y += lineHeight;
    }
}

// ---- TStaticText ----

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TStaticText::SetBorderStyle(TStaticBorderStyle style) {
    m_borderStyle = style;
    AdjustBounds();
}

void TStaticText::SetAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    AdjustBounds();
}

void TStaticText::TextChanged() {
    AdjustBounds();
}

void TStaticText::FontChanged() {
    AdjustBounds();
}

void TStaticText::AdjustBounds() {
    if (!m_autoSize) {
        return;
    }
    const int32_t border = m_borderStyle == sbsNone ? 0 : m_borderStyle == sbsSingle ? 1 : 2;
    const std::string text = win::StripAccelerators(Caption());
    SetBounds(Left(), Top(), MeasureTextWidth(Font(), text.empty() ? " " : text, Ppi()) + 2 * border,
              MeasureTextHeight(Font(), Ppi()) + 2 * border);
}

// ---- TButton, TBitBtn ----

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::Click() {
    TForm* form = ParentForm();
    if (form != nullptr && m_modalResult != mrNone && EventsAllowed()) {
        form->SetModalResult(m_modalResult);
    }
    TWinControl::Click();
}

bool TButton::DialogChar(char c) {
    if (!IsAccel(c, Caption()) || !CanFocus()) {
        return false;
    }
    Click();
    return true;
}

bool TCheckBox::DialogChar(char c) {
    if (!IsAccel(c, Caption()) || !CanFocus()) {
        return false;
    }
    SetFocus();
    if (Focused()) {
        Toggle();
    }
    return true;
}

bool TRadioButton::DialogChar(char c) {
    if (!IsAccel(c, Caption()) || !CanFocus()) {
        return false;
    }
    SetFocus();
    if (Focused()) {
        SetChecked(true);
    }
    return true;
}

bool TLabel::DialogChar(char c) {
    if (m_focusControl == nullptr || !EnabledWithParents() || !IsAccel(c, Caption()) || !m_focusControl->CanFocus()) {
        return false;
    }
    m_focusControl->SetFocus();
    return true;
}

void TButton::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == win::VK_RETURN) {
        Click();
    }
}

void TButton::KeyUp(uint16_t& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    if (key == win::VK_SPACE) {
        Click();
    }
}

bool TButton::WantsKey(uint16_t key) const {
    return key == win::VK_RETURN;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
    struct KindInfo {
        const char* caption;
        int32_t modalResult;
    };
    // clang-format off
    static constexpr std::array<KindInfo, 11> kKinds = {{
        {"", mrNone},          // bkCustom
        {"OK", mrOk},          // bkOK
        {"Cancel", mrCancel},  // bkCancel
        {"&Help", mrNone},     // bkHelp
        {"&Yes", mrYes},       // bkYes
        {"&No", mrNo},         // bkNo
        {"&Close", mrNone},    // bkClose
        {"Abort", mrAbort},    // bkAbort
        {"&Retry", mrRetry},   // bkRetry
        {"&Ignore", mrIgnore}, // bkIgnore
        {"&All", mrAll},       // bkAll
    }};
    // clang-format on
    m_kind = kind;
    if (kind == bkCustom) {
        return;
    }
    const KindInfo& info = kKinds[static_cast<size_t>(kind)];
    SetCaption(info.caption);
    SetModalResult(info.modalResult);
    SetDefault(kind == bkOK || kind == bkYes);
    SetCancel(kind == bkCancel || kind == bkNo);
}

void TBitBtn::Click() {
    TForm* form = ParentForm();
    if (m_kind == bkClose && form != nullptr) {
        if (EventsAllowed()) {
            form->Close();
        }
        return;
    }
    TButton::Click();
}

// ---- TCheckBox, TRadioButton ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCheckBox::SetState(TCheckBoxState state) {
    if (state == m_state) {
        return;
    }
    m_state = state;
    Click();
}

void TCheckBox::Toggle() {
    switch (m_state) {
        case cbUnchecked:
            SetState(cbChecked);
            break;
        case cbChecked:
            SetState(m_allowGrayed ? cbGrayed : cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbUnchecked);
            break;
    }
}

std::string TCheckBox::ValueText() const {
    return m_state == cbChecked ? "checked" : m_state == cbGrayed ? "greyed" : "unchecked";
}

std::string TCheckBox::UserSet(std::string_view value) {
    const int32_t state = ParseUserCheckState(value);
    if (state < 0) {
        return "not a check box state: " + QuoteForTranscript(value);
    }
    if (state == cbGrayed && !m_allowGrayed) {
        return "this check box cannot be greyed";
    }
    SetState(static_cast<TCheckBoxState>(state));
    return "";
}

std::string TCheckBox::UserClick() {
    Toggle();
    return "";
}

void TCheckBox::KeyUp(uint16_t& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    if (key == win::VK_SPACE) {
        Toggle();
    }
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == m_checked) {
        return;
    }
    m_checked = checked;
    SetTabStop(checked);
    if (!checked) {
        return;
    }
    if (Parent() != nullptr) {
        for (int32_t i = 0; i < Parent()->ControlCount(); ++i) {
            if (auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
                sibling != nullptr && sibling != this) {
                sibling->m_checked = false;
                sibling->SetTabStop(false);
            }
        }
    }
    Click();
}

std::string TRadioButton::UserSet(std::string_view value) {
    const int32_t state = ParseUserCheckState(value);
    if (state != 1) {
        return state == 0 ? "a radio button is cleared by checking another one"
                          : "not a radio button state: " + QuoteForTranscript(value);
    }
    SetChecked(true);
    return "";
}

std::string TRadioButton::UserClick() {
    SetChecked(true);
    return "";
}

// ---- TEdit, TMemo ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TEdit::TextChanged() {
    m_caret.ToEnd(Text());
    if (OnChange && EventsAllowed()) {
        OnChange(this);
    }
}

std::string TEdit::ValueText() const {
    return QuoteForTranscript(Text());
}

std::string TEdit::UserSet(std::string_view value) {
    if (m_readOnly) {
        return "the edit is read-only";
    }
    SetText(m_maxLength > 0 ? CutToCharacters(value, m_maxLength) : std::string(value));
    return "";
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    m_lines.SetListener([this](TStrings::Change, int32_t) { LinesChanged(); });
}

void TMemo::LinesChanged() {
    if (m_settingText) {
        return;
    }
    const std::string text = m_lines.Text();
    if (text == Text()) {
        return;
    }
    TWinControl::SetText(text);
    if (OnChange && EventsAllowed()) {
        OnChange(this);
    }
}

void TMemo::SetText(std::string_view text) {
    m_settingText = true;
    m_lines.SetText(text);
    m_settingText = false;
    LinesChanged();
}

std::string TMemo::ValueText() const {
    return std::to_string(m_lines.Count()) + (m_lines.Count() == 1 ? " line" : " lines");
}

std::string TMemo::UserSet(std::string_view value) {
    if (m_readOnly) {
        return "the memo is read-only";
    }
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += value[i];
        }
    }
    SetText(text);
    return "";
}

// ---- TComboBox ----

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
    m_items.SetListener([this](TStrings::Change change, int32_t index) { ItemsChanged(change, index); });
}

void TComboBox::ItemsChanged(TStrings::Change change, int32_t index) {
    switch (change) {
        case TStrings::Change::Cleared:
            m_itemIndex = -1;
            if (m_style == csDropDownList) {
                ShowItemText();
            }
            break;
        case TStrings::Change::Deleted:
            if (index == m_itemIndex) {
                m_itemIndex = -1;
                if (m_style == csDropDownList) {
                    ShowItemText();
                }
            } else if (index < m_itemIndex) {
                --m_itemIndex;
            }
            break;
        case TStrings::Change::Inserted:
            if (m_itemIndex >= 0 && index <= m_itemIndex) {
                ++m_itemIndex;
            }
            break;
        case TStrings::Change::Replaced:
            if (index == m_itemIndex) {
                ShowItemText();
            }
            break;
    }
}

void TComboBox::ShowItemText() {
    m_quietText = true;
    TWinControl::SetText(m_itemIndex >= 0 ? m_items[m_itemIndex] : std::string());
    m_quietText = false;
}

void TComboBox::SetItemIndex(int32_t index) {
    if (index < -1 || index >= m_items.Count()) {
        throw std::out_of_range("Combo box item index out of bounds (" + std::to_string(index) + ")");
    }
    if (index == m_itemIndex) {
        return;
    }
    m_itemIndex = index;
    ShowItemText();
    Click();
}

void TComboBox::SetText(std::string_view text) {
    const int32_t index = m_items.IndexOf(text);
    if (m_style == csDropDownList) {
        m_itemIndex = index;
        TWinControl::SetText(index >= 0 ? m_items[index] : std::string());
        return;
    }
    m_itemIndex = index;
    TWinControl::SetText(text);
}

void TComboBox::TextChanged() {
    m_caret.ToEnd(Text());
    if (!m_quietText && OnChange && EventsAllowed()) {
        OnChange(this);
    }
}

std::string TComboBox::ValueText() const {
    return QuoteForTranscript(Text());
}

std::string TComboBox::UserSet(std::string_view value) {
    int32_t index = m_items.IndexOf(value);
    if (index < 0 && m_style == csDropDownList && ParseWholeNumber(value, index) &&
        (index < 0 || index >= m_items.Count())) {
        index = -1;
    }
    if (index < 0 && m_style == csDropDownList) {
        return "no item " + QuoteForTranscript(value);
    }
    if (index < 0) {
        SetText(value);
        return "";
    }
    ChooseItem(index);
    return "";
}

void TComboBox::ChooseItem(int32_t index) {
    m_itemIndex = index;
    TWinControl::SetText(m_items[index]);
    Click();
}

// ---- TListBox, TCheckListBox ----

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    m_items.SetListener([this](TStrings::Change change, int32_t index) { ItemsChanged(change, index); });
}

void TListBox::ItemsChanged(TStrings::Change change, int32_t index) {
    switch (change) {
        case TStrings::Change::Cleared:
            m_itemIndex = -1;
            m_selected.clear();
            break;
        case TStrings::Change::Deleted:
            m_selected.erase(m_selected.begin() + index);
            if (index == m_itemIndex) {
                m_itemIndex = -1;
            } else if (index < m_itemIndex) {
                --m_itemIndex;
            }
            break;
        case TStrings::Change::Inserted:
            m_selected.insert(m_selected.begin() + index, false);
            if (m_itemIndex >= 0 && index <= m_itemIndex) {
                ++m_itemIndex;
            }
            break;
        case TStrings::Change::Replaced:
            break;
    }
}

void TListBox::CheckItem(int32_t index) const {
    if (index < 0 || index >= m_items.Count()) {
        throw std::out_of_range("List box item index out of bounds (" + std::to_string(index) + ")");
    }
}

void TListBox::SetItemIndex(int32_t index) {
    if (index != -1) {
        CheckItem(index);
    }
    if (index == m_itemIndex) {
        return;
    }
    m_itemIndex = index;
    if (m_multiSelect && index >= 0) {
        m_selected[static_cast<size_t>(index)] = true;
    }
    Click();
}

void TListBox::SetMultiSelect(bool multiSelect) {
    m_multiSelect = multiSelect;
    std::fill(m_selected.begin(), m_selected.end(), false);
    if (multiSelect && m_itemIndex >= 0) {
        m_selected[static_cast<size_t>(m_itemIndex)] = true;
    }
}

bool TListBox::Selected(int32_t index) const {
    CheckItem(index);
    return m_multiSelect ? static_cast<bool>(m_selected[static_cast<size_t>(index)]) : index == m_itemIndex;
}

void TListBox::SetSelected(int32_t index, bool selected) {
    CheckItem(index);
    if (m_multiSelect) {
        m_selected[static_cast<size_t>(index)] = selected;
    } else if (selected) {
        m_itemIndex = index;
    } else if (index == m_itemIndex) {
        m_itemIndex = -1;
    }
}

int32_t TListBox::SelCount() const {
    return m_multiSelect ? static_cast<int32_t>(std::count(m_selected.begin(), m_selected.end(), true)) : -1;
}

std::string TListBox::ValueText() const {
    std::string selected;
    for (int32_t i = 0; i < m_items.Count(); ++i) {
        if (Selected(i)) {
            selected += (selected.empty() ? "" : ", ") + std::to_string(i);
        }
    }
    return selected.empty() ? "nothing selected" : "selected " + selected;
}

std::vector<std::string> TListBox::DetailLines() const {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < m_items.Count(); ++i) {
        lines.push_back((Selected(i) ? "> " : "  ") + m_items[i]);
    }
    return lines;
}

int32_t TListBox::FindUserItem(std::string_view value) const {
    int32_t index = m_items.IndexOf(value);
    if (index < 0 && ParseWholeNumber(value, index) && (index < 0 || index >= m_items.Count())) {
        index = -1;
    }
    return index;
}

std::string TListBox::UserSet(std::string_view value) {
    if (m_multiSelect && !value.empty() && (value[0] == '+' || value[0] == '-')) {
        const int32_t index = FindUserItem(value.substr(1));
        if (index < 0) {
            return "no item " + QuoteForTranscript(value.substr(1));
        }
        m_selected[static_cast<size_t>(index)] = value[0] == '+';
        m_itemIndex = index;
        Click();
        return "";
    }
    const int32_t index = FindUserItem(value);
    if (index < 0) {
        return "no item " + QuoteForTranscript(value);
    }
    if (m_multiSelect) {
        std::fill(m_selected.begin(), m_selected.end(), false);
        m_selected[static_cast<size_t>(index)] = true;
    }
    SetItemIndex(index);
    return "";
}

TCheckListBox::TCheckListBox(TComponent* owner) : TListBox(owner) {}

void TCheckListBox::ItemsChanged(TStrings::Change change, int32_t index) {
    switch (change) {
        case TStrings::Change::Cleared:
            m_checked.clear();
            break;
        case TStrings::Change::Deleted:
            m_checked.erase(m_checked.begin() + index);
            break;
        case TStrings::Change::Inserted:
            m_checked.insert(m_checked.begin() + index, false);
            break;
        case TStrings::Change::Replaced:
            break;
    }
    TListBox::ItemsChanged(change, index);
}

bool TCheckListBox::Checked(int32_t index) const {
    CheckItem(index);
    return m_checked[static_cast<size_t>(index)];
}

void TCheckListBox::SetChecked(int32_t index, bool checked) {
    CheckItem(index);
    m_checked[static_cast<size_t>(index)] = checked;
}

std::vector<std::string> TCheckListBox::DetailLines() const {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < Items().Count(); ++i) {
        lines.push_back(std::string(i == ItemIndex() ? "> " : "  ") + (Checked(i) ? "[x] " : "[ ] ") + Items()[i]);
    }
    return lines;
}

std::string TCheckListBox::UserSet(std::string_view value) {
    if (value.empty() || (value[0] != '+' && value[0] != '-')) {
        return TListBox::UserSet(value);
    }
    const int32_t index = FindUserItem(value.substr(1));
    if (index < 0) {
        return "no item " + QuoteForTranscript(value.substr(1));
    }
    CheckByUser(index, value[0] == '+');
    return "";
}

void TCheckListBox::CheckByUser(int32_t index, bool checked) {
    if (Checked(index) != checked) {
        SetChecked(index, checked);
        if (OnClickCheck && EventsAllowed()) {
            OnClickCheck(this);
        }
    }
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 105);
}

}  // namespace vcl
