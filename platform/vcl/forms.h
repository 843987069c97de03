// Forms (the screen and the application: platform/vcl/application.h).
//
// A form is a top-level window of the window system whose class name is the form's class
// name. Forms are made with Create<TMyForm>(owner): the constructor builds the controls, then
// AfterConstruction makes the windows, scales the form to the screen, runs Constructed (where
// a descendant captures its default state) and OnCreate.
//
// Nothing blocks: ShowModal shows the form, then lets the UI driver act as the user (the
// actions queued for the form's class), and when no action is left while the form is still
// open the user presses Escape; a form that still stays open is closed by the driver with
// mrCancel. Show does the same without modality and leaves the form open when the actions run
// out. The transcript shows each form as it appears, every action and the modal result.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/controls.h"
#include "platform/win/ui_driver.h"

namespace vcl {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
/// fsStayOnTop: the form's window is topmost (above every window that is not).
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
/// Asked before the size changes: may change the new size or refuse it (Resize false).
using TCanResizeEvent = std::function<void(TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize)>;

/// The smallest and largest size a form may have (0: no limit).
struct TSizeConstraints {
    int32_t MinWidth = 0;
    int32_t MinHeight = 0;
    int32_t MaxWidth = 0;
    int32_t MaxHeight = 0;
};

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    /// Names the form (its class name without the leading "T", made unique among the forms
    /// that exist by "_1", "_2", ... as the class library does), makes the windows, scales to
    /// the screen when Scaled, then runs Constructed and OnCreate.
    void AfterConstruction() override;

    void SetVisible(bool visible) override;
    /// A change of size is first offered to OnCanResize (which may change or refuse it), then
    /// held within Constraints; the window system's window follows, and OnResize runs after the
    /// size changed (once the form is made).
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    /// WM_ACTIVATE: Active, OnActivate / OnDeactivate, and the active control takes the focus;
    /// WM_WINDOWPOSCHANGED: a size or position that the window system gave the window (another
    /// program moved or sized it) becomes the form's.
    void WndProc(TMessage& message) override;
    /// Shows the form without modality, then lets the UI driver act on it.
    void Show();
    /// Shows the form modally and answers its modal result (see the header comment).
    /// Throws std::logic_error for a form that is visible already.
    int32_t ShowModal();
    /// The user's close: a modal form gets mrCancel; otherwise OnCloseQuery may refuse, then
    /// OnClose chooses: caHide (the default) hides, caFree releases, caNone and caMinimize keep
    /// the form.
    void Close();
    /// Hides the form and frees it at the next Application->ProcessMessages (not while one of
    /// its own handlers runs). Only for forms that nobody else frees: forms owned by another
    /// component or by Application.
    void Release();
    bool ReleasePending() const { return m_releasePending; }
    /// Runs OnCloseQuery; answers whether the form may close.
    bool CloseQuery();

    int32_t ModalResult() const { return m_modalResult; }
    /// Setting a modal result other than mrNone ends a modal showing.
    void SetModalResult(int32_t result) { m_modalResult = result; }
    /// The form is being shown modally (the class library's modal state).
    bool Modal() const { return m_modal; }

    int32_t ClientWidth() const override;
    int32_t ClientHeight() const override;
    void SetClientWidth(int32_t width);
    void SetClientHeight(int32_t height);
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle style) { m_borderStyle = style; }
    /// Where the form appears the first time it shows; poScreenCenter, poDesktopCenter and the
    /// owner/main form centres centre it then (before OnShow, so that OnShow may move it).
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }
    /// The form's window is the active window.
    bool Active() const { return m_active; }
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle style);
    TSizeConstraints& Constraints() { return m_constraints; }
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool keyPreview) { m_keyPreview = keyPreview; }
    /// Scaled forms are scaled by the screen's pixels per inch over the form's own
    /// PixelsPerInch when they are made.
    bool Scaled() const { return m_scaled; }
    void SetScaled(bool scaled) { m_scaled = scaled; }
    int32_t PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int32_t pixelsPerInch) { m_pixelsPerInch = pixelsPerInch; }
    /// Positions and sizes of the form's client area and of every control times m / d.
    void ScaleBy(int32_t m, int32_t d);

    /// The window that owns the form's window: the owning form's window unless set.
    win::Hwnd OwnerWindow();
    void SetOwnerWindow(win::Hwnd owner);

    TWinControl* ActiveControl() const { return m_activeControl; }
    /// Before the form shows this only chooses the control that gets the focus then; on a
    /// showing form it focuses the control (OnExit, OnEnter).
    void SetActiveControl(TWinControl* control);
    /// The user presses a key in the form: it goes to the active control, or to the form.
    void SendKey(uint16_t key, TShiftState shift = 0);
    /// Tab (Shift+Tab backwards) moves the focus to the next tab stop of the form; an arrow
    /// moves it among the active control's neighbours; without Ctrl and Alt. Enter and Escape go
    /// to the buttons.
    bool DialogKey(uint16_t key, TShiftState shift) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    std::string KindName() const override { return "form"; }

