// Controls: TControl (position, size, visibility, enabled state, caption, font, click events),
// TWinControl (a window of the window system, child controls, tab order, focus and keys),
// TGraphicControl and TCustomControl (controls that paint themselves on a canvas).
//
// Every control also answers the UI driver: how the transcript shows it (KindName, ValueText,
// DetailLines) and what a user's "set" and "click" do to it (UserSet, UserClick). Which
// programmatic changes run events is listed in docs/class-library.md.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/vcl/classes.h"
#include "platform/vcl/graphics.h"
#include "platform/win/handles.h"

namespace vcl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Modifier keys held with a key (combine with |).
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>;

/// A window message as a control's window procedure gets it.
struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// Messages of the class library's own (sent to controls, never posted).
inline constexpr uint32_t CM_BASE = 0xB000;
/// wParam: a dialog key (Tab, Enter, Escape, an arrow), lParam its key data. The form moves the
/// focus on Tab and the arrows; Enter clicks the focused or else the default button, Escape the
/// cancel button. Answers 1 when the key was taken.
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
/// wParam: a character typed with Alt (lParam 0x20000000): the control whose caption has it as
/// accelerator ("&Defaults": d) acts on it and answers 1.
inline constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;

/// Whether the caption has `c` as accelerator: "&" before it (any case), "&&" being a plain "&".
bool IsAccel(char c, std::string_view caption);

// What the message loop of a modal form tells a control before it dispatches a key message to
// the control's window (CN_BASE + the message): a dialog key that the control does not take
// itself goes to its form as CM_DIALOGKEY (CN_KEYDOWN), a character typed with Alt as
// CM_DIALOGCHAR (CN_SYSCHAR). Answers 1 when the form took it: the key goes no further.
inline constexpr uint32_t CN_BASE = 0xBC00;
inline constexpr uint32_t CN_KEYDOWN = CN_BASE + 0x0100;
inline constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + 0x0104;
inline constexpr uint32_t CN_SYSCHAR = CN_BASE + 0x0106;

/// The modifiers held now (the keyboard state of the window system).
TShiftState KeyboardShiftState();

