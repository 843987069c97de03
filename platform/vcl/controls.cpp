#include "platform/vcl/controls.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/vcl/forms.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"

namespace vcl {

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
    m_font.SetChangeListener([this] {
        if (!m_takingParentFont) {
            m_parentFont = false;
        }
        FontChanged();
        if (auto* self = dynamic_cast<TWinControl*>(this)) {
            for (TControl* child : self->m_controls) {
                if (child->m_parentFont) {
                    child->TakeParentFont();
                }
            }
        }
    });
}

TControl::~TControl() {
    if (m_parent != nullptr) {
        m_parent->RemoveControl(this);
        m_parent = nullptr;
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) {
        return;
    }
    if (parent == this) {
        throw std::logic_error("A control cannot be its own parent");
    }
    if (m_parent != nullptr) {
        m_parent->RemoveControl(this);
    }
    m_parent = parent;
    if (parent != nullptr) {
        parent->InsertControl(this);
        if (m_parentFont) {
            TakeParentFont();
        }
    }
}

TForm* TControl::ParentForm() const {
    for (const TControl* c = this; c != nullptr; c = c->m_parent) {
        if (const auto* form = dynamic_cast<const TForm*>(c)) {
            return const_cast<TForm*>(form);
        }
    }
    return nullptr;
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == m_left && top == m_top && width == m_width && height == m_height) {
        return;
    }
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    BoundsChanged();
}

void TControl::SetVisible(bool visible) {
    m_visible = visible;
}

bool TControl::Showing() const {
    const TControl* top = this;
    for (const TControl* c = this; c != nullptr; c = c->m_parent) {
        if (!c->m_visible) {
            return false;
        }
        top = c;
    }
    return dynamic_cast<const TForm*>(top) != nullptr;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled != m_enabled) {
        m_enabled = enabled;
        EnabledChanged();
    }
}

bool TControl::EnabledWithParents() const {
    for (const TControl* c = this; c != nullptr; c = c->m_parent) {
        if (!c->m_enabled) {
            return false;
        }
    }
    return true;
}

void TControl::SetText(std::string_view text) {
    if (text == m_text) {
        return;
    }
    m_text = std::string(text);
    TextChanged();
}

void TControl::SetParentFont(bool parentFont) {
    m_parentFont = parentFont;
    if (parentFont && m_parent != nullptr) {
        TakeParentFont();
    }
}

void TControl::TakeParentFont() {
    m_takingParentFont = true;
    m_font.Assign(m_parent->Font());
    m_takingParentFont = false;
}

void TControl::SetColor(TColor color) {
    if (color != m_color) {
        m_color = color;
        Repaint();
    }
}

bool TControl::EventsAllowed() const {
    if (Destroying() || (Owner() != nullptr && Owner()->Destroying())) {
        return false;
    }
    const TForm* form = ParentForm();
    return form == nullptr || !form->Destroying();
}

void TControl::Click() {
    if (OnClick && EventsAllowed()) {
        OnClick(this);
    }
}

void TControl::DblClick() {
    if (OnDblClick && EventsAllowed()) {
        OnDblClick(this);
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (OnMouseDown && EventsAllowed()) {
        OnMouseDown(this, button, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (OnMouseUp && EventsAllowed()) {
        OnMouseUp(this, button, shift, x, y);
    }
}

std::string TControl::UserDblClick() {
    DblClick();
    return "";
}

bool IsAccel(char c, std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') {
            continue;
        }
        if (caption[i + 1] == '&') {
            ++i;  // "&&" is a plain "&"
            continue;
        }
        return std::tolower(static_cast<unsigned char>(caption[i + 1])) == std::tolower(static_cast<unsigned char>(c));
    }
    return false;
}

std::string TControl::UserSet(std::string_view /*value*/) {
    return "a " + (KindName().empty() ? ClassName() : KindName()) + " takes no value";
}

std::string TControl::UserClick() {
    Click();
    return "";
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DestroyComponents();
    const win::Hwnd own = m_handle;
    // The windows go without telling this object, which is being freed.
    UnhookWindowProcs();
    ForgetHandles();
    for (TControl* child : m_controls) {
        child->m_parent = nullptr;
    }
    m_controls.clear();
    m_tabList.clear();
    if (own != win::kNoWindow && win::IsWindow(own)) {
        win::DestroyWindow(own);
    }
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == Parent()) {
        return;
    }
    if (m_handle != win::kNoWindow) {
        const win::Hwnd own = m_handle;
        UnhookWindowProcs();
        ForgetHandles();
        if (win::IsWindow(own)) {
            win::DestroyWindow(own);
        }
    }
    TControl::SetParent(parent);
    if (parent != nullptr && parent->HandleAllocated()) {
        CreateHandles();
    }
}

void TWinControl::SetText(std::string_view text) {
    TControl::SetText(text);
    if (m_handle != win::kNoWindow) {
        win::SetWindowText(m_handle, Text());
    }
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (m_handle != win::kNoWindow) {
        win::ShowWindow(m_handle, visible);
    }
}

TControl* TWinControl::Controls(int32_t index) const {
    if (index < 0 || index >= ControlCount()) {
        throw std::out_of_range("Control index out of bounds (" + std::to_string(index) + ")");
    }
    return m_controls[static_cast<size_t>(index)];
}