protected:
    /// Runs after the windows are made and the form is scaled, before OnCreate.
    virtual void Constructed() {}
    win::Hwnd MakeWindow() override;

    // ---- The UI driver's view of a form that numbers its rows ----
    /// The control the user names "#N"; nullptr when the form numbers nothing (the default).
    virtual TControl* NumberedControl(int32_t /*number*/) { return nullptr; }
    /// The number of a control the form numbers, -1 for any other.
    virtual int32_t ControlNumber(const TControl* /*control*/) const { return -1; }
    /// A caption a control of the form has in another language: a name no control has that is
    /// one of these is refused with the caption the form shows (none by default).
    struct OtherCaption {
        std::string caption;
        std::string language;       ///< "English", "German"
        std::string shownLanguage;  ///< the language of the captions the form shows
        TControl* control = nullptr;
    };
    virtual std::vector<OtherCaption> OtherLanguageCaptions() { return {}; }
    /// Writes the form's controls to the transcript after its heading line: one line per control
    /// (WriteControlLine) by default; a form may group a caption with its control.
    virtual void WriteControlsToTranscript();
    /// The transcript line of one control ("KIND NAME "CAPTION": VALUE") after `prefix`, and its
    /// detail lines; without the name or the caption when the prefix says them already.
    static void WriteControlLine(const TControl& control, const std::string& prefix, bool withName = true,
                                 bool withCaption = true);
    /// The controls the transcript lists, in the order the form made them: the showing ones that
    /// have a kind.
    std::vector<TControl*> TranscriptControls() const;

private:
    friend class TWinControl;
    friend class TControl;
    void FocusControl(TWinControl* control);
    void ControlRemoved(TControl* control);
    /// Enter or Escape that no control took: clicks the default or the cancel button.
    void ClickDialogButton(bool cancel);
    void EnsureConstructed();
    void BecomeVisible();
    void BecomeHidden();
    void ApplyPosition();
    void PaintControls(TWinControl& parent);
    /// The UI driver acts on the form until it closes or no action is left.
    void RunQueuedActions();
    void PerformAction(const win::FormAction& action);
    /// The user presses a key or types a text: the keys go through the window system's input to
    /// the control that has the focus (keyboard.cpp). Answers the reason when they cannot.
    std::string PerformKeys(const win::FormAction& action);
    /// The control the user names; nullptr with the reason when there is none or the name is
    /// ambiguous.
    TControl* FindUserControl(std::string_view name, std::string& reason);
    /// " (did you mean "CAPTION" (#N)?)": the controls nearest to a name that none has; "" for none.
    std::string NearestControls(std::string_view name);
    void ShowModalLoop();
    /// Showing a released form again keeps it.
    void CancelRelease();
    bool TryCloseModal();
    void WriteToTranscript();
    int32_t FrameWidth() const;
    int32_t CaptionHeight() const;
    /// The window system's window takes the form's bounds (and its topmost state).
    void PlaceWindow();

    bool m_constructed = false;
    bool m_shownBefore = false;
    bool m_modal = false;
    bool m_releasePending = false;
    /// Set while the UI driver performs the user's actions on the form: a form that one of them
    /// hides and shows again takes the next action after that one has ended, as a user's input
    /// is read only after the handler that is running returns.
    bool m_takingActions = false;
    int32_t m_modalResult = 0;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TPosition m_position = poDesigned;
    bool m_keyPreview = false;
    bool m_scaled = true;
    int32_t m_pixelsPerInch = 96;
    TWinControl* m_activeControl = nullptr;
    win::Hwnd m_previousActive = win::kNoWindow;  ///< the window active before a modal showing
    bool m_active = false;
    bool m_placingWindow = false;
    TFormStyle m_formStyle = fsNormal;
    TSizeConstraints m_constraints;
    win::Hwnd m_ownerWindow = win::kNoWindow;
};

}  // namespace vcl