class TForm;
class TWinControl;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);
    /// The form the control lies on (through its parents); nullptr when none.
    TForm* ParentForm() const;

    int32_t Left() const { return m_left; }
    int32_t Top() const { return m_top; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    void SetLeft(int32_t left) { SetBounds(left, m_top, m_width, m_height); }
    void SetTop(int32_t top) { SetBounds(m_left, top, m_width, m_height); }
    void SetWidth(int32_t width) { SetBounds(m_left, m_top, width, m_height); }
    void SetHeight(int32_t height) { SetBounds(m_left, m_top, m_width, height); }
    virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    TRect BoundsRect() const { return Bounds(m_left, m_top, m_width, m_height); }
    virtual int32_t ClientWidth() const { return m_width; }
    virtual int32_t ClientHeight() const { return m_height; }
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    /// The control and every parent up to its form are visible, and so is the form.
    bool Showing() const;
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    /// The control and every parent are enabled.
    bool EnabledWithParents() const;

    /// Caption and Text are one property, as in the class library: a label's caption, an edit's text.
    const std::string& Caption() const { return m_text; }
    void SetCaption(std::string_view caption) { SetText(caption); }
    const std::string& Text() const { return m_text; }
    virtual void SetText(std::string_view text);

    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    /// With ParentFont on (the default) the control takes its parent's font when it is placed
    /// and whenever the parent's font changes.
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool parentFont);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    const std::string& Hint() const { return m_hint; }
    void SetHint(std::string_view hint) { m_hint = std::string(hint); }
    /// A second name under which the UI driver finds the control when no component has the
    /// name the user gives (a form built at run time names a control after its label's caption).
    const std::string& DriverName() const { return m_driverName; }
    void SetDriverName(std::string_view name) { m_driverName = std::string(name); }
    /// What the control does, for the UI driver, in every language ("Go" for a run button that
    /// reads "&Start" in German): the driver finds the control by it as by its driver name.
    const std::string& DriverRole() const { return m_driverRole; }
    void SetDriverRole(std::string_view role) { m_driverRole = std::string(role); }

    /// Runs OnClick (buttons and check boxes do more, see their classes).
    virtual void Click();
    virtual void DblClick();
    /// A mouse button goes down or up over the control: runs OnMouseDown or OnMouseUp.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    /// The form's accelerator character reaches the control (CM_DIALOGCHAR); answers whether the
    /// control took it. The base takes none.
    virtual bool DialogChar(char /*c*/) { return false; }
    /// The form's dialog key reaches the control (CM_DIALOGKEY); answers whether the control
    /// took it. The base takes none.
    virtual bool DialogKey(uint16_t /*key*/, TShiftState /*shift*/) { return false; }
    /// Paints the control now when it is showing (controls that paint themselves).
    void Invalidate() { Repaint(); }
    virtual void Repaint() {}

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // ---- The UI driver ----
    /// The kind of control as the transcript names it ("edit", "button"); empty for controls
    /// the transcript does not list.
    virtual std::string KindName() const { return ""; }
    /// Whether the transcript shows the caption after the name.
    virtual bool ShowsCaption() const { return false; }
    /// The value as the transcript shows it after ": " (empty: no value).
    virtual std::string ValueText() const { return ""; }
    /// Further lines of the transcript (the items of a list).
    virtual std::vector<std::string> DetailLines() const { return {}; }
    /// What the layout listing (`form CLASS print`) shows after the control's place: a grid's
    /// column widths and row heights; empty for most controls.
    virtual std::string LayoutText() const { return ""; }
    /// The user gives the control a value: answers an empty text when done, else the reason why not.
    virtual std::string UserSet(std::string_view value);
    /// The user clicks the control: answers an empty text when done, else the reason why not.
    virtual std::string UserClick();
    /// The user double-clicks the control (runs DblClick).
    virtual std::string UserDblClick();
    /// Whether the user gives the control a value by pressing the mouse on it (lists, grids,
    /// radio groups, combo boxes): the mouse press comes first then, as for a click.
    virtual bool SetPressesMouse() const { return false; }

protected:
    /// After the text changed (edits run OnChange here).
    virtual void TextChanged() {}
    /// After the control's font changed.
    virtual void FontChanged() {}
    virtual void EnabledChanged() {}
    virtual void BoundsChanged() {}
    /// Events run only while neither the control nor its owner is being freed.
    bool EventsAllowed() const;

private:
    friend class TWinControl;
    void TakeParentFont();

    TWinControl* m_parent = nullptr;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_text;
    TFont m_font;
    bool m_parentFont = true;
    bool m_takingParentFont = false;
    TColor m_color = clBtnFace;
    std::string m_hint;
    std::string m_driverName;
    std::string m_driverRole;
};

