#include "platform/vcl/forms.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "platform/vcl/library_state.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/screen.h"
#include "platform/win/timers.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace vcl {

namespace detail {
LibraryState& Library() {
    static LibraryState state;
    return state;
}
}  // namespace detail

namespace {

/// A caption as the user may write it: no '&' marks, no trailing colon or blanks, lower case.
std::string CaptionKey(std::string_view text) {
    std::string key = win::StripAccelerators(text);
    while (!key.empty() && (key.back() == ':' || key.back() == ' ')) {
        key.pop_back();
    }
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

/// Whether the user's name is the caption, with or without its trailing colon.
bool SameCaption(std::string_view caption, std::string_view name) {
    return !caption.empty() && CaptionKey(caption) == CaptionKey(name);
}

TScreen& TheScreen() {
    return detail::Library().screen;
}

TApplication& TheApplication() {
    return detail::Library().application;
}

TRect ToRect(const win::Rect& r) {
    return Rect(r.left, r.top, r.right, r.bottom);
}

/// The most detail lines the transcript shows of one control.
constexpr size_t kMaxDetailLines = 50;

/// Visits the components owned by `owner` and, after each, the ones it owns.
template <class Visit>
void ForEachOwned(const TComponent& owner, Visit&& visit) {
    for (int32_t i = 0; i < owner.ComponentCount(); ++i) {
        TComponent* component = owner.Components(i);
        visit(component);
        ForEachOwned(*component, visit);
    }
}

/// The words of a control name as a user writes one: "HarmonicsGo" and "harmonics_go" are
/// "harmonics" and "go".
std::vector<std::string> NameWords(std::string_view name) {
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool startsWord = std::isupper(c) != 0 && i > 0 && std::islower(static_cast<unsigned char>(name[i - 1]));
        if (std::isalnum(c) == 0 || startsWord) {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        }
        if (std::isalnum(c) != 0) {
            word += static_cast<char>(std::tolower(c));
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

/// Whether a button answers to a name the user gave a control that is not on the form: the name
/// is its caption, holds its caption as a word ("HarmonicsGo": a button captioned "Go"), or asks
/// for what it does ("Go", "OK", "Run", "Start" the default button; "Cancel", "Close" the button
/// that cancels the form).
bool ButtonAnswersTo(const TButton& button, std::string_view name) {
    std::string caption = CaptionKey(button.Text());
    while (!caption.empty() && (caption.back() == '.' || caption.back() == ' ')) {
        caption.pop_back();
    }
    if (caption.empty()) {
        return false;
    }
    if (caption == CaptionKey(name)) {
        return true;
    }
    static constexpr std::array<std::string_view, 5> kRuns = {"go", "ok", "run", "start", "apply"};
    static constexpr std::array<std::string_view, 3> kCancels = {"cancel", "close", "quit"};
    const auto among = [](const auto& words, const std::string& word) {
        return std::find(words.begin(), words.end(), word) != words.end();
    };
    for (const std::string& word : NameWords(name)) {
        if (word == caption || (button.Default() && among(kRuns, word)) || (button.Cancel() && among(kCancels, word))) {
            return true;
        }
    }
    return false;
}

template <class Visit>
void ForEachChild(const TWinControl& parent, Visit&& visit) {
    for (int32_t i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        visit(control);
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            ForEachChild(*windowed, visit);
        }
    }
}

}  // namespace

TScreen* const Screen = &TheScreen();
TApplication* const Application = &TheApplication();

// ---- TForm: life ----

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    Screen->m_forms.push_back(this);
}

TForm::~TForm() {
    // What the window system tells the form's window from now on (the focus leaving its
    // controls, its deactivation) no longer reaches this object.
    UnhookWindowProcs();
    DestroyComponents();
    m_activeControl = nullptr;
    std::erase(Screen->m_forms, this);
    std::erase(Application->m_released, this);
}

void TForm::AfterConstruction() {
    if (m_constructed) {
        return;
    }
    m_constructed = true;
    std::string base = Name();
    if (base.empty()) {
        base = ClassName();
        if (base.size() > 1 && base[0] == 'T') {
            base.erase(0, 1);
        }
    }
    std::string name = base;
    for (int32_t n = 1;; ++n) {
        const auto& forms = Screen->m_forms;
        if (std::none_of(forms.begin(), forms.end(),
                         [&](const TForm* f) { return f != this && SameText(f->Name(), name); })) {
            break;
        }
        name = base + "_" + std::to_string(n);
    }
    SetName(name);
    CreateHandles();
    const int32_t screenPpi = Screen->PixelsPerInch();
    if (m_scaled && screenPpi != m_pixelsPerInch && m_pixelsPerInch > 0) {
        ScaleBy(screenPpi, m_pixelsPerInch);
        m_pixelsPerInch = screenPpi;
    }
    PlaceWindow();
    Constructed();
    if (OnCreate && EventsAllowed()) {
        OnCreate(this);
    }
}

void TForm::EnsureConstructed() {
    if (!m_constructed) {
        AfterConstruction();
    }
}

win::Hwnd TForm::MakeWindow() {
    win::WindowCreateInfo info;
    info.className = ClassName();
    info.title = Caption();
    if (m_ownerWindow != win::kNoWindow) {
        info.owner = m_ownerWindow;
    } else if (auto* ownerForm = dynamic_cast<TForm*>(Owner()); ownerForm != nullptr && ownerForm->HandleAllocated()) {
        info.owner = ownerForm->Handle();
    }
    info.visible = false;
    return win::CreateWindow(info);
}

win::Hwnd TForm::OwnerWindow() {
    return win::GetOwner(Handle());
}

void TForm::PlaceWindow() {
    if (!HandleAllocated() || m_placingWindow) {
        return;
    }
    m_placingWindow = true;
    const bool topmost = m_formStyle == fsStayOnTop;
    win::SetWindowPos(
        Handle(), topmost ? win::HWND_TOPMOST : win::HWND_NOTOPMOST, Left(), Top(), Width(), Height(),
        win::SWP_NOACTIVATE |
            (topmost == ((win::GetWindowLong(Handle(), win::GWL_EXSTYLE) & win::WS_EX_TOPMOST) != 0) ? win::SWP_NOZORDER
                                                                                                     : 0u));
    m_placingWindow = false;
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style != m_formStyle) {
        m_formStyle = style;
        PlaceWindow();
    }
}

void TForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    const bool sizing = width != Width() || height != Height();
    if (sizing && m_constructed && !m_placingWindow) {
        bool resize = true;
        if (OnCanResize && EventsAllowed()) {
            OnCanResize(this, width, height, resize);
        }
        if (!resize) {
            width = Width();
            height = Height();
        }
        if (m_constraints.MinWidth > 0) {
            width = std::max(width, m_constraints.MinWidth);
        }
        if (m_constraints.MinHeight > 0) {
            height = std::max(height, m_constraints.MinHeight);
        }
        if (m_constraints.MaxWidth > 0) {
            width = std::min(width, m_constraints.MaxWidth);
        }
        if (m_constraints.MaxHeight > 0) {
            height = std::min(height, m_constraints.MaxHeight);
        }
    }
    const bool resized = width != Width() || height != Height();
    TWinControl::SetBounds(left, top, width, height);
    PlaceWindow();
    if (resized && m_constructed && OnResize && EventsAllowed()) {
        OnResize(this);
    }
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case win::WM_ACTIVATE: {
            const bool active = (message.WParam & 0xFFFF) != win::WA_INACTIVE;
            if (active == m_active) {
                break;
            }
            m_active = active;
            if (active) {
                if (m_activeControl != nullptr && m_activeControl->CanFocus() && m_activeControl->HandleAllocated()) {
                    win::SetFocus(m_activeControl->Handle());
                }
                if (OnActivate && EventsAllowed()) {
                    OnActivate(this);
                }
            } else if (OnDeactivate && EventsAllowed()) {
                OnDeactivate(this);
            }
            break;
        }
        case win::WM_WINDOWPOSCHANGED: {
            const auto* place = reinterpret_cast<const win::WindowPos*>(message.LParam);
            if (place == nullptr || m_placingWindow) {
                break;
            }
            // Another program placed the window: the form follows, as placed.
            m_placingWindow = true;
            const bool move = (place->flags & win::SWP_NOMOVE) == 0;
            const bool size = (place->flags & win::SWP_NOSIZE) == 0;
            const bool resized = size && (place->width != Width() || place->height != Height());
            TWinControl::SetBounds(move ? place->x : Left(), move ? place->y : Top(), size ? place->width : Width(),
                                   size ? place->height : Height());
            m_placingWindow = false;
            if (resized && OnResize && EventsAllowed()) {
                OnResize(this);
            }
            break;
        }
        default:
            break;
    }
    TWinControl::WndProc(message);
}