win::Hwnd TWinControl::Handle() {
    if (m_handle == win::kNoWindow) {
        if (Parent() != nullptr) {
            Parent()->Handle();
        }
        m_handle = MakeWindow();
        if (m_handle != win::kNoWindow) {
            win::SetWindowProc(m_handle, [this](win::Hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
                TMessage message{msg, wParam, lParam, 0};
                WndProc(message);
                return message.Result;
            });
        }
    }
    return m_handle;
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case win::WM_SETFOCUS:
            // The window system gave this control the focus: it becomes its form's active control.
            if (TForm* form = ParentForm(); form != nullptr && form != this && form->ActiveControl() != this) {
                form->FocusControl(this);
            }
            break;
        case CM_DIALOGCHAR:
            message.Result = DialogChar(static_cast<char>(message.WParam)) ? 1 : 0;
            return;
        default:
            if (KeyMessage(message)) {
                return;
            }
            break;
    }
    DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    message.Result =
        m_handle == win::kNoWindow ? 0 : win::DefWindowProc(m_handle, message.Msg, message.WParam, message.LParam);
}

intptr_t TWinControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

bool TWinControl::Broadcast(const std::function<bool(TControl&)>& takes) {
    // A child freed by a handler leaves the list: walk a copy and check each is still there.
    const std::vector<TControl*> children = m_controls;
    for (TControl* child : children) {
        if (std::find(m_controls.begin(), m_controls.end(), child) == m_controls.end()) {
            continue;
        }
        if (child->Visible() && takes(*child)) {
            return true;
        }
    }
    return false;
}

bool TWinControl::DialogChar(char c) {
    return Broadcast([c](TControl& child) { return child.DialogChar(c); });
}

bool TWinControl::DialogKey(uint16_t key, TShiftState shift) {
    return Broadcast([key, shift](TControl& child) { return child.DialogKey(key, shift); });
}

win::Hwnd TWinControl::MakeWindow() {
    win::WindowCreateInfo info;
    info.className = ClassName();
    info.title = Text();
    info.parent = Parent() != nullptr ? Parent()->Handle() : win::kNoWindow;
    info.visible = Visible();
    return win::CreateWindow(info);
}

void TWinControl::CreateHandles() {
    Handle();
    for (TWinControl* child : m_tabList) {
        child->CreateHandles();
    }
}

void TWinControl::UnhookWindowProcs() {
    if (m_handle != win::kNoWindow && win::IsWindow(m_handle)) {
        win::SetWindowProc(m_handle, {});
    }
    for (TWinControl* child : m_tabList) {
        child->UnhookWindowProcs();
    }
}

void TWinControl::ForgetHandles() {
    m_handle = win::kNoWindow;
    for (TWinControl* child : m_tabList) {
        child->ForgetHandles();
    }
}

void TWinControl::InsertControl(TControl* control) {
    m_controls.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        m_tabList.push_back(windowed);
    }
}

void TWinControl::RemoveControl(TControl* control) {
    if (TForm* form = ParentForm()) {
        form->ControlRemoved(control);
    }
    std::erase(m_controls, control);
    std::erase(m_tabList, control);
}

int32_t TWinControl::TabOrder() const {
    if (Parent() == nullptr) {
        return -1;
    }
    const auto& list = Parent()->m_tabList;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t order) {
    if (Parent() == nullptr) {
        return;
    }
    auto& list = Parent()->m_tabList;
    std::erase(list, this);
    order = std::clamp<int32_t>(order, 0, static_cast<int32_t>(list.size()));
    list.insert(list.begin() + order, this);
}

bool TWinControl::Focused() const {
    const TForm* form = ParentForm();
    return form != nullptr && form->ActiveControl() == this;
}

bool TWinControl::CanFocus() const {
    return Showing() && EnabledWithParents();
}

void TWinControl::SetFocus() {
    TForm* form = ParentForm();
    if (!CanFocus()) {
        // On a form that is not showing yet (OnCreate, OnShow) the control only becomes the one
        // that gets the focus when the form shows.
        bool visibleOnForm = form != nullptr && form != this && EnabledWithParents();
        for (const TControl* c = this; visibleOnForm && c != form; c = c->Parent()) {
            visibleOnForm = c->Visible();
        }
        if (visibleOnForm && !form->Visible()) {
            form->SetActiveControl(this);
            return;
        }
        throw std::logic_error("Cannot focus a disabled or invisible window");
    }
    if (form == this) {
        win::SetForegroundWindow(form->Handle());
        return;
    }
    form->FocusControl(this);
}

TWinControl* TWinControl::FirstFocusable() {
    if (dynamic_cast<TForm*>(this) == nullptr && TabStop() && CanFocus()) {
        return this;
    }
    for (TWinControl* child : m_tabList) {
        if (TWinControl* found = child->FirstFocusable()) {
            return found;
        }
    }
    return nullptr;
}

void TWinControl::DoEnter() {
    if (OnEnter && EventsAllowed()) {
        OnEnter(this);
    }
}

void TWinControl::DoExit() {
    if (OnExit && EventsAllowed()) {
        OnExit(this);
    }
}

// ---- Painting controls ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::Repaint() {
    if (Showing()) {
        m_canvas.Font().Assign(Font());
        Paint();
    }
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::Repaint() {
    if (Showing()) {
        m_canvas.Font().Assign(Font());
        Paint();
    }
}

char KeyChar(uint16_t key, TShiftState shift) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<char>((shift & ssShift) ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9') {
        return static_cast<char>(key);
    }
    switch (key) {
        case win::VK_SPACE:
            return ' ';
        case win::VK_RETURN:
            return '\r';
        case win::VK_ESCAPE:
            return '\x1b';
        case win::VK_BACK:
            return '\b';
        case win::VK_TAB:
            return '\t';
        default:
            return 0;
    }
}

}  // namespace vcl