/// A control that is a window of the window system. Its window is made when the form's
/// windows are made (after construction) or, later, when it is placed on a parent that has one.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    void SetParent(TWinControl* parent) override;
    void SetText(std::string_view text) override;
    void SetVisible(bool visible) override;
    /// Passes the character to the child controls in the order they were placed, until one
    /// takes it.
    bool DialogChar(char c) override;
    /// Passes the dialog key to the child controls in the order they were placed, until one
    /// takes it.
    bool DialogKey(uint16_t key, TShiftState shift) override;

    /// The control's window procedure: the window system's messages to the control's window
    /// come here. The base keeps the form's active control in step with the window system's
    /// focus (WM_SETFOCUS); gives the key messages to the key events (WM_KEYDOWN and
    /// WM_SYSKEYDOWN to OnKeyDown, WM_CHAR to OnKeyPress, WM_KEYUP and WM_SYSKEYUP to OnKeyUp,
    /// the form first when its KeyPreview is on) and then to the control's own use of the key;
    /// answers CN_KEYDOWN and CN_SYSCHAR for the modal loop; broadcasts CM_DIALOGKEY and
    /// CM_DIALOGCHAR; and gives the rest to DefaultHandler.
    virtual void WndProc(TMessage& message);
    /// The window system's default procedure for the message.
    void DefaultHandler(TMessage& message);
    /// Calls WndProc with a message and answers its result (no hook sees it).
    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    int32_t ControlCount() const { return static_cast<int32_t>(m_controls.size()); }
    /// The child controls in the order they were placed.
    TControl* Controls(int32_t index) const;

    /// The control's window, made (with its parents' windows) when it does not exist yet.
    win::Hwnd Handle();
    bool HandleAllocated() const { return m_handle != win::kNoWindow; }

    /// The position among the parent's windowed children in tab order.
    int32_t TabOrder() const;
    void SetTabOrder(int32_t order);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool tabStop) { m_tabStop = tabStop; }

    /// The control is the active control of its form.
    bool Focused() const;
    /// Showing and enabled with its parents.
    virtual bool CanFocus() const;
    /// Makes the control its form's active control: OnExit of the one before, then OnEnter.
    /// Throws std::logic_error ("Cannot focus a disabled or invisible window") when it cannot.
    void SetFocus();
    /// Moves the focus from `current` to the next (or previous) control below this one in tab
    /// order that can take it, round again at the end: with checkTabStop only tab stops (Tab),
    /// else only this control's own children that take the focus by the arrow keys.
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    /// A key that the user presses and releases while the control has the focus: the form sees
    /// it first when its KeyPreview is on; a key set to 0 by a handler goes no further. Enter
    /// clicks the form's default button and Escape its cancel button, unless the control takes
    /// them itself.
    void PressKey(uint16_t key, TShiftState shift = 0);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    /// Run OnKeyDown, OnKeyUp and OnKeyPress; a control that uses keys (edits, lists, grids)
    /// does so after the event when the event left the key.
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    /// The form's KeyPreview first, then the control's own (a key set to 0 goes no further);
    /// `event` is KeyDown or KeyUp.
    void DoKey(void (TWinControl::*event)(uint16_t&, TShiftState), uint16_t& key, TShiftState shift);
    void DoKeyPress(char& key);
    /// The control takes a dialog key itself, so that the form neither moves the focus nor
    /// clicks a button for it: a focused button takes Enter; edits, lists and grids the arrows.
    virtual bool WantsKey(uint16_t /*key*/) const { return false; }
    /// Whether an arrow key moves the focus onto the control (between buttons and boxes).
    virtual bool TakesArrowFocus() const { return TabStop(); }
    virtual void DoEnter();
    virtual void DoExit();
    /// Makes the window of this control and of every child.
    void CreateHandles();
    /// Forgets the windows of this control and its children (the window system destroyed them).
    void ForgetHandles();
    /// Takes the window procedures off the windows of this control and its children.
    void UnhookWindowProcs();
    /// The window's class and parent: a child window of the parent's window.
    virtual win::Hwnd MakeWindow();
    /// The first control in tab order (this one or below) that can take the focus.
    TWinControl* FirstFocusable();

private:
    friend class TControl;
    friend class TForm;
    /// The key messages of WndProc (keyboard.cpp); answers whether the message is done.
    bool KeyMessage(TMessage& message);
    /// Offers something to the visible children in the order they were placed, until one takes it.
    bool Broadcast(const std::function<bool(TControl&)>& takes);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    std::vector<TControl*> m_controls;
    std::vector<TWinControl*> m_tabList;
    win::Hwnd m_handle = win::kNoWindow;
    bool m_tabStop = false;
};

/// A control without a window that paints itself on its canvas (labels, bevels, images).
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    TCanvas& Canvas() { return m_canvas; }
    /// The canvas takes the control's font, then Paint runs, when the control is showing.
    void Repaint() override;

protected:
    virtual void Paint() {}

private:
    TCanvas m_canvas;
};

/// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    TCanvas& Canvas() { return m_canvas; }
    void Repaint() override;

protected:
    virtual void Paint() {}

private:
    TCanvas m_canvas;
};

/// The character a key gives (lower-case letters unless Shift is held); 0 for keys that give none.
char KeyChar(uint16_t key, TShiftState shift);

}  // namespace vcl