void TForm::SetOwnerWindow(win::Hwnd owner) {
    m_ownerWindow = owner;
    if (HandleAllocated()) {
        win::SetOwner(Handle(), owner);
    }
}

// ---- Size and scaling ----

int32_t TForm::FrameWidth() const {
    switch (m_borderStyle) {
        case bsNone:
            return 0;
        case bsSizeable:
        case bsSizeToolWin:
            return 4;
        default:
            return 3;
    }
}

int32_t TForm::CaptionHeight() const {
    switch (m_borderStyle) {
        case bsNone:
            return 0;
        case bsToolWindow:
        case bsSizeToolWin:
            return 16;
        default:
            return 19;
    }
}

int32_t TForm::ClientWidth() const {
    return Width() - 2 * FrameWidth();
}

int32_t TForm::ClientHeight() const {
    return Height() - 2 * FrameWidth() - CaptionHeight();
}

void TForm::SetClientWidth(int32_t width) {
    SetWidth(width + 2 * FrameWidth());
}

void TForm::SetClientHeight(int32_t height) {
    SetHeight(height + 2 * FrameWidth() + CaptionHeight());
}

void TForm::ScaleBy(int32_t m, int32_t d) {
    if (d == 0) {
        return;
    }
    ForEachChild(*this, [m, d](TControl* control) {
        control->SetBounds(MulDiv(control->Left(), m, d), MulDiv(control->Top(), m, d), MulDiv(control->Width(), m, d),
                           MulDiv(control->Height(), m, d));
    });
    const int32_t clientWidth = MulDiv(ClientWidth(), m, d);
    const int32_t clientHeight = MulDiv(ClientHeight(), m, d);
    SetClientWidth(clientWidth);
    SetClientHeight(clientHeight);
}

// ---- Focus and keys ----

void TForm::SetActiveControl(TWinControl* control) {
    if (Visible() && control != nullptr && control->CanFocus()) {
        FocusControl(control);
    } else {
        m_activeControl = control;
    }
}

void TForm::FocusControl(TWinControl* control) {
    if (control == m_activeControl) {
        return;
    }
    TWinControl* previous = m_activeControl;
    m_activeControl = control;
    if (previous != nullptr) {
        previous->DoExit();
    }
    if (control != nullptr) {
        control->DoEnter();
        if (control->HandleAllocated()) {
            win::SetFocus(control->Handle());
        }
    }
}

void TForm::ControlRemoved(TControl* control) {
    for (TControl* c = m_activeControl; c != nullptr; c = c->Parent()) {
        if (c == control) {
            m_activeControl = nullptr;
            return;
        }
    }
}

void TForm::ClickDialogButton(bool cancel) {
    TButton* target = nullptr;
    ForEachChild(*this, [&](TControl* control) {
        auto* button = dynamic_cast<TButton*>(control);
        if (target == nullptr && button != nullptr && (cancel ? button->Cancel() : button->Default()) &&
            button->Showing() && button->EnabledWithParents()) {
            target = button;
        }
    });
    if (target != nullptr) {
        target->Click();
    }
}

void TForm::SendKey(uint16_t key, TShiftState shift) {
    TWinControl* target = m_activeControl != nullptr && m_activeControl->CanFocus() ? m_activeControl : this;
    target->PressKey(key, shift);
}

// ---- Showing and closing ----

