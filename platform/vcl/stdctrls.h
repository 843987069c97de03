// The standard controls: labels and static texts, buttons and bit buttons, check boxes, radio
// buttons, edits, memos, combo boxes, list boxes, check-list boxes and group boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/controls.h"

namespace vcl {

enum TTextLayout { tlTop, tlCenter, tlBottom };

/// A caption without a window. With AutoSize (the default) its size follows the caption's text
/// extent in its font; a right-aligned label keeps its right edge.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout layout);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wordWrap);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    /// The control that the label's accelerator ("&Copies:") gives the focus to.
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control) { m_focusControl = control; }
    /// The accelerator focuses FocusControl when it can take the focus.
    bool DialogChar(char c) override;

    std::string KindName() const override { return "label"; }
    bool ShowsCaption() const override { return true; }

protected:
    void TextChanged() override;
    void FontChanged() override;
    void Paint() override;

private:
    void AdjustBounds();

    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_transparent = false;
    TWinControl* m_focusControl = nullptr;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

/// A caption in a window of its own, optionally with a border.
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* owner);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }
    TStaticBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TStaticBorderStyle style);
    /// With AutoSize (the default) the size follows the caption and the border.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);

    std::string KindName() const override { return "label"; }
    bool ShowsCaption() const override { return true; }

protected:
    void TextChanged() override;
    void FontChanged() override;

private:
    void AdjustBounds();

    TAlignment m_alignment = taLeftJustify;
    TStaticBorderStyle m_borderStyle = sbsNone;
    bool m_autoSize = true;
};

// Modal results (the answers of message boxes use the same numbers).
inline constexpr int32_t mrNone = 0;
inline constexpr int32_t mrOk = 1;
inline constexpr int32_t mrCancel = 2;
inline constexpr int32_t mrAbort = 3;
inline constexpr int32_t mrRetry = 4;
inline constexpr int32_t mrIgnore = 5;
inline constexpr int32_t mrYes = 6;
inline constexpr int32_t mrNo = 7;
inline constexpr int32_t mrAll = 8;
inline constexpr int32_t mrNoToAll = 9;
inline constexpr int32_t mrYesToAll = 10;

/// "OK", "Cancel", "Yes", ... ; "None" for 0 and the number for others.
std::string ModalResultName(int32_t result);

/// A push button. A click gives its form the button's ModalResult (when not mrNone) and then
/// runs OnClick, so that a handler may still keep the form open. Enter on the form clicks the
/// Default button, Escape the Cancel button.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    bool Default() const { return m_default; }
    void SetDefault(bool value) { m_default = value; }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }
    int32_t ModalResult() const { return m_modalResult; }
    void SetModalResult(int32_t result) { m_modalResult = result; }

    void Click() override;
    /// The accelerator of the caption clicks the button.
    bool DialogChar(char c) override;
    /// Enter clicks the button when it has the focus, or when it is the Default button and no
    /// other button has the focus; Escape clicks the Cancel button.
    bool DialogKey(uint16_t key, TShiftState shift) override;

    std::string KindName() const override { return "button"; }
    bool ShowsCaption() const override { return true; }

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyUp(uint16_t& key, TShiftState shift) override;
    bool WantsKey(uint16_t key) const override;

private:
    bool m_default = false;
    bool m_cancel = false;
    int32_t m_modalResult = mrNone;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

/// A button with a glyph. Its Kind gives caption, modal result and Default/Cancel at once; a
/// bkClose button closes its form.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);

    TBitBtnKind Kind() const { return m_kind; }
    void SetKind(TBitBtnKind kind);
    TBitmap& Glyph() { return m_glyph; }

    void Click() override;

private:
    TBitBtnKind m_kind = bkCustom;
    TBitmap m_glyph;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

/// A check box. Setting State or Checked to another value runs OnClick; a user's click moves
/// unchecked -> checked -> (greyed when AllowGrayed) -> unchecked.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);

    TCheckBoxState State() const { return m_state; }
    void SetState(TCheckBoxState state);
    bool Checked() const { return m_state == cbChecked; }
    void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool allow) { m_allowGrayed = allow; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }

    std::string KindName() const override { return "check box"; }
    bool ShowsCaption() const override { return true; }
    std::string ValueText() const override;
    std::string UserSet(std::string_view value) override;
    std::string UserClick() override;
    /// The accelerator of the caption focuses the box and toggles it.
    bool DialogChar(char c) override;

