#include "platform/vcl/extctrls.h"

#include <stdexcept>

#include "platform/vcl/stdctrls.h"
#include "platform/win/menus.h"
#include "platform/win/timers.h"

namespace vcl {

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().Color = Color();
    canvas.FillRect(ClientRect());
    const std::string text = win::StripAccelerators(Caption());
    if (!text.empty()) {
        const int32_t w = canvas.TextWidth(text);
        const int32_t x = m_alignment == taLeftJustify    ? 2
                          : m_alignment == taRightJustify ? Width() - w - 2
                                                          : (Width() - w) / 2;
        canvas.TextOut(x, (Height() - canvas.TextHeight(text)) / 2, text);
    }
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 50, 50);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
}

void TImage::Paint() {
    if (m_picture.Empty()) {
        return;
    }
    const int32_t x = m_center ? (Width() - m_picture.Width()) / 2 : 0;
    const int32_t y = m_center ? (Height() - m_picture.Height()) / 2 : 0;
    Canvas().Draw(x, y, m_picture, Rect(0, 0, m_picture.Width(), m_picture.Height()), m_transparent);
}

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 105);
    SetTabStop(true);
    m_items.SetListener([this](TStrings::Change change, int32_t index) {
        if (change == TStrings::Change::Cleared || (change == TStrings::Change::Deleted && index == m_itemIndex)) {
            m_itemIndex = -1;
        } else if (change == TStrings::Change::Deleted && index < m_itemIndex) {
            --m_itemIndex;
        } else if (change == TStrings::Change::Inserted && m_itemIndex >= 0 && index <= m_itemIndex) {
            ++m_itemIndex;
        }
    });
}

void TRadioGroup::SetItemIndex(int32_t index) {
    if (index < -1 || index >= m_items.Count()) {
        throw std::out_of_range("Radio group item index out of bounds (" + std::to_string(index) + ")");
    }
    if (index == m_itemIndex) {
        return;
    }
    m_itemIndex = index;
    Click();
}

std::vector<std::string> TRadioGroup::DetailLines() const {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < m_items.Count(); ++i) {
        lines.push_back((i == m_itemIndex ? "(o) " : "( ) ") + m_items[i]);
    }
    return lines;
}

std::string TRadioGroup::UserSet(std::string_view value) {
    int32_t index = -1;
    for (int32_t i = 0; i < m_items.Count() && index < 0; ++i) {
        if (SameText(win::StripAccelerators(m_items[i]), value) || SameText(m_items[i], value)) {
            index = i;
        }
    }
    if (index < 0 && (!ParseWholeNumber(value, index) || index < 0 || index >= m_items.Count())) {
        return "no item " + QuoteForTranscript(value);
    }
    SetItemIndex(index);
    return "";
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    UpdateTimer();
}

TTimer::~TTimer() {
    if (m_timerId != 0) {
        win::KillTimer(win::kNoWindow, m_timerId);
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled != m_enabled) {
        m_enabled = enabled;
        UpdateTimer();
    }
}

void TTimer::SetInterval(uint32_t interval) {
    if (interval != m_interval) {
        m_interval = interval;
        UpdateTimer();
    }
}

void TTimer::UpdateTimer() {
    if (m_timerId != 0) {
        win::KillTimer(win::kNoWindow, m_timerId);
        m_timerId = 0;
    }
    if (m_enabled && m_interval > 0) {
        m_timerId = win::SetTimer(win::kNoWindow, 0, m_interval, [this](win::Hwnd, uint32_t) {
            if (OnTimer && !Destroying()) {
                OnTimer(this);
            }
        });
    }
}

}  // namespace vcl