void TForm::ApplyPosition() {
    TRect area;
    switch (m_position) {
        case poScreenCenter:
            area = Rect(0, 0, Screen->Width(), Screen->Height());
            break;
        case poDesktopCenter:
            area = Screen->DesktopRect();
            break;
        case poMainFormCenter:
        case poOwnerFormCenter:
            if (auto* ownerForm = dynamic_cast<TForm*>(Owner()); ownerForm != nullptr && ownerForm->Visible()) {
                area = ownerForm->BoundsRect();
            } else {
                area = Rect(0, 0, Screen->Width(), Screen->Height());
            }
            break;
        default:
            return;
    }
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TForm::PaintControls(TWinControl& parent) {
    ForEachChild(parent, [](TControl* control) { control->Repaint(); });
}

void TForm::BecomeVisible() {
    if (!m_shownBefore) {
        m_shownBefore = true;
        ApplyPosition();
    }
    if (OnShow && EventsAllowed()) {
        OnShow(this);
    }
    if (m_modal) {
        m_previousActive = win::GetActiveWindow();
    }
    TWinControl::SetVisible(true);
    win::SetForegroundWindow(Handle());
    WriteToTranscript();
    TWinControl* target =
        m_activeControl != nullptr && m_activeControl->CanFocus() ? m_activeControl : FirstFocusable();
    m_activeControl = nullptr;
    if (target != nullptr) {
        FocusControl(target);
    }
    PaintControls(*this);
}

void TForm::BecomeHidden() {
    if (!Visible()) {
        return;
    }
    // The window system activates the owner or the next window; a modal showing gives the
    // activation back to the window that had it before.
    TWinControl::SetVisible(false);
    if (m_modal && m_previousActive != Handle() && win::IsWindow(m_previousActive) &&
        win::IsWindowVisible(m_previousActive)) {
        win::SetActiveWindow(m_previousActive);
    }
    if (OnHide && EventsAllowed()) {
        OnHide(this);
    }
}

void TForm::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        BecomeHidden();
    }
}

void TForm::Show() {
    EnsureConstructed();
    if (Visible()) {
        win::SetForegroundWindow(Handle());
        return;
    }
    CancelRelease();
    BecomeVisible();
    RunQueuedActions();
}

int32_t TForm::ShowModal() {
    EnsureConstructed();
    if (Visible() || m_modal) {
        throw std::logic_error("Cannot make a visible window modal");
    }
    m_modal = true;
    m_modalResult = mrNone;
    CancelRelease();
    try {
        ShowModalLoop();
    } catch (...) {
        // A handler failed: the form closes and the failure goes on to the caller.
        m_modal = false;
        BecomeHidden();
        throw;
    }
    return m_modalResult;
}

void TForm::ShowModalLoop() {
    BecomeVisible();
    bool escaped = false;
    std::string note;
    while (Visible() && !m_releasePending) {
        if (m_modalResult != mrNone) {
            if (TryCloseModal()) {
                break;
            }
            continue;
        }
        if (auto action = win::TakeFormAction(ClassName())) {
            PerformAction(*action);
            continue;
        }
        if (!escaped) {
            // Nobody answered the form: the user presses Escape, and a form without a cancel
            // button is closed as by its close box.
            escaped = true;
            note = " (no action was queued: Escape)";
            win::TranscriptWrite("  user: Escape");
            SendKey(win::VK_ESCAPE);
            if (Visible() && m_modalResult == mrNone) {
                m_modalResult = mrCancel;
            }
            continue;
        }
        note = " (the form stayed open after Escape; the driver closed it)";
        BecomeHidden();
    }
    if (m_modalResult == mrNone) {
        m_modalResult = mrCancel;
    }
    m_modal = false;
    win::TranscriptWrite("  -> " + ModalResultName(m_modalResult) + note);
}

bool TForm::TryCloseModal() {
    if (!CloseQuery()) {
        m_modalResult = mrNone;
        return false;
    }
    TCloseAction action = caHide;
    if (OnClose && EventsAllowed()) {
        OnClose(this, action);
    }
    if (action == caNone) {
        m_modalResult = mrNone;
        return false;
    }
    BecomeHidden();
    if (action == caFree) {
        Release();
    }
    return true;
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery && EventsAllowed()) {
        OnCloseQuery(this, canClose);
    }
    return canClose;
}

void TForm::Close() {
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) {
        return;
    }
    TCloseAction action = caHide;
    if (OnClose && EventsAllowed()) {
        OnClose(this, action);
    }
    if (action == caHide) {
        BecomeHidden();
    } else if (action == caFree) {
        Release();
    }
}

void TForm::CancelRelease() {
    if (m_releasePending) {
        m_releasePending = false;
        std::erase(Application->m_released, this);
    }
}

void TForm::Release() {
    if (m_releasePending) {
        return;
    }
    m_releasePending = true;
    BecomeHidden();
    Application->m_released.push_back(this);
}

// ---- The UI driver ----

void TForm::RunQueuedActions() {
    if (m_takingActions) {
        return;  // the loop below goes on when the action that showed the form again has ended
    }
    m_takingActions = true;
    while (Visible() && !m_releasePending) {
        auto action = win::TakeFormAction(ClassName());
        if (!action) {
            break;
        }
        try {
            PerformAction(*action);
        } catch (...) {
            m_takingActions = false;
            throw;
        }
    }
    m_takingActions = false;
}