protected:
    void KeyUp(uint16_t& key, TShiftState shift) override;

private:
    void Toggle();

    TCheckBoxState m_state = cbUnchecked;
    bool m_allowGrayed = false;
    TAlignment m_alignment = taRightJustify;
};

/// A radio button: checking it unchecks the radio buttons of the same parent and runs OnClick.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);

    /// The accelerator of the caption focuses the button and checks it.
    bool DialogChar(char c) override;

    std::string KindName() const override { return "radio button"; }
    bool ShowsCaption() const override { return true; }
    std::string ValueText() const override { return m_checked ? "checked" : "unchecked"; }
    std::string UserSet(std::string_view value) override;
    std::string UserClick() override;

private:
    bool m_checked = false;
};

/// The caret and the selected part of a text that the user edits by keys: the text between the
/// anchor and the caret is selected (byte offsets into the UTF-8 text).
struct TEditCaret {
    size_t anchor = 0;  ///< where the selection began
    size_t caret = 0;

    /// Left and Right move over one character, Home and End to the ends; with Shift the
    /// selection grows from where it began. Answers whether the key was one of these.
    bool Move(const std::string& text, uint16_t key, bool shift);
    /// The text with the selection replaced by `insert`; the caret then lies behind it.
    std::string Replace(const std::string& text, std::string_view insert);
    /// The text without the selection or, when nothing is selected, without the character
    /// after the caret (Delete) or before it (Backspace); the same text when there is none.
    std::string Erase(const std::string& text, bool forward);
    void SelectAll(const std::string& text);
    void ToEnd(const std::string& text);
};

/// A one-line edit. Every change of its text, by code or by the user, runs OnChange. Its text is
/// edited by keys: typed characters replace the selection, Backspace and Delete erase, the
/// arrows, Home and End move the caret (Shift selects). Text set by code puts the caret at its
/// end; getting the focus by keys or code selects the whole text (AutoSelect), a click of the
/// mouse puts the caret at the end.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    /// The longest text the user can type (0: no limit); texts set by code are not cut.
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t maxLength) { m_maxLength = maxLength; }

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    /// The selected part of the text.
    std::string SelText() const;
    void SelectAll();

    TNotifyEvent OnChange;

    std::string KindName() const override { return "edit"; }
    std::string ValueText() const override;
    std::string UserSet(std::string_view value) override;
    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

protected:
    void TextChanged() override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool WantsKey(uint16_t key) const override;
    void DoEnter() override;

private:
    bool m_readOnly = false;
    int32_t m_maxLength = 0;
    bool m_autoSelect = true;
    TEditCaret m_caret;
};

/// A text of several lines. Lines and Text are the same content (Text joins the lines with
/// "\n"); every change runs OnChange once.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);

    TStrings& Lines() { return m_lines; }
    const TStrings& Lines() const { return m_lines; }
    void SetText(std::string_view text) override;
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wordWrap) { m_wordWrap = wordWrap; }

    TNotifyEvent OnChange;

    std::string KindName() const override { return "memo"; }
    std::string ValueText() const override;
    std::string UserSet(std::string_view value) override;

private:
    void LinesChanged();

    TStrings m_lines;
    bool m_settingText = false;
    bool m_readOnly = false;
    TAlignment m_alignment = taLeftJustify;
    bool m_wordWrap = true;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

/// A combo box. Setting ItemIndex shows that item's text and runs OnClick; setting Text runs
/// OnChange (a drop-down list shows only the text of one of its items, else nothing). A user's
/// choice runs OnChange, then OnClick. By keys: Up and Down choose the item before or after,
/// Home and End of a drop-down list the first and the last; a drop-down list chooses the next
/// item that begins with a typed character; the text of a drop-down combo is edited as a
/// TEdit's.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle style) { m_style = style; }
    TStrings& Items() { return m_items; }
    const TStrings& Items() const { return m_items; }
    int32_t ItemIndex() const { return m_itemIndex; }
    /// -1 selects nothing; an index outside the items throws std::out_of_range.
    void SetItemIndex(int32_t index);
    void SetText(std::string_view text) override;
    int32_t DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int32_t count) { m_dropDownCount = count; }

    TNotifyEvent OnChange;

    std::string KindName() const override { return "combo box"; }
    bool SetPressesMouse() const override { return true; }
    std::string ValueText() const override;
    std::string UserSet(std::string_view value) override;