TControl* TForm::FindUserControl(std::string_view name, std::string& reason) {
    if (SameText(Name(), name)) {
        return this;  // the form itself (its client area)
    }
    // "#N": the control the form numbers N.
    if (name.size() > 1 && name[0] == '#' &&
        std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; }) && name.size() < 6) {
        TControl* numbered = NumberedControl(std::stoi(std::string(name.substr(1))));
        if (numbered == nullptr) {
            reason = "no control " + std::string(name) + " on this form";
        }
        return numbered;
    }
    TControl* found = nullptr;
    ForEachOwned(*this, [&](TComponent* component) {
        if (found == nullptr && SameText(component->Name(), name)) {
            found = dynamic_cast<TControl*>(component);
        }
    });
    if (found == nullptr) {
        ForEachChild(*this, [&](TControl* control) {
            if (found == nullptr && SameText(control->Name(), name)) {
                found = control;
            }
        });
    }
    if (found == nullptr && !name.empty()) {
        // No component has the name: a control whose driver name it is, a showing one first.
        // Two showing controls under one caption are refused: the user names one by its number.
        TControl* hidden = nullptr;
        std::vector<TControl*> showing;
        ForEachOwned(*this, [&](TComponent* component) {
            auto* control = dynamic_cast<TControl*>(component);
            if (control == nullptr ||
                !(SameCaption(control->DriverName(), name) || SameText(control->DriverRole(), name))) {
                return;
            }
            if (control->Showing()) {
                showing.push_back(control);
            } else if (hidden == nullptr) {
                hidden = control;
            }
        });
        if (showing.size() > 1) {
            std::string choices;
            for (size_t i = 0; i < showing.size(); ++i) {
                const int32_t number = ControlNumber(showing[i]);
                const std::string choice = number >= 0 ? "#" + std::to_string(number) : showing[i]->Name();
                choices += (i == 0 ? "" : i + 1 == showing.size() ? " or " : ", ") + choice;
            }
            reason = "the caption " + QuoteForTranscript(std::string(name)) + " names " +
                     std::to_string(showing.size()) + " controls: name one of them, " + choices;
            return nullptr;
        }
        found = showing.empty() ? hidden : showing.front();
    }
    if (found == nullptr) {
        reason = "no control " + QuoteForTranscript(std::string(name)) + " on this form" + NearestControls(name);
        // A caption of the form in another language: the caption it shows, and its number.
        for (const OtherCaption& other : OtherLanguageCaptions()) {
            if (other.control->Showing() && SameCaption(other.caption, name)) {
                const int32_t number = ControlNumber(other.control);
                const std::string row = number >= 0 ? "row " + std::to_string(number) : other.control->Name();
                reason = QuoteForTranscript(std::string(name)) + " is the " + other.language + " caption of " + row +
                         ": this form shows it in " + other.shownLanguage + " as " +
                         QuoteForTranscript(other.control->DriverName()) +
                         (number >= 0 ? " (#" + std::to_string(number) + ")" : "");
                break;
            }
        }
    }
    return found;
}

std::string TForm::NearestControls(std::string_view name) {
    // The captions and names of the controls the user sees, and by which row number each goes.
    std::vector<std::string> choices;
    std::vector<int32_t> numbers;
    ForEachOwned(*this, [&](TComponent* component) {
        auto* control = dynamic_cast<TControl*>(component);
        if (control == nullptr || !control->Showing()) {
            return;
        }
        for (const std::string& choice : {control->DriverName(), control->Name()}) {
            if (!choice.empty() && std::find(choices.begin(), choices.end(), choice) == choices.end()) {
                choices.push_back(choice);
                numbers.push_back(ControlNumber(control));
            }
        }
    });
    // A button that answers to the name by its caption or its part comes first: a name the user
    // took from another form ("HarmonicsGo" where the button that runs reads "OK").
    std::string buttons;
    ForEachOwned(*this, [&](TComponent* component) {
        const auto* button = dynamic_cast<TButton*>(component);
        if (button != nullptr && button->Showing() && ButtonAnswersTo(*button, name)) {
            buttons += (buttons.empty() ? "" : ", ") + QuoteForTranscript(button->Name()) + " (the button captioned " +
                       QuoteForTranscript(win::StripAccelerators(button->Text())) + ")";
        }
    });
    if (!buttons.empty()) {
        return " (did you mean " + buttons + "?)";
    }
    const std::vector<std::string> nearest = win::NearestNames(name, choices, CaptionKey);
    std::string text;
    for (size_t i = 0; i < nearest.size(); ++i) {
        const size_t at = static_cast<size_t>(std::find(choices.begin(), choices.end(), nearest[i]) - choices.begin());
        text += (i == 0                    ? ""
                 : i + 1 == nearest.size() ? " or "
                                           : ", ") +
                QuoteForTranscript(nearest[i]) + (numbers[at] >= 0 ? " (#" + std::to_string(numbers[at]) + ")" : "");
    }
    return text.empty() ? text : " (did you mean " + text + "?)";
}

void TForm::PerformAction(const win::FormAction& action) {
    using Kind = win::FormAction::Kind;
    if (action.kind == Kind::Print) {
        win::TranscriptWrite("  layout of " + ClassName() + ": client " + std::to_string(ClientWidth()) + " x " +
                             std::to_string(ClientHeight()));
        WriteLayoutLines(*this, "    ");
        return;
    }
    win::TranscriptWrite("  user: " + win::FormActionText(action));
    if (action.kind == Kind::Close) {
        Close();
        return;
    }
    std::string reason;
    if (action.kind == Kind::Press || action.kind == Kind::Type) {
        reason = PerformKeys(action);
        if (reason.empty()) {
            return;
        }
    } else if (action.kind == Kind::Resize) {
        int32_t width = 0;
        int32_t height = 0;
        const size_t blank = action.value.find(' ');
        if (blank == std::string::npos || !ParseWholeNumber(action.value.substr(0, blank), width) ||
            !ParseWholeNumber(action.value.substr(blank + 1), height) || width <= 0 || height <= 0) {
            reason = "not a size: " + QuoteForTranscript(action.value);
        } else if (m_borderStyle != bsSizeable && m_borderStyle != bsSizeToolWin) {
            reason = "the form has no sizing frame";
        } else {
            SetBounds(Left(), Top(), width, height);
            if (Width() != width || Height() != height) {
                win::TranscriptWrite("    the form keeps " + std::to_string(Width()) + " x " +
                                     std::to_string(Height()));
            }
            return;
        }
    }
    TControl* control = action.control.empty() || !reason.empty() ? nullptr : FindUserControl(action.control, reason);
    if (!reason.empty()) {
        // The size or the name refused above.
    } else if (control == nullptr) {
        reason = "no control " + QuoteForTranscript(action.control) + " on this form";
    } else if (control != this && !control->Showing()) {
        reason = "the control is not visible";
    } else if (!control->EnabledWithParents()) {
        reason = "the control is disabled";
    } else {
        // A control the user named by its caption or number: the transcript says which one it is.
        if (const int32_t number = ControlNumber(control); number >= 0 && !SameText(control->Name(), action.control)) {
            win::TranscriptWrite("    (row " + std::to_string(number) + ")");
        }
        // The user's mouse lands on the form first: its window becomes the active one.
        if (HandleAllocated() && win::GetActiveWindow() != Handle()) {
            win::SetForegroundWindow(Handle());
        }
        if (auto* windowed = dynamic_cast<TWinControl*>(control);
            windowed != nullptr && windowed != this && windowed->CanFocus()) {
            FocusControl(windowed);
        }
        const bool press = action.kind != Kind::Set || control->SetPressesMouse();
        if (press) {
            control->MouseDown(mbLeft, 0, control->Width() / 2, control->Height() / 2);
        }
        std::string again;
        if (FindUserControl(action.control, again) != control) {
            reason = "the control went away when it was pressed";
        } else {
            switch (action.kind) {
                case Kind::Set:
                    reason = control->UserSet(action.value);
                    break;
                case Kind::DblClick:
                    reason = control->UserDblClick();
                    break;
                default:
                    reason = control->UserClick();
                    break;
            }
        }
    }
    if (!reason.empty()) {
        win::TranscriptWrite("    not done: " + reason);
        const size_t dropped = win::ReportFormActionFailure(ClassName(), action, reason);
        if (dropped > 0) {
            win::TranscriptWrite("    the user stops here: " + std::to_string(dropped) +
                                 (dropped == 1 ? " action" : " actions") + " queued for " + ClassName() + " dropped");
        }
    }
}