protected:
    void TextChanged() override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool WantsKey(uint16_t key) const override;
    void DoEnter() override;

private:
    void ItemsChanged(TStrings::Change change, int32_t index);
    void ShowItemText();
    /// The user's choice of an item: its text (OnChange), then OnClick.
    void ChooseItem(int32_t index);

    TComboBoxStyle m_style = csDropDown;
    TStrings m_items;
    int32_t m_itemIndex = -1;
    int32_t m_dropDownCount = 8;
    bool m_quietText = false;
    TEditCaret m_caret;
};

/// A list box. Setting ItemIndex to another item runs OnClick. With MultiSelect every item
/// has its own Selected flag; ItemIndex is then the item with the focus. By keys: Up, Down,
/// Home, End, Page Up and Page Down choose an item (with MultiSelect it alone is selected),
/// Space selects or clears the focused item of a MultiSelect list.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);

    TStrings& Items() { return m_items; }
    const TStrings& Items() const { return m_items; }
    int32_t ItemIndex() const { return m_itemIndex; }
    /// -1 selects nothing; an index outside the items throws std::out_of_range.
    void SetItemIndex(int32_t index);
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool multiSelect);
    bool Selected(int32_t index) const;
    void SetSelected(int32_t index, bool selected);
    int32_t SelCount() const;

    std::string KindName() const override { return "list box"; }
    bool SetPressesMouse() const override { return true; }
    std::string ValueText() const override;
    std::vector<std::string> DetailLines() const override;
    std::string UserSet(std::string_view value) override;

protected:
    virtual void ItemsChanged(TStrings::Change change, int32_t index);
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool WantsKey(uint16_t key) const override;
    void CheckItem(int32_t index) const;
    /// The item the user names: its number, or its text (case-insensitive); -1 when none.
    int32_t FindUserItem(std::string_view value) const;

private:
    TStrings m_items;
    int32_t m_itemIndex = -1;
    bool m_multiSelect = false;
    std::vector<bool> m_selected;
};

/// A list box with a check mark per item. Setting Checked by code runs no event; the user's
/// toggle of a mark (a click on it, or Space on the focused item) runs OnClickCheck.
class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* owner);

    bool Checked(int32_t index) const;
    void SetChecked(int32_t index, bool checked);

    TNotifyEvent OnClickCheck;

    std::string KindName() const override { return "check list box"; }
    std::vector<std::string> DetailLines() const override;
    /// "+N" checks item N, "-N" clears it (as the user's click on the mark); anything else
    /// selects an item as in a list box.
    std::string UserSet(std::string_view value) override;

protected:
    void ItemsChanged(TStrings::Change change, int32_t index) override;
    void KeyPress(char& key) override;

private:
    /// The user ticks or clears a mark: OnClickCheck runs when it changes.
    void CheckByUser(int32_t index, bool checked);

    std::vector<bool> m_checked;
};

/// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    std::string KindName() const override { return Caption().empty() ? "" : "group box"; }
    bool ShowsCaption() const override { return true; }
};

/// Parses what a user gives a check box: 0/1/2, unchecked/checked/grayed (greyed), off/on,
/// false/true, no/yes. Answers -1 when the text is none of them.
int32_t ParseUserCheckState(std::string_view value);
/// Lists the controls on `parent` in the transcript (what `form CLASS print` shows), one line each
/// in the order they were placed, each windowed control's own controls below it two blanks
/// deeper: class, name, "at LEFT,TOP size WIDTHxHEIGHT", a windowed control's tab order ("(no
/// stop)" when Tab passes it by), the caption (a line end as \n), what the control adds
/// (LayoutText), and "(hidden)", "(disabled)".
void WriteLayoutLines(const TWinControl& parent, const std::string& indent);
/// Quotes a text for the transcript: "text" with \" and \\ inside.
std::string QuoteForTranscript(std::string_view text);
/// Parses a whole decimal integer (an optional sign and digits, nothing else).
bool ParseWholeNumber(std::string_view text, int32_t& value);

}  // namespace vcl