void TForm::WriteToTranscript() {
    win::NoteFormShown(ClassName());
    win::TranscriptWrite("[form] " + QuoteForTranscript(Caption()) + " " + ClassName() + (m_modal ? ", modal" : ""));
    WriteControlsToTranscript();
}

std::vector<TControl*> TForm::TranscriptControls() const {
    std::vector<TControl*> controls;
    ForEachOwned(*this, [&](TComponent* component) {
        auto* control = dynamic_cast<TControl*>(component);
        if (control != nullptr && control->Showing() && !control->KindName().empty()) {
            controls.push_back(control);
        }
    });
    return controls;
}

void TForm::WriteControlsToTranscript() {
    for (const TControl* control : TranscriptControls()) {
        WriteControlLine(*control, "  ");
    }
}

void TForm::WriteControlLine(const TControl& control, const std::string& prefix, bool withName, bool withCaption) {
    std::string line = prefix + control.KindName();
    bool named = withName;
    if (withName) {
        line += " " + (control.Name().empty() ? std::string("-") : control.Name());
    }
    if (withCaption && control.ShowsCaption() && !control.Caption().empty()) {
        line += " " + QuoteForTranscript(control.Caption());
        named = true;
    }
    const std::string value = control.ValueText();
    if (!value.empty()) {
        line += (named ? ": " : " ") + value;
    }
    if (!control.EnabledWithParents()) {
        line += " (disabled)";
    }
    win::TranscriptWrite(line);
    const std::vector<std::string> details = control.DetailLines();
    for (size_t i = 0; i < details.size() && i < kMaxDetailLines; ++i) {
        win::TranscriptWrite("    " + details[i]);
    }
    if (details.size() > kMaxDetailLines) {
        win::TranscriptWrite("    ... " + std::to_string(details.size() - kMaxDetailLines) + " more");
    }
}

// ---- TScreen ----

void FreeForm(TForm* form) {
    delete form;
}

int32_t TScreen::Width() const {
    return win::GetMonitors().front().bounds.Width();
}

int32_t TScreen::Height() const {
    return win::GetMonitors().front().bounds.Height();
}

TRect TScreen::WorkAreaRect() const {
    return ToRect(win::GetMonitors().front().workArea);
}

int32_t TScreen::MonitorCount() const {
    return static_cast<int32_t>(win::GetMonitors().size());
}

TMonitor TScreen::Monitors(int32_t index) const {
    const auto monitors = win::GetMonitors();
    if (index < 0 || index >= static_cast<int32_t>(monitors.size())) {
        throw std::out_of_range("Monitor index out of bounds (" + std::to_string(index) + ")");
    }
    const win::MonitorInfo& m = monitors[static_cast<size_t>(index)];
    return TMonitor{index, ToRect(m.bounds), ToRect(m.workArea), m.primary};
}

TRect TScreen::DesktopRect() const {
    return ToRect(win::GetVirtualScreen());
}

int32_t TScreen::PixelsPerInch() const {
    return win::GetScreenPixelsPerInch();
}

TForm* TScreen::Forms(int32_t index) const {
    if (index < 0 || index >= FormCount()) {
        throw std::out_of_range("Form index out of bounds (" + std::to_string(index) + ")");
    }
    return m_forms[static_cast<size_t>(index)];
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    // The module goes: forms that released themselves and wait for the message pump go with it.
    Terminate();
    while (!m_released.empty()) {
        delete m_released.back();  // leaves the list
    }
    DestroyComponents();
}

void TApplication::ProcessMessages() {
    win::DispatchTimers();
    FreeReleasedForms();
}

void TApplication::FreeReleasedForms() {
    const std::vector<TForm*> released = std::move(m_released);
    m_released.clear();
    for (TForm* form : released) {
        delete form;
    }
}

int32_t TApplication::MessageBox(std::string_view text, std::string_view caption, uint32_t flags) {
    win::Hwnd owner = win::kNoWindow;
    for (TForm* form : Screen->m_forms) {
        if (form->Visible() && form->HandleAllocated() && win::GetForegroundWindow() == form->Handle()) {
            owner = form->Handle();
        }
    }
    return win::MessageBox(owner, text, caption, flags);
}

}  // namespace vcl
